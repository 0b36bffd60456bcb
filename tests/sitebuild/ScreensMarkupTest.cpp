// What a page says for today's screens: 2x and WebP choices of its pictures,
// mouse-over buttons that swap all of them, background image sets and the
// phone fitting; and that a classic build says none of it.
#include "model/SiteFile.h"
#include "services/DataFolders.h"
#include "sitebuild/SiteBuilder.h"
#include "tests/sitebuild/HtmlWriterTestSupport.h"

using namespace htmltest;

namespace {

// The marks of the new output: none may appear in a classic page.
const char* const kNewMarks[] = {"srcset",    "<picture", "viewport", "pw_swap",
                                 "image-set", "zoom",     ".webp",    "@2x"};

} // namespace

TEST(ScreensMarkup, PicturesOfferWhatTheBuildWrote) {
    struct {
        const char* what;
        bool hiDpi, webp, phones;
        const char* url2x;
        std::set<std::string> twins;
        const char* expected; // the item's markup inside its DIV
    } const cases[] = {
        {"classic",
         false,
         false,
         false,
         "",
         {},
         "<IMG SRC=\"IMG_0.jpg\"  WIDTH=10 HEIGHT=10 BORDER=0>"},
        {"2x",
         true,
         false,
         false,
         "IMG_0@2x.jpg",
         {},
         "<IMG SRC=\"IMG_0.jpg\" srcset=\"IMG_0.jpg 1x, IMG_0@2x.jpg 2x\"  WIDTH=10 HEIGHT=10 "
         "BORDER=0>"},
        {"WebP",
         false,
         true,
         false,
         "",
         {"IMG_0.jpg"},
         "<picture><source type=\"image/webp\" srcset=\"IMG_0.webp\"><IMG SRC=\"IMG_0.jpg\"  "
         "WIDTH=10 HEIGHT=10 BORDER=0></picture>"},
        {"both",
         true,
         true,
         true,
         "IMG_0@2x.jpg",
         {"IMG_0.jpg", "IMG_0@2x.jpg"},
         "<picture><source type=\"image/webp\" srcset=\"IMG_0.webp 1x, IMG_0@2x.webp 2x\"><IMG "
         "SRC=\"IMG_0.jpg\" srcset=\"IMG_0.jpg 1x, IMG_0@2x.jpg 2x\"  WIDTH=10 HEIGHT=10 "
         "BORDER=0></picture>"},
        // A 2x JPEG without a twin: a WebP of the 1x alone would be blurred
        // on a screen at scale 2, so none is offered.
        {"2x without its twin",
         true,
         true,
         false,
         "IMG_0@2x.jpg",
         {"IMG_0.jpg"},
         "<IMG SRC=\"IMG_0.jpg\" srcset=\"IMG_0.jpg 1x, IMG_0@2x.jpg 2x\"  WIDTH=10 HEIGHT=10 "
         "BORDER=0>"},
        {"WebP off",
         false,
         false,
         false,
         "",
         {"IMG_0.jpg"},
         "<IMG SRC=\"IMG_0.jpg\"  WIDTH=10 HEIGHT=10 BORDER=0>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PageFixture f(false, 3);
        f.settings.hiDpi = c.hiDpi;
        f.settings.webp = c.webp;
        f.settings.phones = c.phones;
        f.twins = c.twins;
        f.AddImage(f.Add(std::make_unique<CRectObject>(DPOINT{20, 20}, CObjectSize{10, 10})), 15,
                   15, 10, 10, "IMG_0.jpg")
            .imageUrl2x = c.url2x;
        const std::string page = f.Write();
        EXPECT_NE(page.find(std::string("\">") + c.expected + "</DIV>"), std::string::npos) << page;
        // The phone parts come with the setting and only with it.
        EXPECT_EQ(page.find("<META NAME=\"viewport\" CONTENT=\"width=device-width, "
                            "initial-scale=1\">\r\n<NOSCRIPT>") != std::string::npos,
                  c.phones);
        EXPECT_EQ(page.find("var width = 200;") != std::string::npos, c.phones);
        if (!c.hiDpi && !c.webp && !c.phones) {
            for (const char* mark : kNewMarks)
                EXPECT_EQ(page.find(mark), std::string::npos) << mark;
        }
    }
}

TEST(ScreensMarkup, AButtonSwapsEveryChoiceOfItsPictureAndTheBackgroundOffersItsOwn) {
    PageFixture f(false, 3);
    f.settings.hiDpi = f.settings.webp = true;
    // The normal state has every twin, the mouse-over's 2x has none.
    f.twins = {"IMG_1.jpg", "IMG_1@2x.jpg", "IMG_2.jpg"};
    BuildItem& button =
        f.AddImage(f.Add(std::make_unique<CRectObject>(DPOINT{60, 20}, CObjectSize{10, 10})), 55,
                   15, 10, 10, "IMG_1.jpg");
    button.imageUrl2x = "IMG_1@2x.jpg";
    button.hasMouseOver = true;
    button.mouseOverImageUrl = "IMG_2.jpg";
    button.mouseOverImageUrl2x = "IMG_2@2x.jpg";
    f.build.background.fillType = bgGradient;
    f.build.background.imageUrl = "Side3_IMG_BCK.jpg";
    f.build.background.imageUrl2x = "Side3_IMG_BCK@2x.jpg";
    f.twins.insert("Side3_IMG_BCK.jpg");

    const std::string page = f.Write();
    EXPECT_NE(page.find("<A HREF=\"Side3.html\" "
                        "onMouseOver='pw_swap(img_mo0,\"IMG_2.jpg\",\"IMG_2.jpg 1x, IMG_2@2x.jpg "
                        "2x\",\"\")' "
                        "onMouseOut='pw_swap(img_mo0,\"IMG_1.jpg\",\"IMG_1.jpg 1x, IMG_1@2x.jpg "
                        "2x\",\"IMG_1.webp 1x, IMG_1@2x.webp 2x\")'><picture><source "
                        "type=\"image/webp\" srcset=\"IMG_1.webp 1x, IMG_1@2x.webp 2x\"><IMG "
                        "SRC=\"IMG_1.jpg\" srcset=\"IMG_1.jpg 1x, IMG_1@2x.jpg 2x\" "
                        "NAME=\"img_mo0\" WIDTH=10 HEIGHT=10 BORDER=0></picture></A>"),
              std::string::npos)
        << page;
    EXPECT_EQ(Count(page, "function pw_swap(img, src, srcset, webp)"), 1);
    // The background: the 2x set for older engines, then WebP first with the
    // JPEGs after; without its 2x twin the WebP is not offered.
    EXPECT_NE(page.find("BODY, #BACKGROUND TABLE { background-image:-webkit-image-set("
                        "url(\"Side3_IMG_BCK.jpg\") 1x, url(\"Side3_IMG_BCK@2x.jpg\") 2x); "
                        "background-image:image-set(url(\"Side3_IMG_BCK.jpg\") 1x, "
                        "url(\"Side3_IMG_BCK@2x.jpg\") 2x); }"),
              std::string::npos)
        << page;
    f.twins.insert("Side3_IMG_BCK@2x.jpg");
    EXPECT_NE(f.Write("again.htm")
                  .find("background-image:image-set(url(\"Side3_IMG_BCK.webp\") "
                        "type(\"image/webp\") 1x, url(\"Side3_IMG_BCK@2x.webp\") "
                        "type(\"image/webp\") 2x, url(\"Side3_IMG_BCK.jpg\") 1x, "
                        "url(\"Side3_IMG_BCK@2x.jpg\") 2x); }"),
              std::string::npos);
}

// The shipped templates built the classic way: not one byte of the new
// output, and no file beyond the classic ones.
TEST(ScreensMarkup, AClassicBuildWritesNothingNew) {
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(CDataFolders::DataFolder() / "Templates")) {
        if (entry.path().extension() != ".pws") continue;
        std::string error;
        const std::unique_ptr<CSite> site = LoadSiteFile(entry.path(), nullptr, &error);
        ASSERT_TRUE(site) << error;
        pwtest::TempDir dir;
        SiteBuilder builder(BuildSettings::InFolder(dir.Path(), false), nullptr);
        ASSERT_EQ(builder.Build(*site).code, BuildOk);
        for (const auto& file : std::filesystem::recursive_directory_iterator(dir.Path())) {
            const std::string name = file.path().filename().string();
            EXPECT_EQ(name.find(".webp"), std::string::npos) << name;
            EXPECT_EQ(name.find("@2x"), std::string::npos) << name;
            if (file.path().extension() != ".html" && file.path().extension() != ".htm") continue;
            const std::string html = ReadBytes(file.path());
            for (const char* mark : kNewMarks)
                EXPECT_EQ(html.find(mark), std::string::npos) << name << ": " << mark;
        }
    }
}
