#include "services/GradientRaster.h"
#include "image/Image.h"
#include "services/ColorBand.h"
#include "services/CubicWeights.h"
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace {
struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

std::vector<Rgb> Band(const GRADIENTCOLORS& g, int n) {
    std::vector<uint8_t> bytes(static_cast<std::size_t>(n) * 3, 0xEE);
    BuildColorBand(&g, bytes.data(), n);
    std::vector<Rgb> band;
    for (int i = 0; i < n; ++i)
        band.push_back({bytes[i * 3], bytes[i * 3 + 1], bytes[i * 3 + 2]});
    return band;
}

GRADIENTCOLORS Predefined(int no) {
    GRADIENTCOLORS g;
    GetPredefinedGradient(g, no);
    return g;
}

GRADIENTCOLORS BlackToWhite() {
    return Predefined(1);
}

Rgb PixelAt(const CImage& image, int x, int y) {
    const uint8_t* p = image.Bits() + y * image.RowBytes() + x * 3;
    return {p[0], p[1], p[2]};
}
} // namespace

TEST(ColorBand, PredefinedGradientsAndStopsAtTheEnds) {
    EXPECT_EQ(GetPredefinedNo(), 4);

    // White to black over 5 pixels: 255 + j * -255 / 4, truncated toward zero.
    const std::vector<Rgb> five = Band(Predefined(0), 5);
    const int expected[] = {255, 192, 128, 64, 0};
    for (int j = 0; j < 5; ++j)
        EXPECT_EQ(five[j], (Rgb{expected[j], expected[j], expected[j]}));

    // Blue border over 11 pixels: the stop at 0.1 lands on pixel 1.
    const std::vector<Rgb> eleven = Band(Predefined(2), 11);
    for (int j = 0; j < 11; ++j)
        EXPECT_EQ(eleven[j], j <= 1 ? (Rgb{0, 0, 255}) : (Rgb{255, 255, 255})) << j;

    // A stop at 1.0 ends the band in its before-colour; the end colour is unused.
    GRADIENTCOLORS g;
    g.startColour = CColor(0, 0, 0);
    g.endColour = CColor(255, 0, 0);
    g.stopColoursBefore = {CColor(0, 200, 0)};
    g.stopColoursAfter = {CColor(0, 0, 200)};
    g.stopPositions = {1.0};
    const std::vector<Rgb> ends = Band(g, 5);
    EXPECT_EQ(ends[4], (Rgb{0, 200, 0}));
    EXPECT_EQ(ends[2], (Rgb{0, 100, 0}));
    // ... and a stop at 0 starts it in its after-colour.
    g.stopPositions = {0.0};
    const std::vector<Rgb> starts = Band(g, 5);
    EXPECT_EQ(starts[0], (Rgb{0, 0, 200}));
    EXPECT_EQ(starts[4], (Rgb{255, 0, 0}));
    EXPECT_EQ(starts[2], (Rgb{127, 0, 100}));

    // Damaged positions are held to the ends instead of writing past the band.
    g.stopColoursBefore = {CColor(1, 1, 1), CColor(3, 3, 3), CColor(2, 2, 2)};
    g.stopColoursAfter = g.stopColoursBefore;
    g.stopPositions = {-3.0, std::nan(""), 7.5};
    std::vector<uint8_t> guarded(3 * 7, 0xAB);
    BuildColorBand(&g, guarded.data() + 3, 5);
    EXPECT_EQ(guarded[0], 0xAB);
    EXPECT_EQ(guarded[3 * 6], 0xAB);
    EXPECT_EQ(guarded[3 * 5], 2) << "the stop past the end sets the last pixel";

    // One pixel: no interpolation and nothing outside it.
    std::vector<uint8_t> one(6, 0xAB);
    BuildColorBand(&g, one.data() + 0, 1);
    EXPECT_EQ(one[3], 0xAB);
}

TEST(CubicWeights, TableMatchesTheKernel) {
    const CCubicWeights& table = GetCubicWeights();
    EXPECT_EQ(&table, &GetCubicWeights()) << "one shared table";
    const int32_t whole[4] = {0, 4096, 0, 0};
    const int32_t half[4] = {-512, 2560, 2560, -512}; // k(1.5) = -1/8, k(0.5) = 5/8
    for (int m = 0; m < 4; ++m) {
        EXPECT_EQ(table.weights[0][m], whole[m]);
        EXPECT_EQ(table.weights[128][m], half[m]);
    }
    for (int i = 0; i < 256; ++i) {
        const double t = i / 256.0;
        // Independent evaluation of the two branches of the kernel.
        auto outer = [](double x) { return -x * x * x + 5 * x * x - 8 * x + 4; };
        auto inner = [](double x) { return x * x * x - 2 * x * x + 1; };
        const double exact[4] = {outer(1 + t), inner(t), i == 0 ? 0.0 : inner(1 - t),
                                 i == 0 ? 0.0 : outer(2 - t)};
        int sum = 0;
        for (int m = 0; m < 4; ++m) {
            EXPECT_EQ(table.weights[i][m], static_cast<int32_t>(std::trunc(4096 * exact[m]))) << i;
            sum += table.weights[i][m];
            const uint32_t word = table.packed[i][m / 2];
            const auto half16 = static_cast<int16_t>(m % 2 ? word >> 16 : word & 0xFFFF);
            EXPECT_EQ(half16, table.weights[i][m]);
        }
        EXPECT_NEAR(sum, 4096, 4) << "weights keep a flat colour flat";
    }
}

TEST(GradientRaster, StartCornerAndDirectionForEveryOctant) {
    constexpr int W = 64, H = 48;
    struct Case {
        int angle;
        int cornerX, cornerY; // pixel at the start corner
    };
    const Case cases[] = {{0, 0, H - 1},   {45, 0, H - 1},  {90, W - 1, H - 1}, {135, W - 1, H - 1},
                          {180, W - 1, 0}, {225, W - 1, 0}, {270, 0, 0},        {315, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        CImage image(IMAGE_RGB8, W, H, 96.0);
        ASSERT_TRUE(RenderGradientImage(BlackToWhite(), c.angle, image));
        const CGradientGeometry geo = GradientGeometry(c.angle, W, H);
        int darkest = 255;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                darkest = std::min(darkest, PixelAt(image, x, y).r);
        const int step = 255 / (geo.bandLength - 1) + 1;
        EXPECT_EQ(PixelAt(image, c.cornerX, c.cornerY).r, darkest);
        EXPECT_LE(darkest, 2 * step);
        // Brighter along the direction, pixel by pixel, never darker.
        const int sx = geo.ux > 1e-9 ? 1 : geo.ux < -1e-9 ? -1 : 0;
        const int sy = geo.uy > 1e-9 ? 1 : geo.uy < -1e-9 ? -1 : 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const Rgb p = PixelAt(image, x, y);
                ASSERT_EQ(p.r, p.g);
                ASSERT_EQ(p.r, p.b);
                if (sx && x + sx >= 0 && x + sx < W) {
                    ASSERT_GE(PixelAt(image, x + sx, y).r, p.r);
                }
                if (sy && y + sy >= 0 && y + sy < H) {
                    ASSERT_GE(PixelAt(image, x, y + sy).r, p.r);
                }
            }
        // The far corner reaches (nearly) white.
        EXPECT_GE(PixelAt(image, W - 1 - c.cornerX, H - 1 - c.cornerY).r, 255 - 2 * step);
    }
}

TEST(GradientRaster, PixelsMatchAFloatingPointReference) {
    // Horizontal: every row is the band itself.
    constexpr int W = 90, H = 7;
    const GRADIENTCOLORS rainbow = Predefined(3);
    CImage flat(IMAGE_RGB8, W, H, 96.0);
    ASSERT_TRUE(RenderGradientImage(rainbow, 0, flat));
    const std::vector<Rgb> band = Band(rainbow, W);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            ASSERT_EQ(PixelAt(flat, x, y), band[x]) << x << "," << y;

    // Vertical (90): runs bottom to top; column values are the band from the
    // bottom edge, the same in every column.
    CImage tall(IMAGE_RGB8, 3, 50, 96.0);
    ASSERT_TRUE(RenderGradientImage(rainbow, 90, tall));
    const std::vector<Rgb> up = Band(rainbow, 50);
    for (int y = 0; y < 50; ++y) {
        const int along = std::min(50 - y, 49);
        EXPECT_EQ(PixelAt(tall, 0, y), up[along]) << y;
        EXPECT_EQ(PixelAt(tall, 2, y), up[along]) << y;
    }

    // Oblique: cubic interpolation of the band done in doubles.
    constexpr int S = 70;
    GRADIENTCOLORS g;
    g.startColour = CColor(10, 200, 30);
    g.endColour = CColor(250, 20, 130);
    g.stopColoursBefore = {CColor(0, 0, 255)};
    g.stopColoursAfter = {CColor(255, 255, 0)};
    g.stopPositions = {0.4};
    for (int angle : {30, 45, 200, 300}) {
        SCOPED_TRACE(angle);
        CImage image(IMAGE_RGB8, S, S, 96.0);
        ASSERT_TRUE(RenderGradientImage(g, angle, image));
        const double o = (360 - angle) * std::numbers::pi / 180.0;
        const double ux = std::cos(o), uy = std::sin(o);
        const CGradientGeometry geo = GradientGeometry(angle, S, S);
        const std::vector<Rgb> b = Band(g, geo.bandLength);
        const int n = geo.bandLength;
        auto at = [&](int i) { return b[std::clamp(i - 3, 0, n - 1)]; };
        int worst = 0;
        for (int y = 0; y < S; ++y)
            for (int x = 0; x < S; ++x) {
                const double p = 3 + (x - geo.p0x) * ux + (y - geo.p0y) * uy;
                const int i = static_cast<int>(std::floor(p));
                const double t = p - i;
                double ref[3] = {0, 0, 0};
                for (int m = 0; m < 4; ++m) {
                    const Rgb s = at(i - 1 + m);
                    const double w = CubicKernel(t + 1 - m);
                    ref[0] += w * s.r, ref[1] += w * s.g, ref[2] += w * s.b;
                }
                const Rgb got = PixelAt(image, x, y);
                const int values[3] = {got.r, got.g, got.b};
                for (int c = 0; c < 3; ++c) {
                    const double expected = std::clamp(ref[c], 0.0, 255.0);
                    worst = std::max(worst,
                                     static_cast<int>(std::ceil(std::fabs(values[c] - expected))));
                }
            }
        EXPECT_LE(worst, 2);
    }

    // Nothing to draw into.
    CImage grey(IMAGE_GRAY8, 4, 4, 96.0);
    EXPECT_FALSE(RenderGradientImage(rainbow, 0, grey));
    EXPECT_FALSE(RasterizeGradient(rainbow, 0, nullptr, 4, 4, 12, GetCubicWeights()));
}
