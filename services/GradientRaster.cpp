#include "services/GradientRaster.h"
#include "image/Image.h"
#include "services/ColorBand.h"
#include "services/CubicWeights.h"
#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>
#include <vector>

namespace {
constexpr int kGuard = 3;      // repeated end pixels on each side of the band
constexpr int kRowBlock = 256; // rows written per pass
constexpr int64_t kOne = 65536;

// Samples the guarded band at the 16.16 position.
inline void Sample(const uint8_t* band, int lastIndex, int64_t position,
                   const CCubicWeights& weights, uint8_t* out) {
    int64_t whole = position >> 16;
    const int phase = static_cast<int>((position >> 8) & 0xFF);
    if (phase == 0) {
        whole = std::clamp<int64_t>(whole, 0, lastIndex);
        const uint8_t* p = band + whole * 3;
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
        return;
    }
    // Positions can only stray past the guard pixels by rounding; hold the
    // four taps inside the band.
    whole = std::clamp<int64_t>(whole, 1, lastIndex - 2);
    const uint8_t* p = band + (whole - 1) * 3;
    const int32_t* w = weights.weights[phase];
    for (int c = 0; c < 3; ++c) {
        const int32_t sum = w[0] * p[c] + w[1] * p[3 + c] + w[2] * p[6 + c] + w[3] * p[9 + c];
        if (sum >= 255 * 4096)
            out[c] = 255;
        else if (sum < 4096)
            out[c] = 0;
        else
            out[c] = static_cast<uint8_t>(sum >> CCubicWeights::kShift);
    }
}
} // namespace

CGradientGeometry GradientGeometry(int angleDegrees, int width, int height) {
    CGradientGeometry g;
    int theta = angleDegrees % 360;
    if (theta < 0) theta += 360;
    const int o = 360 - theta; // 1..360
    const double w = width, h = height;
    if (o <= 90) {
        g.p0x = 0, g.p0y = 0, g.p1x = w, g.p1y = h;
    } else if (o <= 180) {
        g.p0x = w, g.p0y = 0, g.p1x = 0, g.p1y = h;
    } else if (o <= 270) {
        g.p0x = w, g.p0y = h, g.p1x = 0, g.p1y = 0;
    } else {
        g.p0x = 0, g.p0y = h, g.p1x = w, g.p1y = 0;
    }
    const double radians = o * std::numbers::pi / 180.0;
    g.ux = std::cos(radians);
    g.uy = std::sin(radians);
    const double length = (g.p1x - g.p0x) * g.ux + (g.p1y - g.p0y) * g.uy;
    g.bandLength = static_cast<int>(std::trunc(std::fabs(length)));
    return g;
}

bool RasterizeGradient(const GRADIENTCOLORS& gradient, int angleDegrees, uint8_t* rgb, int width,
                       int height, std::size_t rowBytes, const CCubicWeights& weights) {
    if (!rgb || width <= 0 || height <= 0 || rowBytes < static_cast<std::size_t>(width) * 3)
        return false;
    const CGradientGeometry geo = GradientGeometry(angleDegrees, width, height);
    // A band needs at least two pixels to hold both ends.
    const int n = std::max(geo.bandLength, 2);
    std::vector<uint8_t> band;
    try {
        band.resize(static_cast<std::size_t>(n + 2 * kGuard) * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    uint8_t* core = band.data() + kGuard * 3;
    BuildColorBand(&gradient, core, n);
    for (int i = 0; i < kGuard; ++i) {
        std::copy_n(core, 3, band.data() + i * 3);
        std::copy_n(core + (n - 1) * 3, 3, core + (n + i) * 3);
    }
    const int lastIndex = n + 2 * kGuard - 1;

    // Floating point once, then integer steps.
    const int64_t start = static_cast<int64_t>(
        std::trunc((kGuard + (0 - geo.p0x) * geo.ux + (0 - geo.p0y) * geo.uy) * kOne));
    const int64_t stepX = static_cast<int64_t>(std::trunc(geo.ux * kOne));
    const int64_t stepY = static_cast<int64_t>(std::trunc(geo.uy * kOne));

    for (int top = 0; top < height; top += kRowBlock) {
        const int bottom = std::min(height, top + kRowBlock);
        int64_t rowStart = start + stepY * top;
        for (int y = top; y < bottom; ++y, rowStart += stepY) {
            uint8_t* out = rgb + static_cast<std::size_t>(y) * rowBytes;
            int64_t position = rowStart;
            if (stepX == 0) {
                // Every pixel of the row has the same colour.
                Sample(band.data(), lastIndex, position, weights, out);
                for (int x = 1; x < width; ++x)
                    std::copy_n(out, 3, out + x * 3);
                continue;
            }
            for (int x = 0; x < width; ++x, position += stepX, out += 3)
                Sample(band.data(), lastIndex, position, weights, out);
        }
    }
    return true;
}

bool RenderGradientImage(const GRADIENTCOLORS& gradient, int angleDegrees, CImage& image) {
    if (image.GetMode() != IMAGE_RGB8 || !image.Bits()) return false;
    return RasterizeGradient(gradient, angleDegrees, image.Bits(), image.Width(), image.Height(),
                             image.RowBytes(), GetCubicWeights());
}
