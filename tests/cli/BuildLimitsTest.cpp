// "pagewright build" against the limits of the machine, run as the real
// program: a disk that fills up, and the memory a large site needs.
#include "image/Image.h"
#include "model/EllipseObject.h"
#include "model/Page.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "model/BackgroundFill.h"
#include "model/ObjectFill.h"
#include "services/ByteWriter.h"
#include "services/IO.h"
#include "services/IOError.h"
#include "tests/support/TempDir.h"
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <regex>
#include <sys/mount.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct CShellRun {
    int status = -1;
    std::string output; // stdout and stderr
};

CShellRun Shell(const std::string& command) {
    CShellRun run;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quoted(const fs::path& path) {
    std::string quoted(1, '\'');
    quoted += path.string();
    quoted += '\'';
    return quoted;
}

void SaveSiteFile(CSite& site, const fs::path& file) {
    CByteWriter writer;
    ASSERT_TRUE(SaveSite(site, writer));
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(writer.Data().data()),
               static_cast<std::streamsize>(writer.Data().size()));
}

// A site of `pages` pages of w x h, each with `items` shapes of iw x ih
// stacked down the page; flat colours and gradients.
void SaveShapeSite(const fs::path& file, int pages, int w, int h, int items, int iw, int ih) {
    CSite site("Stor", CBackgroundFill(CColor(240, 240, 240)), w, h, CColor(0, 0, 255),
               CColor(128, 0, 128));
    std::mt19937 random(7);
    for (int p = 0; p < pages; ++p) {
        CPage& page = site.AddPage(
            std::make_unique<CPage>(site, "Side" + std::to_string(p + 1), "Side"));
        if (p == 0) site.SetFrontPage(page);
        for (int i = 0; i < items; ++i) {
            const double x = iw / 2.0 + static_cast<double>(random() % static_cast<unsigned>(w - iw));
            const double y = ih / 2.0 + static_cast<double>((h - ih) * i / std::max(items - 1, 1));
            std::unique_ptr<CShapeObject> shape;
            if (i % 2)
                shape = std::make_unique<CEllipseObject>(DPOINT{x, y}, CObjectSize{iw, ih});
            else
                shape = std::make_unique<CRectObject>(DPOINT{x, y}, CObjectSize{iw, ih});
            if (i % 3 == 0)
                shape->GetFill()->SetGradient(CFillGradient());
            else
                shape->GetFill()->SetColour(CColor(static_cast<uint8_t>(random()),
                                                   static_cast<uint8_t>(random()),
                                                   static_cast<uint8_t>(random())));
            page.InsertItem(std::move(shape));
        }
    }
    SaveSiteFile(site, file);
}

// Largest resident set of the command, in megabytes, from GNU time.
double PeakMegabytes(const std::string& output) {
    std::smatch match;
    static const std::regex peak(R"(Maximum resident set size \(kbytes\): (\d+))");
    return std::regex_search(output, match, peak) ? std::stod(match[1]) / 1024.0 : -1;
}

bool EndsLikeAJpeg(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return bytes.size() > 4 && bytes.compare(0, 2, "\xFF\xD8") == 0 &&
           bytes.compare(bytes.size() - 2, 2, "\xFF\xD9") == 0;
}

} // namespace

// A disk that fills up ends the build with the file that could not be
// written and exit status 1, and every picture on the disk is whole.
TEST(BuildLimits, AFullDiskNamesTheFileAndLeavesNoPictureCutShort) {
    pwtest::TempDir dir;
    // Noise does not compress: every picture of 360 x 300 is some 300 KB,
    // and no two are alike (alike pictures would share one file).
    CSite site("Fuld", CBackgroundFill(CColor(255, 255, 255)), 740, 1000, CColor(0, 0, 255),
               CColor(128, 0, 128));
    std::mt19937 random(3);
    for (int p = 0; p < 4; ++p) {
        CPage& page = site.AddPage(
            std::make_unique<CPage>(site, "Side" + std::to_string(p + 1), "Side"));
        if (p == 0) site.SetFrontPage(page);
        for (int i = 0; i < 6; ++i) {
            CImage noise(IMAGE_RGB8, 360, 300, 96.0);
            for (int y = 0; y < noise.Height(); ++y)
                for (int x = 0; x < 3 * noise.Width(); ++x)
                    noise.Bits()[y * noise.RowBytes() + x] = static_cast<uint8_t>(random());
            const fs::path file = dir / ("noise" + std::to_string(6 * p + i) + ".png");
            int format = FORMAT_PNG, error = 0;
            ASSERT_TRUE(CIO::SaveImage(file, noise, format, 0, error, ""));
            auto picture = std::make_unique<CRectObject>(
                DPOINT{190.0 + 360 * (i % 2), 160.0 + 320 * (i / 2)}, CObjectSize{360, 300});
            picture->GetFill()->SetImage(file.string(), std::make_unique<CImage>(noise));
            picture->GetFill()->SetPicture(true);
            page.InsertItem(std::move(picture));
        }
    }
    SaveSiteFile(site, dir / "fuld.pwu");

    // A 5 MB disk of its own where the system lets us mount one; else a
    // limit on the size of every file the program writes.
    const fs::path disk = dir / "disk";
    fs::create_directories(disk);
    const bool mounted = ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=5m") == 0;
    const fs::path out = disk / "site";
    const std::string limit = mounted ? "" : "trap '' XFSZ; ulimit -f 200; ";
    const CShellRun run = Shell("bash -c \"" + limit + "exec '" + PW_CLI_EXE + "' build " +
                                Quoted(dir / "fuld.pwu") + " " + Quoted(out) + "\"");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("cannot write " + (out / "My_Homepage_Files").string()),
              std::string::npos)
        << run.output;
    int pictures = 0;
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name.rfind(".pw-part-", 0), 0u) << name << " left behind";
        if (name.ends_with(".jpg")) {
            ++pictures;
            EXPECT_TRUE(EndsLikeAJpeg(entry.path())) << name << " is cut short";
        }
    }
    EXPECT_GT(pictures, 0);
    if (mounted) ::umount(disk.c_str());
}

// A build holds the pictures of about one page at a time, not of the site.
TEST(BuildLimits, PeakMemoryIsBoundedByThePageNotTheSite) {
    if (!fs::exists("/usr/bin/time")) GTEST_SKIP() << "GNU time (/usr/bin/time) is missing";
    struct {
        const char* what;
        int pages, width, height, items, itemWidth, itemHeight;
        double limitMb;
    } const cases[] = {
        {"12 tall pages of 40 items", 12, 740, 8000, 40, 600, 1000, 400},
        {"500 pages of 20 items", 500, 740, 600, 20, 130, 110, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        pwtest::TempDir dir;
        SaveShapeSite(dir / "site.pwu", c.pages, c.width, c.height, c.items, c.itemWidth,
                      c.itemHeight);
        // Classic: the WebP search would make this a matter of minutes.
        const CShellRun run = Shell("/usr/bin/time -v '" + std::string(PW_CLI_EXE) +
                                    "' build --classic " + Quoted(dir / "site.pwu") + " " +
                                    Quoted(dir / "out"));
        ASSERT_EQ(run.status, 0) << run.output;
        const double peak = PeakMegabytes(run.output);
        ASSERT_GT(peak, 0) << run.output;
        EXPECT_LT(peak, c.limitMb);
        std::printf("[ memory   ] %s: peak %.0f MB\n", c.what, peak);
    }
}
