// Sites built with their pictures at scale 2, in Chromium on a screen of two
// device pixels per CSS pixel: the browser takes the @2x pictures and the
// page looks like the core's own drawing of it at scale 2. On an ordinary
// screen the same build is as faithful as a classic one.
#include "model/SiteFile.h"
#include "services/DataFolders.h"
#include "tests/render/EveryKindPage.h"
#include "tests/support/Browser.h"
#include <algorithm>
#include <gtest/gtest.h>

using namespace pwtest;
namespace fs = std::filesystem;

namespace {
class BrowserHiDpiTest : public CBrowserSiteTest {};

// Every page of the built site at device scale 1 and 2.
void CheckEveryPage(CSite& site, const std::string& name) {
    const auto built = BuildSite(site, [](BuildSettings& s) {
        s.hiDpi = true;
        s.webp = true;
        s.phones = true;
    });
    ASSERT_EQ(built->code, BuildOk);
    for (int p = 0; p < site.PageCount(); ++p) {
        CPage& page = site.PageAt(p);
        const std::string label = name + " page " + std::to_string(p + 1);
        for (const int scale : {1, 2})
            CheckPageInBrowserAtScale(*built, p, page, label + " at " + std::to_string(scale) + "x",
                                      scale);
    }
}
} // namespace

TEST_F(BrowserHiDpiTest, ShippedTemplatesAreSharpAtTwoDevicePixels) {
    PW_REQUIRE_BROWSER();
    std::vector<fs::path> sites;
    for (const auto& entry :
         fs::recursive_directory_iterator(CDataFolders::DataFolder() / "Templates"))
        if (entry.path().extension() == ".pws") sites.push_back(entry.path());
    std::sort(sites.begin(), sites.end());
    EXPECT_GE(sites.size(), 4u);
    for (const fs::path& file : sites) {
        std::string error;
        const std::unique_ptr<CSite> site = LoadSiteFile(file, nullptr, &error);
        ASSERT_TRUE(site) << error;
        CheckEveryPage(*site, file.stem().string());
    }
}

TEST_F(BrowserHiDpiTest, EveryKindOfItemIsSharpAtTwoDevicePixels) {
    PW_REQUIRE_BROWSER();
    CTestSite t(480, 360);
    FillEveryKindPage(t.AddPage("Gradient"), pictures.Path(), EEveryKindBackground::Gradient);
    FillEveryKindPage(t.AddPage("Tiled"), pictures.Path(), EEveryKindBackground::Tiled);
    // The button's mouse-over state is what the editor shows; the browser
    // shows the normal state until hovered.
    for (int p = 0; p < 2; ++p)
        for (const auto& item : t.site->PageAt(p).Items())
            item->SetEditingMouseOver(false);
    CheckEveryPage(*t.site, "every kind");
}
