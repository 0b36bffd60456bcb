// The shipped templates built for today's screens, in Chromium: a phone's
// window 360 pixels wide never scrolls sideways and its links still lead
// where they should; a browser that takes WebP fetches the WebP twins, shows
// the mouse-over states in WebP too, and fetches fewer bytes than before.
#include "model/Site.h"
#include "model/SiteFile.h"
#include "services/DataFolders.h"
#include "sitebuild/BuildTypes.h"
#include "tests/sitebuild/BuiltSiteCheck.h"
#include "tests/support/Browser.h"
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <set>

using namespace pwtest;
namespace fs = std::filesystem;

namespace {

struct CTemplateBuild {
    std::string name;
    std::unique_ptr<CSite> site;
    std::unique_ptr<CBuiltSite> built;
    std::vector<fs::path> pages;
};

std::vector<CTemplateBuild> BuildTemplates(bool modern) {
    std::vector<fs::path> files;
    for (const auto& entry :
         fs::recursive_directory_iterator(CDataFolders::DataFolder() / "Templates"))
        if (entry.path().extension() == ".pws") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<CTemplateBuild> builds;
    for (const fs::path& file : files) {
        CTemplateBuild& b = builds.emplace_back();
        b.name = file.stem().string();
        std::string error;
        b.site = LoadSiteFile(file, nullptr, &error);
        EXPECT_TRUE(b.site) << file << ": " << error;
        if (!b.site) continue;
        b.built = BuildSite(*b.site,
                            [modern](BuildSettings& s) { s.hiDpi = s.webp = s.phones = modern; });
        EXPECT_EQ(b.built->code, BuildOk) << b.name;
        for (int p = 0; p < b.site->PageCount(); ++p)
            b.pages.push_back(b.built->PageFile(p));
    }
    return builds;
}

std::string Path(const std::string& url) {
    return url.rfind("file://", 0) == 0 ? url.substr(7) : url;
}

long long Bytes(const std::vector<std::string>& urls) {
    long long total = 0;
    std::error_code ec;
    for (const std::string& url : std::set<std::string>(urls.begin(), urls.end())) {
        const auto size = fs::file_size(Path(url), ec);
        if (!ec) total += static_cast<long long>(size);
    }
    return total;
}

bool IsWebp(const std::string& url) {
    return url.size() > 5 && url.compare(url.size() - 5, 5, ".webp") == 0;
}

} // namespace

TEST(ScreensBrowser, APhoneNeverScrollsSidewaysAndLinksStillWork) {
    PW_REQUIRE_BROWSER();
    const auto builds = BuildTemplates(true);
    EXPECT_GE(builds.size(), 4u);
    int links = 0;
    for (const CTemplateBuild& b : builds) {
        const auto pages = NarrowWindow(b.pages, 360);
        for (size_t p = 0; p < pages.size(); ++p) {
            const std::string label = b.name + " page " + std::to_string(p + 1);
            EXPECT_GE(pages[p].scrollWidth, 1) << label;
            EXPECT_LE(pages[p].scrollWidth, 360) << label;
            if (pages[p].linkHref.empty()) continue;
            ++links;
            EXPECT_EQ(pages[p].landedAt, pages[p].linkHref) << label;
        }
    }
    EXPECT_GT(links, 0); // the templates have navigation buttons
}

TEST(ScreensBrowser, WithWebpTheBrowserFetchesTheTwinsAndFewerBytes) {
    PW_REQUIRE_BROWSER();
    const auto classic = BuildTemplates(false);
    const auto modern = BuildTemplates(true);
    ASSERT_EQ(classic.size(), modern.size());
    // One browser start for every page of both builds.
    std::vector<fs::path> files;
    for (const auto* builds : {&classic, &modern})
        for (const CTemplateBuild& b : *builds)
            files.insert(files.end(), b.pages.begin(), b.pages.end());
    const auto seen = LoadedPictures(files);
    ASSERT_EQ(seen.size(), files.size());
    const size_t half = files.size() / 2;
    long long before = 0, after = 0;
    int webps = 0;
    size_t at = 0;
    for (const CTemplateBuild& b : modern) {
        long long siteBefore = 0, siteAfter = 0;
        for (size_t p = 0; p < b.pages.size(); ++p, ++at) {
            const std::string label = b.name + " page " + std::to_string(p + 1);
            const CLoadedPictures& old = seen[at];
            const CLoadedPictures& now = seen[half + at];
            EXPECT_FALSE(now.loaded.empty()) << label;
            for (const std::string& url : now.loaded) {
                webps += IsWebp(url);
                // A picture with a twin is fetched as the twin, never both.
                if (!IsWebp(url)) {
                    const fs::path twin = fs::path(Path(url)).replace_extension(".webp");
                    EXPECT_FALSE(fs::exists(twin))
                        << label << ": " << url << " fetched, not " << twin;
                }
            }
            // The mouse-over state shows in WebP where its picture has a twin.
            for (const std::string& url : now.hovered) {
                const bool hasTwin =
                    IsWebp(url) || fs::exists(fs::path(Path(url)).replace_extension(".webp"));
                EXPECT_TRUE(!hasTwin || IsWebp(url)) << label << " hovered: " << url;
            }
            siteBefore += Bytes(old.loaded);
            siteAfter += Bytes(now.loaded);
        }
        std::printf("[ weight   ] %s: %lld bytes of pictures classic, %lld with WebP (%+.1f%%)\n",
                    b.name.c_str(), siteBefore, siteAfter,
                    siteBefore ? 100.0 * double(siteAfter - siteBefore) / double(siteBefore) : 0.0);
        before += siteBefore;
        after += siteAfter;
    }
    std::printf("[ weight   ] shipped templates: %lld bytes classic, %lld with WebP\n", before,
                after);
    EXPECT_GT(webps, 0);
    EXPECT_LT(after, before);
}
