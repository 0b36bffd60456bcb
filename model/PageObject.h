#pragma once
#include "model/ObjectKind.h"
#include "services/Geometry.h"
#include <cstdint>
#include <memory>
#include <string>

class CByteReader;
class CByteWriter;
class CColor;
class CEffects;
class CImage;
class CObjectFill;
class CObjectLink;
class CPixMap;
struct CStreamVersion;

// An object's own (unrotated) size in whole pixels.
struct CObjectSize {
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const CObjectSize&) const = default;
};

// A whole-pixel shift (mouse-over offset, pending fast move).
struct CPixelShift {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const CPixelShift&) const = default;
};

// The root of everything placed on a page. It knows the area its cached
// image covers (rect), the eight handle points the editor drags, whether the
// cache is stale (dirty) and the mouse-over offset. Coordinates are page
// pixels, x to the right, y downwards; angles are radians, positive turning
// counter-clockwise on screen.
//
// The order of the virtual operations below is part of the design: every kind
// overrides the same slots.
class CPageObject {
public:
    // Handle numbering, row by row around the object's own box.
    enum Handle {
        handleTopLeft = 0,
        handleTop = 1,
        handleTopRight = 2,
        handleLeft = 3,
        handleRight = 4,
        handleBottomLeft = 5,
        handleBottom = 6,
        handleBottomRight = 7,
        handleCount = 8,
    };

    CPageObject();
    CPageObject(const CPageObject&) = delete;
    CPageObject& operator=(const CPageObject&) = delete;
    virtual ~CPageObject();

    virtual void Invalidate();
    // Drops the cached image and other caches to save memory; the next use
    // renders again.
    virtual void ReleaseImage();
    virtual CRect GetRect() const;
    virtual const DPOINT* GetHandles() const;
    virtual DPOINT GetCenter() const = 0;
    virtual void SetCenter(DPOINT center) = 0;
    virtual void MoveBy(int32_t dx, int32_t dy) = 0;
    virtual CObjectSize GetSize() const = 0;
    virtual void SetSize(int32_t width, int32_t height);
    virtual void SetSize(CObjectSize size);
    virtual double GetAngle() const;
    virtual void SetAngle(double angle);
    // One step of a rotation drag that started with the mouse at mouseAngle0
    // and the object at objectAngle0; snap turns in steps of 45 degrees.
    virtual void RotateTowards(int32_t mouseX, int32_t mouseY, double mouseAngle0,
                               double objectAngle0, bool snap);
    // Brings the cached image up to date using the caller's work map
    // (4 bytes per pixel: alpha, red, green, blue) block by block.
    virtual bool Render(CPixMap& work);
    // Copies the object's pixels starting at (x, y) inside its rect into map.
    virtual void DrawInto(int32_t x, int32_t y, CPixMap& map, const CColor& background) = 0;
    virtual CRect GetBounds(bool fromHandles) const = 0;
    virtual CRect GetHandleBounds() const = 0;
    virtual bool CanHaveEffects() const;
    virtual bool CanHaveFill() const;
    virtual bool CanHaveLink() const;
    virtual bool CanHaveMouseOver() const;
    virtual bool HasButtonText() const;
    virtual bool RendersAsImage() const;
    virtual bool CanResize() const;
    virtual bool CanRotate() const;
    virtual CObjectSize GetMinSize() const;
    virtual CObjectSize GetMaxSize() const;
    virtual CObjectFill* GetFill() const;
    virtual CEffects* GetEffects() const;
    virtual CObjectLink* GetLink() const;
    virtual const std::string* GetAltText() const;
    // The setters take ownership of the new record and hand back the one they
    // replace; dropping the result deletes it, keeping it keeps it alive.
    // Objects without the record give the argument straight back.
    virtual std::unique_ptr<CObjectFill> SetFill(std::unique_ptr<CObjectFill> fill);
    virtual std::unique_ptr<CEffects> SetEffects(std::unique_ptr<CEffects> effects);
    virtual std::unique_ptr<CObjectLink> SetLink(std::unique_ptr<CObjectLink> link);
    virtual void SetAltText(std::string altText);
    // Makes sure every input of the rendering is at hand, then renders.
    virtual bool PrepareAndRender(CPixMap& work) = 0;
    virtual bool OnPageRemoved(int32_t pageIndex);
    virtual void OnPageCountChanged(int32_t pageCount);
    virtual void OnPagesReset();
    virtual void UpdateHandles() = 0;
    virtual ObjectKind GetKind() const = 0;
    // Rough size of the object in the built site.
    virtual int32_t EstimateBytes(double pixelsPerByte) const = 0;
    virtual void Save(CByteWriter& writer) const = 0;
    // A light copy that keeps only what undo needs to put the geometry back.
    virtual std::unique_ptr<CPageObject> SnapshotGeometry() const = 0;
    // A full copy (mouse-over twins); null for kinds that cannot be copied.
    virtual std::unique_ptr<CPageObject> Clone() const;
    // Reads the fields after the stream tag. Throws CFileFormatException on a
    // malformed stream; the object is then left as it was.
    virtual void Load(CByteReader& reader, const CStreamVersion& version) = 0;
    // Exchanges the geometry with another object of the same kind (undo).
    virtual void SwapGeometry(CPageObject& other) = 0;
    // Makes this object (a copy, never one on a shown page) draw `scale`
    // times larger about the page origin: place, size, mouse-over offset and
    // every pixel measure of its records. This base moves the centre and the
    // offset only, which suits the box kinds: they are written as HTML and
    // never drawn into pictures.
    virtual void ScaleBy(int scale);

    bool IsDirty() const { return m_dirty; }
    const CImage* GetImage() const { return m_image.get(); }
    int32_t GetOffsetX() const { return m_mouseOverOffset.x; }
    int32_t GetOffsetY() const { return m_mouseOverOffset.y; }
    // Move the object by the change of offset without rendering again: the
    // cached image simply moves along.
    void SetOffsetX(int32_t x);
    void SetOffsetY(int32_t y);

    // Limits of the mouse-over offset.
    static constexpr int32_t kMaxOffset = 100;

protected:
    // Sets the eight handles to the box w x h around c turned by angle, then
    // shifts them by the mouse-over offset.
    void SetBoxHandles(DPOINT c, double width, double height, double angle);
    // Floor of the smallest and ceiling of the largest coordinate of the given
    // handles.
    CRect HandleExtent(const int* indices, int count) const;
    CRect BoundsFromHandles(bool fromHandles) const;
    CRect HandleBoundsFromCorners() const;
    void ShiftRectAndHandles(int32_t dx, int32_t dy);

    CRect m_rect;
    DPOINT m_handles[handleCount];
    bool m_dirty = true;
    std::unique_ptr<CImage> m_image;
    CPixelShift m_mouseOverOffset;
};

// Turns (x, y) about c by the object angle the way outlines and handles are
// turned: counter-clockwise on screen for a positive angle.
DPOINT RotateAbout(DPOINT c, double x, double y, double angle);
