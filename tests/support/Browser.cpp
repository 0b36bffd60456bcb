#include "tests/support/Browser.h"
#include "services/IO.h"
#include "tests/support/TempDir.h"
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pwtest {
namespace {

// The real binary rather than Debian's launcher script, so no system-wide
// flag file changes what the tests see.
fs::path ChromiumBinary() {
    for (const char* p : {"/usr/lib/chromium/chromium", "/usr/bin/chromium"})
        if (fs::exists(p)) return p;
    return {};
}

const fs::path kDriver = "/usr/bin/chromedriver";
const fs::path kScript = fs::path(PW_SOURCE_DIR) / "tests/support/browser.py";

// Time limits of one browser start: generous, since the machine may be busy
// with builds, yet well inside the ctest limit of a browser test (120 s).
// PW_BROWSER_SECONDS replaces both, e.g. to see a hung page fail quickly.
int TimeLimit(int seconds) {
    const char* v = std::getenv("PW_BROWSER_SECONDS");
    return v && std::atoi(v) > 0 ? std::atoi(v) : seconds;
}
const int kScreenshotSeconds = TimeLimit(20);
const int kDriverSeconds = TimeLimit(40);

// Running as root on a machine without a display, a GPU or the internet:
// no sandbox, software drawing, nothing fetched in the background. sRGB
// without colour management and device scale 1 make one page pixel one
// screenshot pixel of the colour the page asked for.
std::vector<std::string> ChromiumFlags(const fs::path& profile, int deviceScale = 1) {
    return {"--headless",
            "--no-sandbox",
            "--disable-gpu",
            "--disable-quic",
            "--no-first-run",
            "--disable-background-networking",
            "--disable-component-update",
            "--disable-sync",
            "--hide-scrollbars",
            "--force-color-profile=srgb",
            "--force-device-scale-factor=" + std::to_string(deviceScale),
            "--user-data-dir=" + profile.string()};
}

struct CRunResult {
    bool started = false;
    bool timedOut = false;
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

// Runs argv[0] with a hard time limit. The child leads its own process group,
// so a browser that hangs is killed with every helper process it started.
CRunResult Run(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               const fs::path& logFile, int seconds) {
    CRunResult result;
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0) return result;
    if (pid == 0) {
        setpgid(0, 0);
        // Should the test program itself be killed (by ctest's limit), the
        // browser goes with it instead of running on.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int fd = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
            close(fd);
        }
        for (const auto& e : env)
            putenv(const_cast<char*>(e.c_str()));
        execv(args[0], args.data());
        _exit(127);
    }
    setpgid(pid, pid); // also here, so the group exists before any kill below
    result.started = true;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            result.timedOut = true;
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(-pid, SIGKILL); // helpers the browser left behind
    if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);

    std::ifstream log(logFile);
    std::stringstream text;
    text << log.rdbuf();
    result.output = text.str();
    return result;
}

bool Succeeded(const CRunResult& r, const std::string& what) {
    if (r.started && !r.timedOut && r.exitCode == 0) return true;
    ADD_FAILURE() << what << (r.timedOut ? " timed out" : " failed") << " (exit code " << r.exitCode
                  << "):\n"
                  << r.output;
    return false;
}

// A PNG screenshot as IMAGE_RGB8 without alpha, checked for the size asked.
std::unique_ptr<CImage> LoadScreenshot(const fs::path& png, int width, int height) {
    int format = 0, error = 0;
    std::unique_ptr<CImage> loaded = CIO::LoadImageA(png, format, error);
    if (!loaded) {
        ADD_FAILURE() << "screenshot " << png << " cannot be read (error " << error << ")";
        return nullptr;
    }
    if (loaded->Width() != width || loaded->Height() != height) {
        ADD_FAILURE() << "screenshot is " << loaded->Width() << " x " << loaded->Height()
                      << ", not the page's " << width << " x " << height;
        return nullptr;
    }
    if (!loaded->HasAlpha()) return loaded;
    auto rgb = std::make_unique<CImage>(IMAGE_RGB8, width, height, 96.0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* s = loaded->Bits() + y * loaded->RowBytes();
        uint8_t* d = rgb->Bits() + y * rgb->RowBytes();
        for (int x = 0; x < width; ++x)
            std::memcpy(d + 3 * x, s + 4 * x + 1, 3); // alpha comes first
    }
    return rgb;
}

// Environment for browser.py: the same binary and flags as the direct launch.
std::vector<std::string> DriverEnvironment(const fs::path& profile, int deviceScale = 1) {
    std::string flags;
    for (const auto& f : ChromiumFlags(profile, deviceScale))
        flags += (flags.empty() ? "" : " ") + f;
    return {"PW_CHROMIUM=" + ChromiumBinary().string(), "PW_CHROMIUM_FLAGS=" + flags,
            "PW_CHROMEDRIVER=" + kDriver.string(),
            "PW_DEVICE_SCALE=" + std::to_string(deviceScale)};
}

} // namespace

bool BrowserAvailable(std::string* why) {
    std::string missing;
    if (ChromiumBinary().empty()) missing += "chromium ";
    if (!fs::exists(kDriver)) missing += "chromium-driver ";
    if (!fs::exists("/usr/lib/python3/dist-packages/selenium")) missing += "python3-selenium ";
    if (why) *why = missing.empty() ? "" : "missing: " + missing.substr(0, missing.size() - 1);
    return missing.empty();
}

std::unique_ptr<CImage> Screenshot(const fs::path& htmlFile, int width, int height,
                                   int deviceScale) {
    TempDir work;
    const fs::path png = work / "screenshot.png";
    std::vector<std::string> argv{ChromiumBinary().string()};
    for (const auto& f : ChromiumFlags(work / "profile", deviceScale))
        argv.push_back(f);
    argv.push_back("--window-size=" + std::to_string(width) + "," + std::to_string(height));
    argv.push_back("--screenshot=" + png.string());
    argv.push_back(FileUrl(htmlFile));
    const CRunResult r = Run(argv, {}, work / "log.txt", kScreenshotSeconds);
    if (!Succeeded(r, "Chromium screenshot of " + htmlFile.string())) return nullptr;
    return LoadScreenshot(png, width * deviceScale, height * deviceScale);
}

namespace {

// One picture a browser.py command takes: the page, two numbers (where to
// hover, or the window size) and the size of the screenshot it gives.
struct CShotGroup {
    fs::path htmlFile;
    int first = 0, second = 0;
    int width = 0, height = 0;
};

// Runs browser.py `command` (its leading arguments in `argv`) with a group of
// file, two numbers and PNG per picture, and loads the PNGs.
std::vector<std::unique_ptr<CImage>> RunShots(std::vector<std::string> argv,
                                              const std::vector<CShotGroup>& groups,
                                              int deviceScale, const std::string& what) {
    std::vector<std::unique_ptr<CImage>> shots(groups.size());
    if (groups.empty()) return shots;
    TempDir work;
    for (size_t i = 0; i < groups.size(); ++i) {
        argv.push_back(fs::absolute(groups[i].htmlFile).string());
        argv.push_back(std::to_string(groups[i].first));
        argv.push_back(std::to_string(groups[i].second));
        argv.push_back((work / ("shot" + std::to_string(i) + ".png")).string());
    }
    const int seconds = kDriverSeconds + 5 * static_cast<int>(groups.size());
    const CRunResult r =
        Run(argv, DriverEnvironment(work / "profile", deviceScale), work / "log.txt", seconds);
    if (!Succeeded(r, what + " " + groups.front().htmlFile.string())) return shots;
    for (size_t i = 0; i < groups.size(); ++i)
        shots[i] = LoadScreenshot(work / ("shot" + std::to_string(i) + ".png"),
                                  groups[i].width * deviceScale, groups[i].height * deviceScale);
    return shots;
}

} // namespace

std::vector<std::unique_ptr<CImage>> HoverScreenshots(const std::vector<CHoverAt>& hovers,
                                                      int width, int height, int deviceScale) {
    std::vector<CShotGroup> groups;
    for (const CHoverAt& h : hovers)
        groups.push_back({h.htmlFile, h.x, h.y, width, height});
    return RunShots({PW_PYTHON, kScript.string(), "hover", std::to_string(width),
                     std::to_string(height)},
                    groups, deviceScale, "Chromium hover over");
}

std::unique_ptr<CImage> HoverScreenshot(const fs::path& htmlFile, int width, int height, int x,
                                        int y, int deviceScale) {
    return std::move(HoverScreenshots({{htmlFile, x, y}}, width, height, deviceScale).front());
}

std::vector<std::unique_ptr<CImage>> Screenshots(const std::vector<CShotOf>& pages,
                                                 int deviceScale) {
    std::vector<CShotGroup> groups;
    for (const CShotOf& p : pages)
        groups.push_back({p.htmlFile, p.width, p.height, p.width, p.height});
    return RunShots({PW_PYTHON, kScript.string(), "shots"}, groups, deviceScale,
                    "Chromium screenshots from");
}

namespace {

// Runs a browser.py command that opens each page in turn and writes lines
// "<page index>\t<text>"; one list of texts per page. On failure every page
// gets `failure` as its only line.
std::vector<std::vector<std::string>> PerPageLines(const std::string& command,
                                                   const std::vector<fs::path>& htmlFiles,
                                                   const std::string& failure) {
    std::vector<std::vector<std::string>> lines(htmlFiles.size());
    if (htmlFiles.empty()) return lines;
    TempDir work;
    const fs::path out = work / "out.txt";
    std::vector<std::string> argv{PW_PYTHON, kScript.string(), command, out.string()};
    for (const auto& f : htmlFiles)
        argv.push_back(fs::absolute(f).string());
    const int seconds = kDriverSeconds + 5 * static_cast<int>(htmlFiles.size());
    const CRunResult r = Run(argv, DriverEnvironment(work / "profile"), work / "log.txt", seconds);
    if (!Succeeded(r, "Chromium " + command + " check")) {
        for (auto& l : lines)
            l.push_back(failure);
        return lines;
    }
    std::ifstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        const size_t index = std::stoul(line.substr(0, tab));
        if (index < lines.size()) lines[index].push_back(line.substr(tab + 1));
    }
    return lines;
}

} // namespace

std::vector<std::vector<std::string>> ConsoleErrors(const std::vector<fs::path>& htmlFiles) {
    return PerPageLines("console", htmlFiles, "the browser could not check the page");
}

std::vector<std::vector<std::string>> LinkTargets(const std::vector<fs::path>& htmlFiles) {
    return PerPageLines("links", htmlFiles, "the browser could not read the links");
}

std::vector<std::string> ScriptlessLanding(const std::vector<fs::path>& htmlFiles) {
    std::vector<std::string> landing;
    for (auto& lines : PerPageLines("noscript", htmlFiles, {}))
        landing.push_back(lines.empty() ? std::string() : lines.front());
    return landing;
}

std::string FileUrl(const fs::path& file) {
    return "file://" + fs::absolute(file).lexically_normal().string();
}

std::vector<std::string> ConsoleErrors(const fs::path& htmlFile) {
    return ConsoleErrors(std::vector<fs::path>{htmlFile}).front();
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines)
        text += l + "\n";
    return text;
}

namespace {

// Runs a browser.py command (with `extra` words before the output file)
// and returns its lines "<page index>\t<rest>" split at the tabs.
std::vector<std::vector<std::vector<std::string>>>
PerPageFields(const std::string& command, const std::vector<std::string>& extra,
              const std::vector<fs::path>& htmlFiles) {
    std::vector<std::vector<std::vector<std::string>>> pages(htmlFiles.size());
    if (htmlFiles.empty()) return pages;
    TempDir work;
    const fs::path out = work / "out.txt";
    std::vector<std::string> argv{PW_PYTHON, kScript.string(), command};
    argv.insert(argv.end(), extra.begin(), extra.end());
    argv.push_back(out.string());
    for (const auto& f : htmlFiles)
        argv.push_back(fs::absolute(f).string());
    const int seconds = kDriverSeconds + 5 * static_cast<int>(htmlFiles.size());
    const CRunResult r = Run(argv, DriverEnvironment(work / "profile"), work / "log.txt", seconds);
    if (!Succeeded(r, "Chromium " + command + " check")) return pages;
    std::ifstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');)
            fields.push_back(field);
        if (fields.size() < 2) continue;
        const size_t index = std::stoul(fields[0]);
        if (index < pages.size()) pages[index].emplace_back(fields.begin() + 1, fields.end());
    }
    return pages;
}

} // namespace

std::vector<CNarrowPage> NarrowWindow(const std::vector<fs::path>& htmlFiles, int width) {
    std::vector<CNarrowPage> result(htmlFiles.size());
    const auto pages = PerPageFields("narrow", {std::to_string(width)}, htmlFiles);
    for (size_t i = 0; i < pages.size(); ++i)
        for (const auto& f : pages[i]) {
            if (f[0] == "scroll" && f.size() == 2) result[i].scrollWidth = std::stoi(f[1]);
            if (f[0] == "link" && f.size() == 3) result[i].linkHref = f[1], result[i].landedAt = f[2];
        }
    return result;
}

std::vector<CLoadedPictures> LoadedPictures(const std::vector<fs::path>& htmlFiles) {
    std::vector<CLoadedPictures> result(htmlFiles.size());
    const auto pages = PerPageFields("pictures", {}, htmlFiles);
    for (size_t i = 0; i < pages.size(); ++i)
        for (const auto& f : pages[i]) {
            if (f.size() != 2) continue;
            (f[0] == "loaded" ? result[i].loaded : result[i].hovered).push_back(f[1]);
        }
    return result;
}

} // namespace pwtest
