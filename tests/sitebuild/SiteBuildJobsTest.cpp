// The site build on several workers: the same bytes as on one, links planted
// in the output never written through, cancelling stops at once and leaves
// nothing behind.
#include "sitebuild/OutputFile.h"
#include "model/SiteFile.h"
#include "model/Effects.h"
#include "services/DataFolders.h"
#include "tests/sitebuild/SiteBuildTestSupport.h"
#include <chrono>
#include <map>
#include <regex>

using namespace buildtest;

namespace {

// Every file under `root`, by relative path, with its bytes. The CSS class
// numbers of the pages run on through the life of the program, so a second
// build in one process counts on from the first; they are left out.
std::map<std::string, std::string> Tree(const fs::path& root) {
    static const std::regex cssClass("Object[0-9]+");
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        std::string bytes = ReadFileBytes(entry.path());
        if (entry.path().extension() != ".jpg")
            bytes = std::regex_replace(bytes, cssClass, "Object#");
        files[fs::relative(entry.path(), root).string()] = std::move(bytes);
    }
    return files;
}

bool HasPartFiles(const fs::path& root) {
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.path().filename().string().rfind(kOutputTempPrefix, 0) == 0) return true;
    return false;
}

// Pages with what the build treats in different ways: a picture kept as its
// own file and one re-encoded, shapes with effects and turned, mouse-over
// twins, HTML texts and a covered text, the same logo on every page (one
// shared file), gradient and picture backgrounds.
void MakeMixedSite(CSiteFixture& f) {
    const fs::path small = f.dir / "small.jpg";
    const fs::path large = f.dir / "large.jpg";
    CImage photo(IMAGE_RGB8, 90, 70, 96.0);
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 90; ++x) {
            uint8_t* p = photo.Bits() + y * photo.RowBytes() + 3 * x;
            p[0] = static_cast<uint8_t>(x * 2), p[1] = static_cast<uint8_t>(y * 3);
            p[2] = static_cast<uint8_t>((x * y) % 251);
        }
    int format = FORMAT_JPEG, error = 0;
    ASSERT_TRUE(CIO::SaveImage(small, photo, format, 40, error, ""));
    ASSERT_TRUE(CIO::SaveImage(large, photo, format, 100, error, ""));
    for (int p = 0; p < 6; ++p) {
        CPage& page = f.AddPage("Side" + std::to_string(p));
        if (p % 3 == 1) page.Background().SetGradient(CFillGradient());
        if (p % 3 == 2) page.Background().SetImagePath(large.string());
        AddRect(page, {10, 10, 110, 40}, CColor(200, 30, 30)); // the logo
        AddPicture(page, 20 + p * 5, 60, p % 2 ? small : large);
        CRectObject& shadowed = AddRect(page, {150, 60, 260, 150}, CColor(30, 90, 200));
        shadowed.GetEffects()->shadowOn = true;
        shadowed.GetEffects()->shadowDistance = 6 + p;
        CEllipseObject& glowing =
            AddShape<CEllipseObject>(page, {300, 60, 420, 160}, CColor(40, 160, 60));
        glowing.GetEffects()->glowOn = true;
        glowing.GetEffects()->edgesOn = p % 2 == 0;
        AddRect(page, {450, 50, 560, 140}, CColor(240, 200, 0), 0.4 + 0.1 * p);
        CRectObject& button = AddRect(page, {40, 300, 160, 340}, CColor(90, 90, 90));
        AddMouseOver(page, button, CColor(200, 200, 200));
        AddText(page, 200, 300, "Velkommen " + std::to_string(p));
        AddText(page, 420, 320, "Under en drejet figur");
        AddRect(page, {430, 315, 520, 350}, CColor(10, 120, 120), 0.3);
    }
}

} // namespace

// Whatever the number of jobs, the built site is the same, byte for byte,
// and the progress only goes forward.
TEST(SiteBuildJobs, OutputIsTheSameWhateverTheNumberOfJobs) {
    // Every shipped template, whatever is added later.
    std::vector<fs::path> sites;
    for (const auto& entry :
         fs::recursive_directory_iterator(CDataFolders::DataFolder() / "Templates"))
        if (entry.path().extension() == ".pws") sites.push_back(entry.path());
    std::sort(sites.begin(), sites.end());
    EXPECT_GE(sites.size(), 4u);
    sites.emplace_back(); // the mixed site made here
    // The mixed site also with its pictures at scale 2.
    std::vector<std::pair<fs::path, bool>> builds;
    for (const fs::path& file : sites)
        builds.emplace_back(file, false);
    builds.emplace_back(fs::path(), true);
    for (const auto& [file, hiDpi] : builds) {
        SCOPED_TRACE((file.empty() ? "mixed site" : file.string()) + (hiDpi ? " at 2x" : ""));
        std::map<std::string, std::string> first;
        for (int jobs : {1, 8, 2}) {
            CSiteFixture f;
            std::unique_ptr<CSite> loaded;
            CSite* site = &f.site;
            if (file.empty()) {
                MakeMixedSite(f);
            } else {
                std::string error;
                loaded = LoadSiteFile(file, nullptr, &error);
                ASSERT_TRUE(loaded) << error;
                site = loaded.get();
            }
            BuildSettings settings = f.Settings();
            settings.jobs = jobs;
            settings.hiDpi = hiDpi;
            settings.largeObjectWarning = false;
            SiteBuilder builder(settings, &f.ui);
            ASSERT_EQ(builder.Build(*site).code, BuildOk) << jobs << " jobs";
            const auto& positions = f.ui.Progresses().back()->positions;
            EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end())) << jobs << " jobs";
            auto tree = Tree(f.Root());
            EXPECT_FALSE(HasPartFiles(f.Root()));
            if (first.empty()) {
                first = std::move(tree);
                EXPECT_GT(first.size(), 4u);
                continue;
            }
            ASSERT_EQ(tree.size(), first.size()) << jobs << " jobs";
            for (const auto& [name, bytes] : first)
                EXPECT_TRUE(tree[name] == bytes) << name << " differs with " << jobs << " jobs";
        }
    }
}

// A link planted where an output file or the files folder goes is replaced;
// whatever it pointed at stays as it was.
TEST(SiteBuildJobs, PlantedLinksAreReplacedAndTheirTargetsUntouched) {
    for (bool linkedFolder : {false, true}) {
        SCOPED_TRACE(linkedFolder ? "files folder is a link" : "files are links");
        CSiteFixture f;
        CPage& page = f.AddPage("Forside");
        AddRect(page, {10, 10, 100, 100}, CColor(200, 0, 0));
        f.AddPage("Anden");
        const fs::path outside = f.dir / "outside";
        fs::create_directories(outside);
        fs::create_directories(f.Root());
        const std::vector<std::string> planted = {"IMG_0.jpg", "Side1.html", "error.html"};
        for (const std::string& name : planted) {
            WriteFileBytes(outside / name, "keep " + name);
            fs::permissions(outside / name, fs::perms::owner_read | fs::perms::group_read);
        }
        WriteFileBytes(outside / "default.htm", "keep front");
        fs::create_symlink(outside / "default.htm", f.Root() / kFrontPageFile);
        if (linkedFolder) {
            fs::create_directory_symlink(outside, f.Files());
        } else {
            fs::create_directories(f.Files());
            for (const std::string& name : planted)
                fs::create_symlink(outside / name, f.Files() / name);
        }
        ASSERT_EQ(f.Build(), BuildOk);
        EXPECT_EQ(ReadFileBytes(outside / "default.htm"), "keep front");
        for (const std::string& name : planted) {
            EXPECT_EQ(ReadFileBytes(outside / name), "keep " + name);
            EXPECT_EQ(fs::status(outside / name).permissions(),
                      fs::perms::owner_read | fs::perms::group_read)
                << name;
            EXPECT_FALSE(fs::is_symlink(f.Files() / name)) << name;
            EXPECT_TRUE(fs::is_regular_file(f.Files() / name)) << name;
        }
        EXPECT_FALSE(fs::is_symlink(f.Root() / kFrontPageFile));
        EXPECT_FALSE(fs::is_symlink(f.Files()));
        EXPECT_EQ(f.FileNames(outside).size(), planted.size() + 1);
    }
}

// Says Cancel from a given moment on, as a user who pressed it then.
class CCancelAt : public CProgress {
public:
    using Clock = std::chrono::steady_clock;
    explicit CCancelAt(Clock::time_point at) : m_at(at) {}
    void SetPhase(const std::string&) override {}
    void SetPage(const std::string&) override {}
    void SetRange(long long) override {}
    void SetPos(long long) override {}
    bool IsCancelled() override { return Clock::now() >= m_at; }
    bool PollWhileWaiting() override { return Clock::now() >= m_at; }

private:
    Clock::time_point m_at;
};

struct CCancellingUi : pwtest::CScriptedInteraction {
    CCancelAt::Clock::time_point at;
    std::unique_ptr<CProgress> OpenProgress(int, const std::string&) override {
        return std::make_unique<CCancelAt>(at);
    }
};

// The mixed site with wide soft glows and shadows on many shapes: bringing
// them up to date is most of the work, and each takes a few milliseconds.
// (Away from the mouse-over button, which nothing may cover.)
void MakeSiteWithEffects(CSiteFixture& f) {
    MakeMixedSite(f);
    for (int p = 0; p < f.site.PageCount(); ++p)
        for (int i = 0; i < 12; ++i) {
            CRectObject& glowing =
                AddRect(f.site.PageAt(p), {240 + 30 * i, 380 + 5 * i, 320 + 30 * i, 470},
                        CColor(20, 20 * i, 90));
            glowing.GetEffects()->glowOn = true;
            glowing.GetEffects()->glowSize = CEffects::kMaxSize;
            glowing.GetEffects()->shadowOn = i % 2 == 0;
            glowing.GetEffects()->shadowSize = CEffects::kMaxSize;
        }
}

// Cancel at any point, with workers busy bringing shapes with effects up to
// date or rendering their pictures, on one job or several: the build ends
// within 100 ms and nothing it wrote is left.
TEST(SiteBuildJobs, CancelStopsWithin100MsAndTakesAwayWhatItWrote) {
    using namespace std::chrono_literals;
    using Clock = CCancelAt::Clock;
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    // Sanitized code runs several times slower; the bound scales with it.
    const auto bound = 1000ms;
#else
    const auto bound = 100ms;
#endif
    for (int jobs : {1, 2, 4}) {
        BuildSettings settings;
        Clock::duration whole{};
        {
            CSiteFixture f;
            MakeSiteWithEffects(f);
            settings = f.Settings();
            settings.jobs = jobs;
            settings.largeObjectWarning = false;
            const Clock::time_point start = Clock::now();
            SiteBuilder builder(settings, &f.ui);
            ASSERT_EQ(builder.Build(f.site).code, BuildOk);
            whole = Clock::now() - start;
        }
        for (int percent : {0, 10, 40}) {
            SCOPED_TRACE(std::to_string(jobs) + " jobs, cancel at " + std::to_string(percent) +
                         "% of the build");
            // The machine is shared: the best of three tries counts, and a
            // build that ends before Cancel tries again with half the delay.
            auto best = Clock::duration::max();
            Clock::duration delay = whole * percent / 100;
            for (int attempt = 0; attempt < 3 && best >= bound; ++attempt) {
                CSiteFixture f;
                MakeSiteWithEffects(f);
                settings.rootFolder = f.Root();
                settings.filesFolder = f.Files();
                CCancellingUi ui;
                ui.at = Clock::now() + delay;
                SiteBuilder builder(settings, &ui);
                const int code = builder.Build(f.site).code;
                const Clock::time_point ended = Clock::now();
                if (code == BuildOk) {
                    delay /= 2;
                    continue;
                }
                ASSERT_EQ(code, BuildCancelled);
                // From the press of Cancel, not from the first question after it.
                best = std::min(best, ended - ui.at);
                EXPECT_FALSE(fs::exists(f.Root()));
            }
            EXPECT_LT(best, bound)
                << std::chrono::duration_cast<std::chrono::milliseconds>(best).count() << " ms";
        }
    }
}
