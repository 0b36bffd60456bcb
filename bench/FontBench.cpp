#include "services/FontEngine.h"
#include "services/TextCanvas.h"
#include <algorithm>
#include <benchmark/benchmark.h>
#include <string>

namespace {

// Five character styles as a text mixes them.
const CFontRequest kStyles[5] = {
    {"Arial", 16, false, false, false},      {"Times New Roman", 21, true, false, false},
    {"Courier New", 13, false, true, false}, {"Verdana", 16, false, false, true},
    {"Georgia", 27, true, true, false},
};

// 2000 characters of running text, 400 in each style.
std::u32string SampleText() {
    const std::u32string words =
        U"Små statiske sider med tekst, billeder og knapper, tegnet med antialiasering. ";
    std::u32string text;
    while (text.size() < 2000)
        text += words;
    text.resize(2000);
    return text;
}

// Breaks the text into lines of a 600-pixel box the simple way (at the
// character that overflows) and draws every run into the canvas.
void LayOutAndDraw(CTextCanvas* canvas, const std::u32string& text) {
    CFontEngine& e = CFontEngine::Instance();
    int x = 2, top = 2, lineHeight = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const CFontRequest& spec = kStyles[(i / 400) % 5];
        const int advance = e.Advance(spec, text[i]);
        if (x + advance > 598) {
            x = 2;
            top += lineHeight;
            lineHeight = 0;
        }
        lineHeight = std::max(lineHeight, e.Metrics(spec).height);
        if (canvas)
            canvas->DrawGlyphs(spec, std::u32string_view(text).substr(i, 1), x, top, 0x336699);
        x += advance;
    }
}

void BM_MeasureText(benchmark::State& state) {
    const std::u32string text = SampleText();
    LayOutAndDraw(nullptr, text); // fill the caches
    for (auto _ : state)
        LayOutAndDraw(nullptr, text);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_MeasureText);

void BM_DrawText(benchmark::State& state) {
    const std::u32string text = SampleText();
    for (auto _ : state) {
        CTextCanvas canvas(600, 800);
        LayOutAndDraw(&canvas, text);
        benchmark::DoNotOptimize(canvas.Colour());
        benchmark::DoNotOptimize(canvas.InkBox());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DrawText)->Unit(benchmark::kMillisecond);

// The same text drawn again into a canvas that is kept and cleared, as a text
// layout does when only its content changed.
void BM_RedrawText(benchmark::State& state) {
    const std::u32string text = SampleText();
    CTextCanvas canvas(600, 800);
    for (auto _ : state) {
        canvas.Clear();
        LayOutAndDraw(&canvas, text);
        benchmark::DoNotOptimize(canvas.Colour());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_RedrawText)->Unit(benchmark::kMillisecond);

} // namespace
