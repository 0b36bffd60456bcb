#include "services/CairoSurface.h"
#include "image/Image.h"
#include <cstdint>

namespace cairosupport {

namespace {

// Rounded products and quotients for every (alpha, sample) pair: a per-pixel
// division would cost more than the whole resampling.
struct AlphaTables {
    uint8_t mul[256][256];
    uint8_t div[256][256];
    AlphaTables() {
        for (uint32_t a = 0; a < 256; ++a) {
            for (uint32_t c = 0; c < 256; ++c) {
                mul[a][c] = static_cast<uint8_t>((c * a + 127) / 255);
                const uint32_t v = a == 0 ? 0 : (c * 255 + a / 2) / a;
                div[a][c] = static_cast<uint8_t>(v > 255 ? 255 : v);
            }
        }
    }
};

const AlphaTables& Tables() {
    static const AlphaTables tables;
    return tables;
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
                const uint8_t* m = Tables().mul[src[0]];
                dst[x] = uint32_t(src[0]) << 24 | uint32_t(m[src[1]]) << 16 |
                         uint32_t(m[src[2]]) << 8 | m[src[3]];
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
                if (a < 255) {
                    const uint8_t* d = Tables().div[a];
                    r = d[r];
                    g = d[g];
                    b = d[b];
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
