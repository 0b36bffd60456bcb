#include "image/PlaneCopy.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "samples are stored little-endian and loaded through memcpy");

namespace pwimage {
namespace {

template <size_t N>
void CopyElements(uint8_t* d, ptrdiff_t ds, const uint8_t* s, ptrdiff_t ss, int64_t n) {
    for (int64_t i = 0; i < n; ++i, d += ds, s += ss)
        std::memcpy(d, s, N);
}

void CopyElements(size_t size, uint8_t* d, ptrdiff_t ds, const uint8_t* s, ptrdiff_t ss,
                  int64_t n) {
    switch (size) {
    case 1:
        return CopyElements<1>(d, ds, s, ss, n);
    case 2:
        return CopyElements<2>(d, ds, s, ss, n);
    case 3:
        return CopyElements<3>(d, ds, s, ss, n);
    case 4:
        return CopyElements<4>(d, ds, s, ss, n);
    case 6:
        return CopyElements<6>(d, ds, s, ss, n);
    case 8:
        return CopyElements<8>(d, ds, s, ss, n);
    default:
        for (int64_t i = 0; i < n; ++i, d += ds, s += ss)
            std::memcpy(d, s, size);
    }
}

template <size_t N> void FillElements(uint8_t* d, ptrdiff_t ds, const uint8_t* value, int64_t n) {
    uint8_t v[N];
    std::memcpy(v, value, N);
    for (int64_t i = 0; i < n; ++i, d += ds)
        std::memcpy(d, v, N);
}

uint64_t Rescale(uint64_t v, int from, int to) {
    if (from == to) return v;
    if (to < from) return v >> (from - to);
    uint64_t out = 0;
    for (int shift = to - from; shift >= 0; shift -= from)
        out |= v << shift;
    return out;
}

} // namespace

uint64_t AllOnes(int bits) {
    return bits >= 64 ? ~uint64_t{0} : (uint64_t{1} << bits) - 1;
}

void CopyRect(const Walk& dst, const Walk& src, int64_t w, int64_t h, size_t size) {
    if (w <= 0 || h <= 0) return;
    const ptrdiff_t ds = dst.view.pixelStride * dst.step;
    const ptrdiff_t ss = src.view.pixelStride * src.step;
    const bool packed = ds == static_cast<ptrdiff_t>(size) && ss == static_cast<ptrdiff_t>(size);
    for (int64_t r = 0; r < h; ++r) {
        uint8_t* d = dst.view.At(dst.x, dst.y + r * dst.step);
        const uint8_t* s = src.view.At(src.x, src.y + r * src.step);
        if (packed)
            std::memcpy(d, s, static_cast<size_t>(w) * size);
        else
            CopyElements(size, d, ds, s, ss, w);
    }
}

void CopyRectRescaled(const Walk& dst, int dstBits, const Walk& src, int srcBits, int64_t w,
                      int64_t h) {
    if (dstBits == srcBits) return CopyRect(dst, src, w, h, static_cast<size_t>(dstBits / 8));
    const size_t db = static_cast<size_t>(dstBits / 8), sb = static_cast<size_t>(srcBits / 8);
    const ptrdiff_t ds = dst.view.pixelStride * dst.step;
    const ptrdiff_t ss = src.view.pixelStride * src.step;
    for (int64_t r = 0; r < h; ++r) {
        uint8_t* d = dst.view.At(dst.x, dst.y + r * dst.step);
        const uint8_t* s = src.view.At(src.x, src.y + r * src.step);
        for (int64_t c = 0; c < w; ++c, d += ds, s += ss) {
            uint64_t v = 0;
            std::memcpy(&v, s, sb);
            v = Rescale(v, srcBits, dstBits);
            std::memcpy(d, &v, db);
        }
    }
}

void FillRect(const PlaneView& view, int64_t x, int64_t y, int64_t w, int64_t h,
              const uint8_t* value, size_t size) {
    if (w <= 0 || h <= 0) return;
    const ptrdiff_t ds = view.pixelStride;
    for (int64_t r = 0; r < h; ++r) {
        uint8_t* d = view.At(x, y + r);
        if (size == 1 && ds == 1) {
            std::memset(d, *value, static_cast<size_t>(w));
            continue;
        }
        switch (size) {
        case 1:
            FillElements<1>(d, ds, value, w);
            break;
        case 2:
            FillElements<2>(d, ds, value, w);
            break;
        case 3:
            FillElements<3>(d, ds, value, w);
            break;
        case 4:
            FillElements<4>(d, ds, value, w);
            break;
        case 6:
            FillElements<6>(d, ds, value, w);
            break;
        case 8:
            FillElements<8>(d, ds, value, w);
            break;
        default:
            for (int64_t i = 0; i < w; ++i, d += ds)
                std::memcpy(d, value, size);
        }
    }
}

} // namespace pwimage
