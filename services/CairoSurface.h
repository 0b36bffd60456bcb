#pragma once
// Small private helpers shared by the cairo-backed imaging services.
#include <cairo.h>
#include <memory>

class CImage;

namespace cairosupport {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;

// Largest side cairo's image surfaces accept.
constexpr int kMaxSide = 32767;

// A new image surface, or null when the size is out of range or memory is short.
inline SurfacePtr CreateImageSurface(cairo_format_t format, int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
    SurfacePtr s(cairo_image_surface_create(format, width, height));
    if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    return s;
}

// A drawing context on the surface, or null on failure.
inline ContextPtr CreateContext(cairo_surface_t* surface) {
    ContextPtr c(cairo_create(surface));
    if (cairo_status(c.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    return c;
}

// Copies an RGB8 image (to RGB24) or an RGB8 image with alpha (to premultiplied
// ARGB32) into a new surface. Null for other modes, missing pixels or failure.
SurfacePtr SurfaceFromImage(const CImage& image);
// Copies an ARGB32 surface of the image's size back into an RGB8 image, with or
// without alpha; colours are un-premultiplied for images with alpha.
bool SurfaceToImage(cairo_surface_t* surface, CImage& image);

} // namespace cairosupport
