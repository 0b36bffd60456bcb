// Uploading a site of many small files over loopback to the real test FTP
// server: how many files per second one connection manages, and how much of
// the time is spent outside libcurl's perform calls (our own work per
// command: option setup, URL building, file opening, status handling).
#ifdef PW_BENCH_FTP_SERVER
#include "publish/Ftp.h"
#include "tests/support/FtpServer.h"
#include "tests/support/TempDir.h"
#include <benchmark/benchmark.h>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 1000;

// 1000 files of 1-3 KB, as the images and pages of a small site would be.
std::vector<std::filesystem::path> MakeFiles(const pwtest::TempDir& dir) {
    std::vector<std::filesystem::path> files;
    for (int i = 0; i < kFiles; ++i) {
        auto path = dir / ("item" + std::to_string(i) + ".jpg");
        std::ofstream out(path, std::ios::binary);
        out << std::string(1024 + (i * 37) % 2048, static_cast<char>('a' + i % 26));
        files.push_back(path);
    }
    return files;
}

void BM_FtpPutSmallFiles(benchmark::State& state) {
    const bool tls = state.range(0) != 0;
    pwtest::FtpServer::Options serverOptions;
    serverOptions.tls = tls;
    pwtest::FtpServer server(serverOptions);
    pwtest::TempDir local;
    const auto files = MakeFiles(local);

    CFtpOptions options;
    options.tls = tls;
    options.caFile = server.CaFile();
    bool a = false, b = false, c = false;
    CFtp ftp(
        a, b, c, "127.0.0.1", server.Port(), server.User(), server.Password(), true,
        [](int) { return 1; }, options);
    if (!ftp.mkdir("My_Homepage_Files") || !ftp.chdir("My_Homepage_Files")) {
        state.SkipWithError(ftp.GetLastError().c_str());
        return;
    }

    const CFtpTimings before = ftp.GetTimings();
    auto total = std::chrono::nanoseconds{0};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (const auto& file : files) {
            if (!ftp.put(file, file.filename().string(), true)) {
                state.SkipWithError(ftp.GetLastError().c_str());
                return;
            }
        }
        total += std::chrono::steady_clock::now() - start;
    }
    const CFtpTimings& after = ftp.GetTimings();
    const double sent = double(state.iterations()) * kFiles;
    const double outside =
        std::chrono::duration<double>(total - (after.inPerform - before.inPerform)).count();
    state.counters["files_per_s"] = sent / std::chrono::duration<double>(total).count();
    state.counters["outside_curl_us_per_file"] = outside * 1e6 / sent;
    state.counters["outside_curl_pct"] =
        100.0 * outside / std::chrono::duration<double>(total).count();
    state.counters["performs_per_file"] = double(after.performs - before.performs) / sent;
}

} // namespace

BENCHMARK(BM_FtpPutSmallFiles)
    ->ArgName("tls")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
#endif
