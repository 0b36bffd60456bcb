#include "image/PixMap.h"
#include "image/BufferSize.h"

#include <new>

using pwimage::BufferBytes;
using pwimage::PaddedRowBytes;

namespace {

std::unique_ptr<uint8_t[]> AllocateZeroed(uint64_t size) {
    if (size == 0) return nullptr;
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]());
}

} // namespace

CPixMap::CPixMap(IMAGE_MODE m, int32_t w, int32_t h)
    : width(w), height(h), mode(m), planes(PlanesOfMode(m)), bitsPerPlane(BitsPerPlaneOfMode(m)),
      interleaved(true) {
    const uint64_t row = PaddedRowBytes(int64_t{planes} * w, bitsPerPlane);
    const uint64_t size = BufferBytes(row, h);
    plane[0] = {nullptr, planes, static_cast<int32_t>(row)};
    buffer[0] = AllocateZeroed(size);
    if (!buffer[0]) return; // a map without memory; GetBuf/SetBuf leave it alone
    bufferSize[0] = size;
    plane[0].data = buffer[0].get();
}

CPixMap CPixMap::Planar(IMAGE_MODE m, int32_t w, int32_t h) {
    CPixMap map;
    map.width = w;
    map.height = h;
    map.mode = m;
    map.planes = PlanesOfMode(m);
    map.bitsPerPlane = BitsPerPlaneOfMode(m);
    map.interleaved = false;
    const uint64_t row = PaddedRowBytes(w, map.bitsPerPlane);
    const uint64_t size = BufferBytes(row, h);
    for (int k = 0; k < map.planes && k < 4; ++k) {
        map.plane[k] = {nullptr, 1, static_cast<int32_t>(row)};
        map.buffer[k] = AllocateZeroed(size);
        if (!map.buffer[k]) continue;
        map.bufferSize[k] = size;
        map.plane[k].data = map.buffer[k].get();
    }
    return map;
}

uint8_t* CPixMap::Sample(int x, int y, int k) const {
    const ptrdiff_t bytes = bitsPerPlane / 8;
    const PlaneDesc& p = interleaved ? plane[0] : plane[k];
    if (!p.data) return nullptr;
    uint8_t* at = p.data + static_cast<ptrdiff_t>(y) * p.rowStep +
                  static_cast<ptrdiff_t>(x) * p.pixelStep * bytes;
    return interleaved ? at + k * bytes : at;
}
