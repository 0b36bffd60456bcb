#include "image/Image.h"
#include "image/PixMap.h"
#include "services/Path.h"
#include "services/RotateScale.h"
#include "services/Scale.h"
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;
const IMAGE_MODE kRgba = WithAlpha(IMAGE_RGB8);

uint8_t* Px(CImage& im, int x, int y) {
    return im.Bits() + y * im.RowBytes() + x * im.GetPlanes();
}
const uint8_t* Px(const CImage& im, int x, int y) {
    return im.Bits() + y * im.RowBytes() + x * im.GetPlanes();
}

CImage RandomImage(IMAGE_MODE mode, int w, int h, unsigned seed, int minAlpha = 0) {
    CImage im(mode, w, h, 96.0);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < im.GetPlanes(); ++k) {
                int v = static_cast<int>(rng() & 0xff);
                if (k == 0 && ModeHasAlpha(mode)) v = std::max(v, minAlpha);
                Px(im, x, y)[k] = static_cast<uint8_t>(v);
            }
    return im;
}

CImage Solid(IMAGE_MODE mode, int w, int h, std::vector<uint8_t> px) {
    CImage im(mode, w, h, 96.0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < im.GetPlanes(); ++k)
                Px(im, x, y)[k] = px[k];
    return im;
}

} // namespace

TEST(RotateScaleTest, UnturnedSameSizeReproducesTheSource) {
    for (IMAGE_MODE mode : {IMAGE_RGB8, kRgba}) {
        const CImage src = RandomImage(mode, 23, 17, 5);
        for (double angle : {0.0, 2 * kPi}) {
            auto out = CRotateScale(src).Transform(23, 17, angle, {11.5, 8.5}, true, false);
            ASSERT_TRUE(out);
            ASSERT_EQ(out->GetMode(), mode);
            ASSERT_EQ(out->Width(), 23);
            ASSERT_EQ(out->Height(), 17);
            for (int y = 0; y < 17; ++y)
                for (int x = 0; x < 23; ++x)
                    for (int k = 0; k < src.GetPlanes(); ++k)
                        ASSERT_EQ(Px(*out, x, y)[k], Px(src, x, y)[k]);
        }
    }
    // A half-pixel shift of the centre is a real resample: premultiplied
    // filtering keeps colours of fairly opaque pixels within a step or two.
    const CImage src = RandomImage(kRgba, 8, 6, 9, 128);
    auto out = CRotateScale(src).Transform(8, 6, 0, {4, 3}, true, true);
    ASSERT_TRUE(out);
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(Px(*out, 3, 2)[k], Px(src, 3, 2)[k], 1);
}

TEST(RotateScaleTest, QuarterTurnsMovePixelsWhereExpected) {
    // 3 × 2 source with a different colour in every pixel.
    CImage src(IMAGE_RGB8, 3, 2, 96.0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            Px(src, x, y)[0] = static_cast<uint8_t>(40 * x + 10);
            Px(src, x, y)[1] = static_cast<uint8_t>(100 * y + 20);
            Px(src, x, y)[2] = static_cast<uint8_t>(7 * x + 50 * y);
        }
    // π/2 turns clockwise on screen: the top-left pixel goes to the top-right
    // corner, pixel (i, j) to (1 − j, i). 3π/2 (an object turned a quarter
    // counter-clockwise) sends the top-left pixel to the bottom-left corner,
    // pixel (i, j) to (j, 2 − i).
    struct Case {
        double angle;
        int (*tx)(int, int);
        int (*ty)(int, int);
    };
    const Case cases[] = {
        {kPi / 2, [](int, int j) { return 1 - j; }, [](int i, int) { return i; }},
        {3 * kPi / 2, [](int, int j) { return j; }, [](int i, int) { return 2 - i; }},
        {-kPi / 2, [](int, int j) { return j; }, [](int i, int) { return 2 - i; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        auto out = CRotateScale(src).Transform(3, 2, c.angle, {1.5, 1}, true, false);
        ASSERT_TRUE(out);
        ASSERT_EQ(out->Width(), 2);
        ASSERT_EQ(out->Height(), 3);
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 3; ++i)
                for (int k = 0; k < 3; ++k)
                    EXPECT_EQ(Px(*out, c.tx(i, j), c.ty(i, j))[k], Px(src, i, j)[k]);
    }
}

TEST(RotateScaleTest, ResultHoldsTheTurnedRectangle) {
    int w = 0, h = 0;
    ASSERT_TRUE(CRotateScale::ResultSize(100, 50, kPi / 4, {50, 25}, w, h));
    EXPECT_EQ(w, 107); // 150 / √2 = 106.07
    EXPECT_EQ(h, 107);
    ASSERT_TRUE(CRotateScale::ResultSize(100, 50, kPi / 6, {50, 25}, w, h));
    EXPECT_EQ(w, 112); // 86.60 + 25
    EXPECT_EQ(h, 94);  // 50 + 43.30
    ASSERT_TRUE(CRotateScale::ResultSize(100, 50, kPi / 2, {50, 25}, w, h));
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 100);
    ASSERT_TRUE(CRotateScale::ResultSize(100, 50, 2 * kPi - 0.0, {50, 25}, w, h));
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 50);
    // A pivot off the middle frames the result on the pivot.
    ASSERT_TRUE(CRotateScale::ResultSize(100, 50, 0, {20, 25}, w, h));
    EXPECT_EQ(w, 160);
    EXPECT_EQ(h, 50);

    const CImage src = Solid(kRgba, 100, 50, {255, 10, 200, 30});
    auto out = CRotateScale(src).Transform(100, 50, kPi / 4, {50, 25}, true, false);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->Width(), 107);
    EXPECT_EQ(out->Height(), 107);
}

TEST(RotateScaleTest, TurnedSolidMatchesTheObjectOutline) {
    // An object of 60 × 20 turned counter-clockwise by phi is drawn from the
    // texture turned by 2π − phi; the texture's alpha must match the outline's
    // coverage, and its centre of mass must stay in the middle.
    const int w = 60, h = 20;
    const CImage src = Solid(kRgba, w, h, {255, 90, 120, 150});
    for (double phi : {0.3, 1.0, 2.5, 4.0}) {
        SCOPED_TRACE(phi);
        auto out =
            CRotateScale(src).Transform(w, h, 2 * kPi - phi, {w / 2.0, h / 2.0}, true, false);
        ASSERT_TRUE(out);
        const int W = out->Width(), H = out->Height();
        const double cx = W / 2.0, cy = H / 2.0, c = std::cos(phi), s = std::sin(phi);
        CPath outline;
        const double corners[4][2] = {
            {-w / 2.0, -h / 2.0}, {w / 2.0, -h / 2.0}, {w / 2.0, h / 2.0}, {-w / 2.0, h / 2.0}};
        for (int i = 0; i < 4; ++i) {
            const double x = cx + corners[i][0] * c + corners[i][1] * s;
            const double y = cy - corners[i][0] * s + corners[i][1] * c;
            i == 0 ? outline.MoveTo(x, y) : outline.LineTo(x, y);
        }
        outline.Close();
        std::vector<uint8_t> cov(static_cast<size_t>(W) * H);
        ASSERT_TRUE(outline.Rasterize({0, 0, W, H}, cov.data(), 1, W, 0, 16));

        double mass = 0, mx = 0, my = 0;
        int worst = 0;
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                const uint8_t* p = Px(*out, x, y);
                worst = std::max(worst, std::abs(p[0] - cov[y * W + x]));
                mass += p[0];
                mx += p[0] * (x + 0.5);
                my += p[0] * (y + 0.5);
                // Premultiplied filtering coarsens colours under faint alpha.
                if (p[0] >= 128) {
                    ASSERT_NEAR(p[1], 90, 1);
                    ASSERT_NEAR(p[2], 120, 1);
                    ASSERT_NEAR(p[3], 150, 1);
                }
            }
        }
        EXPECT_LE(worst, 16);
        EXPECT_NEAR(mass / 255, w * h, w * h * 0.01);
        EXPECT_NEAR(mx / mass, cx, 0.05);
        EXPECT_NEAR(my / mass, cy, 0.05);
    }
}

TEST(RotateScaleTest, OutsideIsTransparentOrBackground) {
    const CImage rgba = Solid(kRgba, 40, 40, {255, 0, 0, 0});
    auto a = CRotateScale(rgba).Transform(40, 40, kPi / 4, {20, 20}, true, false);
    ASSERT_TRUE(a);
    EXPECT_EQ(Px(*a, 0, 0)[0], 0);
    EXPECT_EQ(Px(*a, a->Width() / 2, a->Height() / 2)[0], 255);

    const CImage rgb = Solid(IMAGE_RGB8, 40, 40, {0, 0, 0});
    auto white = CRotateScale(rgb).Transform(40, 40, kPi / 4, {20, 20}, true, false);
    ASSERT_TRUE(white);
    EXPECT_EQ(white->GetMode(), IMAGE_RGB8);
    EXPECT_EQ(Px(*white, 0, 0)[0], 255);
    EXPECT_EQ(Px(*white, 0, 0)[2], 255);
    const CColor blue(CColor::blue);
    auto bg = CRotateScale(rgb).Transform(40, 40, kPi / 4, {20, 20}, true, false, &blue);
    ASSERT_TRUE(bg);
    EXPECT_EQ(Px(*bg, 0, 0)[0], 0);
    EXPECT_EQ(Px(*bg, 0, 0)[2], 255);
    EXPECT_EQ(Px(*bg, 28, 28)[2], 0); // inside the turned square

    // Padding repeats the border instead.
    auto padded = CRotateScale(rgba).Transform(40, 40, kPi / 4, {20, 20}, true, true);
    ASSERT_TRUE(padded);
    EXPECT_EQ(Px(*padded, 0, 0)[0], 255);
}

TEST(RotateScaleTest, StretchingAveragesAndKeepsFlatColour) {
    // A one-pixel checker shrunk by four becomes even grey, not an alias pattern.
    CImage checker(IMAGE_RGB8, 64, 64, 96.0);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            for (int k = 0; k < 3; ++k)
                Px(checker, x, y)[k] = (x + y) % 2 ? 255 : 0;
    auto small = CRotateScale(checker).Transform(16, 16, 0, {8, 8}, true, false);
    ASSERT_TRUE(small);
    for (int y = 1; y < 15; ++y)
        for (int x = 1; x < 15; ++x)
            EXPECT_NEAR(Px(*small, x, y)[1], 128, 12) << x << "," << y;

    // A flat picture enlarged to an odd size stays flat up to its edges.
    const CImage flat = Solid(kRgba, 10, 10, {255, 30, 60, 90});
    auto big = CRotateScale(flat).Transform(37, 23, 0, {18.5, 11.5}, true, false);
    ASSERT_TRUE(big);
    ASSERT_EQ(big->Width(), 37);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) {
            const uint8_t* p = Px(*big, x, y);
            ASSERT_EQ(p[0], 255);
            ASSERT_EQ(p[1], 30);
            ASSERT_EQ(p[2], 60);
            ASSERT_EQ(p[3], 90);
        }
}

TEST(RotateScaleTest, BadArgumentsGiveNoImage) {
    const CImage src = Solid(IMAGE_RGB8, 4, 4, {1, 2, 3});
    const CRotateScale rs(src);
    EXPECT_FALSE(rs.Transform(0, 4, 0, {0, 2}));
    EXPECT_FALSE(rs.Transform(4, -1, 0, {2, 0}));
    EXPECT_FALSE(rs.Transform(4, 4, std::nan(""), {2, 2}));
    EXPECT_FALSE(rs.Transform(4, 4, 0, {INFINITY, 2}));
    EXPECT_FALSE(rs.Transform(40000, 4, 0, {20000, 2}));
    const CImage gray(IMAGE_GRAY8, 4, 4, 96.0);
    EXPECT_FALSE(CRotateScale(gray).Transform(4, 4, 0, {2, 2}));
    const CImage empty;
    EXPECT_FALSE(CRotateScale(empty).Transform(4, 4, 0, {2, 2}));
}

// ---- CScale ----

namespace {

CPixMap RandomMap(IMAGE_MODE mode, int w, int h, unsigned seed) {
    CPixMap m(mode, w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < m.planes; ++k)
                *m.Sample(x, y, k) = rng() & 0xff;
    return m;
}

// Copies the part `r` of a whole-image map into a map of its own.
CPixMap Crop(const CPixMap& whole, const CRect& r) {
    CPixMap m(whole.mode, r.Width(), r.Height());
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x)
            for (int k = 0; k < m.planes; ++k)
                *m.Sample(x, y, k) = *whole.Sample(r.left + x, r.top + y, k);
    return m;
}

// Scales `src` through blocks of bw × bh destination pixels.
CPixMap ScaleInBlocks(const CPixMap& src, int dw, int dh, int bw, int bh) {
    CScale scale(dw, dh, src.width, src.height, true);
    CPixMap out(src.mode, dw, dh);
    for (int y = 0; y < dh; y += bh) {
        for (int x = 0; x < dw; x += bw) {
            CRect srcRect;
            const CRect dstRect{x, y, std::min(dw, x + bw), std::min(dh, y + bh)};
            EXPECT_TRUE(scale.GetSrcRect(dstRect, srcRect));
            EXPECT_EQ(srcRect.Intersect({0, 0, src.width, src.height}), srcRect);
            CPixMap band = Crop(src, srcRect);
            CPixMap block(src.mode, dstRect.Width(), dstRect.Height());
            EXPECT_TRUE(scale.Transform(band, block));
            for (int r = 0; r < block.height; ++r)
                for (int c = 0; c < block.width; ++c)
                    for (int k = 0; k < out.planes; ++k)
                        *out.Sample(x + c, y + r, k) = *block.Sample(c, r, k);
        }
    }
    return out;
}

bool SameMaps(const CPixMap& a, const CPixMap& b) {
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            for (int k = 0; k < a.planes; ++k)
                if (*a.Sample(x, y, k) != *b.Sample(x, y, k)) return false;
    return true;
}

} // namespace

TEST(ScaleTest, BandedEqualsWhole) {
    const CPixMap big = RandomMap(IMAGE_RGB8, 1000, 800, 1);
    const CPixMap whole = ScaleInBlocks(big, 131, 105, 131, 105);
    EXPECT_TRUE(SameMaps(whole, ScaleInBlocks(big, 131, 105, 131, 16)));
    EXPECT_TRUE(SameMaps(whole, ScaleInBlocks(big, 131, 105, 40, 7)));

    const CPixMap little = RandomMap(kRgba, 37, 23, 2);
    const CPixMap up = ScaleInBlocks(little, 200, 150, 200, 150);
    EXPECT_TRUE(SameMaps(up, ScaleInBlocks(little, 200, 150, 200, 16)));
    EXPECT_TRUE(SameMaps(up, ScaleInBlocks(little, 200, 150, 33, 5)));

    int bw = 0, bh = 0;
    CScale(131, 105, 1000, 800).GetBlockSize(bw, bh);
    EXPECT_EQ(bw, 131);
    EXPECT_GT(bh, 0);
}

TEST(ScaleTest, KnownValues) {
    // A constant stays constant whichever way it is scaled.
    CPixMap flat(kRgba, 50, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 50; ++x)
            for (int k = 0; k < 4; ++k)
                *flat.Sample(x, y, k) = static_cast<uint8_t>(200 - 40 * k);
    for (auto [w, h] : {std::pair{17, 11}, std::pair{123, 71}, std::pair{50, 30}}) {
        const CPixMap out = ScaleInBlocks(flat, w, h, w, 16);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int k = 0; k < 4; ++k)
                    ASSERT_EQ(*out.Sample(x, y, k), 200 - 40 * k);
    }

    // A 2 × 2 checker at 1:1 is unchanged.
    CPixMap checker(IMAGE_RGB8, 2, 2);
    for (int k = 0; k < 3; ++k) {
        *checker.Sample(0, 0, k) = *checker.Sample(1, 1, k) = 255;
        *checker.Sample(1, 0, k) = *checker.Sample(0, 1, k) = 0;
    }
    EXPECT_TRUE(SameMaps(checker, ScaleInBlocks(checker, 2, 2, 2, 2)));

    // Halving averages each 2 × 2 block; the remainder rounds to nearest.
    const CPixMap src = RandomMap(IMAGE_RGB8, 8, 6, 3);
    const CPixMap half = ScaleInBlocks(src, 4, 3, 4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            for (int k = 0; k < 3; ++k) {
                const int sum = *src.Sample(2 * x, 2 * y, k) + *src.Sample(2 * x + 1, 2 * y, k) +
                                *src.Sample(2 * x, 2 * y + 1, k) +
                                *src.Sample(2 * x + 1, 2 * y + 1, k);
                EXPECT_NEAR(*half.Sample(x, y, k), sum / 4.0, 0.5 + 1e-9);
            }

    // Doubling interpolates between pixel centres: 0, 100 → 0, 25, 75, 100.
    CPixMap ramp(IMAGE_RGB8, 2, 1);
    *ramp.Sample(1, 0, 0) = 100;
    const CPixMap twice = ScaleInBlocks(ramp, 4, 1, 4, 1);
    EXPECT_EQ(*twice.Sample(0, 0, 0), 0);
    EXPECT_EQ(*twice.Sample(1, 0, 0), 25);
    EXPECT_EQ(*twice.Sample(2, 0, 0), 75);
    EXPECT_EQ(*twice.Sample(3, 0, 0), 100);

    // With alpha, a transparent neighbour does not tint the colour.
    CPixMap pair(kRgba, 2, 1);
    const uint8_t opaqueRed[4] = {255, 255, 0, 0}, clearGreen[4] = {0, 0, 255, 0};
    for (int k = 0; k < 4; ++k) {
        *pair.Sample(0, 0, k) = opaqueRed[k];
        *pair.Sample(1, 0, k) = clearGreen[k];
    }
    const CPixMap one = ScaleInBlocks(pair, 1, 1, 1, 1);
    EXPECT_EQ(*one.Sample(0, 0, 0), 128);
    EXPECT_EQ(*one.Sample(0, 0, 1), 255);
    EXPECT_EQ(*one.Sample(0, 0, 2), 0);
}

TEST(ScaleTest, RectanglesAndBadInput) {
    CScale scale(100, 50, 400, 200);
    CRect srcRect;
    // Outside parts of the destination rectangle are dropped.
    ASSERT_TRUE(scale.GetSrcRect({-10, 40, 30, 60}, srcRect));
    EXPECT_EQ(srcRect, (CRect{0, 160, 120, 200}));
    EXPECT_FALSE(scale.GetSrcRect({100, 0, 120, 10}, srcRect));
    EXPECT_TRUE(srcRect.IsEmpty());
    CPixMap dst(IMAGE_RGB8, 10, 10);
    CPixMap src(IMAGE_RGB8, 40, 40);
    EXPECT_FALSE(scale.Transform(src, dst)); // no band chosen

    ASSERT_TRUE(scale.GetSrcRect({0, 0, 10, 10}, srcRect));
    EXPECT_EQ(srcRect, (CRect{0, 0, 40, 40}));
    CPixMap tooSmall(IMAGE_RGB8, 39, 40);
    EXPECT_FALSE(scale.Transform(tooSmall, dst));
    CPixMap otherMode(kRgba, 40, 40);
    EXPECT_FALSE(scale.Transform(otherMode, dst));
    CPixMap smallDst(IMAGE_RGB8, 9, 10);
    EXPECT_FALSE(scale.Transform(src, smallDst));
    EXPECT_TRUE(scale.Transform(src, dst));
    // An explicit band must hold what the rectangle needs.
    EXPECT_FALSE(scale.Transform(src, {1, 0, 41, 40}, dst, {0, 0, 10, 10}));
    EXPECT_TRUE(scale.Transform(src, {0, 0, 40, 40}, dst, {0, 0, 10, 10}));

    CScale bad(0, 10, 10, 10);
    EXPECT_FALSE(bad.IsValid());
    EXPECT_FALSE(bad.GetSrcRect({0, 0, 1, 1}, srcRect));
}
