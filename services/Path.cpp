#include "services/Path.h"
#include "services/CairoSurface.h"
#include <cmath>
#include <cstring>
#include <limits>

using namespace cairosupport;

namespace {

// Grows [lo, hi] by the extremes of one coordinate of a cubic Bézier segment:
// the end points plus the roots of the derivative that lie inside (0, 1).
void CubicExtent(double p0, double p1, double p2, double p3, double& lo, double& hi) {
    auto take = [&](double v) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    };
    take(p0);
    take(p3);
    const double a = -p0 + 3 * p1 - 3 * p2 + p3;
    const double b = 2 * (p0 - 2 * p1 + p2);
    const double c = p1 - p0;
    auto at = [&](double t) {
        if (t > 0 && t < 1) {
            const double u = 1 - t;
            take(u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3);
        }
    };
    const double scale = std::max({std::fabs(a), std::fabs(b), std::fabs(c)});
    if (scale == 0) return;
    if (std::fabs(a) <= 1e-12 * scale) {
        if (b != 0) at(-c / b);
        return;
    }
    const double disc = b * b - 4 * a * c;
    if (disc < 0) return;
    const double sq = std::sqrt(disc);
    at((-b + sq) / (2 * a));
    at((-b - sq) / (2 * a));
}

cairo_antialias_t AntialiasForLevel(int level) {
    if (level >= 16) return CAIRO_ANTIALIAS_BEST;
    if (level >= 3) return CAIRO_ANTIALIAS_GOOD;
    if (level == 2) return CAIRO_ANTIALIAS_FAST;
    return CAIRO_ANTIALIAS_NONE;
}

} // namespace

void CPath::Add(const Segment& s) {
    const int n = s.op == Op::Curve ? 6 : (s.op == Op::Close ? 0 : 2);
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(s.pt[i])) m_finite = false;
    m_ops.push_back(s);
}

void CPath::MoveTo(double x, double y) {
    Add({Op::Move, {x, y}});
    m_hasCurrent = true;
}

void CPath::LineTo(double x, double y) {
    if (!m_hasCurrent) return MoveTo(x, y);
    Add({Op::Line, {x, y}});
}

void CPath::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    if (!m_hasCurrent) MoveTo(x1, y1);
    Add({Op::Curve, {x1, y1, x2, y2, x3, y3}});
}

void CPath::Close() {
    if (m_hasCurrent) Add({Op::Close, {}});
}

void CPath::Clear() {
    m_ops.clear();
    m_hasCurrent = false;
    m_finite = true;
}

CRect CPath::GetBoundingBox() const {
    if (!m_finite) return {};
    constexpr double inf = std::numeric_limits<double>::infinity();
    double x0 = inf, y0 = inf, x1 = -inf, y1 = -inf;
    double cx = 0, cy = 0; // current point
    for (const Segment& s : m_ops) {
        switch (s.op) {
        case Op::Move:
            cx = s.pt[0];
            cy = s.pt[1];
            break;
        case Op::Line:
            x0 = std::min({x0, cx, s.pt[0]});
            x1 = std::max({x1, cx, s.pt[0]});
            y0 = std::min({y0, cy, s.pt[1]});
            y1 = std::max({y1, cy, s.pt[1]});
            cx = s.pt[0];
            cy = s.pt[1];
            break;
        case Op::Curve:
            CubicExtent(cx, s.pt[0], s.pt[2], s.pt[4], x0, x1);
            CubicExtent(cy, s.pt[1], s.pt[3], s.pt[5], y0, y1);
            cx = s.pt[4];
            cy = s.pt[5];
            break;
        case Op::Close:
            break; // the closing line runs between points already counted
        }
    }
    if (x0 > x1 || y0 > y1) return {};
    const auto clampInt = [](double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); };
    return {clampInt(std::floor(x0)), clampInt(std::floor(y0)), clampInt(std::ceil(x1)),
            clampInt(std::ceil(y1))};
}

bool CPath::Rasterize(const CRect& clip, uint8_t* buffer, int bytesPerPixel, int rowStep,
                      int fillRule, int level) const {
    if (clip.IsEmpty() || buffer == nullptr || bytesPerPixel < 1 || !m_finite) return false;
    if (fillRule != fillWinding && fillRule != fillEvenOdd) return false;
    const int w = clip.Width();
    const int h = clip.Height();
    if (static_cast<int64_t>(w) * bytesPerPixel > rowStep) return false;

    SurfacePtr surface = CreateImageSurface(CAIRO_FORMAT_A8, w, h);
    if (!surface) return false;
    ContextPtr cr = CreateContext(surface.get());
    if (!cr) return false;

    cairo_t* c = cr.get();
    cairo_set_antialias(c, AntialiasForLevel(level));
    // Finer curve flattening than cairo's default: at exact-area quality the
    // chords would otherwise cost a visible share of a small ellipse's area.
    cairo_set_tolerance(c, level >= 3 ? 0.01 : 0.1);
    cairo_set_fill_rule(c, fillRule == fillEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD
                                                   : CAIRO_FILL_RULE_WINDING);
    // Translate in double before cairo sees the points, so that large page
    // coordinates keep their fractions.
    const double ox = clip.left;
    const double oy = clip.top;
    for (const Segment& s : m_ops) {
        switch (s.op) {
        case Op::Move:
            cairo_move_to(c, s.pt[0] - ox, s.pt[1] - oy);
            break;
        case Op::Line:
            cairo_line_to(c, s.pt[0] - ox, s.pt[1] - oy);
            break;
        case Op::Curve:
            cairo_curve_to(c, s.pt[0] - ox, s.pt[1] - oy, s.pt[2] - ox, s.pt[3] - oy, s.pt[4] - ox,
                           s.pt[5] - oy);
            break;
        case Op::Close:
            cairo_close_path(c);
            break;
        }
    }
    cairo_set_source_rgba(c, 0, 0, 0, 1);
    cairo_fill(c);
    if (cairo_status(c) != CAIRO_STATUS_SUCCESS) return false;
    cairo_surface_flush(surface.get());

    const uint8_t* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = data + static_cast<size_t>(y) * stride;
        uint8_t* dst = buffer + static_cast<size_t>(y) * rowStep;
        if (bytesPerPixel == 1) {
            std::memcpy(dst, src, static_cast<size_t>(w));
        } else {
            for (int x = 0; x < w; ++x, dst += bytesPerPixel)
                *dst = src[x];
        }
    }
    return true;
}
