#include "services/RotateScale.h"
#include "services/CairoSurface.h"
#include <cmath>
#include <numbers>

using namespace cairosupport;

namespace {

struct CosSin {
    double c;
    double s;
};

// Cosine and sine with the quarter turns made exact, so that 2π − 0 or π/2
// map pixels onto pixels instead of resampling them by a hair's breadth.
CosSin Turn(double angle) {
    const double a = std::fmod(angle, 2 * std::numbers::pi);
    CosSin r{std::cos(a), std::sin(a)};
    for (double* v : {&r.c, &r.s}) {
        if (std::fabs(*v) < 1e-12) *v = 0;
        if (std::fabs(std::fabs(*v) - 1) < 1e-12) *v = *v > 0 ? 1 : -1;
    }
    return r;
}

// Rounds up, ignoring the last bits of floating-point noise (100.0000000001 is 100).
int CeilTolerant(double v) {
    return static_cast<int>(std::ceil(v - 1e-7));
}

} // namespace

bool CRotateScale::ResultSize(int width, int height, double angle, DPOINT centre, int& resultWidth,
                              int& resultHeight) {
    if (width <= 0 || height <= 0 || !std::isfinite(angle) || !std::isfinite(centre.x) ||
        !std::isfinite(centre.y))
        return false;
    const CosSin t = Turn(angle);
    double hx = 0, hy = 0; // largest distance of a turned corner from the centre
    for (double x : {0.0, double(width)}) {
        for (double y : {0.0, double(height)}) {
            const double dx = x - centre.x, dy = y - centre.y;
            hx = std::max(hx, std::fabs(dx * t.c - dy * t.s));
            hy = std::max(hy, std::fabs(dx * t.s + dy * t.c));
        }
    }
    if (2 * hx > kMaxSide || 2 * hy > kMaxSide) return false;
    resultWidth = std::max(1, CeilTolerant(2 * hx));
    resultHeight = std::max(1, CeilTolerant(2 * hy));
    return true;
}

std::unique_ptr<CImage> CRotateScale::Transform(int width, int height, double angle, DPOINT centre,
                                                bool smooth, bool padOutside,
                                                const CColor* background) const {
    int outW = 0, outH = 0;
    if (!ResultSize(width, height, angle, centre, outW, outH)) return nullptr;
    const CosSin t = Turn(angle);
    const bool rgb = WithoutAlpha(m_source->GetMode()) == IMAGE_RGB8 && m_source->Bits() &&
                     m_source->Width() > 0 && m_source->Height() > 0;
    if (!rgb) return nullptr;
    // Nothing to resample: copy, which also keeps colours under low alpha that a
    // trip through premultiplied pixels would coarsen.
    if (t.c == 1 && outW == width && outH == height && width == m_source->Width() &&
        height == m_source->Height() && centre.x == width / 2.0 && centre.y == height / 2.0) {
        auto copy = std::make_unique<CImage>(*m_source);
        return copy->Bits() ? std::move(copy) : nullptr;
    }
    SurfacePtr src = SurfaceFromImage(*m_source);
    if (!src) return nullptr;
    auto result = std::make_unique<CImage>(m_source->GetMode(), outW, outH, m_source->GetDpi());
    if (result->Bits() == nullptr) return nullptr;
    SurfacePtr dst = CreateImageSurface(CAIRO_FORMAT_ARGB32, outW, outH);
    if (!dst) return nullptr;
    ContextPtr cr = CreateContext(dst.get());
    if (!cr) return nullptr;
    cairo_t* c = cr.get();

    if (!m_source->HasAlpha()) {
        const COLORREF bg = background ? background->GetCOLORREF() : 0xffffffu;
        cairo_set_source_rgb(c, (bg & 0xff) / 255.0, ((bg >> 8) & 0xff) / 255.0,
                             ((bg >> 16) & 0xff) / 255.0);
        cairo_paint(c);
    }

    // Result space ← turned frame ← stretched frame ← source pixels.
    cairo_matrix_t turn;
    cairo_matrix_init(&turn, t.c, t.s, -t.s, t.c, 0, 0);
    cairo_translate(c, outW / 2.0, outH / 2.0);
    cairo_transform(c, &turn);
    cairo_translate(c, -centre.x, -centre.y);
    cairo_scale(c, double(width) / m_source->Width(), double(height) / m_source->Height());

    cairo_set_source_surface(c, src.get(), 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(c);
    // Padding makes the filter see the border pixels repeated, so the turned
    // rectangle's edges come only from the antialiased outline below, not from
    // the filter fading into transparency.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, smooth ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    if (padOutside) {
        cairo_paint(c);
    } else {
        cairo_set_antialias(c, smooth ? CAIRO_ANTIALIAS_GOOD : CAIRO_ANTIALIAS_NONE);
        cairo_rectangle(c, 0, 0, m_source->Width(), m_source->Height());
        cairo_fill(c);
    }
    if (cairo_status(c) != CAIRO_STATUS_SUCCESS) return nullptr;
    if (!SurfaceToImage(dst.get(), *result)) return nullptr;
    return result;
}
