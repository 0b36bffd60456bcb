#include "image/Image.h"
#include "model/BackgroundFill.h"
#include "render/BackgroundPaint.h"
#include "model/ObjectFill.h"
#include <benchmark/benchmark.h>
#include <vector>

namespace {
CFillGradient Rainbow(int angle) {
    GRADIENTCOLORS colours;
    GetPredefinedGradient(colours, 3);
    return CFillGradient(colours, angle);
}

// The tallest page's background as a vertical gradient: a 1 x 30000 strip.
void BM_VerticalBackgroundStrip(benchmark::State& state) {
    CBackgroundFill fill;
    fill.SetWidth(2000);
    fill.SetHeight(30000);
    fill.SetGradient(Rainbow(0));
    fill.SetHorizontal(false);
    for (auto _ : state) {
        fill.Invalidate();
        if (!fill.Render()) state.SkipWithError("strip not rendered");
        benchmark::DoNotOptimize(fill.GetImage());
    }
}
BENCHMARK(BM_VerticalBackgroundStrip)->Unit(benchmark::kMillisecond);

// A 1000 x 1000 object filled with a gradient at 45 degrees: every pixel is
// a cubic sample of the band.
void BM_GradientObject45(benchmark::State& state) {
    CObjectFill fill;
    fill.SetGradient(Rainbow(45));
    for (auto _ : state) {
        fill.Invalidate();
        if (fill.Render(1000, 1000) != 0) state.SkipWithError("gradient not rendered");
        benchmark::DoNotOptimize(fill.GetImage());
    }
    state.SetItemsProcessed(state.iterations() * 1000 * 1000);
}
BENCHMARK(BM_GradientObject45)->Unit(benchmark::kMillisecond);

// Painting the whole 2000 x 30000 page from the strip, tile by tile.
void BM_PaintVerticalBackground(benchmark::State& state) {
    CBackgroundFill fill;
    fill.SetWidth(2000);
    fill.SetHeight(30000);
    fill.SetGradient(Rainbow(0));
    fill.SetHorizontal(false);
    fill.Render();
    std::vector<uint8_t> tile(256 * 256 * 4);
    for (auto _ : state) {
        for (int top = 0; top < 30000; top += 256)
            for (int left = 0; left < 2000; left += 256) {
                const CRect r{left, top, std::min(left + 256, 2000), std::min(top + 256, 30000)};
                PaintBackground(fill, r, tile.data(), 256 * 4);
            }
        benchmark::DoNotOptimize(tile.data());
    }
    state.SetItemsProcessed(state.iterations() * 2000 * 30000);
}
BENCHMARK(BM_PaintVerticalBackground)->Unit(benchmark::kMillisecond);
} // namespace
