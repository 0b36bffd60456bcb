// Built sites opened in the real browser: every page must look as the page
// the user designed, rendered by the core, within JPEG noise, and hovering a
// mouse-over button must show the button's mouse-over state.
#include "tests/sitebuild/BrowserSites.h"
#include "tests/support/Browser.h"
#include <cmath>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace pwtest;

namespace {
class BrowserFidelityTest : public CBrowserSiteTest {};
} // namespace

TEST_F(BrowserFidelityTest, ShapesWithEveryFillKind) {
    PW_REQUIRE_BROWSER();
    CTestSite t(640, 480, CColor(230, 236, 242));
    CPage& page = t.AddPage("Fills");

    Add<CEllipseObject>(page, {120, 100}, {170, 110}).GetFill()->SetColour(CColor(200, 30, 40));
    auto& bar = Add<CRectObject>(page, {330, 120}, {220, 110}, 20 * kPi / 180);
    bar.GetFill()->SetGradient(CFillGradient(Predefined(3)));
    auto& disc = Add<CEllipseObject>(page, {520, 330}, {190, 170});
    disc.GetFill()->SetGradient(
        CFillGradient(TwoTone(CColor(250, 220, 40), CColor(60, 160, 90), CColor(20, 40, 140)), 60));
    // A shape filled with a picture, drawn smaller than the picture.
    auto& framed = Add<CRectObject>(page, {170, 340}, {230, 150});
    framed.GetFill()->SetImagePath(SavePicture(pictures / "filler.jpg", Pattern(300, 200, 1)));
    // Overlaps the picture and the red ellipse: their images carry it.
    Add<CRectObject>(page, {250, 220}, {120, 90}, 0.3).GetFill()->SetColour(CColor(20, 90, 200));

    const auto built = BuildSite(*t.site);
    ASSERT_EQ(built->code, BuildOk);
    CheckPageInBrowser(*built, 0, page, "fills");
    CheckSiteWithOptionsInBrowser(*t.site, "fills");
}

TEST_F(BrowserFidelityTest, ShadowsEdgesAndGlowOnATiledPictureBackground) {
    PW_REQUIRE_BROWSER();
    CTestSite t(700, 500);
    CPage& page = t.AddPage("Effects");
    CBackgroundFill background;
    background.SetImagePath(SavePicture(pictures / "tile.jpg", Pattern(70, 50, 2)));
    background.SetTiled(true);
    page.SetBackground(std::make_unique<CBackgroundFill>(background));

    auto& shadowed = Add<CRectObject>(page, {130, 110}, {150, 100});
    shadowed.GetFill()->SetColour(CColor(240, 240, 240));
    shadowed.GetEffects()->shadowOn = true;
    shadowed.GetEffects()->shadowDistance = 8;
    auto& raised = Add<CEllipseObject>(page, {360, 110}, {170, 120});
    raised.GetFill()->SetColour(CColor(90, 140, 220));
    raised.GetEffects()->edgesOn = true;
    auto& sunken = Add<CRectObject>(page, {580, 120}, {150, 110}, 0.2);
    sunken.GetFill()->SetGradient(CFillGradient(Predefined(2), 90));
    sunken.GetEffects()->edgesOn = true;
    sunken.GetEffects()->edgesStyle = 1;
    auto& glowing = Add<CEllipseObject>(page, {170, 350}, {160, 110});
    glowing.GetFill()->SetColour(CColor(250, 120, 30));
    glowing.GetEffects()->glowOn = true;
    glowing.GetEffects()->glowColour = CColor(255, 255, 120);
    auto& all = Add<CRectObject>(page, {470, 360}, {210, 120}, -0.25);
    all.GetFill()->SetGradient(CFillGradient(Predefined(3), 45));
    all.GetEffects()->shadowOn = true;
    all.GetEffects()->shadowAngle = 225;
    all.GetEffects()->shadowColour = CColor(60, 0, 80);
    all.GetEffects()->edgesOn = true;
    all.GetEffects()->glowOn = true;
    all.GetEffects()->glowSize = 30;

    const auto built = BuildSite(*t.site);
    ASSERT_EQ(built->code, BuildOk);
    CheckPageInBrowser(*built, 0, page, "effects on a tiled picture");
    CheckSiteWithOptionsInBrowser(*t.site, "effects on a tiled picture");
}

TEST_F(BrowserFidelityTest, PicturesPlainScaledRotatedAndTransparentOnAGradient) {
    PW_REQUIRE_BROWSER();
    CTestSite t(660, 480);
    CPage& page = t.AddPage("Pictures");
    CBackgroundFill background;
    background.SetGradient(CFillGradient(Predefined(3)));
    background.SetHorizontal(true);
    page.SetBackground(std::make_unique<CBackgroundFill>(background));

    // At its own size, from a small file: the build may hand out the file itself.
    auto& own = Add<CRectObject>(page, {110, 90}, {180, 120});
    own.GetFill()->SetImagePath(SavePicture(pictures / "own.jpg", Pattern(180, 120, 3), 70));
    own.GetFill()->SetPicture(true);
    // Drawn at half its size.
    auto& half = Add<CRectObject>(page, {330, 90}, {160, 110});
    half.GetFill()->SetImagePath(SavePicture(pictures / "large.jpg", Pattern(320, 220, 4), 60));
    half.GetFill()->SetPicture(true);
    // Turned pictures are always drawn by the build.
    auto& turned = Add<CRectObject>(page, {170, 320}, {200, 130}, 30 * kPi / 180);
    turned.GetFill()->SetImagePath(SavePicture(pictures / "turned.jpg", Pattern(200, 130, 5)));
    auto& tilted = Add<CRectObject>(page, {530, 130}, {150, 150}, -kPi / 9);
    tilted.GetFill()->SetImagePath(SavePicture(pictures / "tilted.png", Pattern(150, 150, 6)));
    // A picture with transparent parts: the gradient shows through.
    CImage cut(WithAlpha(IMAGE_RGB8), 160, 160, 96.0);
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 160; ++x) {
            uint8_t* p = cut.Bits() + y * cut.RowBytes() + 4 * x;
            const double r = std::hypot(x - 80.0, y - 80.0);
            p[0] = r < 60 ? 255 : r < 75 ? static_cast<uint8_t>(255 * (75 - r) / 15) : 0;
            p[1] = 200, p[2] = static_cast<uint8_t>(x), p[3] = 60;
        }
    auto& round = Add<CRectObject>(page, {460, 350}, {160, 160});
    round.GetFill()->SetImagePath(SavePicture(pictures / "round.png", cut));
    round.GetFill()->SetPicture(true);

    const auto built = BuildSite(*t.site);
    ASSERT_EQ(built->code, BuildOk);
    CheckPageInBrowser(*built, 0, page, "pictures on a horizontal gradient");
    CheckSiteWithOptionsInBrowser(*t.site, "pictures on a horizontal gradient");
}

TEST_F(BrowserFidelityTest, MouseOverButtonsShowTheirOtherStateWhenHovered) {
    PW_REQUIRE_BROWSER();
    CTestSite t(600, 420);
    CPage& front = t.AddPage("Forside");
    CPage& second = t.AddPage("Side2");
    CBackgroundFill centred;
    centred.SetImagePath(SavePicture(pictures / "logo.jpg", Pattern(240, 180, 7)));
    centred.SetTiled(false);
    front.SetBackground(std::make_unique<CBackgroundFill>(centred));

    CButtonText label;
    label.font = "Arial";
    label.fontSize = 14;
    label.bold = true;
    label.text = "Videre";
    auto& go = Add<CRectObject>(front, {140, 90}, {160, 50});
    go.GetFill()->SetGradient(CFillGradient(Predefined(2), 90));
    go.SetButtonText(label);
    auto link = std::make_unique<CObjectLink>();
    link->type = CObjectLink::typePage;
    link->page = 1;
    link->enabled = true;
    go.SetLink(std::move(link));
    CPageItem& goItem = AddMouseOver(front, go, [](CShapeObject& o) {
        o.GetFill()->SetGradient(CFillGradient(Predefined(1), 90));
    });
    // Without a link; the mouse-over state glows beyond the normal state.
    auto& round = Add<CEllipseObject>(front, {440, 300}, {140, 90});
    round.GetFill()->SetColour(CColor(40, 120, 60));
    CPageItem& roundItem = AddMouseOver(front, round, [](CShapeObject& o) {
        o.GetFill()->SetColour(CColor(230, 200, 40));
        o.GetEffects()->glowOn = true;
    });
    // A text with a mouse-over state is a picture in both states.
    auto& word = AddText(front, {150, 330}, {220, 30}, "Tekst med musover", 16, 0x804000, true);
    CPageItem& wordItem = AddMouseOver(front, word, [](CShapeObject& o) {
        auto& text = static_cast<CTextObject&>(o);
        text.Layout().ForEachStyle([](CCharStyle& s) { s.color = 0x0000FF; });
        text.LayoutText();
    });

    // The same picture tiled: one background file for both pages, which the
    // second page finds beside itself rather than under the files folder.
    CBackgroundFill tiled = centred;
    tiled.SetTiled(true);
    second.SetBackground(std::make_unique<CBackgroundFill>(tiled));
    auto& back = Add<CRectObject>(second, {300, 200}, {180, 60});
    back.GetFill()->SetColour(CColor(120, 40, 40));
    label.text = "Tilbage";
    back.SetButtonText(label);
    CPageItem& backItem = AddMouseOver(second, back, [](CShapeObject& o) {
        o.GetFill()->SetColour(CColor(200, 80, 80));
        o.GetEffects()->shadowOn = true;
    });

    const auto built = BuildSite(*t.site);
    ASSERT_EQ(built->code, BuildOk);
    CheckPageInBrowser(*built, 0, front, "buttons on a centred picture");
    CheckPageInBrowser(*built, 1, second, "second page on the shared picture tiled");
    CheckHoversInBrowser(*built,
                         {{0, &front, &goItem, "hovered gradient button"},
                          {0, &front, &roundItem, "hovered glowing button"},
                          {0, &front, &wordItem, "hovered text"},
                          {1, &second, &backItem, "hovered button on the second page"}});
    CheckSiteWithOptionsInBrowser(*t.site, "buttons on centred and tiled pictures");
}

TEST_F(BrowserFidelityTest, AdvancedTextsAsPicturesOnAVerticalGradient) {
    PW_REQUIRE_BROWSER();
    CTestSite t(640, 480);
    CPage& page = t.AddPage("Tekster");
    CBackgroundFill background;
    background.SetGradient(
        CFillGradient(TwoTone(CColor(250, 250, 255), CColor(180, 200, 240), CColor(40, 60, 120))));
    background.SetHorizontal(false);
    page.SetBackground(std::make_unique<CBackgroundFill>(background));

    auto& coloured = AddText(page, {200, 70}, {340, 60}, "Gradient text", 36, 0x000000, true);
    coloured.SetAdvanced(true);
    coloured.GetFill()->SetGradient(CFillGradient(Predefined(3)));
    auto& turned = AddText(page, {470, 230}, {260, 50}, "Drejet tekst", 28, 0x2040C0);
    turned.SetAdvanced(true);
    turned.SetAngle(kPi / 8);
    auto& shadowed = AddText(page, {190, 220}, {300, 50},
                             "Skygge og gl\xf8"
                             "d",
                             30, 0x206020, true);
    shadowed.SetAdvanced(true);
    shadowed.GetEffects()->shadowOn = true;
    shadowed.GetEffects()->glowOn = true;
    shadowed.GetEffects()->glowSize = 20;
    // A plain text with an alternative text is a picture as well.
    auto& described = AddText(page, {180, 320}, {260, 30}, "Med alternativ tekst", 16, 0x000080);
    described.SetAltText("Beskrivelse");
    // Plain text under a turned picture cannot be HTML: it goes into the
    // picture. Plain texts join the top band when inserted, so the picture is
    // brought to the front afterwards, as the user would.
    AddText(page, {470, 400}, {240, 30}, "Under et billede", 18, 0x800000);
    auto& over = Add<CRectObject>(page, {520, 410}, {120, 60}, 0.4);
    over.GetFill()->SetImagePath(SavePicture(pictures / "over.jpg", Pattern(120, 60, 8)));
    // A plain text stays HTML; the browser sets it in its own font.
    AddText(page, {160, 430}, {240, 30}, "Almindelig HTML-tekst", 14, 0x000000);
    page.MoveItemTo(ItemOf(page, over), page.ItemCount());

    const auto built = BuildSite(*t.site);
    ASSERT_EQ(built->code, BuildOk);
    std::vector<int> htmlTexts; // item positions
    for (const BuildItem& item : built->Page(0).items)
        if (item.htmlText) htmlTexts.push_back(item.zIndex);
    EXPECT_EQ(htmlTexts, std::vector<int>{5}); // only the last text
    // Rainbow-coloured bold glyph edges on a light ground: the worst case for
    // a JPEG that halved its colour resolution; the build's pictures keep it.
    CheckPageInBrowser(*built, 0, page, "texts on a vertical gradient");
    CheckSiteWithOptionsInBrowser(*t.site, "texts on a vertical gradient");
}

TEST_F(BrowserFidelityTest, WindowLargerThanThePage) {
    PW_REQUIRE_BROWSER();
    CTestSite t(400, 300);
    CPage& page = t.AddPage("Forside");
    CBackgroundFill background;
    background.SetGradient(
        CFillGradient(TwoTone(CColor(250, 220, 40), CColor(60, 160, 90), CColor(20, 40, 140))));
    background.SetHorizontal(true);
    page.SetBackground(std::make_unique<CBackgroundFill>(background));
    Add<CEllipseObject>(page, {200, 150}, {180, 120}).GetFill()->SetColour(CColor(200, 60, 30));
    // Reaching past the page's right and bottom edges: cut at the page.
    Add<CRectObject>(page, {380, 280}, {120, 100}, 0.3).GetFill()->SetColour(CColor(20, 20, 20));
    const CImage reference = RenderPageReference(page);
    constexpr int kW = 560, kH = 380; // the window reaches past the page on two sides
    const CRect pageArea{0, 0, 400, 300}, right{400, 0, kW, kH}, below{0, 300, 400, kH};

    // Repeated background: the gradient goes on in the window, its last
    // colour to the right of the page, every column's colour below it.
    const auto repeated = BuildSite(*t.site);
    const auto shot = Screenshot(repeated->PageFile(0), kW, kH);
    ASSERT_TRUE(shot);
    const CImageDiff inside = CompareImages(*shot, reference, pageArea);
    EXPECT_LT(inside.mean, kMaxMeanDifference) << inside.Describe();
    EXPECT_LE(inside.worstBlock, kMaxBlockDifference) << inside.Describe();
    CImage continued(IMAGE_RGB8, kW, kH, 96.0);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            uint8_t rgb[3];
            PixelAt(reference, std::min(x, 399), 0, rgb);
            std::copy(rgb, rgb + 3, continued.Bits() + y * continued.RowBytes() + 3 * x);
        }
    for (const CRect& outside : {right, below}) {
        const CImageDiff d = CompareImages(*shot, continued, outside);
        EXPECT_LT(d.mean, kMaxMeanDifference) << d.Describe();
        EXPECT_LE(d.worstBlock, kMaxBlockDifference) << d.Describe();
    }

    // Not repeated: the window shows the outside colour around the page.
    const auto framed = BuildSite(*t.site, [](BuildSettings& s) {
        s.repeatBackground = false;
        s.outsideColour = 0x205080; // COLORREF: red 0x80, green 0x50, blue 0x20
    });
    const auto shot2 = Screenshot(framed->PageFile(0), kW, kH);
    ASSERT_TRUE(shot2);
    const CImageDiff inside2 = CompareImages(*shot2, reference, pageArea);
    EXPECT_LT(inside2.mean, kMaxMeanDifference) << inside2.Describe();
    CImage plain(IMAGE_RGB8, kW, kH, 96.0);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            uint8_t* p = plain.Bits() + y * plain.RowBytes() + 3 * x;
            p[0] = 0x80, p[1] = 0x50, p[2] = 0x20;
        }
    for (const CRect& outside : {right, below}) {
        const CImageDiff d = CompareImages(*shot2, plain, outside);
        EXPECT_EQ(d.worstBlock, 0.0) << d.Describe();
    }
}

TEST_F(BrowserFidelityTest, CentredPictureLargerThanThePage) {
    PW_REQUIRE_BROWSER();
    CTestSite t(400, 300);
    CPage& page = t.AddPage("Forside");
    CBackgroundFill background;
    background.SetImagePath(SavePicture(pictures / "wide.jpg", Pattern(520, 390, 9)));
    background.SetTiled(false);
    page.SetBackground(std::make_unique<CBackgroundFill>(background));
    Add<CEllipseObject>(page, {120, 100}, {140, 100}).GetFill()->SetColour(CColor(250, 250, 250));

    const auto built = BuildSite(*t.site);
    ASSERT_EQ(built->code, BuildOk);
    CheckPageInBrowser(*built, 0, page, "centred picture larger than the page");
    CheckSiteWithOptionsInBrowser(*t.site, "centred picture larger than the page");
}

TEST_F(BrowserFidelityTest, CounterIsAPictureInThePreview) {
    PW_REQUIRE_BROWSER();
    CTestSite t(400, 240, CColor(240, 250, 255));
    CPage& page = t.AddPage("Forside");
    for (int style = 0; style < 2; ++style)
        page.InsertItem(std::make_unique<CCounterObject>(style, DPOINT{120.0 + 160 * style, 120}));
    Add<CRectObject>(page, {200, 40}, {300, 30}).GetFill()->SetColour(CColor(90, 20, 120));

    const auto built = BuildSite(*t.site, [](BuildSettings& s) { s.previewMode = true; });
    ASSERT_EQ(built->code, BuildOk);
    CheckPageInBrowser(*built, 0, page, "counters in the preview");
}
