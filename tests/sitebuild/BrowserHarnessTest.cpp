// The browser harness itself, on a hand-written page of absolutely positioned
// JPEGs: what Chromium shows must be what our own decoder reads from the same
// files, so the fidelity tests of built sites measure the build, not the
// harness.
#include "image/Image.h"
#include "services/IO.h"
#include "tests/support/Browser.h"
#include "tests/support/ImageDiff.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace pwtest;

namespace {

// A picture with detail in every channel: gradients crossed with stripes.
CImage Pattern(int w, int h, int seed) {
    CImage img(IMAGE_RGB8, w, h, 96.0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = img.Bits() + y * img.RowBytes() + 3 * x;
            p[0] = static_cast<uint8_t>((x * 255) / w);
            p[1] = static_cast<uint8_t>((y * 255) / h);
            p[2] = static_cast<uint8_t>(((x / 8 + y / 8 + seed) % 2) ? 200 : 40);
        }
    return img;
}

std::unique_ptr<CImage> SaveAndReload(const fs::path& file, const CImage& img) {
    int format = FORMAT_JPEG, error = 0;
    EXPECT_TRUE(CIO::SaveImage(file, img, format, 98, error, ""));
    return CIO::LoadImageA(file, format, error);
}

void Paste(CImage& page, const CImage& img, int left, int top) {
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            uint8_t* d = page.Bits() + (top + y) * page.RowBytes() + 3 * (left + x);
            const uint8_t* s = img.Bits() + y * img.RowBytes() + 3 * x;
            d[0] = s[0], d[1] = s[1], d[2] = s[2];
        }
}

void WriteFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

} // namespace

TEST(BrowserHarnessTest, ScreenshotHoverAndConsoleOnAHandWrittenPage) {
    PW_REQUIRE_BROWSER();
    TempDir dir;
    constexpr int kW = 420, kH = 300;
    const auto a = SaveAndReload(dir / "a.jpg", Pattern(200, 120, 0));
    const auto b = SaveAndReload(dir / "b.jpg", Pattern(150, 90, 1));
    const auto over = SaveAndReload(dir / "over.jpg", Pattern(150, 90, 0));
    ASSERT_TRUE(a && b && over);
    WriteFile(dir / "page.htm",
              "<HTML><BODY LEFTMARGIN=0 TOPMARGIN=0 MARGINWIDTH=0 MARGINHEIGHT=0 "
              "BGCOLOR=\"#204060\">\r\n"
              "<DIV STYLE=\"position:absolute; top:10px; left:20px; z-index:1;\">"
              "<IMG SRC=\"a.jpg\" WIDTH=200 HEIGHT=120 BORDER=0></DIV>\r\n"
              "<DIV STYLE=\"position:absolute; top:170px; left:250px; z-index:2;\">"
              "<A HREF=\"page.htm\" onMouseOver='img_mo0.src=\"over.jpg\"' "
              "onMouseOut='img_mo0.src=\"b.jpg\"'><IMG SRC=\"b.jpg\" NAME=\"img_mo0\" "
              "WIDTH=150 HEIGHT=90 BORDER=0></A></DIV>\r\n"
              "</BODY></HTML>\r\n");

    CImage expected(IMAGE_RGB8, kW, kH, 96.0);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            uint8_t* p = expected.Bits() + y * expected.RowBytes() + 3 * x;
            p[0] = 0x20, p[1] = 0x40, p[2] = 0x60;
        }
    Paste(expected, *a, 20, 10);
    Paste(expected, *b, 250, 170);

    const auto shot = Screenshot(dir / "page.htm", kW, kH);
    ASSERT_TRUE(shot);
    const CImageDiff whole = CompareImages(*shot, expected, {0, 0, kW, kH});
    EXPECT_LT(whole.mean, 0.5) << whole.Describe();
    EXPECT_LT(whole.worstBlock, 3.0) << whole.Describe();

    // Hovering swaps in the mouse-over picture; the rest stays.
    const auto hovered = HoverScreenshot(dir / "page.htm", kW, kH, 300, 200);
    ASSERT_TRUE(hovered);
    Paste(expected, *over, 250, 170);
    const CImageDiff afterHover = CompareImages(*hovered, expected, {0, 0, kW, kH});
    EXPECT_LT(afterHover.mean, 0.5) << afterHover.Describe();
    EXPECT_LT(afterHover.worstBlock, 3.0) << afterHover.Describe();

    // Script errors and missing local files are reported; requests to other
    // hosts are not (there is no network here).
    WriteFile(dir / "broken.htm", "<HTML><BODY><SCRIPT>undefinedFunction();</SCRIPT>"
                                  "<IMG SRC=\"missing.jpg\"></BODY></HTML>");
    WriteFile(dir / "outside.htm",
              "<HTML><BODY><IMG SRC=\"http://pagewright.invalid/logo.gif\"></BODY></HTML>");
    const auto errors = ConsoleErrors({dir / "page.htm", dir / "broken.htm", dir / "outside.htm"});
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_TRUE(errors[0].empty()) << JoinLines(errors[0]);
    ASSERT_EQ(errors[1].size(), 2u) << JoinLines(errors[1]);
    EXPECT_NE(JoinLines(errors[1]).find("undefinedFunction"), std::string::npos);
    EXPECT_NE(JoinLines(errors[1]).find("missing.jpg"), std::string::npos);
    EXPECT_TRUE(errors[2].empty()) << JoinLines(errors[2]);
}
