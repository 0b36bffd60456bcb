// Loading and saving a large site: 500 pages of 20 items, objects left dirty
// (nothing rendered but the front page for the stored preview).
#include "bench/LargeSite.h"
#include "model/Page.h"
#include "model/SafeSave.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "model/BackgroundFill.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include <benchmark/benchmark.h>

namespace {

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
