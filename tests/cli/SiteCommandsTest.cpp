#include "cli/CommandLine.h"
#include "image/Image.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/SafeSave.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include "model/ObjectFill.h"
#include "services/IO.h"
#include "tests/cli/CliTestSupport.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

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

} // namespace
