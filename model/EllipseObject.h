#pragma once
#include "model/ShapeObject.h"

// An ellipse (circle tool): every capability of a shape.
class CEllipseObject final : public CShapeObject {
public:
    CEllipseObject(DPOINT center, CObjectSize size, double angle = 0.0);

    bool CanHaveEffects() const override { return true; }
    bool CanHaveFill() const override { return true; }
    bool CanHaveLink() const override { return true; }
    bool CanHaveMouseOver() const override { return true; }
    bool HasButtonText() const override { return true; }
    bool RendersAsImage() const override { return true; }
    bool CanResize() const override { return true; }
    bool CanRotate() const override { return true; }
    ObjectKind GetKind() const override { return KIND_ELLIPSE; }
    std::unique_ptr<CPageObject> SnapshotGeometry() const override;
    std::unique_ptr<CPageObject> Clone() const override;

    // Half of the usual four-arc circle constant: the control points lie this
    // fraction of the box's side away from the arc ends.
    static constexpr double kArcControl = 0.276142374;
    // The ellipse is built this much smaller than its box, so that its
    // antialiased rim stays inside the pixels of the box.
    static constexpr double kInset = 0.01;

protected:
    void BuildOutline(CPath& path) const override;

private:
    CEllipseObject(const CEllipseObject& other) = default;
    CEllipseObject(const CEllipseObject& other, GeometryOnly);
};
