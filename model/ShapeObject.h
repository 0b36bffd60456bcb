#pragma once
#include "model/PageObject.h"
#include "services/ByteStream.h"
#include "services/Path.h"
#include <functional>
#include <memory>
#include <string>

class CButtonText;
class CShapeObject;

// Stages of the shape rendering that later parts of the program install.
// Until a stage is installed it does nothing: no effect is applied and no
// label is drawn (the label texture is still prepared, so installing the
// drawer is all it takes).
struct CShapeRenderHooks {
    // Applies the object's effects to its freshly filled image (the image
    // covers the object's rect). False when the effects could not be made.
    std::function<bool(CShapeObject& object, CImage& image, CPixMap& work)> applyEffects;
    // Draws the label into the unrotated width x height texture of the fill.
    std::function<bool(const CShapeObject& object, const CButtonText& label, CImage& texture)>
        drawLabel;
};

// Objects drawn from an outline path: ellipse, rectangle (and picture) and
// text. The shape owns its fill, effects, link, label and alternative text,
// and turns them into the cached image with Render.
//
// The outline is built for the centre the object had at its last rebuild;
// whole-pixel moves only shift rect and handles and add to pendingMove, so the
// cached image moves without rendering again.
class CShapeObject : public CPageObject {
public:
    ~CShapeObject() override;

    void ReleaseImage() override;
    DPOINT GetCenter() const override;
    void SetCenter(DPOINT center) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    CObjectSize GetSize() const override;
    using CPageObject::SetSize;
    void SetSize(int32_t width, int32_t height) override;
    double GetAngle() const override;
    void SetAngle(double angle) override;
    void RotateTowards(int32_t mouseX, int32_t mouseY, double mouseAngle0, double objectAngle0,
                       bool snap) override;
    bool Render(CPixMap& work) override;
    void DrawInto(int32_t x, int32_t y, CPixMap& map, const CColor& background) override;
    CRect GetBounds(bool fromHandles) const override;
    CRect GetHandleBounds() const override;
    CObjectFill* GetFill() const override;
    CEffects* GetEffects() const override;
    CObjectLink* GetLink() const override;
    const std::string* GetAltText() const override;
    std::unique_ptr<CObjectFill> SetFill(std::unique_ptr<CObjectFill> fill) override;
    std::unique_ptr<CEffects> SetEffects(std::unique_ptr<CEffects> effects) override;
    std::unique_ptr<CObjectLink> SetLink(std::unique_ptr<CObjectLink> link) override;
    void SetAltText(std::string altText) override;
    bool PrepareAndRender(CPixMap& work) override;
    bool OnPageRemoved(int32_t pageIndex) override;
    void OnPageCountChanged(int32_t pageCount) override;
    void OnPagesReset() override;
    void UpdateHandles() override;
    int32_t EstimateBytes(double pixelsPerByte) const override;
    void Save(CByteWriter& writer) const override;
    void Load(CByteReader& reader, const CStreamVersion& version) override;
    void SwapGeometry(CPageObject& other) override;
    // Centre, size, offset, effect sizes and distances, label font and label
    // shadow; the fill is made again at the new size (a picture from its
    // source, so a picture larger than the object shows its detail).
    void ScaleBy(int scale) override;

    // Stores the centre with no other effect.
    virtual void SetCenterRaw(double x, double y);
    // Stores a copy of the label. A label that differs from the current one
    // makes the fill texture and the image out of date.
    virtual void SetButtonText(const CButtonText& label);
    // Adopts the label; null is ignored.
    virtual void SetButtonText(std::unique_ptr<CButtonText> label);

    const CButtonText* GetButtonText() const { return m_buttonText.get(); }
    const CPath& GetOutline() const { return m_outline; }
    CPixelShift GetPendingMove() const { return m_pendingMove; }

    // Installed once by the rendering stages; shared by every shape.
    static CShapeRenderHooks& RenderHooks();

    // Sanity limits for stored geometry: anything beyond cannot come from a
    // real page and would overflow the pixel arithmetic.
    static constexpr int32_t kMaxStoredSize = 1000000;
    static constexpr double kMaxStoredCoordinate = 10000000.0;
    // Largest image side Render will allocate.
    static constexpr int32_t kMaxImageSide = 32767;

protected:
    // New shape with the default records; the concrete constructor builds the
    // outline and the handles (it cannot be done here, BuildOutline is virtual).
    CShapeObject(DPOINT center, CObjectSize size, double angle);
    // Full copy of every field and record (Clone); the copy renders anew.
    CShapeObject(const CShapeObject& other);
    // Geometry, label and alternative text only (SnapshotGeometry).
    struct GeometryOnly {};
    CShapeObject(const CShapeObject& other, GeometryOnly);

    // Appends the kind's outline for the current size, angle and centre.
    virtual void BuildOutline(CPath& path) const = 0;

    // Rebuilds the outline, clears pendingMove and sets rect to the area the
    // object will cover once rendered. Callers follow it with UpdateHandles.
    void RebuildOutline();
    // The page area the rendered image will take, before the mouse-over
    // offset: the outline's pixel extent where it now lies. A kind whose
    // image is placed by other rounding says so here, so that the rect held
    // before a rendering (and saved) is the rect the rendering gives.
    virtual CRect RenderedBounds() const;
    // Marks the image, the fill texture and the effects masks out of date.
    void MarkChanged();
    // Total shift from the outline's page position to where the object shows.
    CPixelShift OutlineShift() const;
    // The last stages of rendering, shared by every shape: the effects stage
    // on the freshly filled image (which may grow it), then the crop to the
    // pixels that show when an effect is on. False when the effects failed.
    bool ApplyEffectsAndCrop(CPixMap& work);

    // Where the object stands, as every shape record (the text's too) starts:
    // size, angle, centre and the rect it covered when saved.
    struct CPlacement {
        CObjectSize size;
        double angle = 0.0;
        DPOINT center;
        CRect rect;
    };
    void SavePlacement(CByteWriter& writer) const;
    // `kind` names the object in the message of a malformed stream.
    static CPlacement LoadPlacement(CByteReader& reader, const std::string& kind);

    std::unique_ptr<CObjectFill> m_fill;
    std::unique_ptr<CEffects> m_effects;
    std::unique_ptr<CObjectLink> m_link;
    std::unique_ptr<CButtonText> m_buttonText;
    std::string m_altText;
    CObjectSize m_size;
    double m_angle = 0.0;
    DPOINT m_center;
    CPath m_outline;
    CPixelShift m_pendingMove;

private:
    bool FillUsesImage() const;
    std::unique_ptr<CImage> MakeTexture(bool& failed) const;
    bool FillBlocks(CPixMap& work, const CImage* texture);
    void CropToAlpha();
    void DrawPreview(int32_t x, int32_t y, CPixMap& map, const CColor& background) const;
};

// The nearest multiple of 45 degrees, with the thresholds halfway between;
// angles from 15/8 pi on snap back to 0.
double SnapAngle(double angle);
