#include "tests/support/ImageDiff.h"
#include <cstdlib>
#include <sstream>

namespace pwtest {

void PixelAt(const CImage& image, int x, int y, uint8_t rgb[3]) {
    const int bpp = image.HasAlpha() ? 4 : 3;
    const uint8_t* p = image.Bits() + y * image.RowBytes() + x * bpp + (bpp - 3);
    rgb[0] = p[0], rgb[1] = p[1], rgb[2] = p[2];
}

CImageDiff CompareImages(const CImage& a, const CImage& b, const CRect& area,
                         const std::vector<CRect>& excluded) {
    constexpr int kBlock = 16;
    const CRect r =
        area.Intersect({0, 0, std::min(a.Width(), b.Width()), std::min(a.Height(), b.Height())});
    CImageDiff d;
    double total = 0.0;
    for (int by = r.top; by < r.bottom; by += kBlock)
        for (int bx = r.left; bx < r.right; bx += kBlock) {
            double blockSum = 0.0;
            long long blockPixels = 0;
            for (int y = by; y < std::min(by + kBlock, r.bottom); ++y)
                for (int x = bx; x < std::min(bx + kBlock, r.right); ++x) {
                    bool skip = false;
                    for (const CRect& e : excluded)
                        skip = skip || e.Contains(x, y);
                    if (skip) continue;
                    uint8_t pa[3], pb[3];
                    PixelAt(a, x, y, pa);
                    PixelAt(b, x, y, pb);
                    for (int c = 0; c < 3; ++c)
                        blockSum += std::abs(pa[c] - pb[c]);
                    ++blockPixels;
                }
            if (blockPixels == 0) continue;
            total += blockSum;
            d.pixels += blockPixels;
            const double blockMean = blockSum / (3.0 * static_cast<double>(blockPixels));
            if (blockMean > d.worstBlock)
                d.worstBlock = blockMean, d.worstBlockX = bx, d.worstBlockY = by;
        }
    if (d.pixels > 0) d.mean = total / (3.0 * static_cast<double>(d.pixels));
    return d;
}

std::string CImageDiff::Describe() const {
    std::ostringstream s;
    s.precision(3);
    s << "mean " << mean << ", worst 16x16 block " << worstBlock << " at (" << worstBlockX << ", "
      << worstBlockY << "), " << pixels << " pixels compared";
    return s.str();
}

} // namespace pwtest
