// Writing a page file: the text-style table and runs of many HTML texts, and
// the whole page with its texts and pictures written to disk.
#include "sitebuild/HtmlWriter.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/BackgroundFill.h"
#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// A site page of `texts` HTML texts of ten paragraphs of 80 characters, the
// style turning bold every 16 characters and a link over every 40th to
// 50th character, and as many pictures.
struct BenchPage {
    CSite site{"Bench", CBackgroundFill(), 740, 3000, CColor(0, 0, 255), CColor(128, 0, 128)};
    CPage* page;
    BuildPage build;

    explicit BenchPage(int texts) {
        page = &site.AddPage(std::make_unique<CPage>(site, "Side1", "Bench"));
        build.page = page;
        build.frontPage = true;
        build.fileName = "default.htm";
        for (int t = 0; t < texts; ++t) {
            auto text =
                std::make_unique<CTextObject>(DPOINT{370, 20.0 + t * 30}, CObjectSize{700, 20});
            CTextLayout& layout = text->Layout();
            layout.Clear();
            layout.boxWidth = 700;
            CCharStyle plain;
            plain.SetFaceName("Arial");
            CCharStyle bold = plain;
            bold.bold = true;
            for (int p = 0; p < 10; ++p) {
                if (p) layout.AppendParagraph();
                for (int c = 0; c < 80; ++c) {
                    CCharStyle style = (c / 16) % 2 ? bold : plain;
                    if (c % 40 >= 30) {
                        style.link.enabled = true;
                        style.link.url = "www.eksempel.dk/" + std::to_string(c / 40);
                    }
                    layout.Append(static_cast<uint8_t>(c % 7 ? 'a' + c % 26 : ' '), style);
                }
            }
            text->LayoutText();
            CTextObject& object = *text;
            BuildItem item;
            item.item = &page->InsertItem(std::move(text));
            item.htmlText = true;
            item.width = layout.boxWidth;
            item.height = layout.boxHeight;
            item.linkRuns = CHtmlWriter::CollectLinkRuns(object);
            build.items.push_back(item);

            BuildItem picture;
            picture.item = &page->InsertItem(
                std::make_unique<CRectObject>(DPOINT{50, 50.0 + t * 30}, CObjectSize{40, 20}));
            picture.imageUrl = "My_Homepage_Files/IMG_" + std::to_string(t) + ".jpg";
            picture.width = 40;
            picture.height = 20;
            build.items.push_back(picture);
        }
    }

    void AddStyles() {
        build.styles.clear();
        build.styleRuns.clear();
        for (const BuildItem& item : build.items)
            if (item.htmlText) CHtmlWriter::AddTextStyles(build, item);
    }
};

void BM_AddTextStyles(benchmark::State& state) {
    BenchPage bench(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        bench.AddStyles();
        benchmark::DoNotOptimize(bench.build.styleRuns.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 800);
}
BENCHMARK(BM_AddTextStyles)->Arg(10)->Arg(100);

void BM_WritePage(benchmark::State& state) {
    BenchPage bench(static_cast<int>(state.range(0)));
    bench.AddStyles();
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "pw-bench-htmlwriter.htm";
    CHtmlWriter writer(bench.site, BuildSettings{}, [](const CObjectLink& link, const BuildPage&) {
        return "http://" + link.url;
    });
    for (auto _ : state)
        benchmark::DoNotOptimize(writer.WritePage(file, bench.build));
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(file)));
    std::filesystem::remove(file);
}
BENCHMARK(BM_WritePage)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

} // namespace
