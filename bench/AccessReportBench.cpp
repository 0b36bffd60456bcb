// What the accessibility report adds to a build: a site of 50 pages with 20
// items each, built in turn with the report and without it, so that both
// see the same load of a shared machine. Every page carries what the report
// works on: eight photographs, three navigation buttons with labels and
// mouse-over states (their labels are rendered once more without), three
// texts over panels and pictures (the ground under each is rendered once
// more), one of them drawn as a picture, and links. The report should cost
// a few per cent of the build at most.
#include "image/Image.h"
#include "model/BackgroundFill.h"
#include "model/ButtonText.h"
#include "model/EllipseObject.h"
#include "model/ObjectFill.h"
#include "model/ObjectLink.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "render/Rendering.h"
#include "services/IO.h"
#include "services/IOError.h"
#include "sitebuild/SiteBuilder.h"
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path ReportScratch() {
    const fs::path shm = "/dev/shm";
    const fs::path base = fs::is_directory(shm) ? shm : fs::temp_directory_path();
    return base / ("pw-access-" + std::to_string(::getpid()));
}

fs::path Photo(const fs::path& folder, int number, std::mt19937& random) {
    CImage image(IMAGE_RGB8, 140, 100, 96.0);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 140; ++x)
            for (int k = 0; k < 3; ++k)
                image.Bits()[y * image.RowBytes() + 3 * x + k] = static_cast<uint8_t>(
                    (60 + x + (y / 4) * 7 * (k + 1) + static_cast<int>(random() % 24)) & 0xFF);
    const fs::path file = folder / ("photo" + std::to_string(number) + ".jpg");
    int format = FORMAT_JPEG, error = 0;
    CIO::SaveImage(file, image, format, 85, error, std::string());
    return file;
}

void AddWords(CPage& page, DPOINT centre, const std::string& words, bool advanced) {
    auto text = std::make_unique<CTextObject>(centre, CObjectSize{220, 20});
    CTextLayout& layout = text->Layout();
    layout.Clear();
    layout.boxWidth = 220;
    CCharStyle style;
    style.SetFaceName("Arial");
    style.fontSize = advanced ? 18 : 11;
    style.color = 0x202020;
    for (char c : words)
        layout.Append(static_cast<uint8_t>(c), style);
    text->SetAdvanced(advanced);
    CTextObject& ref = *text;
    CPageItem& item = page.InsertItem(std::move(text));
    ref.SetOwnerItem(&item);
    ref.LayoutText();
}

std::unique_ptr<CSite> MakeReportSite(const fs::path& sources) {
    auto site = std::make_unique<CSite>("Bench", CBackgroundFill(CColor(245, 245, 240)), 740, 600,
                                        CColor(0, 0, 255), CColor(128, 0, 128));
    std::mt19937 random(7);
    fs::create_directories(sources);
    std::vector<fs::path> photos;
    for (int i = 0; i < 8; ++i)
        photos.push_back(Photo(sources, i, random));
    for (int p = 0; p < 50; ++p) {
        CPage& page =
            site->AddPage(std::make_unique<CPage>(*site, "Side" + std::to_string(p + 1), "Side"));
        if (p == 0) site->SetFrontPage(page);
        for (int i = 0; i < 8; ++i) {
            int format = FORMAT_ANY, error = 0;
            auto image = CIO::LoadImageA(photos[static_cast<std::size_t>(i)], format, error);
            auto picture = std::make_unique<CRectObject>(
                DPOINT{300.0 + 150 * (i % 3), 80.0 + 120 * (i / 3)}, CObjectSize{140, 100});
            picture->GetFill()->SetImage(photos[static_cast<std::size_t>(i)].string(),
                                         std::move(image));
            picture->GetFill()->SetPicture(true);
            picture->SetAltText("Foto");
            page.InsertItem(std::move(picture));
        }
        for (int b = 0; b < 3; ++b) {
            auto button =
                std::make_unique<CRectObject>(DPOINT{90, 60.0 + 50 * b}, CObjectSize{150, 34});
            button->GetFill()->SetColour(CColor(30, 60, 90));
            CButtonText label;
            label.font = "Arial";
            label.text = "Side " + std::to_string(b + 1);
            button->SetButtonText(label);
            auto link = std::make_unique<CObjectLink>();
            link->type = CObjectLink::typePage;
            link->enabled = true;
            link->page = b;
            button->SetLink(std::move(link));
            CPageItem& item = page.InsertItem(std::move(button));
            std::unique_ptr<CPageObject> twin = item.Normal().Clone();
            twin->GetFill()->SetColour(CColor(120, 40, 40));
            item.AttachMouseOver(std::move(twin));
            item.SetEditingMouseOver(false);
        }
        for (int s = 0; s < 3; ++s) {
            std::unique_ptr<CShapeObject> panel;
            if (s == 1)
                panel = std::make_unique<CEllipseObject>(DPOINT{120, 260.0 + 90 * s},
                                                         CObjectSize{220, 70});
            else
                panel = std::make_unique<CRectObject>(DPOINT{120, 260.0 + 90 * s},
                                                      CObjectSize{220, 70});
            panel->GetFill()->SetColour(CColor(220, 230, 240));
            page.InsertItem(std::move(panel));
        }
        AddWords(page, {120, 260}, "Velkommen til siden", true);
        AddWords(page, {120, 350}, "Et par ord om det der sker", false);
        // Over a picture: the ground is a photograph.
        AddWords(page, {450, 200}, "Billedtekst over et foto", false);
    }
    return site;
}

// Processor time of the whole process, every thread: what the work costs
// whatever else the machine runs.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

double Seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void BM_SiteBuildWithAccessReport(benchmark::State& state) {
    InstallRendering(nullptr);
    const fs::path folder = ReportScratch();
    std::unique_ptr<CSite> site = MakeReportSite(folder / "sources");
    // The designer keeps its pictures; that is not timed.
    for (int p = 0; p < site->PageCount(); ++p)
        site->PageAt(p).RenderAll();
    double seconds[2] = {0, 0}, cpu[2] = {0, 0};
    std::size_t findings = 0;
    for (auto _ : state) {
        for (const bool report : {false, true}) {
            BuildSettings settings = BuildSettings::InFolder(folder / "site", false);
            settings.accessibilityReport = report;
            const double t0 = Seconds(), c0 = CpuSeconds();
            SiteBuilder builder(settings, nullptr);
            const BuildResult result = builder.Build(*site);
            if (result.code != BuildOk) state.SkipWithError("build failed");
            seconds[report ? 1 : 0] += Seconds() - t0;
            cpu[report ? 1 : 0] += CpuSeconds() - c0;
            if (report) findings = result.accessibility.size();
        }
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    const double n = static_cast<double>(state.iterations());
    state.counters["without_ms"] = 1000 * seconds[0] / n;
    state.counters["with_ms"] = 1000 * seconds[1] / n;
    state.counters["extra_percent"] =
        seconds[0] > 0 ? 100 * (seconds[1] - seconds[0]) / seconds[0] : 0;
    state.counters["without_cpu_ms"] = 1000 * cpu[0] / n;
    state.counters["with_cpu_ms"] = 1000 * cpu[1] / n;
    state.counters["extra_cpu_percent"] = cpu[0] > 0 ? 100 * (cpu[1] - cpu[0]) / cpu[0] : 0;
    state.counters["findings"] = static_cast<double>(findings);
}

} // namespace

// A few rounds: one round is two builds of a few seconds on a shared machine.
BENCHMARK(BM_SiteBuildWithAccessReport)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->UseRealTime();
