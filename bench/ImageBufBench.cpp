// Block transfers between a page-sized ARGB image and 256 x 256 pixel maps,
// next to a plain memcpy of the same rows.
#include "image/Image.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

constexpr int kImageSize = 1024;
constexpr int kBlock = 256;
constexpr IMAGE_MODE kArgb = WithAlpha(IMAGE_RGB8);
constexpr int64_t kBlockBytes = int64_t{kBlock} * kBlock * 4;

CImage MakeImage() {
    CImage img(kArgb, kImageSize, kImageSize, 96.0);
    for (size_t i = 0; i < img.BufferBytes(); ++i)
        img.Bits()[i] = static_cast<uint8_t>(i * 31);
    return img;
}

// Walks the 16 blocks of the image in turn, so the data does not stay in cache.
struct BlockWalk {
    int index = 0;
    void Next(int& x, int& y) {
        x = (index % 4) * kBlock;
        y = (index / 4 % 4) * kBlock;
        ++index;
    }
};

void BM_GetBufArgbBlock(benchmark::State& state) {
    const CImage img = MakeImage();
    CPixMap map(kArgb, kBlock, kBlock);
    BlockWalk walk;
    for (auto _ : state) {
        int x, y;
        walk.Next(x, y);
        img.GetBuf(x, y, map, CImage::maskKeep, 1);
        benchmark::DoNotOptimize(map.buffer[0].get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kBlockBytes);
}
BENCHMARK(BM_GetBufArgbBlock);

void BM_SetBufArgbBlock(benchmark::State& state) {
    CImage img = MakeImage();
    CPixMap map(kArgb, kBlock, kBlock);
    std::memset(map.buffer[0].get(), 0x5A, map.bufferSize[0]);
    BlockWalk walk;
    for (auto _ : state) {
        int x, y;
        walk.Next(x, y);
        img.SetBuf(x, y, map, CImage::maskKeep, 1);
        benchmark::DoNotOptimize(img.Bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kBlockBytes);
}
BENCHMARK(BM_SetBufArgbBlock);

// The bound: one memcpy per row of the block, same rows, same strides.
void BM_MemcpyArgbBlockRows(benchmark::State& state) {
    const CImage img = MakeImage();
    CPixMap map(kArgb, kBlock, kBlock);
    const size_t row = img.RowBytes();
    BlockWalk walk;
    for (auto _ : state) {
        int x, y;
        walk.Next(x, y);
        const uint8_t* src = img.Bits() + static_cast<size_t>(y) * row + static_cast<size_t>(x) * 4;
        uint8_t* dst = map.buffer[0].get();
        for (int r = 0; r < kBlock; ++r)
            std::memcpy(dst + static_cast<size_t>(r) * map.plane[0].rowStep, src + r * row,
                        kBlock * 4);
        benchmark::DoNotOptimize(dst);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kBlockBytes);
}
BENCHMARK(BM_MemcpyArgbBlockRows);

// Partly outside: the block hangs over the top-left corner, so a quarter is
// copied and the rest is filled with the transparent mask colour.
void BM_GetBufArgbBlockClipped(benchmark::State& state) {
    const CImage img = MakeImage();
    CPixMap map(kArgb, kBlock, kBlock);
    for (auto _ : state) {
        img.GetBuf(-kBlock / 2, -kBlock / 2, map, CImage::maskFill, 1);
        benchmark::DoNotOptimize(map.buffer[0].get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kBlockBytes);
}
BENCHMARK(BM_GetBufArgbBlockClipped);

// Planar map of an interleaved image: the per-sample path.
void BM_GetBufArgbBlockPlanar(benchmark::State& state) {
    const CImage img = MakeImage();
    CPixMap map = CPixMap::Planar(kArgb, kBlock, kBlock);
    BlockWalk walk;
    for (auto _ : state) {
        int x, y;
        walk.Next(x, y);
        img.GetBuf(x, y, map, CImage::maskKeep, 1);
        benchmark::DoNotOptimize(map.buffer[0].get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kBlockBytes);
}
BENCHMARK(BM_GetBufArgbBlockPlanar);

} // namespace
