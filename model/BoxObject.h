#pragma once
#include "model/PageObject.h"
#include <memory>
#include <string>

class CImage;

// What the counter, HTML and form objects share: an unrotated box of `size`
// around `center` whose rect always equals that box, a cached picture instead
// of a rendering, and no fill, effects or rotation. It adds no operations of
// its own to the object interface.
class CBoxObject : public CPageObject {
public:
    DPOINT GetCenter() const override { return m_center; }
    // Moves the box so its middle is p; the corner is truncated toward zero.
    void SetCenter(DPOINT p) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    CObjectSize GetSize() const override { return m_size; }
    void DrawInto(int32_t x, int32_t y, CPixMap& map, const CColor& background) override;
    CRect GetBounds(bool fromHandles) const override;
    CRect GetHandleBounds() const override;
    // Place and size times the scale; the picture shows each of its pixels
    // as a block (the program's own pictures have no more detail).
    void ScaleBy(int scale) override;

    // Rounds half up from the integer part: trunc(v), plus one when the rest
    // is 0.5 or more (so negative values round toward zero).
    static int32_t RoundHalfUp(double v);
    // The rect of a w x h box read back around a stored centre: an odd side
    // first lowers that coordinate by half a pixel, so the centres written
    // for odd boxes land on the same pixels again.
    static CRect RectAroundStoredCenter(DPOINT c, int32_t w, int32_t h);
    // The rect of a w x h box placed by a tool around the point.
    static CRect RectAroundPoint(DPOINT c, int32_t w, int32_t h);
    static DPOINT MiddleOf(const CRect& r);

protected:
    CBoxObject() = default;

    // Handles from rect: corners on the first and last pixel column and row.
    void SetHandlesFromRect();
    // Reads the three doubles/rect fields shared by the stream layouts.
    static DPOINT ReadCenter(CByteReader& reader);
    static CRect ReadRect(CByteReader& reader);
    static void WriteRect(CByteWriter& writer, const CRect& r);

    // The picture (alpha, red, green, blue) becomes the cached image and the
    // size; false leaves the object dirty.
    bool TakePicture(std::unique_ptr<CImage> picture);

    DPOINT m_center;
    CObjectSize m_size;
    int m_pictureScale = 1; // of a copy drawn larger (ScaleBy)
};

// The program's own pictures of the box objects, from the data folder's
// "objects" folder, as IMAGE_RGB8 with IMAGE_ALPHA images; a picture that is
// missing from the installation is replaced by a plain grey one of `fallback`
// size, so the object still shows. Null only when no memory is left.
namespace object_pictures {
std::unique_ptr<CImage> Counter(int style);
std::unique_ptr<CImage> Form();
// The placeholder pattern tiled from the top-left over w x h.
std::unique_ptr<CImage> HtmlPlaceholder(int32_t w, int32_t h);
// Colours of `colours` with alpha from the grey values of `alpha` (same size).
std::unique_ptr<CImage> Combine(const CImage& colours, const CImage* alpha);
} // namespace object_pictures
