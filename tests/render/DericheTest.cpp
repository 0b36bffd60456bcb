#include "render/Deriche.h"
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

TEST(DericheTest, ImpulseResponseIsAGaussianOfTheGivenWidth) {
    for (const double sigma : {2.0, 5.0, 10.0}) {
        SCOPED_TRACE(sigma);
        // Off-centre impulse in a plane that reaches 8 sigma on every side,
        // not square, so rows and columns cannot be mixed up unnoticed.
        const int reach = static_cast<int>(std::ceil(8 * sigma));
        const int w = 2 * reach + 7, h = 2 * reach + 1;
        const int cx = reach + 3, cy = reach;
        std::vector<float> plane(static_cast<size_t>(w) * h, 0.0f);
        const float mass = 1000.0f;
        plane[static_cast<size_t>(cy) * w + cx] = mass;
        DericheBlur(plane.data(), w, h, sigma);

        double sum = 0, mx = 0, my = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double v = plane[static_cast<size_t>(y) * w + x];
                sum += v, mx += v * x, my += v * y;
            }
        mx /= sum, my /= sum;
        double vx = 0, vy = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double v = plane[static_cast<size_t>(y) * w + x];
                vx += v * (x - mx) * (x - mx);
                vy += v * (y - my) * (y - my);
            }
        vx /= sum, vy /= sum;
        EXPECT_NEAR(sum, mass, 0.01 * mass);
        EXPECT_NEAR(mx, cx, 0.01);
        EXPECT_NEAR(my, cy, 0.01);
        EXPECT_NEAR(vx, sigma * sigma, 0.05 * sigma * sigma);
        EXPECT_NEAR(vy, sigma * sigma, 0.05 * sigma * sigma);
        // Symmetric about the centre and highest there.
        const float* row = plane.data() + static_cast<size_t>(cy) * w;
        EXPECT_NEAR(row[cx - 3], row[cx + 3], 1e-3 * row[cx]);
        EXPECT_GT(row[cx], row[cx + 1]);
    }
}

TEST(DericheTest, BytePlaneKeepsFlatAreasAndSoftensEdges) {
    // A 200-valued square with a wide margin, inside a plane with row padding
    // that must stay untouched.
    const int w = 120, h = 100, rowStep = 128;
    std::vector<uint8_t> plane(static_cast<size_t>(rowStep) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = w; x < rowStep; ++x)
            plane[static_cast<size_t>(y) * rowStep + x] = 77;
    for (int y = 30; y < 70; ++y)
        for (int x = 30; x < 90; ++x)
            plane[static_cast<size_t>(y) * rowStep + x] = 200;
    DericheBlur(plane.data(), rowStep, w, h, 2.0);
    const auto at = [&](int x, int y) { return plane[static_cast<size_t>(y) * rowStep + x]; };
    EXPECT_NEAR(at(60, 50), 200, 1); // far from the edges
    // Either side of the edge: 200 * Phi(+-0.25) for sigma 2.
    EXPECT_NEAR(at(30, 50), 120, 2);
    EXPECT_NEAR(at(29, 50), 80, 2);
    EXPECT_EQ(at(5, 5), 0); // far outside
    EXPECT_EQ(at(w, 10), 77);
    EXPECT_EQ(at(rowStep - 1, h - 1), 77);
    for (int x = 0; x < w; ++x)
        EXPECT_LE(at(x, 50), 201);
}
