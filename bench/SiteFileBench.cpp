// Loading and saving a large site: 500 pages of 20 items, objects left dirty
// (nothing rendered but the front page for the stored preview).
#include "model/EllipseObject.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/SafeSave.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "model/BackgroundFill.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include <benchmark/benchmark.h>

namespace {

std::unique_ptr<CSite> MakeLargeSite() {
    auto site = std::make_unique<CSite>("Bench", CBackgroundFill(CColor(250, 250, 240)), 740, 600,
                                        CColor(0, 0, 255), CColor(128, 0, 128));
    for (int p = 0; p < 500; ++p) {
        CPage& page = site->AddPage(std::make_unique<CPage>(*site, "Side" + std::to_string(p + 1),
                                                            "Side " + std::to_string(p + 1)));
        for (int i = 0; i < 20; ++i) {
            const DPOINT centre{40.0 + (i * 37) % 660, 40.0 + (i * 53) % 520};
            std::unique_ptr<CPageObject> object;
            if (i % 2)
                object = std::make_unique<CEllipseObject>(centre, CObjectSize{60, 40});
            else
                object = std::make_unique<CRectObject>(centre, CObjectSize{80, 30}, 10.0);
            CPageItem& item = page.InsertItem(std::move(object));
            if (i % 5 == 0) item.AttachMouseOver(item.Normal().Clone());
        }
    }
    site->SetFrontPage(site->PageAt(0));
    return site;
}

std::vector<uint8_t> SavedBytes(CSite& site) {
    CByteWriter writer;
    SaveSite(site, writer);
    return writer.Take();
}

void BM_LoadSite500x20(benchmark::State& state) {
    auto site = MakeLargeSite();
    const std::vector<uint8_t> bytes = SavedBytes(*site);
    for (auto _ : state) {
        CByteReader reader{std::span<const uint8_t>(bytes)};
        auto loaded = LoadSite(reader, "/tmp/bench.pwu");
        if (!loaded) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(loaded.get());
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_LoadSite500x20)->Unit(benchmark::kMillisecond);

void BM_SaveLoadedSite500x20(benchmark::State& state) {
    auto original = MakeLargeSite();
    const std::vector<uint8_t> bytes = SavedBytes(*original);
    CByteReader reader{std::span<const uint8_t>(bytes)};
    auto site = LoadSite(reader, "/tmp/bench.pwu");
    for (auto _ : state) {
        CByteWriter writer;
        if (!SaveSite(*site, writer)) state.SkipWithError("save failed");
        benchmark::DoNotOptimize(writer.Data().data());
    }
}
BENCHMARK(BM_SaveLoadedSite500x20)->Unit(benchmark::kMillisecond);

// The same save written to disk through the flushed temporary file.
void BM_SafeSaveFile500x20(benchmark::State& state) {
    auto original = MakeLargeSite();
    const std::vector<uint8_t> bytes = SavedBytes(*original);
    CByteReader reader{std::span<const uint8_t>(bytes)};
    auto site = LoadSite(reader, "/tmp/bench.pwu");
    const std::filesystem::path target =
        std::filesystem::temp_directory_path() / "pw-sitefile-bench.pwu";
    for (auto _ : state) {
        CByteWriter writer;
        if (!SaveSite(*site, writer) || !safe_save::ReplaceFile(target, writer.Data()))
            state.SkipWithError("save failed");
    }
    std::filesystem::remove(target);
}
BENCHMARK(BM_SafeSaveFile500x20)->Unit(benchmark::kMillisecond);

} // namespace
