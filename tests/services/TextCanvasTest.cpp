#include "services/TextCanvas.h"
#include "services/FontEngine.h"
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace {

CFontRequest Spec(const char* face, int px, bool bold = false, bool underline = false) {
    return CFontRequest{face, px, bold, false, underline};
}

constexpr COLORREF Rgb(int r, int g, int b) {
    return static_cast<COLORREF>(r | g << 8 | b << 16);
}

uint8_t CoverageAt(const CTextCanvas& c, int x, int y) {
    return c.Coverage()[static_cast<size_t>(y) * c.CoverageStride() + x];
}

const uint8_t* ColourAt(const CTextCanvas& c, int x, int y) {
    return c.Colour() + static_cast<size_t>(y) * c.ColourStride() + 3 * x;
}

// The box around all inked pixels, found by scanning the plane.
CRect ScannedInk(const CTextCanvas& c) {
    CRect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if (CoverageAt(c, x, y)) {
                r.left = std::min(r.left, x);
                r.top = std::min(r.top, y);
                r.right = std::max(r.right, x + 1);
                r.bottom = std::max(r.bottom, y + 1);
            }
    return r.left == INT_MAX ? CRect{} : r;
}

int InkRowsBelow(const CTextCanvas& c, int y0) {
    int rows = 0;
    for (int y = y0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if (CoverageAt(c, x, y)) {
                ++rows;
                break;
            }
    return rows;
}

std::vector<uint8_t> CoverageCopy(const CTextCanvas& c) {
    const uint8_t* p = c.Coverage();
    return {p, p + static_cast<size_t>(c.Height()) * c.CoverageStride()};
}

} // namespace

TEST(TextCanvas, PlanesHaveRowStepsRoundedToFour) {
    CTextCanvas c(5, 3);
    EXPECT_EQ(c.CoverageStride(), 8);
    EXPECT_EQ(c.ColourStride(), 16);
    CTextCanvas empty(-4, 0);
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_TRUE(empty.InkBox().IsEmpty());
    empty.DrawGlyphs(Spec("Arial", 12), U"Nothing fits", 0, 0, 0);
    EXPECT_TRUE(empty.InkBox().IsEmpty());
}

TEST(TextCanvas, InkBoxIsTightAndInsideTheBox) {
    CTextCanvas c(120, 30);
    EXPECT_TRUE(c.InkBox().IsEmpty());
    c.DrawGlyphs(Spec("Arial", 12), U"Hello, world", 2, 2, Rgb(0, 0, 0));
    const CRect ink = c.InkBox();
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_EQ(ink, ScannedInk(c));
    EXPECT_EQ(ink.Intersect(CRect{0, 0, 120, 30}), ink);
    // The text starts near the pen and spans about its measured width.
    const int width = CFontEngine::Instance().TextWidth(Spec("Arial", 12), U"Hello, world");
    EXPECT_NEAR(ink.left, 3, 2);
    EXPECT_NEAR(ink.Width(), width, 3);
    // The ink stays within the line: top plus ascent plus descent.
    const CFontMetrics m = CFontEngine::Instance().Metrics(Spec("Arial", 12));
    EXPECT_GE(ink.top, 2);
    EXPECT_LE(ink.bottom, 2 + m.height);

    c.Clear();
    EXPECT_TRUE(c.InkBox().IsEmpty());
    EXPECT_EQ(ScannedInk(c), CRect{});
}

TEST(TextCanvas, CoverageIsReadAsFromADrawingOnWhite) {
    CTextCanvas c(200, 60);
    c.DrawGlyphs(Spec("Times New Roman", 40), U"Sagittarius", 0, 0, Rgb(0, 0, 0));
    bool full = false, partial = false;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            const uint8_t v = CoverageAt(c, x, y);
            // Raw coverage 5..254 reads as 0..249 and 255 as 255; nothing
            // lands between.
            EXPECT_FALSE(v >= 250 && v < 255) << x << "," << y;
            full |= v == 255;
            partial |= v > 0 && v < 250;
        }
    EXPECT_TRUE(full);
    EXPECT_TRUE(partial);
}

TEST(TextCanvas, ColourPlaneHoldsTheTextColourUnweighted) {
    const COLORREF colour = Rgb(200, 60, 30);
    CTextCanvas c(80, 70);
    c.DrawGlyphs(Spec("Arial", 48, true), U"IW", 4, 4, colour);
    int full = 0, edge = 0;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            const uint8_t cov = CoverageAt(c, x, y);
            const uint8_t* p = ColourAt(c, x, y);
            if (cov == 0) {
                EXPECT_EQ(p[0] | p[1] | p[2], 0);
                continue;
            }
            // Full pixels are exact; edge pixels are divided back to the
            // colour within the rounding of the weighted value.
            const int tolerance = cov == 255 ? 0 : 255 / cov + 1;
            (cov == 255 ? full : edge)++;
            EXPECT_NEAR(p[0], 200, tolerance) << x << "," << y << " cov " << int(cov);
            EXPECT_NEAR(p[1], 60, tolerance) << x << "," << y << " cov " << int(cov);
            EXPECT_NEAR(p[2], 30, tolerance) << x << "," << y << " cov " << int(cov);
        }
    EXPECT_GT(full, 100);
    EXPECT_GT(edge, 10);
}

TEST(TextCanvas, OverlappingDrawingsUniteCoverageAndPaintOver) {
    const CFontRequest spec = Spec("Arial", 24);
    CTextCanvas once(60, 40);
    once.DrawGlyphs(spec, U"ox", 2, 2, Rgb(255, 0, 0));
    CTextCanvas twice(60, 40);
    twice.DrawGlyphs(spec, U"ox", 2, 2, Rgb(255, 0, 0));
    twice.DrawGlyphs(spec, U"ox", 2, 2, Rgb(0, 0, 255));
    bool grew = false;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const int a = CoverageAt(once, x, y), b = CoverageAt(twice, x, y);
            EXPECT_GE(b, a);
            grew |= b > a;
            if (a == 255) {
                const uint8_t* p = ColourAt(twice, x, y);
                EXPECT_EQ(p[0], 0);
                EXPECT_EQ(p[2], 255);
            }
        }
    EXPECT_TRUE(grew);
}

TEST(TextCanvas, PenMovesByTheAdvances) {
    const CFontRequest spec = Spec("Times New Roman", 20);
    CTextCanvas whole(100, 30), pieces(100, 30);
    whole.DrawGlyphs(spec, U"Ab", 3, 1, 0);
    pieces.DrawGlyphs(spec, U"A", 3, 1, 0);
    pieces.DrawGlyphs(spec, U"b", 3 + CFontEngine::Instance().Advance(spec, U'A'), 1, 0);
    EXPECT_EQ(CoverageCopy(whole), CoverageCopy(pieces));
}

TEST(TextCanvas, UnderlineAddsInkBelowTheBaseline) {
    CFontEngine& e = CFontEngine::Instance();
    const CFontRequest plain = Spec("Arial", 16);
    const CFontRequest underlined = Spec("Arial", 16, false, true);
    const int baseline = 2 + e.Metrics(plain).ascent;
    CTextCanvas a(80, 30), b(80, 30);
    a.DrawGlyphs(plain, U"acme", 2, 2, 0);
    b.DrawGlyphs(underlined, U"acme", 2, 2, 0);
    EXPECT_EQ(InkRowsBelow(a, baseline), 0);
    EXPECT_GE(InkRowsBelow(b, baseline), 1);
    // The line runs under the whole text, from the pen to the last advance.
    const CUnderlineMetrics ul = e.Underline(underlined);
    const int row = baseline + ul.offset;
    const int width = e.TextWidth(underlined, U"acme");
    for (int x = 0; x < 80; ++x)
        EXPECT_EQ(CoverageAt(b, x, row), (x >= 2 && x < 2 + width) ? 255 : 0) << x;
    EXPECT_EQ(b.InkBox().bottom, row + ul.thickness);
}

TEST(TextCanvas, DrawingOutsideTheBoxIsClipped) {
    const CFontRequest spec = Spec("Courier New", 20, true, true);
    CTextCanvas c(30, 12);
    c.DrawGlyphs(spec, U"clipped on every side", -7, -6, Rgb(10, 20, 30));
    const CRect ink = c.InkBox();
    EXPECT_FALSE(ink.IsEmpty());
    EXPECT_EQ(ink.Intersect(CRect{0, 0, 30, 12}), ink);
    EXPECT_EQ(ink, ScannedInk(c));
    // Far away in every direction: nothing drawn, nothing overflows.
    CTextCanvas far(30, 12);
    for (const auto& [x, y] :
         {std::pair{INT_MAX - 5, 0}, std::pair{INT_MIN, 0}, std::pair{0, INT_MAX - 5},
          std::pair{0, INT_MIN}, std::pair{-400, 0}})
        far.DrawGlyphs(spec, U"WWWW", x, y, 0);
    EXPECT_TRUE(far.InkBox().IsEmpty());
    // Text that starts left of the box still lands where its pen puts it.
    CTextCanvas shifted(40, 30), reference(60, 30);
    shifted.DrawGlyphs(Spec("Arial", 20), U"mm", -10, 0, 0);
    reference.DrawGlyphs(Spec("Arial", 20), U"mm", 10, 0, 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(CoverageAt(shifted, x, y), CoverageAt(reference, x + 20, y)) << x << "," << y;
}
