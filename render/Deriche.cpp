#include "render/Deriche.h"
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <numbers>

namespace {
// y+[k] = n0 x[k] + n1 x[k-1] + n2 x[k-2] + n3 x[k-3] - d1 y+[k-1] - ... - d4 y+[k-4]
// y-[k] = m1 x[k+1] + ... + m4 x[k+4] - d1 y-[k+1] - ... - d4 y-[k+4]
struct CCoefficients {
    float n[4];
    float m[5]; // m[1..4]
    float d[5]; // d[1..4]
};

CCoefficients Coefficients(double sigma) {
    constexpr double a0 = 1.6803, a1 = 3.735, b0 = 1.783, b1 = 1.723;
    constexpr double w0 = 0.6318, w1 = 1.997, c0 = -0.6803, c1 = -0.2598;
    const double scale = 1.0 / (sigma * std::sqrt(2.0 * std::numbers::pi));
    const double A0 = a0 * scale, A1 = a1 * scale, C0 = c0 * scale, C1 = c1 * scale;
    const double B0 = b0 / sigma, B1 = b1 / sigma, W0 = w0 / sigma, W1 = w1 / sigma;
    const double cw0 = std::cos(W0), sw0 = std::sin(W0), cw1 = std::cos(W1), sw1 = std::sin(W1);
    const double e0 = std::exp(-B0), e1 = std::exp(-B1);

    double n[4], d[5];
    n[0] = A0 + C0;
    n[1] = e1 * (C1 * sw1 - (C0 + 2 * A0) * cw1) + e0 * (A1 * sw0 - (2 * C0 + A0) * cw0);
    n[2] = 2 * e0 * e1 * ((A0 + C0) * cw1 * cw0 - A1 * cw1 * sw0 - C1 * cw0 * sw1) + C0 * e0 * e0 +
           A0 * e1 * e1;
    n[3] = e1 * e0 * e0 * (C1 * sw1 - C0 * cw1) + e0 * e1 * e1 * (A1 * sw0 - A0 * cw0);
    d[0] = 1;
    d[1] = -2 * e1 * cw1 - 2 * e0 * cw0;
    d[2] = 4 * cw1 * cw0 * e0 * e1 + e1 * e1 + e0 * e0;
    d[3] = -2 * cw0 * e0 * e1 * e1 - 2 * cw1 * e1 * e0 * e0;
    d[4] = e0 * e0 * e1 * e1;

    CCoefficients k{};
    for (int i = 0; i < 4; ++i)
        k.n[i] = static_cast<float>(n[i]);
    for (int i = 1; i <= 4; ++i)
        k.d[i] = static_cast<float>(d[i]);
    for (int i = 1; i <= 3; ++i)
        k.m[i] = static_cast<float>(n[i] - d[i] * n[0]);
    k.m[4] = static_cast<float>(-d[4] * n[0]);
    return k;
}

// Filters every column of a width x height float plane at once (row by row,
// so the inner loops run along memory). out receives the result; ring is
// scratch of 5 rows.
void ColumnPass(const float* in, float* out, float* ring, int width, int height,
                const CCoefficients& k) {
    const auto row = [width](const float* base, int y) {
        return base + static_cast<std::ptrdiff_t>(y) * width;
    };
    // Causal pass straight into out.
    for (int y = 0; y < height; ++y) {
        float* o = out + static_cast<std::ptrdiff_t>(y) * width;
        const float* x0 = row(in, y);
        for (int x = 0; x < width; ++x)
            o[x] = k.n[0] * x0[x];
        for (int j = 1; j <= 4 && j <= y; ++j) {
            const float* xj = row(in, y - j);
            const float* yj = row(out, y - j);
            const float nj = j < 4 ? k.n[j] : 0.0f, dj = k.d[j];
            for (int x = 0; x < width; ++x)
                o[x] += nj * xj[x] - dj * yj[x];
        }
    }
    // Anti-causal pass: its last four rows live in the ring, the sum goes
    // into out.
    const auto ringRow = [ring, width](int y) {
        return ring + static_cast<std::ptrdiff_t>(((y % 5) + 5) % 5) * width;
    };
    for (int y = height - 1; y >= 0; --y) {
        float* a = ringRow(y);
        std::fill(a, a + width, 0.0f);
        for (int j = 1; j <= 4 && y + j < height; ++j) {
            const float* xj = row(in, y + j);
            const float* yj = ringRow(y + j);
            const float mj = k.m[j], dj = k.d[j];
            for (int x = 0; x < width; ++x)
                a[x] += mj * xj[x] - dj * yj[x];
        }
        float* o = out + static_cast<std::ptrdiff_t>(y) * width;
        for (int x = 0; x < width; ++x)
            o[x] += a[x];
    }
}

// dst (height x width) = transpose of src (width x height), in tiles so both
// sides stay in the cache.
void Transpose(const float* src, float* dst, int width, int height) {
    constexpr int tile = 32;
    for (int y0 = 0; y0 < height; y0 += tile) {
        for (int x0 = 0; x0 < width; x0 += tile) {
            const int y1 = std::min(height, y0 + tile), x1 = std::min(width, x0 + tile);
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    dst[static_cast<std::ptrdiff_t>(x) * height + y] =
                        src[static_cast<std::ptrdiff_t>(y) * width + x];
        }
    }
}
// Float planes of one thread that only grow, left as they are between
// blurs: every pass writes each float before it reads it. Blurs of the
// size of a page do not stay behind in them.
class CFloats {
public:
    float* Get(std::size_t count) {
        constexpr std::size_t kKept = std::size_t{1} << 20;
        if (count > kKept) {
            m_large.reset(new float[count]);
            return m_large.get();
        }
        if (count > m_size) {
            m_data.reset(new float[count]);
            m_size = count;
        }
        return m_data.get();
    }
    void ReleaseLarge() { m_large.reset(); }

private:
    std::unique_ptr<float[]> m_data, m_large;
    std::size_t m_size = 0;
};

thread_local CFloats t_plane, t_pass, t_ring;
} // namespace

void DericheBlur(float* data, int width, int height, double sigma) {
    if (data == nullptr || width <= 0 || height <= 0 || !(sigma > 0)) return;
    const CCoefficients k = Coefficients(sigma);
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    float* a = t_pass.Get(count);
    float* ring = t_ring.Get(static_cast<std::size_t>(5) * std::max(width, height));
    // Columns first in the original layout, then the rows as the columns of
    // the transposed plane; the two orders give the same separable result.
    ColumnPass(data, a, ring, width, height, k);
    Transpose(a, data, width, height);
    ColumnPass(data, a, ring, height, width, k);
    Transpose(a, data, height, width);
    t_pass.ReleaseLarge();
    t_ring.ReleaseLarge();
}

void DericheBlur(uint8_t* plane, int rowStep, int width, int height, double sigma) {
    if (plane == nullptr || width <= 0 || height <= 0 || !(sigma > 0)) return;
    float* f = t_plane.Get(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const uint8_t* p = plane + static_cast<std::ptrdiff_t>(y) * rowStep;
        float* q = f + static_cast<std::ptrdiff_t>(y) * width;
        for (int x = 0; x < width; ++x)
            q[x] = p[x];
    }
    DericheBlur(f, width, height, sigma);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = plane + static_cast<std::ptrdiff_t>(y) * rowStep;
        const float* q = f + static_cast<std::ptrdiff_t>(y) * width;
        for (int x = 0; x < width; ++x)
            p[x] = static_cast<uint8_t>(std::clamp(q[x] + 0.5f, 0.0f, 255.0f));
    }
    t_plane.ReleaseLarge();
}
