// Publishing a whole site to the real test FTP server over loopback: a site
// of 50 pages whose build makes about 1000 files (the pages, their pictures,
// the notice pages, the start page under its four names). Measures the
// upload part of "Send alt" (connect, catalog walk, every file) on a site
// built once beforehand: files per second, and the time spent outside the
// transfer library's perform calls, which is the publishing code's own cost
// per file (upload list, status window, the FTP client's bookkeeping).
// A second benchmark measures a whole publish and an incremental one against
// a distant server, over one connection and over four.
#ifdef PW_BENCH_FTP_SERVER
#include "sitebuild/SiteBuilder.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "publish/PublishEnvironment.h"
#include "publish/PublishRecord.h"
#include "publish/SiteUploader.h"
#include "model/BackgroundFill.h"
#include "model/ObjectFill.h"
#include "render/Rendering.h"
#include "services/Settings.h"
#include "services/UserInteraction.h"
#include "tests/support/FtpServer.h"
#include "tests/support/TempDir.h"
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

constexpr int kPages = 50;
constexpr int kItemsPerPage = 19; // with the page file: 20 files a page

class CQuietProgress : public CProgress {
public:
    void SetPhase(const std::string&) override {}
    void SetPage(const std::string&) override {}
    void SetRange(long long) override {}
    void SetPos(long long) override {}
    bool IsCancelled() override { return false; }
};

// Says yes to everything and shows nothing.
class CQuietInteraction : public CUserInteraction {
public:
    EAnswer Message(const CMessage&) override { return EAnswer::Ok; }
    CChoiceResult Choose(const CChoice&) override { return {0, false, {}}; }
    std::filesystem::path ChooseFile(const CFileRequest&) override { return {}; }
    std::filesystem::path ChooseFolder(const std::string&, const std::filesystem::path&) override {
        return {};
    }
    bool AskText(const std::string&, const std::string&, std::string&) override { return false; }
    std::unique_ptr<CProgress> OpenProgress(int, const std::string&) override {
        return std::make_unique<CQuietProgress>();
    }
    bool OpenInBrowser(const std::filesystem::path&) override { return true; }
    void BeginWait() override {}
    void EndWait() override {}
};

// Small shapes of different colours, so that no picture is shared.
std::unique_ptr<CSite> MakeSite(const std::filesystem::path& file) {
    auto site = std::make_unique<CSite>("Bench", CBackgroundFill(CColor(230, 230, 230)), 640, 480,
                                        CColor(0, 0, 255), CColor(128, 0, 128));
    site->path = file.string();
    for (int p = 0; p < kPages; ++p) {
        CPage& page =
            site->AddPage(std::make_unique<CPage>(*site, "Side" + std::to_string(p + 1), "Bench"));
        for (int i = 0; i < kItemsPerPage; ++i) {
            auto rect = std::make_unique<CRectObject>(
                DPOINT{40.0 + (i % 5) * 120, 40.0 + (i / 5) * 100}, CObjectSize{90, 60});
            rect->SetFill(std::make_unique<CObjectFill>(
                CColor(static_cast<uint8_t>(p * 5), static_cast<uint8_t>(i * 13), 128)));
            page.InsertItem(std::move(rect));
        }
    }
    site->SetFrontPage(site->PageAt(0));
    return site;
}

// Everything an upload run needs, set up for the test server.
struct CBenchEnvironment {
    CQuietInteraction ui;
    CSettings settings;
    CPublishRecord record;
    DownloadList downloads;
    CPublishEnvironment env;

    CBenchEnvironment(const pwtest::FtpServer& server, const pwtest::TempDir& dir)
        : env{ui, settings, record, dir / "ftpfile.dat", downloads, dir / "tmp", {}, {}, {}, {},
              {}} {
        settings.SetFtpServer("127.0.0.1");
        settings.SetFtpPort(server.Port());
        settings.SetFtpUser(server.User());
        settings.SetFtpPassword(server.Password());
        settings.SetFtpPassive(true);
        settings.SetFtpCatalog("www/bench");
    }
};

void BM_PublishSiteUpload(benchmark::State& state) {
    InstallRendering(nullptr);
    pwtest::TempDir dir;
    pwtest::FtpServer server;
    auto site = MakeSite(dir / "bench.pwu");

    CBenchEnvironment bench(server, dir);
    CQuietInteraction& ui = bench.ui;
    DownloadList& downloads = bench.downloads;
    CPublishEnvironment& env = bench.env;
    // One connection: the timings below are of that connection alone.
    bench.settings.SetPublishConnections(1);

    BuildSettings build = BuildSettings::InFolder(dir / "tmp" / "My_Homepage_Preview", false);
    build.largeObjectWarning = false;
    SiteBuilder builder(build, &ui, &downloads);
    if (builder.Build(*site).code != BuildOk) {
        state.SkipWithError("the site did not build");
        return;
    }

    double files = 0, seconds = 0, outside = 0;
    for (auto _ : state) {
        for (const auto& page : site->Pages())
            page->SetPublishPending(true);
        CSiteUploader uploader(env, *site, builder.Pages(), builder.Settings(),
                               CSiteUploader::EBasis::Nothing);
        files = static_cast<double>(uploader.SiteFiles().size());
        const auto start = std::chrono::steady_clock::now();
        if (!uploader.Run()) {
            state.SkipWithError("the upload failed");
            return;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        seconds += took.count();
        outside +=
            took.count() - std::chrono::duration<double>(uploader.Timings().inPerform).count();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["files"] = files;
    state.counters["files_per_s"] = files * runs / seconds;
    state.counters["outside_curl_ms"] = outside * 1000 / runs;
    state.counters["outside_curl_pct"] = 100 * outside / seconds;
}

// The same site against a server 20 ms away (every reply held that long),
// over as many connections as the argument says: the whole site once, then
// again after one page changed. The second run builds, hashes every file,
// and sends only what differs, so it must cost a small part of the first.
// Reported: both times, the file counts, and the second as a percentage of
// the first. Four connections must bring the whole publish to at most 40%
// of its time over one (compare full_s of the two runs).
void BM_PublishAfterOnePageChanged(benchmark::State& state) {
    InstallRendering(nullptr);
    pwtest::TempDir dir;
    pwtest::FtpServer::Options far;
    far.replyDelayMs = 20;
    pwtest::FtpServer server(far);
    auto site = MakeSite(dir / "bench.pwu");

    CBenchEnvironment bench(server, dir);
    CQuietInteraction& ui = bench.ui;
    DownloadList& downloads = bench.downloads;
    CPublishEnvironment& env = bench.env;
    bench.settings.SetPublishConnections(static_cast<int>(state.range(0)));
    BuildSettings build = BuildSettings::InFolder(dir / "tmp" / "My_Homepage_Preview", false);
    build.largeObjectWarning = false;

    // Builds and sends; seconds, or a negative number after a failure.
    // `building` gets the seconds of the build alone.
    double building = 0, network = 0;
    auto publish = [&](bool everything, double& files) {
        const auto start = std::chrono::steady_clock::now();
        SiteBuilder builder(build, &ui, &downloads);
        if (builder.Build(*site).code != BuildOk) return -1.0;
        building = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        CSiteUploader uploader(env, *site, builder.Pages(), builder.Settings(),
                               everything ? CSiteUploader::EBasis::Nothing
                                          : CSiteUploader::EBasis::Manifest);
        if (!uploader.Run()) return -1.0;
        files = static_cast<double>(uploader.Sent().size());
        network = std::chrono::duration<double>(uploader.Timings().inPerform).count();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double full = 0, change = 0, fullFiles = 0, changeFiles = 0;
    for (auto _ : state) {
        full = publish(true, fullFiles);
        CPageObject& shape = site->PageAt(kPages / 2).Items().front()->Normal();
        shape.GetFill()->SetColour(CColor(1, 2, static_cast<uint8_t>(state.iterations())));
        shape.Invalidate();
        change = publish(false, changeFiles);
        if (full < 0 || change < 0) {
            state.SkipWithError("the publish failed");
            return;
        }
    }
    state.counters["full_s"] = full;
    state.counters["full_files"] = fullFiles;
    state.counters["change_s"] = change;
    state.counters["change_build_s"] = building;
    state.counters["change_network_s"] = network; // waiting for the server
    state.counters["change_files"] = changeFiles;
    state.counters["change_pct_of_full"] = 100 * change / full;
}

} // namespace

BENCHMARK(BM_PublishSiteUpload)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_PublishAfterOnePageChanged)
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
#endif
