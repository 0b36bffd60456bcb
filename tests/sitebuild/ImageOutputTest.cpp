// The picture files of a build: pictures that keep their own file, animated
// GIFs, and page backgrounds as strips and shared files.
#include "sitebuild/ImageOutput.h"
#include "sitebuild/PageClassify.h"
#include "services/JpegIO.h"
#include "services/MemFile.h"
#include "tests/sitebuild/SiteBuildTestSupport.h"
#include <random>

using namespace buildtest;

namespace {

// A 1 x 1 GIF of one red pixel: far smaller than any JPEG of it.
const std::string kRedPixelGif =
    std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00"
                ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                35);

// A picture of coloured noise saved as JPEG at the given quality, with a
// comment of `padding` bytes to make the file as large as a test needs.
fs::path NoiseJpeg(const fs::path& file, int quality, std::size_t padding = 0) {
    CImage image(IMAGE_RGB8, 48, 32, 96.0);
    std::mt19937 random(7);
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < 3 * image.Width(); ++x)
            image.Bits()[y * image.RowBytes() + x] = static_cast<uint8_t>(random() & 0x3F) + 90;
    int format = FORMAT_JPEG, error = 0;
    EXPECT_TRUE(CIO::SaveImage(file, image, format, quality, error, std::string(padding, 'c')));
    return file;
}

// The single built item of the first page.
const BuildItem& OnlyItem(const SiteBuilder& builder) {
    return builder.Pages().at(0).items.at(0);
}

} // namespace

TEST(ImageOutput, APictureKeepsItsOwnFileOnlyWhenThatIsSmallerAndLooksTheSame) {
    {
        // A GIF smaller than its re-encoded region is copied unchanged.
        CSiteFixture f;
        WriteFileBytes(f.dir / "red.gif", kRedPixelGif);
        AddPicture(f.AddPage("Forside"), 30, 40, f.dir / "red.gif");
        SiteBuilder builder(f.Settings(), &f.ui);
        ASSERT_EQ(f.Build(builder).code, BuildOk);
        EXPECT_EQ(OnlyItem(builder).imageUrl, "My_Homepage_Files/IMG_0.gif");
        EXPECT_EQ(ReadFileBytes(f.Files() / "IMG_0.gif"), kRedPixelGif);
        EXPECT_FALSE(fs::exists(f.Files() / "IMG_0.jpg"));
    }
    {
        // A large JPEG gives way to the re-encoded region, which was the
        // compare image.
        CSiteFixture f;
        CPage& page = f.AddPage("Forside");
        AddPicture(page, 30, 40, NoiseJpeg(f.dir / "big.JPG", 100, 40000));
        SiteBuilder builder(f.Settings(), &f.ui);
        ASSERT_EQ(f.Build(builder).code, BuildOk);
        EXPECT_EQ(OnlyItem(builder).imageUrl, "My_Homepage_Files/IMG_0.jpg");
        EXPECT_FALSE(fs::exists(f.Files() / kCompareImageFile));
        EXPECT_EQ(ReadFileBytes(f.Files() / "IMG_0.jpg"),
                  EncodedPart(ReferencePage(page), {30, 40, 78, 72}));
    }
    {
        // A small JPEG is copied under its own extension.
        CSiteFixture f;
        const fs::path source = NoiseJpeg(f.dir / "small.jpeg", 40);
        AddPicture(f.AddPage("Forside"), 30, 40, source);
        SiteBuilder builder(f.Settings(), &f.ui);
        ASSERT_EQ(f.Build(builder).code, BuildOk);
        EXPECT_EQ(OnlyItem(builder).imageUrl, "My_Homepage_Files/IMG_0.jpeg");
        EXPECT_EQ(ReadFileBytes(f.Files() / "IMG_0.jpeg"), ReadFileBytes(source));
        EXPECT_TRUE(fs::exists(f.Files() / kCompareImageFile)); // left behind
    }
}

TEST(ImageOutput, PicturesThatDoNotShowTheirFileAsItIsAreAlwaysReEncoded) {
    CSiteFixture f;
    const fs::path source = NoiseJpeg(f.dir / "small.jpg", 40);
    CPage& page = f.AddPage("Forside");
    AddPicture(page, 10, 10, source).SetAngle(0.4);    // turned
    AddPicture(page, 100, 10, source).SetSize(96, 64); // scaled
    AddPicture(page, 620, 10, source);                 // cut at the edge
    auto& ellipse = AddShape<CEllipseObject>(page, {10, 100, 58, 132}, CColor(0, 0, 0));
    ellipse.GetFill()->SetImagePath(source.string()); // a shape filled with it
    AddPicture(page, 200, 200, source);               // overlapped by the next
    AddRect(page, {210, 210, 220, 220}, CColor(0, 0, 0));
    SiteBuilder builder(f.Settings(), &f.ui);
    ASSERT_EQ(f.Build(builder).code, BuildOk);
    const auto& items = builder.Pages()[0].items;
    ASSERT_EQ(items.size(), 6u);
    for (int i = 0; i < 5; ++i) {
        const std::string expected = "My_Homepage_Files/IMG_" + std::to_string(i) + ".jpg";
        EXPECT_EQ(items[static_cast<std::size_t>(i)].imageUrl, expected);
        EXPECT_NE(ReadFileBytes(f.Files() / ("IMG_" + std::to_string(i) + ".jpg")),
                  ReadFileBytes(source))
            << i;
    }
    EXPECT_FALSE(MayUseOwnFile(page.ItemAt(0).Current(), page.ItemAt(0).GetRect(), false));
}

TEST(ImageOutput, AnimatedGifsAreCopiedAndLeftOutOfOtherPictures) {
    CSiteFixture f;
    WriteFileBytes(f.dir / "anim.GIF", kRedPixelGif);
    CPage& page = f.AddPage("Forside");
    AddRect(page, {0, 0, 100, 100}, CColor(0, 0, 255));
    CRectObject& gif = AddPicture(page, 20, 20, f.dir / "anim.GIF");
    gif.GetFill()->SetAnimatedGif(true);
    page.MoveItemTo(*page.FindItem(gif), 0); // below the rectangle
    SiteBuilder builder(f.Settings(), &f.ui);
    ASSERT_EQ(f.Build(builder).code, BuildOk);
    const auto& items = builder.Pages()[0].items;
    EXPECT_EQ(items[0].imageUrl, "My_Homepage_Files/IMG_0.gif");
    EXPECT_EQ(ReadFileBytes(f.Files() / "IMG_0.gif"), kRedPixelGif);
    // The rectangle's picture does not show the red pixel under it.
    auto picture = LoadPicture(f.Files() / "IMG_1.jpg");
    ASSERT_TRUE(picture);
    const uint8_t* pixel = picture->Bits() + 20 * picture->RowBytes() + 3 * 20;
    EXPECT_LT(pixel[0], 40);
    EXPECT_GT(pixel[2], 200);
}

TEST(ImageOutput, GradientStripsAreAtLeast2048PixelsAndRepeatTheLastPagePixel) {
    CBackgroundFill horizontal;
    horizontal.SetGradient(CFillGradient());
    horizontal.SetHorizontal(true);
    horizontal.SetWidth(640);
    horizontal.SetHeight(480);
    ASSERT_TRUE(horizontal.Render());
    auto strip = GradientStrip(horizontal, 640, 480);
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->Width(), 2048);
    EXPECT_EQ(strip->Height(), 1);
    const CImage& source = *horizontal.GetImage();
    const int bpp = source.GetMode() == IMAGE_RGB8 ? 3 : 4;
    for (int x : {0, 320, 639})
        EXPECT_EQ(0, std::memcmp(strip->Bits() + 3 * x, source.Bits() + bpp * x + bpp - 3, 3)) << x;
    for (int x = 640; x < 2048; ++x)
        ASSERT_EQ(0, std::memcmp(strip->Bits() + 3 * x, strip->Bits() + 3 * 639, 3)) << x;
    // Start and end of a white-to-black gradient differ.
    EXPECT_NE(strip->Bits()[0], strip->Bits()[3 * 639]);
    // A page wider than 2048 pixels gets a strip of its own width.
    auto wide = GradientStrip(horizontal, 3000, 480);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->Width(), 3000);
    EXPECT_EQ(0, std::memcmp(wide->Bits() + 3 * 2999, strip->Bits() + 3 * 639, 3));

    CBackgroundFill vertical;
    vertical.SetGradient(CFillGradient());
    vertical.SetHorizontal(false);
    vertical.SetWidth(640);
    vertical.SetHeight(3000);
    ASSERT_TRUE(vertical.Render());
    auto tall = GradientStrip(vertical, 640, 3000);
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->Width(), 1);
    EXPECT_EQ(tall->Height(), 3000);
}

TEST(ImageOutput, PageBackgroundsGoOutAsRecordsStripsAndSharedFiles) {
    CSiteFixture f;
    const fs::path picture = NoiseJpeg(f.dir / "back.jpg", 90);
    WriteFileBytes(f.dir / "back.gif", kRedPixelGif);
    CPage& solid = f.AddPage("Forside");
    solid.Background().SetColour(CColor(10, 20, 30));
    CPage& first = f.AddPage("Billede1");
    first.Background().SetImagePath(picture.string());
    CPage& second = f.AddPage("Billede2");
    second.Background().SetImagePath(picture.string());
    second.Background().SetTiled(false);
    CPage& gif = f.AddPage("Gif");
    gif.Background().SetImagePath((f.dir / "back.gif").string());
    CPage& gradient = f.AddPage("Forløb");
    gradient.Background().SetGradient(CFillGradient());
    gradient.Background().SetHorizontal(true);
    f.site.SetFrontPage(gradient);

    BuildSettings settings = f.Settings();
    settings.repeatBackground = false;
    settings.outsideColour = 0x123456;
    SiteBuilder builder(settings, &f.ui);
    ASSERT_EQ(f.Build(builder).code, BuildOk);
    const auto& pages = builder.Pages();
    const BackgroundRecord& s = pages[0].background;
    EXPECT_EQ(s.fillType, bgSolid);
    EXPECT_EQ(s.solidColour, 0x1E140Au);
    EXPECT_EQ(s.linkColour, 0xFF0000u);
    EXPECT_EQ(s.visitedLinkColour, 0x800080u);
    EXPECT_FALSE(s.repeatBackground);
    EXPECT_EQ(s.outsideColour, 0x123456u);
    EXPECT_TRUE(s.imageUrl.empty());

    EXPECT_EQ(pages[1].background.fillType, bgImage);
    EXPECT_TRUE(pages[1].background.tileImage);
    EXPECT_EQ(pages[1].background.imageUrl, "Side1_IMG_BCK.jpg");
    EXPECT_EQ(pages[2].background.imageUrl, "Side1_IMG_BCK.jpg"); // shared
    EXPECT_FALSE(pages[2].background.tileImage);
    EXPECT_FALSE(fs::exists(f.Files() / "Side2_IMG_BCK.jpg"));
    auto written = LoadPicture(f.Files() / "Side1_IMG_BCK.jpg");
    ASSERT_TRUE(written);
    EXPECT_EQ(written->Width(), 48);
    EXPECT_EQ(pages[3].background.imageUrl, "Side3_IMG_BCK.gif");
    EXPECT_EQ(ReadFileBytes(f.Files() / "Side3_IMG_BCK.gif"), kRedPixelGif);

    EXPECT_EQ(pages[4].background.fillType, bgGradient);
    EXPECT_EQ(pages[4].background.imageUrl, "My_Homepage_Files/Side4_IMG_BCK.jpg");
    auto strip = LoadPicture(f.Files() / "Side4_IMG_BCK.jpg");
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->Width(), 2048);
    EXPECT_EQ(strip->Height(), 1);
}

// A background picture with alpha goes out as the designer paints it: its
// transparent parts white, its half-transparent parts half way to white.
TEST(ImageOutput, TransparentBackgroundPicturesShowWhiteWhereTheyAreClear) {
    CSiteFixture f;
    CImage picture(WithAlpha(IMAGE_RGB8), 40, 20, 96.0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            uint8_t* p = picture.Bits() + y * picture.RowBytes() + 4 * x;
            p[0] = x < 20 ? 255 : y < 10 ? 0 : 128; // opaque | clear / half
            p[1] = 200, p[2] = 0, p[3] = 0;          // red; clear parts hold red too
        }
    int format = FORMAT_PNG, error = 0;
    ASSERT_TRUE(CIO::SaveImage(f.dir / "cut.png", picture, format, 90, error, ""));
    CPage& page = f.AddPage("Forside");
    page.Background().SetImagePath((f.dir / "cut.png").string());
    f.site.SetFrontPage(page);
    SiteBuilder builder(f.Settings(), &f.ui);
    ASSERT_EQ(f.Build(builder).code, BuildOk);
    auto written = LoadPicture(f.Files() / "Side0_IMG_BCK.jpg");
    ASSERT_TRUE(written);
    ASSERT_EQ(written->GetMode(), IMAGE_RGB8);
    const auto at = [&](int x, int y) { return written->Bits() + y * written->RowBytes() + 3 * x; };
    const struct {
        int x, y, r, g, b;
    } expected[] = {{8, 10, 200, 0, 0}, {30, 4, 255, 255, 255}, {30, 15, 227, 127, 127}};
    for (const auto& e : expected) {
        const uint8_t* p = at(e.x, e.y);
        EXPECT_NEAR(p[0], e.r, 12) << e.x << "," << e.y;
        EXPECT_NEAR(p[1], e.g, 12) << e.x << "," << e.y;
        EXPECT_NEAR(p[2], e.b, 12) << e.x << "," << e.y;
    }
}
