#include "services/Path.h"
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace {

constexpr double kKappa = 0.5522847498;

// Ellipse with radii (rx, ry) about (cx, cy), turned by `angle` in the way the
// shape objects turn their outlines, built from four Bézier quarter arcs.
CPath Ellipse(double cx, double cy, double rx, double ry, double angle = 0) {
    const double c = std::cos(angle), s = std::sin(angle);
    auto tx = [&](double x, double y) { return cx + x * c + y * s; };
    auto ty = [&](double x, double y) { return cy - x * s + y * c; };
    const double kx = rx * kKappa, ky = ry * kKappa;
    // 13 points: start at the right midpoint, go round through bottom, left, top.
    const double pts[13][2] = {{rx, 0},   {rx, ky},  {kx, ry},   {0, ry},    {-kx, ry},
                               {-rx, ky}, {-rx, 0},  {-rx, -ky}, {-kx, -ry}, {0, -ry},
                               {kx, -ry}, {rx, -ky}, {rx, 0}};
    CPath p;
    p.MoveTo(tx(pts[0][0], pts[0][1]), ty(pts[0][0], pts[0][1]));
    for (int i = 1; i < 13; i += 3) {
        p.CurveTo(tx(pts[i][0], pts[i][1]), ty(pts[i][0], pts[i][1]),
                  tx(pts[i + 1][0], pts[i + 1][1]), ty(pts[i + 1][0], pts[i + 1][1]),
                  tx(pts[i + 2][0], pts[i + 2][1]), ty(pts[i + 2][0], pts[i + 2][1]));
    }
    p.Close();
    return p;
}

CPath Box(double x0, double y0, double x1, double y1) {
    CPath p;
    p.MoveTo(x0, y0);
    p.LineTo(x1, y0);
    p.LineTo(x1, y1);
    p.LineTo(x0, y1);
    p.Close();
    return p;
}

// Coverage of `clip` as a tightly packed byte grid.
std::vector<uint8_t> Coverage(const CPath& p, const CRect& clip, int fillRule = 0, int level = 16) {
    std::vector<uint8_t> buf(static_cast<size_t>(clip.Width()) * clip.Height(), 0xEE);
    EXPECT_TRUE(p.Rasterize(clip, buf.data(), 1, clip.Width(), fillRule, level));
    return buf;
}

double Area(const std::vector<uint8_t>& cov) {
    double sum = 0;
    for (uint8_t v : cov)
        sum += v;
    return sum / 255.0;
}

} // namespace

TEST(PathTest, EllipseCoverageMatchesAnalyticArea) {
    const double rx = 100, ry = 50;
    const double exact = std::numbers::pi * rx * ry;
    for (double deg : {0.0, 17.0, 30.0, 45.0, 90.0, 123.0, 300.0}) {
        SCOPED_TRACE(deg);
        const CPath p = Ellipse(250.37, 180.61, rx, ry, deg * std::numbers::pi / 180);
        const CRect box = p.GetBoundingBox();
        const double area = Area(Coverage(p, box));
        EXPECT_NEAR(area, exact, exact * (deg == 0 ? 0.005 : 0.01));

        // Analytic half extents of the turned ellipse; the four-arc curve departs
        // from the true ellipse by well under 0.05 px at this size.
        const double a = deg * std::numbers::pi / 180;
        const double hx = std::hypot(rx * std::cos(a), ry * std::sin(a));
        const double hy = std::hypot(rx * std::sin(a), ry * std::cos(a));
        EXPECT_NEAR(box.left, std::floor(250.37 - hx), 1);
        EXPECT_NEAR(box.right, std::ceil(250.37 + hx), 1);
        EXPECT_NEAR(box.top, std::floor(180.61 - hy), 1);
        EXPECT_NEAR(box.bottom, std::ceil(180.61 + hy), 1);
        // Nothing is drawn outside the reported bounds.
        CRect wider{box.left - 2, box.top - 2, box.right + 2, box.bottom + 2};
        EXPECT_NEAR(Area(Coverage(p, wider)), area, 1e-9);
    }
}

TEST(PathTest, UnrotatedEllipseBoundsAreExact) {
    const CPath p = Ellipse(150.3, 120.7, 100, 50);
    EXPECT_EQ(p.GetBoundingBox(), (CRect{50, 70, 251, 171}));
    // A curve's bounds follow the curve, not its control points: this arch
    // peaks at y = 75 although its control points reach y = 100.
    CPath arch;
    arch.MoveTo(0, 0);
    arch.CurveTo(0, 100, 100, 100, 100, 0);
    EXPECT_EQ(arch.GetBoundingBox(), (CRect{0, 0, 100, 75}));
    EXPECT_TRUE(CPath().GetBoundingBox().IsEmpty());
}

TEST(PathTest, FractionalRectangleEdgesGetTheirOverlap) {
    const double x0 = 10.25, x1 = 20.75, y0 = 5.5, y1 = 9.125;
    const CPath p = Box(x0, y0, x1, y1);
    EXPECT_EQ(p.GetBoundingBox(), (CRect{10, 5, 21, 10}));
    const CRect clip{8, 3, 24, 12};
    const auto cov = Coverage(p, clip);
    for (int y = clip.top; y < clip.bottom; ++y) {
        for (int x = clip.left; x < clip.right; ++x) {
            const double ox = std::max(0.0, std::min<double>(x + 1, x1) - std::max<double>(x, x0));
            const double oy = std::max(0.0, std::min<double>(y + 1, y1) - std::max<double>(y, y0));
            const int got = cov[(y - clip.top) * clip.Width() + (x - clip.left)];
            EXPECT_NEAR(got, ox * oy * 255, 1.0) << "pixel " << x << "," << y;
        }
    }
}

TEST(PathTest, ClipWritesOnlyItsPixelsAndOnlyTheFirstByte) {
    const CPath p = Ellipse(40.5, 30.25, 30, 20, 0.4);
    const CRect full = p.GetBoundingBox();
    const auto whole = Coverage(p, full);

    // A clip that cuts the shape, written into a four-byte-per-pixel buffer with
    // spare bytes at the end of each row.
    const CRect clip{25, 22, 61, 41};
    const int bpp = 4, rowStep = clip.Width() * bpp + 12;
    std::vector<uint8_t> buf(static_cast<size_t>(rowStep) * clip.Height() + 7, 0x5A);
    ASSERT_TRUE(p.Rasterize(clip, buf.data(), bpp, rowStep, 0, 16));
    for (int y = 0; y < clip.Height(); ++y) {
        for (int i = 0; i < rowStep; ++i) {
            const uint8_t got = buf[y * rowStep + i];
            const int x = i / bpp;
            if (i % bpp == 0 && x < clip.Width()) {
                const int fx = clip.left + x - full.left, fy = clip.top + y - full.top;
                EXPECT_EQ(got, whole[fy * full.Width() + fx]) << x << "," << y;
            } else {
                EXPECT_EQ(got, 0x5A) << "byte " << i << " of row " << y << " changed";
            }
        }
    }
    for (size_t i = static_cast<size_t>(rowStep) * clip.Height(); i < buf.size(); ++i)
        EXPECT_EQ(buf[i], 0x5A);

    // Rasterised block by block, the shape looks the same as in one piece. The
    // scan converter samples a scan line in 15 sub-rows unless it can take the
    // whole row at once, and that choice depends on the other edges in the row,
    // so an edge pixel may differ by a few steps, never by more than a sub-row.
    for (int ty = full.top; ty < full.bottom; ty += 16) {
        for (int tx = full.left; tx < full.right; tx += 16) {
            const CRect tile = CRect{tx, ty, tx + 16, ty + 16}.Intersect(full);
            const auto cov = Coverage(p, tile);
            for (int y = 0; y < tile.Height(); ++y)
                for (int x = 0; x < tile.Width(); ++x)
                    ASSERT_NEAR(
                        cov[y * tile.Width() + x],
                        whole[(tile.top - full.top + y) * full.Width() + tile.left - full.left + x],
                        255 / 15);
        }
    }
}

TEST(PathTest, FillRulesAndLevels) {
    // Two squares drawn the same way round: winding fills the inner one, even-odd
    // leaves it empty.
    CPath p = Box(0, 0, 20, 20);
    p.MoveTo(5, 5);
    p.LineTo(15, 5);
    p.LineTo(15, 15);
    p.LineTo(5, 15);
    p.Close();
    const CRect clip{0, 0, 20, 20};
    EXPECT_EQ(Coverage(p, clip, 0)[10 * 20 + 10], 255);
    EXPECT_EQ(Coverage(p, clip, 1)[10 * 20 + 10], 0);
    EXPECT_EQ(Coverage(p, clip, 1)[2 * 20 + 2], 255);

    // Without antialiasing every pixel is on or off; the fast level still comes
    // close to the true area.
    const CPath e = Ellipse(60.3, 40.6, 50, 30, 0.5);
    const CRect box = e.GetBoundingBox();
    const double exact = std::numbers::pi * 50 * 30;
    for (uint8_t v : Coverage(e, box, 0, 0))
        ASSERT_TRUE(v == 0 || v == 255);
    EXPECT_NEAR(Area(Coverage(e, box, 0, 0)), exact, exact * 0.03);
    EXPECT_NEAR(Area(Coverage(e, box, 0, 2)), exact, exact * 0.02);
}

TEST(PathTest, BadInputIsRefusedWithoutWriting) {
    const CPath p = Box(1, 1, 5, 5);
    std::vector<uint8_t> buf(100, 7);
    EXPECT_FALSE(p.Rasterize(CRect{3, 3, 3, 8}, buf.data(), 1, 10, 0, 16));
    EXPECT_FALSE(p.Rasterize(CRect{0, 0, 4, 4}, nullptr, 1, 4, 0, 16));
    EXPECT_FALSE(p.Rasterize(CRect{0, 0, 4, 4}, buf.data(), 4, 15, 0, 16));
    EXPECT_FALSE(p.Rasterize(CRect{0, 0, 4, 4}, buf.data(), 0, 15, 0, 16));
    EXPECT_FALSE(p.Rasterize(CRect{0, 0, 4, 4}, buf.data(), 1, 4, 2, 16));
    CPath bad = Box(1, 1, 5, 5);
    bad.LineTo(std::nan(""), 3);
    EXPECT_FALSE(bad.Rasterize(CRect{0, 0, 4, 4}, buf.data(), 1, 4, 0, 16));
    EXPECT_TRUE(bad.GetBoundingBox().IsEmpty());
    for (uint8_t v : buf)
        EXPECT_EQ(v, 7);

    // An empty outline covers nothing; clearing a path empties it.
    CPath cleared = Box(0, 0, 10, 10);
    cleared.Clear();
    EXPECT_TRUE(cleared.IsEmpty());
    for (uint8_t v : Coverage(cleared, CRect{0, 0, 10, 10}))
        EXPECT_EQ(v, 0);
    // A line without a current point starts the outline there.
    CPath lineFirst;
    lineFirst.LineTo(2, 2);
    lineFirst.LineTo(6, 2);
    lineFirst.LineTo(6, 6);
    lineFirst.Close();
    EXPECT_EQ(lineFirst.GetBoundingBox(), (CRect{2, 2, 6, 6}));
    EXPECT_NEAR(Area(Coverage(lineFirst, CRect{0, 0, 8, 8})), 8.0, 0.15);
}
