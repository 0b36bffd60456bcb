// A written page in the real browser: its scripts (browser check, onload
// code, user head code, mouse-over handlers, form script) run without errors,
// the blocks stand where the page says, and hovering a mouse-over button
// swaps its picture.
#include "services/IO.h"
#include "services/IOError.h"
#include "tests/sitebuild/HtmlWriterTestSupport.h"
#include "tests/support/Browser.h"
#include "tests/support/ImageDiff.h"
#include <cstdlib>

using namespace htmltest;

namespace {

void SolidJpeg(const std::filesystem::path& file, int width, int height, uint8_t r, uint8_t g,
               uint8_t b) {
    CImage image(IMAGE_RGB8, width, height, 96.0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image.Bits() + y * image.RowBytes() + 3 * x;
            p[0] = r, p[1] = g, p[2] = b;
        }
    int format = FORMAT_JPEG, error = 0;
    ASSERT_TRUE(CIO::SaveImage(file, image, format, 98, error, ""));
}

::testing::AssertionResult Near(const CImage& shot, int x, int y, int r, int g, int b) {
    uint8_t rgb[3];
    pwtest::PixelAt(shot, x, y, rgb);
    if (std::abs(rgb[0] - r) <= 8 && std::abs(rgb[1] - g) <= 8 && std::abs(rgb[2] - b) <= 8)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << x << ", " << y << ") is " << int(rgb[0]) << "," << int(rgb[1]) << ","
           << int(rgb[2]) << ", expected " << r << "," << g << "," << b;
}

} // namespace

TEST(HtmlWriterBrowser, PageScriptsRunAndBlocksStandInPlace) {
    PW_REQUIRE_BROWSER();
    PageFixture f;
    // Headless Chromium lays out windows narrower than about 500 pixels
    // wrongly, so the page is at least that wide.
    f.page->SetWidth(500);
    f.page->SetHeight(300);
    const std::filesystem::path files = f.dir / kFilesFolderName;
    std::filesystem::create_directory(files);
    ASSERT_TRUE(CHtmlWriter::WriteNoticePages(files));
    SolidJpeg(files / "IMG_0.jpg", 40, 30, 220, 20, 20);
    SolidJpeg(files / "IMG_1.jpg", 30, 20, 20, 200, 20);
    SolidJpeg(files / "IMG_2.jpg", 30, 20, 20, 20, 220);

    f.page->SetHeadHtml("<SCRIPT>var pwHead = 1;</SCRIPT>", "pwHead = pwHead + 1", {});
    CCharStyle linked = Style();
    linked.link = WebLink("www.eksempel.dk");
    f.AddText(Text({{"Hej ", Style()}, {"dig", linked}, {"\n<&>", Style(true)}}), 5, 5);
    BuildItem& picture =
        f.AddImage(f.Add(std::make_unique<CRectObject>(DPOINT{70, 75}, CObjectSize{40, 30})), 50,
                   60, 40, 30, "My_Homepage_Files/IMG_0.jpg");
    picture.hasLink = true;
    picture.linkUrl = "My_Homepage_Files/Side1.html";
    BuildItem& button =
        f.AddImage(f.Add(std::make_unique<CRectObject>(DPOINT{135, 20}, CObjectSize{30, 20})), 120,
                   10, 30, 20, "My_Homepage_Files/IMG_1.jpg");
    button.hasMouseOver = true;
    button.mouseOverImageUrl = "My_Homepage_Files/IMG_2.jpg";
    auto html = std::make_unique<CHtmlObject>(DPOINT{300, 300}, 50, 20);
    html->SetCode("document.title = 'ok' + pwHead", "<SCRIPT>pwHead = pwHead * 10;</SCRIPT>",
                  "<SPAN>&nbsp;</SPAN>");
    f.AddBox(std::move(html));
    f.AddBox(std::make_unique<CFormObject>("a@eksempel.dk", DPOINT{400, 400}));

    CHtmlWriter writer(f.site, f.settings, [](const CObjectLink& link, const BuildPage&) {
        return "http://" + link.url;
    });
    const std::filesystem::path front = f.dir / "default.htm";
    ASSERT_TRUE(writer.WritePage(front, f.build));

    const auto errors =
        pwtest::ConsoleErrors({front, files / "error.html", files / "noscript.html"});
    ASSERT_EQ(errors.size(), 3u);
    for (const auto& page : errors)
        EXPECT_TRUE(page.empty()) << pwtest::JoinLines(page);

    const auto shot = pwtest::Screenshot(front, 500, 300);
    ASSERT_TRUE(shot);
    EXPECT_TRUE(Near(*shot, 190, 150, 0x99, 0x66, 0x33)); // page background
    EXPECT_TRUE(Near(*shot, 51, 61, 220, 20, 20));        // picture's corner
    EXPECT_TRUE(Near(*shot, 88, 88, 220, 20, 20));
    EXPECT_TRUE(Near(*shot, 48, 75, 0x99, 0x66, 0x33)); // just left of it
    EXPECT_TRUE(Near(*shot, 135, 20, 20, 200, 20));     // button, normal state

    const auto hovered = pwtest::HoverScreenshot(front, 500, 300, 135, 20);
    ASSERT_TRUE(hovered);
    EXPECT_TRUE(Near(*hovered, 135, 20, 20, 20, 220));
    EXPECT_TRUE(Near(*hovered, 70, 75, 220, 20, 20));
}
