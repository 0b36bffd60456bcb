#pragma once
#include "services/Geometry.h"
#include <cstdint>
#include <vector>

// A vector outline (straight and cubic Bézier segments, in pixel coordinates
// with y downwards) that can report its bounds and rasterise its antialiased
// coverage into a caller's pixel buffer.
class CPath {
public:
    enum FILL_RULE { fillWinding = 0, fillEvenOdd = 1 };

    void MoveTo(double x, double y);
    // Without a current point a segment starts where it ends (as a MoveTo would).
    void LineTo(double x, double y);
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3);
    void Close();
    void Clear();
    bool IsEmpty() const { return m_ops.empty(); }

    // Integer bounds of the outline: floor of the smallest and ceiling of the
    // largest coordinate; curves count with their true extent, not their control
    // points. Empty when nothing is drawn or a coordinate is not finite.
    CRect GetBoundingBox() const;

    // Writes the outline's coverage (0..255) of every pixel of `clip` into byte 0
    // of the matching buffer pixel; buffer pixel (0, 0) is the clip's top-left
    // pixel and the pixel's other bytes stay as they are. `level` picks the
    // antialiasing: 3 and above exact-area coverage (16 is the usual), 2 a fast
    // preview, 0 or 1 none. False, with nothing written, for an empty clip, a
    // missing buffer, a row step too small for the clip, an unknown fill rule, a
    // non-finite coordinate or when memory is short.
    bool Rasterize(const CRect& clip, uint8_t* buffer, int bytesPerPixel, int rowStep, int fillRule,
                   int level) const;

private:
    enum class Op : uint8_t { Move, Line, Curve, Close };
    struct Segment {
        Op op;
        double pt[6];
    };

    void Add(const Segment& s);

    std::vector<Segment> m_ops;
    bool m_hasCurrent = false;
    bool m_finite = true;
};
