// Building a site of 50 pages with 20 pictures each, against encoding the
// very same output pixels with libjpeg-turbo alone at quality 98 on one core
// (the floor a command-line encoder would need): with every core at work,
// the whole build (composing the regions, encoding, naming, writing the
// files and the pages) should take at most 2.5 times that floor.
//
// And the same site with shadows, edges and glows on some shapes, built
// from scratch (the effects are most of the work): two jobs should build it
// at least 1.7 times as fast as one.
#include "bench/DirectJpeg.h"
#include "sitebuild/PageClassify.h"
#include "sitebuild/PageWeight.h"
#include "sitebuild/RegionRenderer.h"
#include "sitebuild/SiteBuilder.h"
#include "image/Image.h"
#include "model/EllipseObject.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "render/Rendering.h"
#include "services/IO.h"
#include "services/IOError.h"
#include <algorithm>
#include <chrono>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
constexpr int kPages = 50;
constexpr int kItemsPerPage = 20;

fs::path Scratch() {
    const fs::path shm = "/dev/shm";
    const fs::path base = fs::is_directory(shm) ? shm : fs::temp_directory_path();
    return base / ("pw-sitebuild-" + std::to_string(::getpid()));
}

// A photograph-like picture: smooth light, fine detail and sensor noise.
fs::path MakePhoto(const fs::path& folder, int number, std::mt19937& random) {
    const int width = 120 + static_cast<int>(random() % 51);
    const int height = 90 + static_cast<int>(random() % 51);
    CImage image(IMAGE_RGB8, width, height, 96.0);
    const int tint = static_cast<int>(random() % 120);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image.Bits() + y * image.RowBytes() + 3 * x;
            const int light = 60 + 120 * x / width + 40 * ((x / 7 + y / 5) % 3);
            for (int k = 0; k < 3; ++k) {
                const int v = light +
                              (k == 0   ? tint
                               : k == 1 ? 40
                                        : -tint / 2) +
                              static_cast<int>(random() % 33) - 16;
                p[k] = static_cast<uint8_t>(std::clamp(v, 0, 255));
            }
        }
    const fs::path file = folder / ("photo" + std::to_string(number) + ".jpg");
    int format = FORMAT_JPEG, error = 0;
    CIO::SaveImage(file, image, format, 85, error, std::string());
    return file;
}

// Every page has 20 image items in a loose 5 x 4 grid, neighbours
// overlapping a little: ten pictures from photographs and ten shapes (flat,
// gradient, some turned), over a solid or gradient background.
std::unique_ptr<CSite> MakeSite(const fs::path& sources, bool effects = false) {
    auto site = std::make_unique<CSite>("Bench", CBackgroundFill(CColor(235, 240, 250)), 740, 600,
                                        CColor(0, 0, 255), CColor(128, 0, 128));
    std::mt19937 random(2024);
    const auto pick = [&](int from, int to) {
        return from + static_cast<int>(random() % static_cast<unsigned>(to - from + 1));
    };
    fs::create_directories(sources);
    std::vector<fs::path> photos;
    for (int i = 0; i < 20; ++i)
        photos.push_back(MakePhoto(sources, i, random));
    for (int p = 0; p < kPages; ++p) {
        CPage& page =
            site->AddPage(std::make_unique<CPage>(*site, "Side" + std::to_string(p + 1), "Side"));
        if (p == 0) site->SetFrontPage(page);
        if (p % 2) page.Background().SetGradient(CFillGradient());
        for (int i = 0; i < kItemsPerPage; ++i) {
            const DPOINT centre{74.0 + 148 * (i % 5) + pick(-20, 20),
                                75.0 + 150 * (i / 5) + pick(-20, 20)};
            if (i % 2 == 0) {
                const fs::path& photo = photos[static_cast<std::size_t>(pick(0, 19))];
                int format = FORMAT_ANY, error = 0;
                std::unique_ptr<CImage> image = CIO::LoadImageA(photo, format, error);
                const CObjectSize size{image->Width(), image->Height()};
                auto picture = std::make_unique<CRectObject>(centre, size);
                picture->GetFill()->SetImage(photo.string(), std::move(image));
                picture->GetFill()->SetPicture(true);
                page.InsertItem(std::move(picture));
                continue;
            }
            const CObjectSize size{pick(80, 170), pick(50, 140)};
            std::unique_ptr<CShapeObject> shape;
            if (i % 4 == 1)
                shape = std::make_unique<CEllipseObject>(centre, size);
            else
                shape = std::make_unique<CRectObject>(centre, size, i % 8 == 3 ? 0.3 : 0.0);
            if (i % 3 == 0)
                shape->GetFill()->SetGradient(CFillGradient());
            else
                shape->GetFill()->SetColour(CColor(pick(0, 255), pick(0, 255), pick(0, 255)));
            if (effects && i % 5 == 1) shape->GetEffects()->shadowOn = true;
            if (effects && i % 5 == 3) shape->GetEffects()->glowOn = true;
            if (effects && i % 3 == 1) shape->GetEffects()->edgesOn = true;
            page.InsertItem(std::move(shape));
        }
    }
    return site;
}

// The pixels of every item picture, rendered the way the build renders them.
std::vector<CRegionPixels> ItemPixels(CSite& site, const SiteBuilder& builder) {
    std::vector<CRegionPixels> pixels;
    CBuildTiles tiles;
    for (const BuildPage& built : builder.Pages()) {
        CPage& page = site.PageAt(built.position);
        std::vector<bool> drawn(static_cast<std::size_t>(page.ItemCount()), false);
        for (const BuildItem& item : built.items)
            drawn[static_cast<std::size_t>(item.zIndex)] = IsDrawnInImages(item, false);
        CRegionRenderer renderer(tiles, page, drawn);
        for (const BuildItem& item : built.items) {
            const CRect r{item.left, item.top, item.left + item.width, item.top + item.height};
            pixels.emplace_back();
            renderer.Render(r, item.item, &item.item->Current(), pixels.back());
        }
    }
    return pixels;
}

// libjpeg-turbo alone, into memory.
std::size_t EncodeAlone(const CRegionPixels& image, unsigned char*& block,
                        unsigned long& capacity) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* out = block;
    unsigned long size = capacity;
    jpeg_mem_dest(&cinfo, &out, &size);
    SetDirectJpegParameters(cinfo, image.Width(), image.Height(), 98);
    cinfo.density_unit = 1;
    cinfo.X_density = cinfo.Y_density = 96;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(image.Bits()) +
                       static_cast<std::size_t>(cinfo.next_scanline) * image.RowBytes();
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    if (out != block) { // the library grew the buffer: keep the larger one
        std::free(block);
        block = out;
        capacity = size;
    }
    return size;
}

// Processor time of the whole process (every thread, system calls
// included): what a build costs, whatever else runs on the machine.
double ProcessSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// Wall time. The build and the encoder alone are timed in turn, in the same
// moments, so both see the same load of a shared machine; comparing the
// build's wall time with the encoder's processor time would count the other
// programs' work against the build only.
double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void BM_SiteBuildAgainstEncodingAlone(benchmark::State& state) {
    InstallRendering(nullptr);
    const fs::path folder = Scratch();
    std::unique_ptr<CSite> site = MakeSite(folder / "sources");
    const BuildSettings settings = BuildSettings::InFolder(folder / "site", false);
    // The designer has rendered every object long before the user builds,
    // and keeps the pictures: that is not timed.
    for (int p = 0; p < site->PageCount(); ++p)
        site->PageAt(p).RenderAll();
    SiteBuilder warmUp(settings, nullptr);
    if (warmUp.Build(*site).code != BuildOk) {
        state.SkipWithError("build failed");
        return;
    }
    const auto pixels = ItemPixels(*site, warmUp);
    double pixelCount = 0;
    for (const auto& image : pixels)
        pixelCount += static_cast<double>(image.Width()) * image.Height();

    unsigned long capacity = 1ul << 20;
    auto* block = static_cast<unsigned char*>(std::malloc(capacity));
    double buildSeconds = 0, encodeSeconds = 0, buildCpu = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const double t0 = WallSeconds(), c0 = ProcessSeconds();
        SiteBuilder builder(settings, nullptr);
        if (builder.Build(*site).code != BuildOk) state.SkipWithError("build failed");
        const double t1 = WallSeconds(), c1 = ProcessSeconds();
        bytes = 0;
        for (const auto& image : pixels)
            bytes += EncodeAlone(image, block, capacity);
        const double e1 = WallSeconds();
        buildSeconds += t1 - t0;
        buildCpu += c1 - c0;
        encodeSeconds += e1 - t1;
    }
    std::free(block);
    std::error_code ec;
    fs::remove_all(folder, ec);
    const double n = static_cast<double>(state.iterations());
    state.counters["build_ms"] = 1000 * buildSeconds / n;
    state.counters["build_cpu_ms"] = 1000 * buildCpu / n;
    state.counters["encode_ms"] = 1000 * encodeSeconds / n;
    state.counters["ratio"] = encodeSeconds > 0 ? buildSeconds / encodeSeconds : 0;
    state.counters["pictures"] = static_cast<double>(pixels.size());
    state.counters["Mpixels"] = pixelCount / 1e6;
    state.counters["jpeg_bytes"] = static_cast<double>(bytes);
}

// One build with one job and one with two, in turn, from scratch each time
// (a build lets go of the pictures it rendered), so that both see the same
// load of the machine.
void BM_SiteBuildWithEffectsOneJobAgainstTwo(benchmark::State& state) {
    InstallRendering(nullptr);
    const fs::path folder = Scratch();
    std::unique_ptr<CSite> site = MakeSite(folder / "sources", true);
    double seconds[2] = {0, 0}, cpu[2] = {0, 0};
    for (auto _ : state) {
        for (int jobs : {1, 2}) {
            BuildSettings settings = BuildSettings::InFolder(folder / "site", false);
            settings.jobs = jobs;
            const double t0 = WallSeconds(), c0 = ProcessSeconds();
            SiteBuilder builder(settings, nullptr);
            if (builder.Build(*site).code != BuildOk) state.SkipWithError("build failed");
            seconds[jobs - 1] += WallSeconds() - t0;
            cpu[jobs - 1] += ProcessSeconds() - c0;
        }
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    const double n = static_cast<double>(state.iterations());
    state.counters["one_job_ms"] = 1000 * seconds[0] / n;
    state.counters["two_jobs_ms"] = 1000 * seconds[1] / n;
    // Processor time of each: two jobs should not cost much more work than one.
    state.counters["one_job_cpu_ms"] = 1000 * cpu[0] / n;
    state.counters["two_jobs_cpu_ms"] = 1000 * cpu[1] / n;
    state.counters["speedup"] = seconds[1] > 0 ? seconds[0] / seconds[1] : 0;
    // Cores the build had on average (processor time over wall time). On a
    // machine other programs keep busy the scheduler shares the cores out
    // per session, not per thread: when two jobs get no more than one, the
    // speedup above says nothing about the build.
    state.counters["one_job_cores"] = seconds[0] > 0 ? cpu[0] / seconds[0] : 0;
    state.counters["two_jobs_cores"] = seconds[1] > 0 ? cpu[1] / seconds[1] : 0;
}

// One job count alone (the argument), for profiling either side by itself.
void BM_SiteBuildWithEffects(benchmark::State& state) {
    InstallRendering(nullptr);
    const fs::path folder = Scratch();
    std::unique_ptr<CSite> site = MakeSite(folder / "sources", true);
    BuildSettings settings = BuildSettings::InFolder(folder / "site", false);
    settings.jobs = static_cast<int>(state.range(0));
    double cpu = 0;
    for (auto _ : state) {
        const double c0 = ProcessSeconds();
        SiteBuilder builder(settings, nullptr);
        if (builder.Build(*site).code != BuildOk) state.SkipWithError("build failed");
        cpu += ProcessSeconds() - c0;
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    state.counters["cpu_ms"] = 1000 * cpu / static_cast<double>(state.iterations());
}

// The same 50 x 20 site built the classic way and with every option for
// today's screens on (2x pictures, WebP twins, phone fitting), in turn, so
// both see the same load of the machine; plus the picture weight a browser
// fetches, without and with WebP.
void BM_SiteBuildAllOptionsAgainstClassic(benchmark::State& state) {
    InstallRendering(nullptr);
    const fs::path folder = Scratch();
    std::unique_ptr<CSite> site = MakeSite(folder / "sources");
    for (int p = 0; p < site->PageCount(); ++p)
        site->PageAt(p).RenderAll();
    // Classic, each option alone, then all of them.
    const char* const names[] = {"classic_ms", "hidpi_ms", "webp_ms", "phones_ms", "all_on_ms"};
    double seconds[5] = {0, 0, 0, 0, 0};
    PageWeight weight;
    for (auto _ : state) {
        for (int mode = 0; mode < 5; ++mode) {
            BuildSettings settings = BuildSettings::InFolder(folder / "site", false);
            settings.hiDpi = mode == 1 || mode == 4;
            settings.webp = mode == 2 || mode == 4;
            settings.phones = mode == 3 || mode == 4;
            const double t0 = WallSeconds();
            SiteBuilder builder(settings, nullptr);
            const BuildResult result = builder.Build(*site);
            if (result.code != BuildOk) state.SkipWithError("build failed");
            seconds[mode] += WallSeconds() - t0;
            if (mode == 4) weight = TotalWeight(result.pageWeights);
        }
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    const double n = static_cast<double>(state.iterations());
    for (int mode = 0; mode < 5; ++mode)
        state.counters[names[mode]] = 1000 * seconds[mode] / n;
    state.counters["ratio"] = seconds[0] > 0 ? seconds[4] / seconds[0] : 0;
    state.counters["jpeg_gif_bytes"] = static_cast<double>(weight.before);
    state.counters["with_webp_bytes"] = static_cast<double>(weight.after);
}

} // namespace

BENCHMARK(BM_SiteBuildAllOptionsAgainstClassic)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK(BM_SiteBuildAgainstEncodingAlone)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
// A few rounds: one round is a few seconds, and the machine is shared.
BENCHMARK(BM_SiteBuildWithEffectsOneJobAgainstTwo)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_SiteBuildWithEffects)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->UseRealTime();
