#include "render/BackgroundPaint.h"
#include "image/Image.h"
#include "model/BackgroundFill.h"
#include <algorithm>
#include <cstring>

namespace {
struct CRgb3 {
    uint8_t r, g, b;
};

CRgb3 RgbOf(const CColor& colour) {
    const COLORREF ref = colour.GetCOLORREF();
    return {static_cast<uint8_t>(ref & 0xFF), static_cast<uint8_t>((ref >> 8) & 0xFF),
            static_cast<uint8_t>((ref >> 16) & 0xFF)};
}

// Where the red sample of a picture pixel starts and how far apart pixels
// are: RGB, or alpha first and then RGB. 0 for pictures painting cannot use.
int PixelBytes(const CImage& image) {
    if (!image.Bits() || image.Width() <= 0 || image.Height() <= 0) return 0;
    if (image.GetMode() == IMAGE_RGB8) return 3;
    if (image.GetMode() == WithAlpha(IMAGE_RGB8)) return 4;
    return 0;
}

void FillColour(uint8_t* argb, int rowStep, int w, int h, CRgb3 c) {
    for (int y = 0; y < h; ++y) {
        uint8_t* p = argb + static_cast<std::ptrdiff_t>(y) * rowStep;
        for (int x = 0; x < w; ++x, p += 4)
            p[0] = 255, p[1] = c.r, p[2] = c.g, p[3] = c.b;
    }
}

inline void Put(uint8_t* out, const uint8_t* rgb) {
    out[0] = 255;
    out[1] = rgb[0];
    out[2] = rgb[1];
    out[3] = rgb[2];
}

void PaintTiled(const CImage& image, int bpp, const CRect& region, uint8_t* argb, int rowStep) {
    const int iw = image.Width(), ih = image.Height(), skip = bpp - 3;
    for (int y = region.top; y < region.bottom; ++y) {
        const int sy = ((y % ih) + ih) % ih;
        const uint8_t* row = image.Bits() + static_cast<std::size_t>(sy) * image.RowBytes() + skip;
        uint8_t* out = argb + static_cast<std::ptrdiff_t>(y - region.top) * rowStep;
        int sx = ((region.left % iw) + iw) % iw;
        for (int x = region.left; x < region.right; ++x, out += 4) {
            Put(out, row + sx * bpp);
            if (++sx == iw) sx = 0;
        }
    }
}

void PaintCentred(const CBackgroundFill& fill, const CImage& image, int bpp, const CRect& region,
                  uint8_t* argb, int rowStep) {
    FillColour(argb, rowStep, region.Width(), region.Height(), {255, 255, 255});
    const int iw = image.Width(), ih = image.Height(), skip = bpp - 3;
    const int left = (fill.GetWidth() - iw) / 2, top = (fill.GetHeight() - ih) / 2;
    const CRect placed = region.Intersect({left, top, left + iw, top + ih});
    if (placed.IsEmpty()) return;
    for (int y = placed.top; y < placed.bottom; ++y) {
        const uint8_t* src = image.Bits() + static_cast<std::size_t>(y - top) * image.RowBytes() +
                             static_cast<std::size_t>(placed.left - left) * bpp + skip;
        uint8_t* out = argb + static_cast<std::ptrdiff_t>(y - region.top) * rowStep +
                       static_cast<std::ptrdiff_t>(placed.left - region.left) * 4;
        for (int x = placed.left; x < placed.right; ++x, out += 4, src += bpp)
            Put(out, src);
    }
}

void PaintStrip(const CImage& strip, int bpp, bool horizontal, const CRect& region, uint8_t* argb,
                int rowStep) {
    const int skip = bpp - 3;
    if (horizontal) {
        // One row of colours, the same on every row of the page.
        const int last = strip.Width() - 1;
        uint8_t* first = argb;
        for (int x = region.left; x < region.right; ++x)
            Put(first + static_cast<std::ptrdiff_t>(x - region.left) * 4,
                strip.Bits() + std::clamp(x, 0, last) * bpp + skip);
        const std::size_t bytes = static_cast<std::size_t>(region.Width()) * 4;
        for (int y = 1; y < region.Height(); ++y)
            std::memcpy(argb + static_cast<std::ptrdiff_t>(y) * rowStep, first, bytes);
        return;
    }
    const int last = strip.Height() - 1;
    for (int y = region.top; y < region.bottom; ++y) {
        const uint8_t* src = strip.Bits() +
                             static_cast<std::size_t>(std::clamp(y, 0, last)) * strip.RowBytes() +
                             skip;
        uint8_t* out = argb + static_cast<std::ptrdiff_t>(y - region.top) * rowStep;
        for (int x = region.left; x < region.right; ++x, out += 4)
            Put(out, src);
    }
}
} // namespace

void PaintBackground(const CBackgroundFill& fill, const CRect& region, uint8_t* argb, int rowStep) {
    if (argb == nullptr || region.IsEmpty()) return;
    const CImage* image = fill.GetImage();
    const int bpp = image ? PixelBytes(*image) : 0;
    if (fill.NeedsRender() || fill.GetType() == CBackgroundFill::fillSolid || bpp == 0) {
        FillColour(argb, rowStep, region.Width(), region.Height(), RgbOf(fill.GetColour()));
        return;
    }
    if (fill.GetType() == CBackgroundFill::fillImage) {
        if (fill.IsTiled())
            PaintTiled(*image, bpp, region, argb, rowStep);
        else
            PaintCentred(fill, *image, bpp, region, argb, rowStep);
        return;
    }
    PaintStrip(*image, bpp, fill.IsHorizontal(), region, argb, rowStep);
}
