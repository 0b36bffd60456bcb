#include "services/Scale.h"
#include <algorithm>
#include <cmath>

namespace {

// Where sample k of a map's pixels lives: pixel (x, y) is at
// base + y * rowStep + x * pixelStep (8-bit samples).
struct SampleRef {
    uint8_t* base;
    int pixelStep;
    int rowStep;
    uint8_t* At(int x, int y) const {
        return base + static_cast<ptrdiff_t>(y) * rowStep + static_cast<ptrdiff_t>(x) * pixelStep;
    }
};

bool Samples(const CPixMap& map, int k, SampleRef& ref) {
    const CPixMap::PlaneDesc& p = map.interleaved ? map.plane[0] : map.plane[k];
    if (p.data == nullptr || p.pixelStep <= 0 || p.rowStep <= 0) return false;
    ref = {p.data + (map.interleaved ? k : 0), p.pixelStep, p.rowStep};
    return true;
}

int MapPlanes(const CPixMap& map) {
    return map.planes > 0 ? map.planes : PlanesOfMode(map.mode);
}

} // namespace

CScale::CScale(int dstWidth, int dstHeight, int srcWidth, int srcHeight, bool smooth)
    : m_dstWidth(dstWidth), m_dstHeight(dstHeight), m_srcWidth(srcWidth), m_srcHeight(srcHeight),
      m_valid(dstWidth > 0 && dstHeight > 0 && srcWidth > 0 && srcHeight > 0) {
    if (!m_valid) return;
    m_x = BuildAxis(dstWidth, srcWidth, smooth);
    m_y = BuildAxis(dstHeight, srcHeight, smooth);
}

CScale::Axis CScale::BuildAxis(int dst, int src, bool smooth) {
    Axis a;
    const double ratio = double(src) / dst;
    std::vector<double> w;
    for (int i = 0; i < dst; ++i) {
        w.clear();
        int first = 0;
        if (!smooth) {
            first = std::clamp(static_cast<int>(std::floor((i + 0.5) * ratio)), 0, src - 1);
            w.push_back(1);
        } else if (ratio >= 1) {
            // Area average over [lo, hi) in source pixels.
            const double lo = double(i) * src / dst, hi = double(i + 1) * src / dst;
            first = static_cast<int>(std::floor(lo));
            const int last = std::min(src, static_cast<int>(std::ceil(hi)));
            for (int j = first; j < last; ++j)
                w.push_back((std::min<double>(j + 1, hi) - std::max<double>(j, lo)) / ratio);
            // Drop slivers that only floating-point noise put there.
            while (w.size() > 1 && w.back() < 1e-9)
                w.pop_back();
            while (w.size() > 1 && w.front() < 1e-9) {
                w.erase(w.begin());
                ++first;
            }
        } else {
            // Bilinear between the two source pixel centres around this centre.
            const double c = (i + 0.5) * ratio - 0.5;
            first = static_cast<int>(std::floor(c));
            double f = c - first;
            if (first < 0) first = 0, f = 0;
            if (first >= src - 1) first = src - 1, f = 0;
            w.push_back(1 - f);
            if (f > 0) w.push_back(f);
        }
        // Integer weights that sum exactly to one, the rounding put on the largest.
        const int one = 1 << kWeightBits;
        a.first.push_back(first);
        a.count.push_back(static_cast<int>(w.size()));
        a.start.push_back(static_cast<int>(a.weights.size()));
        int sum = 0;
        size_t largest = 0;
        for (size_t k = 0; k < w.size(); ++k) {
            const int q = static_cast<int>(std::lround(w[k] * one));
            a.weights.push_back(q);
            sum += q;
            if (w[k] > w[largest]) largest = k;
        }
        a.weights[a.start.back() + largest] += one - sum;
    }
    return a;
}

void CScale::GetBlockSize(int& width, int& height) const {
    width = std::max(0, m_dstWidth);
    height = std::clamp(m_dstHeight, 0, kBlockRows);
}

CRect CScale::Needed(const CRect& d) const {
    return {m_x.first[d.left], m_y.first[d.top], m_x.first[d.right - 1] + m_x.count[d.right - 1],
            m_y.first[d.bottom - 1] + m_y.count[d.bottom - 1]};
}

bool CScale::GetSrcRect(const CRect& dstRect, CRect& srcRect) {
    m_lastDst = m_lastSrc = srcRect = {};
    if (!m_valid) return false;
    const CRect d = dstRect.Intersect({0, 0, m_dstWidth, m_dstHeight});
    if (d.IsEmpty()) return false;
    // The first source pixel grows with the destination index, so the outer
    // destination pixels bound the band.
    srcRect = Needed(d);
    m_lastDst = d;
    m_lastSrc = srcRect;
    return true;
}

bool CScale::Transform(const CPixMap& src, CPixMap& dst) const {
    if (m_lastDst.IsEmpty()) return false;
    return Transform(src, m_lastSrc, dst, m_lastDst);
}

bool CScale::Transform(const CPixMap& src, const CRect& srcRect, CPixMap& dst,
                       const CRect& dstRect) const {
    if (!m_valid || dstRect.IsEmpty() ||
        dstRect.Intersect({0, 0, m_dstWidth, m_dstHeight}) != dstRect)
        return false;
    const CRect need = Needed(dstRect);
    if (srcRect.Intersect(need) != need) return false;
    const int planes = MapPlanes(src);
    if (planes < 1 || planes > 4 || MapPlanes(dst) != planes || src.bitsPerPlane != 8 ||
        dst.bitsPerPlane != 8 || ModeHasAlpha(src.mode) != ModeHasAlpha(dst.mode))
        return false;
    if (src.width < srcRect.Width() || src.height < srcRect.Height() ||
        dst.width < dstRect.Width() || dst.height < dstRect.Height())
        return false;
    SampleRef in[4], out[4];
    for (int k = 0; k < planes; ++k)
        if (!Samples(src, k, in[k]) || !Samples(dst, k, out[k])) return false;

    // With alpha, colours are carried premultiplied through both passes.
    const bool alpha = ModeHasAlpha(src.mode) && planes > 1;
    const int cols = need.Width();
    std::vector<int32_t> rowSum(static_cast<size_t>(cols) * planes);
    constexpr int shift = 2 * kWeightBits;
    for (int y = dstRect.top; y < dstRect.bottom; ++y) {
        // Vertical pass over the needed columns.
        std::fill(rowSum.begin(), rowSum.end(), 0);
        for (int n = 0; n < m_y.count[y]; ++n) {
            const int32_t wy = m_y.weights[m_y.start[y] + n];
            const int sy = m_y.first[y] + n - srcRect.top;
            for (int k = 0; k < planes; ++k) {
                const uint8_t* p = in[k].At(need.left - srcRect.left, sy);
                const uint8_t* a = in[0].At(need.left - srcRect.left, sy);
                int32_t* acc = rowSum.data() + k;
                for (int x = 0; x < cols; ++x, p += in[k].pixelStep, a += in[0].pixelStep) {
                    const int32_t v = (alpha && k > 0) ? *p * *a : *p;
                    acc[x * planes] += wy * v;
                }
            }
        }
        // Horizontal pass.
        for (int x = dstRect.left; x < dstRect.right; ++x) {
            int64_t sum[4] = {0, 0, 0, 0};
            for (int n = 0; n < m_x.count[x]; ++n) {
                const int64_t wx = m_x.weights[m_x.start[x] + n];
                const int32_t* acc = rowSum.data() + (m_x.first[x] + n - need.left) * planes;
                for (int k = 0; k < planes; ++k)
                    sum[k] += wx * acc[k];
            }
            const int dx = x - dstRect.left, dy = y - dstRect.top;
            for (int k = 0; k < planes; ++k) {
                int64_t v;
                if (alpha && k > 0)
                    v = sum[0] > 0 ? (sum[k] + sum[0] / 2) / sum[0] : 0;
                else
                    v = (sum[k] + (int64_t(1) << (shift - 1))) >> shift;
                *out[k].At(dx, dy) = static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
            }
        }
    }
    return true;
}
