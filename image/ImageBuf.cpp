// Pixel transfer between an image and a caller's pixel map.
#include "image/Image.h"
#include "image/PlaneCopy.h"

#include <algorithm>
#include <cstring>

using pwimage::AllOnes;
using pwimage::CopyRect;
using pwimage::CopyRectRescaled;
using pwimage::FillRect;
using pwimage::PlaneView;
using pwimage::Walk;

namespace {

bool SupportedBits(int bits) {
    return bits == 8 || bits == 16 || bits == 32 || bits == 64;
}

// What the transfer needs to know about a pixel map, after checking that the
// descriptor can be used without touching memory it does not describe.
struct MapLayout {
    int bits = 0;
    int bytes = 0;
    bool alpha = false;
    int colourPlanes = 0;
};

bool DescribeMap(const CPixMap& map, MapLayout& out) {
    const int bits = map.bitsPerPlane;
    if (!SupportedBits(bits) || bits != BitsPerPlaneOfMode(map.mode)) return false;
    if (map.width < 0 || map.height < 0 || map.planes < 1) return false;
    if (map.interleaved) {
        if (!map.plane[0].data || map.plane[0].pixelStep < map.planes) return false;
    } else {
        if (map.planes > 4) return false;
        for (int k = 0; k < map.planes; ++k)
            if (!map.plane[k].data || map.plane[k].pixelStep < 1) return false;
    }
    out.bits = bits;
    out.bytes = bits / 8;
    out.alpha = ModeHasAlpha(map.mode);
    out.colourPlanes = map.planes - (out.alpha ? 1 : 0);
    return true;
}

// Plane k of the map (k counts the alpha plane when there is one).
PlaneView MapPlane(const CPixMap& map, int k, int bytes) {
    if (map.interleaved) {
        const CPixMap::PlaneDesc& p = map.plane[0];
        return {p.data + static_cast<ptrdiff_t>(k) * bytes,
                static_cast<ptrdiff_t>(p.pixelStep) * bytes, p.rowStep};
    }
    const CPixMap::PlaneDesc& p = map.plane[k];
    return {p.data, static_cast<ptrdiff_t>(p.pixelStep) * bytes, p.rowStep};
}

// Whole pixels of an interleaved map.
PlaneView MapPixels(const CPixMap& map, int bytes) {
    return MapPlane(map, 0, bytes);
}

// Map rectangle that received image pixels; everything else is "outside".
struct Rect {
    int64_t x = 0, y = 0, w = 0, h = 0;
    bool Empty() const { return w <= 0 || h <= 0; }
};

// Calls band(x, y, w, h) for the up to eight bands of the map around `in`
// (merged into full-width strips above and below, and side pieces between).
template <typename Band> void ForEachOutsideBand(const CPixMap& map, const Rect& in, Band band) {
    const int64_t w = map.width, h = map.height;
    if (in.Empty()) {
        band(0, 0, w, h);
        return;
    }
    band(0, 0, w, in.y);
    band(0, in.y + in.h, w, h - in.y - in.h);
    band(0, in.y, in.x, in.h);
    band(in.x + in.w, in.y, w - in.x - in.w, in.h);
}

// Sample k of a colour's store at the given depth; samples that do not fit
// into the 8-byte store read as 0.
void StoreSample(const CColor& c, int k, int bytes, uint8_t* out) {
    std::memset(out, 0, static_cast<size_t>(bytes));
    if ((k + 1) * bytes <= 8)
        std::memcpy(out, c.GetColor() + k * bytes, static_cast<size_t>(bytes));
}

void MarkOutside(const CPixMap& map, const MapLayout& lay, const Rect& in,
                 CImage::maskMethod method, const CColor& mask) {
    const int first = lay.alpha ? 1 : 0;
    const bool fill = method == CImage::maskFill || method == CImage::maskFill2;
    // The mask colour is given in its own mode; bring it to the map's colour
    // mode so each plane gets the matching component.
    CColor colour = mask;
    if (fill) colour.Convert(WithoutAlpha(map.mode));
    const size_t pixelBytes = static_cast<size_t>(map.planes) * lay.bytes;
    if (fill && map.interleaved && pixelBytes <= 32) {
        // Whole pixels at once: transparent alpha followed by the mask colour.
        uint8_t pixel[32] = {};
        for (int k = 0; k < lay.colourPlanes; ++k)
            StoreSample(colour, k, lay.bytes, pixel + (first + k) * lay.bytes);
        const PlaneView pixels = MapPixels(map, lay.bytes);
        ForEachOutsideBand(map, in, [&](int64_t x, int64_t y, int64_t w, int64_t h) {
            FillRect(pixels, x, y, w, h, pixel, pixelBytes);
        });
        return;
    }
    if (lay.alpha) {
        const uint8_t zero[8] = {};
        const PlaneView a = MapPlane(map, 0, lay.bytes);
        ForEachOutsideBand(map, in, [&](int64_t x, int64_t y, int64_t w, int64_t h) {
            FillRect(a, x, y, w, h, zero, static_cast<size_t>(lay.bytes));
        });
    }
    if (fill) {
        for (int k = 0; k < lay.colourPlanes; ++k) {
            uint8_t value[8];
            StoreSample(colour, k, lay.bytes, value);
            const PlaneView p = MapPlane(map, first + k, lay.bytes);
            ForEachOutsideBand(map, in, [&](int64_t x, int64_t y, int64_t w, int64_t h) {
                FillRect(p, x, y, w, h, value, static_cast<size_t>(lay.bytes));
            });
        }
    } else if (method == CImage::maskClamp && !in.Empty()) {
        const size_t size = static_cast<size_t>(lay.bytes);
        const int64_t right = in.x + in.w;
        for (int k = 0; k < lay.colourPlanes; ++k) {
            const PlaneView p = MapPlane(map, first + k, lay.bytes);
            // Edge columns sideways, row by row of the copied rectangle ...
            for (int64_t r = in.y; r < in.y + in.h; ++r) {
                FillRect(p, 0, r, in.x, 1, p.At(in.x, r), size);
                FillRect(p, right, r, map.width - right, 1, p.At(right - 1, r), size);
            }
            // ... then the completed edge rows up and down, corners included.
            for (int64_t r = 0; r < in.y; ++r)
                CopyRect({p, 0, r, 1}, {p, 0, in.y, 1}, map.width, 1, size);
            for (int64_t r = in.y + in.h; r < map.height; ++r)
                CopyRect({p, 0, r, 1}, {p, 0, in.y + in.h - 1, 1}, map.width, 1, size);
        }
    }
}

} // namespace

void CImage::GetBuf(int x, int y, CPixMap& map, maskMethod method, int step) const {
    MapLayout lay;
    if (step < 1 || !DescribeMap(map, lay)) return;
    const int64_t s = step, w = map.width, h = map.height;
    // An image without pixels behaves as an empty one: the map is all outside.
    const int64_t W = m_buffer ? m_width : 0, H = m_buffer ? m_height : 0;
    int64_t X = x, Y = y;

    // Map pixel (c, r) shows image pixel ((X + c) * s, (Y + r) * s). The map
    // misses the image when its first column is past the right edge or its
    // last column (X + w - 1) is left of column 0; likewise for rows.
    const auto missesImage = [&] { return X * s >= W || X + w <= 0 || Y * s >= H || Y + h <= 0; };
    const bool missed = missesImage();
    if (missed) {
        if (method != maskClamp) {
            MarkOutside(map, lay, Rect{}, method, m_maskColor);
            return;
        }
        if (W == 0 || H == 0 || w == 0 || h == 0) return;
        // Clamping replicates the nearest border: slide the request until it
        // touches the image, which gives the same border samples.
        if (X * s >= W)
            X = (W - 1) / s;
        else if (X + w <= 0)
            X = 1 - w;
        if (Y * s >= H)
            Y = (H - 1) / s;
        else if (Y + h <= 0)
            Y = 1 - h;
    }

    Rect in;
    in.x = X < 0 ? -X : 0;
    in.y = Y < 0 ? -Y : 0;
    const int64_t ix = std::max<int64_t>(X * s, 0), iy = std::max<int64_t>(Y * s, 0);
    in.w = std::min(w - in.x, (W - ix + s - 1) / s);
    in.h = std::min(h - in.y, (H - iy + s - 1) / s);

    const int bits = GetBitsPerPlane(), bytes = bits / 8;
    const size_t rowBytes = RowBytes();
    const auto imagePlane = [&](int k) {
        return PlaneView{m_buffer + static_cast<ptrdiff_t>(k) * bytes,
                         static_cast<ptrdiff_t>(m_planes) * bytes,
                         static_cast<ptrdiff_t>(rowBytes)};
    };
    const bool sameColourMode = WithoutAlpha(m_mode) == WithoutAlpha(map.mode);

    if (sameColourMode && m_mode == map.mode && map.interleaved && map.planes == m_planes) {
        CopyRect({MapPixels(map, bytes), in.x, in.y, 1}, {imagePlane(0), ix, iy, s}, in.w, in.h,
                 static_cast<size_t>(m_planes) * bytes);
    } else {
        if (lay.alpha) {
            const Walk dst{MapPlane(map, 0, lay.bytes), in.x, in.y, 1};
            if (HasAlpha()) {
                CopyRectRescaled(dst, lay.bits, {imagePlane(0), ix, iy, s}, bits, in.w, in.h);
            } else {
                const uint64_t ones = AllOnes(lay.bits);
                uint8_t value[8];
                std::memcpy(value, &ones, sizeof value);
                FillRect(dst.view, in.x, in.y, in.w, in.h, value, static_cast<size_t>(lay.bytes));
            }
        }
        // Colour samples are never converted: a different colour mode gets
        // only its alpha plane.
        if (sameColourMode && bits == lay.bits) {
            const int imageFirst = HasAlpha() ? 1 : 0, mapFirst = lay.alpha ? 1 : 0;
            const int planes = std::min(m_planes - imageFirst, lay.colourPlanes);
            for (int k = 0; k < planes; ++k)
                CopyRect({MapPlane(map, mapFirst + k, bytes), in.x, in.y, 1},
                         {imagePlane(imageFirst + k), ix, iy, s}, in.w, in.h,
                         static_cast<size_t>(bytes));
        }
    }
    MarkOutside(map, lay, in, method, m_maskColor);
    // The slid request borrowed border pixels only for their colour; the map
    // still lies wholly outside the image, so none of it is opaque.
    if (missed && lay.alpha) {
        const uint8_t zero[8] = {};
        FillRect(MapPlane(map, 0, lay.bytes), 0, 0, w, h, zero, static_cast<size_t>(lay.bytes));
    }
}

void CImage::SetBuf(int x, int y, const CPixMap& map, maskMethod, int step) {
    MapLayout lay;
    if (!m_buffer || step < 1 || !DescribeMap(map, lay)) return;
    if (WithoutAlpha(m_mode) != WithoutAlpha(map.mode) || GetBitsPerPlane() != lay.bits) return;
    const int64_t s = step;
    // Every s-th map pixel lands on one image pixel, starting at (x / s, y / s).
    const int64_t ox = x / s, oy = y / s;
    const int64_t cols = (map.width + s - 1) / s, rows = (map.height + s - 1) / s;
    const int64_t ix0 = std::max<int64_t>(ox, 0), iy0 = std::max<int64_t>(oy, 0);
    const int64_t ix1 = std::min<int64_t>(ox + cols, m_width);
    const int64_t iy1 = std::min<int64_t>(oy + rows, m_height);
    if (ix1 <= ix0 || iy1 <= iy0) return;
    const int64_t mx = (ix0 - ox) * s, my = (iy0 - oy) * s;
    const int64_t w = ix1 - ix0, h = iy1 - iy0;

    const int bytes = lay.bytes;
    const size_t rowBytes = RowBytes();
    const auto imagePlane = [&](int k) {
        return PlaneView{m_buffer + static_cast<ptrdiff_t>(k) * bytes,
                         static_cast<ptrdiff_t>(m_planes) * bytes,
                         static_cast<ptrdiff_t>(rowBytes)};
    };

    if (m_mode == map.mode && map.interleaved && map.planes == m_planes) {
        CopyRect({imagePlane(0), ix0, iy0, 1}, {MapPixels(map, bytes), mx, my, s}, w, h,
                 static_cast<size_t>(m_planes) * bytes);
        return;
    }
    const int imageFirst = HasAlpha() ? 1 : 0, mapFirst = lay.alpha ? 1 : 0;
    // A map alpha plane without a counterpart in the image is dropped; an
    // image alpha plane without one in the map keeps its values.
    if (imageFirst && mapFirst)
        CopyRect({imagePlane(0), ix0, iy0, 1}, {MapPlane(map, 0, bytes), mx, my, s}, w, h,
                 static_cast<size_t>(bytes));
    const int planes = std::min(m_planes - imageFirst, lay.colourPlanes);
    for (int k = 0; k < planes; ++k)
        CopyRect({imagePlane(imageFirst + k), ix0, iy0, 1},
                 {MapPlane(map, mapFirst + k, bytes), mx, my, s}, w, h, static_cast<size_t>(bytes));
}
