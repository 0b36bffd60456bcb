#include "editor/EditorGeometry.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace pw {
namespace {
constexpr double kPi = std::numbers::pi;

// Which of the eight octant boundaries (pi/8, 3pi/8, ...) an angle in
// [0, 2pi) lies below; 8 past the last one.
int Octant(double a) {
    for (int k = 0; k < 8; ++k)
        if (a < (2 * k + 1) * kPi / 8) return k;
    return 8;
}

double Cross(DPOINT o, DPOINT a, DPOINT b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool SegmentsCross(DPOINT a, DPOINT b, DPOINT c, DPOINT d) {
    const double d1 = Cross(c, d, a), d2 = Cross(c, d, b);
    const double d3 = Cross(a, b, c), d4 = Cross(a, b, d);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return true;
    auto on = [](DPOINT p, DPOINT q, DPOINT r, double cross) {
        return cross == 0 && std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) &&
               std::min(p.y, q.y) <= r.y && r.y <= std::max(p.y, q.y);
    };
    return on(c, d, a, d1) || on(c, d, b, d2) || on(a, b, c, d3) || on(a, b, d, d4);
}
} // namespace

double NormalAngle(double angle) {
    angle = std::fmod(angle, 2 * kPi);
    return angle < 0 ? angle + 2 * kPi : angle;
}

bool HitsHandle(int x, int y, DPOINT handle, bool textFrame) {
    const int hx = static_cast<int>(handle.x), hy = static_cast<int>(handle.y);
    const int lo = textFrame ? 6 : 2, hi = textFrame ? 5 : 2;
    return x >= hx - lo && x <= hx + hi && y >= hy - lo && y <= hy + hi;
}

int ResizeCursorFor(const DPOINT* h, int handle) {
    DPOINT from{}, to{};
    switch (handle) {
    case 1: from = h[2], to = h[0]; break;
    case 3: from = h[0], to = h[5]; break;
    case 4: from = h[7], to = h[2]; break;
    case 6: from = h[5], to = h[7]; break;
    default: return kCursorArrow;
    }
    const double a = NormalAngle(std::atan2(to.y - from.y, to.x - from.x));
    static constexpr int kByOctant[9] = {kCursorSizeNS,   kCursorSizeNESW, kCursorSizeWE,
                                         kCursorSizeNWSE, kCursorSizeNS,   kCursorSizeNESW,
                                         kCursorSizeWE,   kCursorSizeNWSE, kCursorSizeNS};
    return kByOctant[Octant(a)];
}

double SnapAngle(double angle) {
    const int k = Octant(angle);
    return k == 8 ? 0.0 : k * kPi / 4;
}

double DragAngle(double start, double pointer0, double pointer) {
    double a = start + (pointer0 - pointer);
    if (a < 0)
        a += 2 * kPi;
    else if (a > 2 * kPi)
        a -= 2 * kPi;
    return a;
}

CShapeSpan SpanShape(DPOINT anchor, int x, int y, bool square) {
    double dx = x - anchor.x, dy = y - anchor.y;
    if (dx == 0) dx = 1;
    if (dy == 0) dy = 1;
    if (square) {
        const double m = std::min(std::abs(dx), std::abs(dy));
        dx = std::copysign(m, dx);
        dy = std::copysign(m, dy);
    }
    CShapeSpan span;
    span.centre = {anchor.x + dx / 2, anchor.y + dy / 2};
    span.width = std::max(1, static_cast<int32_t>(std::abs(dx)));
    span.height = std::max(1, static_cast<int32_t>(std::abs(dy)));
    return span;
}

bool QuadContains(const DPOINT q[4], double x, double y) {
    // Inside when the point lies on the same side of all four edges.
    bool pos = false, neg = false;
    for (int i = 0; i < 4; ++i) {
        const double c = Cross(q[i], q[(i + 1) % 4], DPOINT{x, y});
        pos = pos || c > 0;
        neg = neg || c < 0;
    }
    return !(pos && neg);
}

bool QuadIntersectsRect(const DPOINT q[4], double left, double top, double right,
                        double bottom) {
    const DPOINT r[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    for (int i = 0; i < 4; ++i) {
        if (q[i].x >= left && q[i].x <= right && q[i].y >= top && q[i].y <= bottom) return true;
        if (QuadContains(q, r[i].x, r[i].y)) return true;
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (SegmentsCross(q[i], q[(i + 1) % 4], r[j], r[(j + 1) % 4])) return true;
    return false;
}

void OutlineOf(const DPOINT* h, DPOINT out[4]) {
    out[0] = h[0];
    out[1] = h[2];
    out[2] = h[7];
    out[3] = h[5];
}

int OppositeHandle(int handle) {
    switch (handle) {
    case 1: return 6;
    case 6: return 1;
    case 3: return 4;
    case 4: return 3;
    default: return handle;
    }
}

} // namespace pw
