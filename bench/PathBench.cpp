#include "image/Image.h"
#include "image/PixMap.h"
#include "services/Path.h"
#include "services/RotateScale.h"
#include "services/Scale.h"
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// A w × h ellipse about (cx, cy) turned counter-clockwise by `angle`, built the
// way the ellipse object builds its outline.
CPath TurnedEllipse(double cx, double cy, double w, double h, double angle) {
    const double k = 0.5522847498, rx = w / 2, ry = h / 2, c = std::cos(angle), s = std::sin(angle);
    const double pts[13][2] = {{rx, 0},        {rx, ry * k},  {rx * k, ry},  {0, ry},
                               {-rx * k, ry},  {-rx, ry * k}, {-rx, 0},      {-rx, -ry * k},
                               {-rx * k, -ry}, {0, -ry},      {rx * k, -ry}, {rx, -ry * k},
                               {rx, 0}};
    double x[13], y[13];
    for (int i = 0; i < 13; ++i) {
        x[i] = cx + pts[i][0] * c + pts[i][1] * s;
        y[i] = cy - pts[i][0] * s + pts[i][1] * c;
    }
    CPath p;
    p.MoveTo(x[0], y[0]);
    for (int i = 1; i < 13; i += 3)
        p.CurveTo(x[i], y[i], x[i + 1], y[i + 1], x[i + 2], y[i + 2]);
    p.Close();
    return p;
}

void BM_RasterizeEllipseWhole(benchmark::State& state) {
    const CPath p = TurnedEllipse(600.5, 600.5, 1000, 1000, std::numbers::pi / 6);
    const CRect box = p.GetBoundingBox();
    std::vector<uint8_t> buf(static_cast<size_t>(box.Width()) * box.Height() * 4);
    for (auto _ : state) {
        benchmark::DoNotOptimize(p.Rasterize(box, buf.data(), 4, box.Width() * 4, 0, 16));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * box.Width() * box.Height());
}
BENCHMARK(BM_RasterizeEllipseWhole)->Unit(benchmark::kMillisecond);

// The way shape objects render: one call per 256 × 256 block of the work map.
void BM_RasterizeEllipseBlocks(benchmark::State& state) {
    const CPath p = TurnedEllipse(600.5, 600.5, 1000, 1000, std::numbers::pi / 6);
    const CRect box = p.GetBoundingBox();
    const int block = static_cast<int>(state.range(0));
    std::vector<uint8_t> buf(static_cast<size_t>(block) * block * 4);
    for (auto _ : state) {
        for (int y = box.top; y < box.bottom; y += block)
            for (int x = box.left; x < box.right; x += block)
                benchmark::DoNotOptimize(
                    p.Rasterize(CRect{x, y, x + block, y + block}.Intersect(box), buf.data(), 4,
                                block * 4, 0, 16));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * box.Width() * box.Height());
}
BENCHMARK(BM_RasterizeEllipseBlocks)->Arg(256)->Unit(benchmark::kMillisecond);

void BM_RotateScaleRgba(benchmark::State& state) {
    CImage src(WithAlpha(IMAGE_RGB8), 1000, 1000, 96.0);
    for (size_t i = 0; i < src.RowBytes() * 1000; ++i)
        src.Bits()[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
    const CRotateScale rs(src);
    for (auto _ : state) {
        auto out = rs.Transform(1000, 1000, 2 * std::numbers::pi - std::numbers::pi / 6, {500, 500},
                                true, false, nullptr);
        benchmark::DoNotOptimize(out.get());
    }
    state.SetItemsProcessed(state.iterations() * 1000 * 1000);
}
BENCHMARK(BM_RotateScaleRgba)->Unit(benchmark::kMillisecond);

// A page thumbnail: 2000 × 3000 RGB shrunk to 100 × 150 in bands.
void BM_ScaleThumbnail(benchmark::State& state) {
    CPixMap page(IMAGE_RGB8, 2000, 3000);
    for (size_t i = 0; i < page.bufferSize[0]; ++i)
        page.buffer[0][i] = static_cast<uint8_t>(i * 2654435761u >> 24);
    CPixMap out(IMAGE_RGB8, 100, 150);
    for (auto _ : state) {
        CScale scale(100, 150, 2000, 3000, true);
        int bw = 0, bh = 0;
        scale.GetBlockSize(bw, bh);
        for (int y = 0; y < 150; y += bh) {
            CRect srcRect;
            const CRect dstRect{0, y, bw, std::min(150, y + bh)};
            scale.GetSrcRect(dstRect, srcRect);
            // Point the band's map at the needed rows of the page without copying.
            CPixMap view;
            view.width = srcRect.Width();
            view.height = srcRect.Height();
            view.mode = IMAGE_RGB8;
            view.planes = 3;
            view.bitsPerPlane = 8;
            view.plane[0] = {page.plane[0].data + srcRect.top * page.plane[0].rowStep, 3,
                             page.plane[0].rowStep};
            CPixMap dst;
            dst.width = bw;
            dst.height = dstRect.Height();
            dst.mode = IMAGE_RGB8;
            dst.planes = 3;
            dst.bitsPerPlane = 8;
            dst.plane[0] = {out.plane[0].data + y * out.plane[0].rowStep, 3, out.plane[0].rowStep};
            benchmark::DoNotOptimize(scale.Transform(view, dst));
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ScaleThumbnail)->Unit(benchmark::kMillisecond);

} // namespace
