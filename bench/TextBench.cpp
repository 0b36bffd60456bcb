// Laying out and drawing a text of 2000 characters in five styles, as the
// editor does after every keystroke in a long text.
#include "image/Image.h"
#include "model/TextObject.h"
#include <benchmark/benchmark.h>

namespace {
std::unique_ptr<CTextObject> LongText() {
    auto text = std::make_unique<CTextObject>(DPOINT{400, 400}, CObjectSize{600, 20});
    const char* faces[] = {"Arial", "Times New Roman", "Courier New", "Arial", "Verdana"};
    CCharStyle styles[5];
    for (int s = 0; s < 5; ++s) {
        styles[s].SetFaceName(faces[s]);
        styles[s].fontSize = static_cast<uint16_t>(10 + 3 * s);
        styles[s].bold = s % 2 == 1;
        styles[s].italic = s == 2;
        styles[s].underline = s == 4;
        styles[s].color = 0x102030 * (s + 1);
    }
    const std::string words = "Lorem ipsum dolor sit amet, consectetur adipiscing elit. "
                              "Sed do eiusmod tempor incididunt ut labore et dolore magna. ";
    for (int i = 0; i < 2000; ++i) {
        if (i % 400 == 399) {
            text->Layout().AppendParagraph();
            continue;
        }
        text->Layout().Append(static_cast<uint8_t>(words[i % words.size()]), styles[(i / 37) % 5]);
    }
    return text;
}

void LayoutAndRenderText(benchmark::State& state) {
    auto text = LongText();
    CPixMap work(WithAlpha(IMAGE_RGB8), 256, 256);
    text->LayoutText();
    text->Render(work); // font files and glyphs are loaded once
    for (auto _ : state) {
        text->LayoutText();
        if (!text->Render(work)) state.SkipWithError("render failed");
        benchmark::DoNotOptimize(text->GetImage());
    }
}

void LayoutText(benchmark::State& state) {
    auto text = LongText();
    text->LayoutText();
    for (auto _ : state) {
        text->LayoutText();
        benchmark::DoNotOptimize(text->Layout().boxHeight);
    }
}
} // namespace

BENCHMARK(LayoutAndRenderText)->Unit(benchmark::kMillisecond);
BENCHMARK(LayoutText)->Unit(benchmark::kMicrosecond);
