// Opening the 500-page x 20-item site in the designer: how long until the
// main window shows the site, and until its first page window is completely
// drawn. Runs the real main window on Qt's offscreen platform.
#include "app/MainFrame.h"
#include "app/PageFrame.h"
#include "bench/LargeSite.h"
#include "editor/PlumeView.h"
#include "model/Document.h"
#include "model/SafeSave.h"
#include "model/SiteFile.h"
#include "services/ByteWriter.h"
#include "render/Rendering.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QTemporaryDir& Home() {
    static QTemporaryDir home;
    return home;
}

const std::filesystem::path& SiteFile() {
    static const std::filesystem::path file = [] {
        const std::filesystem::path path = Home().filePath(QStringLiteral("large.pwu")).toStdString();
        auto site = MakeLargeSite();
        CByteWriter writer;
        if (!SaveSite(*site, writer) || !safe_save::ReplaceFile(path, writer.Data())) return std::filesystem::path();
        return path;
    }();
    return file;
}

void BM_DesignerOpenSite500x20(benchmark::State& state) {
    const std::filesystem::path file = SiteFile();
    const QString settings = Home().filePath(QStringLiteral("bench.conf"));
    double windowMs = 0, drawnMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        CMainFrame frame(nullptr, settings);
        frame.show();
        if (!frame.OpenSite(file)) {
            state.SkipWithError("the site did not open");
            break;
        }
        QCoreApplication::processEvents();
        const double shown = clock.nsecsElapsed() / 1e6;
        // Painting the whole page window renders every object still dirty.
        CPageFrame* page = frame.ActiveFrame();
        page->View()->viewport()->grab();
        const double drawn = clock.nsecsElapsed() / 1e6;
        windowMs += shown;
        drawnMs += drawn;
        state.PauseTiming();
        frame.Document().DeleteContents();
        state.ResumeTiming();
    }
    state.counters["window_ms"] = benchmark::Counter(windowMs, benchmark::Counter::kAvgIterations);
    state.counters["first_page_drawn_ms"] =
        benchmark::Counter(drawnMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DesignerOpenSite500x20)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", Home().filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", Home().filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);
    InstallRendering(nullptr);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
