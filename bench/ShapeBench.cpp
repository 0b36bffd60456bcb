// Full rendering of a large shape: fill, coverage and image blocks.
#include "image/Image.h"
#include "model/EllipseObject.h"
#include "model/RectObject.h"
#include "model/ObjectFill.h"
#include <benchmark/benchmark.h>
#include <numbers>

namespace {
template <class Shape> void RenderRotated(benchmark::State& state) {
    Shape shape({600.0, 600.0}, {1000, 1000}, 30 * std::numbers::pi / 180);
    shape.GetFill()->SetColour(CColor(40, 90, 160));
    CPixMap work(WithAlpha(IMAGE_RGB8), 256, 256);
    for (auto _ : state) {
        shape.Invalidate();
        if (!shape.Render(work)) state.SkipWithError("render failed");
        benchmark::DoNotOptimize(shape.GetImage());
    }
    const CRect r = shape.GetRect();
    state.counters["pixels/s"] = benchmark::Counter(static_cast<double>(r.Width()) * r.Height(),
                                                    benchmark::Counter::kIsIterationInvariantRate);
}
} // namespace

BENCHMARK_TEMPLATE(RenderRotated, CEllipseObject)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(RenderRotated, CRectObject)->Unit(benchmark::kMillisecond);
