#include "services/CairoSurface.h"
#include "image/Image.h"
#include <cstdint>

namespace cairosupport {

namespace {

inline uint32_t Premultiply(uint32_t c, uint32_t a) { return (c * a + 127) / 255; }

inline uint8_t Unpremultiply(uint32_t c, uint32_t a) {
    const uint32_t v = (c * 255 + a / 2) / a;
    return static_cast<uint8_t>(v > 255 ? 255 : v);
}

bool IsRgbImage(const CImage& image) {
    return WithoutAlpha(image.GetMode()) == IMAGE_RGB8 && image.Bits() != nullptr &&
           image.Width() > 0 && image.Height() > 0;
}

} // namespace

SurfacePtr SurfaceFromImage(const CImage& image) {
    if (!IsRgbImage(image)) return nullptr;
    const bool alpha = image.HasAlpha();
    const int w = image.Width();
    const int h = image.Height();
    SurfacePtr s = CreateImageSurface(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, w, h);
    if (!s) return nullptr;
    cairo_surface_flush(s.get());
    uint8_t* data = cairo_image_surface_get_data(s.get());
    const int stride = cairo_image_surface_get_stride(s.get());
    const size_t rowBytes = image.RowBytes();
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = image.Bits() + y * rowBytes;
        auto* dst = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        if (alpha) {
            for (int x = 0; x < w; ++x, src += 4) {
                const uint32_t a = src[0];
                dst[x] = a << 24 | Premultiply(src[1], a) << 16 | Premultiply(src[2], a) << 8 |
                         Premultiply(src[3], a);
            }
        } else {
            for (int x = 0; x < w; ++x, src += 3)
                dst[x] = 0xff000000u | uint32_t(src[0]) << 16 | uint32_t(src[1]) << 8 | src[2];
        }
    }
    cairo_surface_mark_dirty(s.get());
    return s;
}

bool SurfaceToImage(cairo_surface_t* surface, CImage& image) {
    if (!IsRgbImage(image) || cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32 ||
        cairo_image_surface_get_width(surface) != image.Width() ||
        cairo_image_surface_get_height(surface) != image.Height())
        return false;
    cairo_surface_flush(surface);
    const bool alpha = image.HasAlpha();
    const uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const size_t rowBytes = image.RowBytes();
    for (int y = 0; y < image.Height(); ++y) {
        const auto* src = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        uint8_t* dst = image.Bits() + y * rowBytes;
        for (int x = 0; x < image.Width(); ++x) {
            const uint32_t p = src[x];
            const uint32_t a = p >> 24;
            uint32_t r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
            if (alpha) {
                *dst++ = static_cast<uint8_t>(a);
                if (a == 0) {
                    r = g = b = 0;
                } else if (a < 255) {
                    r = Unpremultiply(r, a);
                    g = Unpremultiply(g, a);
                    b = Unpremultiply(b, a);
                }
            }
            *dst++ = static_cast<uint8_t>(r);
            *dst++ = static_cast<uint8_t>(g);
            *dst++ = static_cast<uint8_t>(b);
        }
    }
    return true;
}

} // namespace cairosupport
