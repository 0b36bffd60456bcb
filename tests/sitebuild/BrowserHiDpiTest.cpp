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

} // namespace

// Every shipped template, whatever is added later; one test each, so that a
// test stays well inside the time limit of a browser test.
std::vector<std::string> ShippedTemplates() {
    std::vector<std::string> sites;
    for (const auto& entry :
         fs::recursive_directory_iterator(CDataFolders::DataFolder() / "Templates"))
        if (entry.path().extension() == ".pws") sites.push_back(entry.path().string());
    std::sort(sites.begin(), sites.end());
    return sites;
}

class BrowserHiDpiTemplateTest : public BrowserHiDpiTest,
                                 public ::testing::WithParamInterface<std::string> {};

TEST_P(BrowserHiDpiTemplateTest, IsSharpAtTwoDevicePixels) {
    PW_REQUIRE_BROWSER();
    std::string error;
    const std::unique_ptr<CSite> site = LoadSiteFile(GetParam(), nullptr, &error);
    ASSERT_TRUE(site) << error;
    CheckSiteWithOptionsInBrowser(*site, fs::path(GetParam()).stem().string());
}

INSTANTIATE_TEST_SUITE_P(Shipped, BrowserHiDpiTemplateTest, ::testing::ValuesIn(ShippedTemplates()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return fs::path(info.param).stem().string();
                         });

TEST_F(BrowserHiDpiTest, EveryKindOfItemIsSharpAtTwoDevicePixels) {
    PW_REQUIRE_BROWSER();
    CTestSite t(480, 360);
    FillEveryKindPage(t.AddPage("Gradient"), pictures.Path(), EEveryKindBackground::Gradient);
    FillEveryKindPage(t.AddPage("Tiled"), pictures.Path(), EEveryKindBackground::Tiled);
    // The button's mouse-over state is what the editor shows; the browser
    // shows the normal state until hovered.
    CPageItem* button = nullptr;
    for (int p = 0; p < 2; ++p)
        for (const auto& item : t.site->PageAt(p).Items()) {
            item->SetEditingMouseOver(false);
            if (p == 0 && item->MouseOver()) button = item.get();
        }
    ASSERT_NE(button, nullptr);
    const auto built = BuildSite(*t.site, [](BuildSettings& s) {
        s.hiDpi = true;
        s.webp = true;
        s.phones = true;
    });
    ASSERT_EQ(built->code, BuildOk);
    for (const int scale : {1, 2})
        CheckPagesInBrowserAtScale(*built, *t.site, "every kind", scale);
    // Hovered, the button swaps to its mouse-over picture at scale 2 too.
    CheckHoversInBrowser(*built, {{0, &t.site->PageAt(0), button, "hovered button at 2x"}}, 2);
}
