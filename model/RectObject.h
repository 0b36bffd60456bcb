#pragma once
#include "model/ShapeObject.h"

// A rectangle (rectangle tool). A rectangle whose fill is a picture of its own
// is a picture (picture tool): it keeps its link but loses the fill, effects,
// label, mouse-over and rotation capabilities. The answer follows the fill at
// the moment of asking.
class CRectObject final : public CShapeObject {
public:
    CRectObject(DPOINT center, CObjectSize size, double angle = 0.0);

    bool IsPicture() const;

    bool CanHaveEffects() const override { return !IsPicture(); }
    bool CanHaveFill() const override { return !IsPicture(); }
    bool CanHaveLink() const override { return true; }
    bool CanHaveMouseOver() const override { return !IsPicture(); }
    bool HasButtonText() const override { return !IsPicture(); }
    bool RendersAsImage() const override { return true; }
    bool CanResize() const override { return true; }
    bool CanRotate() const override { return !IsPicture(); }
    ObjectKind GetKind() const override { return KIND_RECT; }
    std::unique_ptr<CPageObject> SnapshotGeometry() const override;
    std::unique_ptr<CPageObject> Clone() const override;

protected:
    void BuildOutline(CPath& path) const override;

private:
    CRectObject(const CRectObject& other) = default;
    CRectObject(const CRectObject& other, GeometryOnly);
};
