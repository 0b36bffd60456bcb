#include "cli/CommandLine.h"
#include "image/Image.h"
#include "model/BackgroundFill.h"
#include "model/ObjectFill.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/SafeSave.h"
#include "model/Site.h"
#include "services/IO.h"
#include "tests/cli/CliTestSupport.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"
#include <array>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

// Two pages of 300 x 250 on a beige background; a red rectangle straddles
// the border between the first two 256-pixel tiles of page 1.
fs::path WriteSite(const pwtest::TempDir& dir) {
    CSite site("Cli", CBackgroundFill(CColor(240, 230, 200)), 300, 250, CColor(0, 0, 255),
               CColor(128, 0, 128));
    for (int p = 0; p < 2; ++p)
        site.AddPage(std::make_unique<CPage>(site, "Side" + std::to_string(p + 1), "T"));
    site.SetFrontPage(site.PageAt(0));
    auto rect = std::make_unique<CRectObject>(DPOINT{256, 128}, CObjectSize{60, 40});
    rect->SetFill(std::make_unique<CObjectFill>(CColor(255, 0, 0)));
    CPageItem& item = site.PageAt(0).InsertItem(std::move(rect));
    item.AttachMouseOver(item.Normal().Clone());
    fs::path path = dir / "cli.pwu";
    pwtest::CScriptedInteraction ui;
    EXPECT_TRUE(SafeSave(site, path, ui));
    return path;
}

TEST(SiteCommands, InfoListsPagesAndItems) {
    pwtest::TempDir dir;
    const fs::path file = WriteSite(dir);
    CRun r = RunCli({"info", file.string()});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_NE(r.out.find("version 8"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Pages:       2\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Items:       1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1. Side1 \"T\" 300x250 front, 1 items, 1 rectangle, 1 with mouse-over"),
              std::string::npos)
        << r.out;

    std::ofstream(dir / "bad.pwu") << "not a site";
    r = RunCli({"info", (dir / "bad.pwu").string()});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_NE(r.err.find("not a site file"), std::string::npos) << r.err;
}

// Names are stored as Windows-1252; the terminal gets UTF-8, and control
// characters (which would drive the terminal) only as escapes.
TEST(SiteCommands, InfoPrintsUtf8AndEscapesControls) {
    pwtest::TempDir dir;
    CSite site("S\xF8ren\x1B]0;x\x07", CBackgroundFill(CColor(255, 255, 255)), 300, 250,
               CColor(0, 0, 255), CColor(128, 0, 128));
    site.AddPage(std::make_unique<CPage>(site, "Forside",
                                         "Bl\xE5"
                                         "b\xE6r\tgr\xF8"
                                         "d \x85"));
    site.SetFrontPage(site.PageAt(0));
    pwtest::CScriptedInteraction ui;
    fs::path saved = dir / "s.pwu";
    ASSERT_TRUE(SafeSave(site, saved, ui));
    const CRun r = RunCli({"info", (dir / "s.pwu").string()});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_NE(r.out.find("Site:        S\u00f8ren\\x1B]0;x\\x07\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Bl\u00e5b\u00e6r\\tgr\u00f8d \u2026\""), std::string::npos) << r.out;
    for (const char c : r.out)
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
}

// A picture's transparent half shows the red page below it, in `render` and
// in the built JPEG (before, it showed the black kept under alpha 0).
TEST(SiteCommands, TransparentPictureShowsThePageBelow) {
    pwtest::TempDir dir;
    auto png = std::make_unique<CImage>(WithAlpha(IMAGE_RGB8), 20, 10, 96.0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            uint8_t* p = png->Bits() + y * png->RowBytes() + 4 * x;
            p[0] = x < 10 ? 255 : 0, p[1] = 0, p[2] = 0, p[3] = x < 10 ? 255 : 0;
        }
    int format = FORMAT_PNG, error = 0;
    ASSERT_TRUE(CIO::SaveImage(dir / "half.png", *png, format, 100, error, ""));
    CSite site("Alpha", CBackgroundFill(CColor(255, 0, 0)), 300, 250, CColor(0, 0, 255),
               CColor(128, 0, 128));
    site.AddPage(std::make_unique<CPage>(site, "Forside", "T"));
    site.SetFrontPage(site.PageAt(0));
    auto rect = std::make_unique<CRectObject>(DPOINT{150, 100}, CObjectSize{80, 40});
    auto fill = std::make_unique<CObjectFill>();
    fill->SetImagePath((dir / "half.png").string());
    fill->SetPicture(true);
    rect->SetFill(std::move(fill));
    site.PageAt(0).InsertItem(std::move(rect));
    pwtest::CScriptedInteraction ui;
    fs::path saved = dir / "alpha.pwu";
    ASSERT_TRUE(SafeSave(site, saved, ui));

    // Left quarter of the picture and right quarter: blue, then red.
    auto expectHalves = [](const CImage& image, int x0, int y0, int tolerance, const char* what) {
        auto near = [&](int x, int y, int r, int g, int b) {
            const uint8_t* p = image.Bits() + static_cast<std::size_t>(y) * image.RowBytes() +
                               (image.HasAlpha() ? 4 * x + 1 : 3 * x);
            return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance &&
                   std::abs(p[2] - b) <= tolerance;
        };
        EXPECT_TRUE(near(x0 + 15, y0 + 20, 0, 0, 255)) << what;
        EXPECT_TRUE(near(x0 + 65, y0 + 20, 255, 0, 0)) << what;
    };
    CRun r = RunCli({"render", (dir / "alpha.pwu").string(), "--page", "1", "--out",
                     (dir / "page.png").string()});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    auto page = CIO::LoadImageA(dir / "page.png", format, error);
    ASSERT_TRUE(page);
    expectHalves(*page, 110, 80, 0, "render");

    r = RunCli({"build", (dir / "alpha.pwu").string(), (dir / "web").string()});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    int jpegs = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir / "web")) {
        if (entry.path().extension() != ".jpg") continue;
        auto built = CIO::LoadImageA(entry.path(), format, error);
        ASSERT_TRUE(built);
        if (built->Width() != 80 || built->Height() != 40) continue;
        ++jpegs;
        expectHalves(*built, 0, 0, 40, "built JPEG");
    }
    EXPECT_EQ(jpegs, 1);
}

TEST(SiteCommands, RenderWritesThePageAsPng) {
    pwtest::TempDir dir;
    const fs::path file = WriteSite(dir);
    const fs::path png = dir / "side1.png";
    CRun r = RunCli({"render", file.string(), "--page", "1", "--out", png.string()});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    int format = 0, error = 0;
    auto image = CIO::LoadImageA(png, format, error);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Width(), 300);
    EXPECT_EQ(image->Height(), 250);
    auto pixel = [&](int x, int y) {
        const uint8_t* p = image->Bits() + static_cast<std::size_t>(y) * image->RowBytes() + 3 * x;
        return std::vector<int>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(pixel(5, 5), (std::vector<int>{240, 230, 200}));
    EXPECT_EQ(pixel(299, 249), (std::vector<int>{240, 230, 200}));
    // Both sides of the tile border carry the rectangle.
    EXPECT_EQ(pixel(250, 128), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(pixel(262, 128), (std::vector<int>{255, 0, 0}));

    r = RunCli({"render", file.string(), "--page", "3", "--out", png.string()});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_NE(r.err.find("has 2 pages"), std::string::npos);
}

// What /usr/bin/time -v saw of one run of the real program: exit status,
// peak resident memory and the processor time it took (user + system, which a
// busy machine does not inflate the way it does wall time).
struct CMeasured {
    int status = -1;
    long peakKb = -1;
    double cpuSeconds = -1;
    std::string output;
};

CMeasured MeasureInfo(const fs::path& file) {
    // timeout guards the test itself against a reader that blocks or spins.
    const std::string command = "timeout 20 /usr/bin/time -v '" + std::string(PW_CLI_EXE) +
                                "' info '" + file.string() + "' 2>&1";
    CMeasured m;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return m;
    std::array<char, 256> buffer{};
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        m.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    m.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::smatch match;
    if (std::regex_search(m.output, match,
                          std::regex(R"(Maximum resident set size \(kbytes\): (\d+))")))
        m.peakKb = std::stol(match[1]);
    double user = -1, system = -1;
    if (std::regex_search(m.output, match, std::regex(R"(User time \(seconds\): ([\d.]+))")))
        user = std::stod(match[1]);
    if (std::regex_search(m.output, match, std::regex(R"(System time \(seconds\): ([\d.]+))")))
        system = std::stod(match[1]);
    if (user >= 0 && system >= 0) m.cpuSeconds = user + system;
    return m;
}

// Reading is bounded: what is not a regular file is refused before a byte is
// read, and a valid site followed by 2 GB of padding costs only its records.
TEST(SiteCommands, InfoOfEndlessOrHugeInputIsBounded) {
    if (!fs::exists("/usr/bin/time")) GTEST_SKIP() << "/usr/bin/time is not installed";
    pwtest::TempDir dir;
    const fs::path site = WriteSite(dir);
    const fs::path fifo = dir / "fifo.pwu";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const fs::path padded = dir / "padded.pwu";
    fs::copy_file(site, padded);
    fs::resize_file(padded, 2ull << 30); // sparse: costs no disk

    const struct {
        fs::path file;
        int status;
        const char* says;
    } cases[] = {
        {"/dev/zero", kExitFailure, "not a regular file"},
        {fifo, kExitFailure, "not a regular file"},
        {padded, kExitOk, "Pages:       2"},
    };
    for (const auto& c : cases) {
        const CMeasured m = MeasureInfo(c.file);
        SCOPED_TRACE(c.file.string() + "\n" + m.output);
        EXPECT_EQ(m.status, c.status);
        EXPECT_NE(m.output.find(c.says), std::string::npos);
        ASSERT_GT(m.peakKb, 0);
        EXPECT_LT(m.peakKb, 100 * 1024);
        EXPECT_GE(m.cpuSeconds, 0);
        EXPECT_LT(m.cpuSeconds, 1.0);
    }
}

} // namespace
