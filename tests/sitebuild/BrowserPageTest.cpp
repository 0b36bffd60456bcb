// Built pages in the real browser beyond their pixels: HTML texts stand where
// the design puts them, links lead to the right pages, scripts run cleanly.
#include "tests/sitebuild/BrowserSites.h"
#include "tests/support/Browser.h"
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace pwtest;

namespace {
class BrowserPageTest : public CBrowserSiteTest {};
} // namespace

TEST_F(BrowserPageTest, BuiltPagesRunWithoutScriptErrors) {
    PW_REQUIRE_BROWSER();
    CTestSite t(500, 360);
    CPage& front = t.AddPage("Forside");
    t.AddPage("Side2");
    auto& button = Add<CRectObject>(front, {120, 80}, {140, 50});
    button.GetFill()->SetColour(CColor(30, 60, 120));
    AddMouseOver(front, button,
                 [](CShapeObject& o) { o.GetFill()->SetColour(CColor(60, 120, 240)); });
    AddText(front, {300, 200}, {200, 30}, "Tekst med <tegn> & \"citat\"", 14, 0x000000);

    const auto built = BuildSite(*t.site);
    ASSERT_EQ(built->code, BuildOk);
    const fs::path files = built->dir / kFilesFolderName;
    const auto errors = ConsoleErrors(
        {built->PageFile(0), built->PageFile(1), files / "error.html", files / "noscript.html"});
    for (const auto& page : errors)
        EXPECT_TRUE(page.empty()) << JoinLines(page);
}

namespace {

// Where the ink of a text lies inside `area`: pixels whose colour is far
// from the plain page colour, with their mean colour.
struct CInk {
    CRect box{};
    int count = 0;
    int rgb[3] = {0, 0, 0};
};

CInk InkIn(const CImage& image, const CRect& area, CColor page) {
    CInk ink;
    long long sum[3] = {0, 0, 0};
    ink.box = {area.right, area.bottom, area.left, area.top};
    const COLORREF ref = page.GetCOLORREF();
    const int ground[3] = {static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                           static_cast<int>((ref >> 16) & 0xFF)};
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, image.Height()); ++y)
        for (int x = std::max(area.left, 0); x < std::min(area.right, image.Width()); ++x) {
            uint8_t p[3];
            PixelAt(image, x, y, p);
            int far = 0;
            for (int c = 0; c < 3; ++c)
                far = std::max(far, std::abs(p[c] - ground[c]));
            if (far < 96) continue;
            ink.box = {std::min(ink.box.left, x), std::min(ink.box.top, y),
                       std::max(ink.box.right, x + 1), std::max(ink.box.bottom, y + 1)};
            for (int c = 0; c < 3; ++c)
                sum[c] += p[c];
            ++ink.count;
        }
    for (int c = 0; c < 3; ++c)
        ink.rgb[c] = ink.count ? static_cast<int>(sum[c] / ink.count) : 0;
    return ink;
}

} // namespace

TEST_F(BrowserPageTest, HtmlTextsStandWhereTheDesignPutsThem) {
    PW_REQUIRE_BROWSER();
    const CColor ground(250, 248, 240);
    CTestSite t(640, 420, ground);
    CPage& page = t.AddPage("Tekst");
    AddText(page, {170, 50}, {260, 30}, "Venstrestillet tekst", 14, 0x000000);
    auto& centred = AddText(page, {470, 60}, {260, 40}, "Centreret og fed", 18, 0x2020C0, true);
    centred.SetAlignment(1);
    auto& right = AddText(page, {470, 150}, {260, 30}, "Til h\xf8jre", 12, 0xA03000);
    right.SetAlignment(2);
    auto& two = AddText(page, {170, 170}, {260, 70}, "F\xf8rste afsnit", 16, 0x000000);
    CCharStyle style;
    style.SetFaceName("Times New Roman");
    style.fontSize = 16;
    style.italic = true;
    two.Layout().AppendParagraph();
    for (char c : std::string("Andet afsnit, kursiv"))
        two.Layout().Append(static_cast<uint8_t>(c), style);
    two.LayoutText();
    // A solid fill colours every character, whatever their own colour.
    auto& filled = AddText(page, {170, 300}, {260, 40}, "Gr\xf8n udfyldning", 20, 0x000000, true);
    filled.SetAdvanced(true);
    filled.GetFill()->SetColour(CColor(20, 140, 40));
    filled.SetAdvanced(false); // the fill stays: a plain text in one colour
    auto& under = AddText(page, {470, 300}, {260, 30}, "Understreget", 14, 0x000000);
    under.Layout().ForEachStyle([](CCharStyle& s) { s.underline = true; });
    under.LayoutText();

    const auto built = BuildSite(*t.site);
    ASSERT_EQ(built->code, BuildOk);
    const BuildPage& record = built->Page(0);
    ASSERT_EQ(HtmlTextAreas(record).size(), 6u);
    const auto shot = Screenshot(built->PageFile(0), page.Width(), page.Height());
    ASSERT_TRUE(shot);
    const CImage reference = RenderPageReference(page);
    for (const BuildItem& item : record.items) {
        if (!item.htmlText) continue;
        // Around the text only: the texts lie far enough apart for that.
        const CRect r = ItemRect(item);
        const CRect area{r.left - 6, r.top - 6, r.right + 12, r.bottom + 12};
        const CInk seen = InkIn(*shot, area, ground);
        const CInk meant = InkIn(reference, area, ground);
        SCOPED_TRACE("text at position " + std::to_string(item.zIndex));
        ASSERT_GT(seen.count, 20);
        ASSERT_GT(meant.count, 20);
        std::cout << "[ browser  ] text " << item.zIndex << ": ink (" << seen.box.left << ", "
                  << seen.box.top << ")-(" << seen.box.right << ", " << seen.box.bottom
                  << ") in the browser, (" << meant.box.left << ", " << meant.box.top << ")-("
                  << meant.box.right << ", " << meant.box.bottom << ") designed" << std::endl;
        // The browser's metrics of the same faces differ a little, so the far
        // edges may move by a few pixels; the near edges must hold.
        EXPECT_NEAR(seen.box.left, meant.box.left, 2);
        EXPECT_NEAR(seen.box.top, meant.box.top, 2);
        EXPECT_NEAR(seen.box.right, meant.box.right, 3 + meant.box.Width() / 20);
        EXPECT_NEAR(seen.box.bottom, meant.box.bottom, 3);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(seen.rgb[c], meant.rgb[c], 40) << "channel " << c;
    }
}

namespace {

std::unique_ptr<CObjectLink> LinkTo(CObjectLink::LinkType type, int page = 0,
                                    const std::string& address = {}) {
    auto link = std::make_unique<CObjectLink>();
    link->type = type;
    link->enabled = true;
    link->page = page;
    if (type == CObjectLink::typeEmail) link->email = address;
    if (type == CObjectLink::typeUrl) link->url = address;
    return link;
}

// A text whose characters from `from` on lead to page `page`.
CTextObject& AddLinkedText(CPage& page, DPOINT centre, const std::string& text, int from,
                           int target) {
    CTextObject& t = AddText(page, centre, {220, 30}, text, 14, 0x000000);
    CCharStyle linked = t.Layout().StyleAt(0, 0);
    linked.link = *LinkTo(CObjectLink::typePage, target);
    for (int i = from; i < static_cast<int>(text.size()); ++i)
        t.Layout().Restyle({0, i}, {0, i + 1}, [&](CCharStyle& s) { s = linked; });
    t.LayoutText();
    return t;
}

} // namespace

TEST_F(BrowserPageTest, LinksLeadToTheRightPagesFromEveryPage) {
    PW_REQUIRE_BROWSER();
    CTestSite t(500, 360);
    CPage& front = t.AddPage("Forside");
    CPage& second = t.AddPage("Side2");
    CPage& third = t.AddPage("Side3");

    auto& toSecond = Add<CRectObject>(front, {80, 60}, {100, 40});
    toSecond.SetLink(LinkTo(CObjectLink::typePage, 1));
    auto& mail = Add<CEllipseObject>(front, {220, 60}, {100, 40});
    mail.SetLink(LinkTo(CObjectLink::typeEmail, 0, "post@eksempel.dk"));
    auto& self = Add<CRectObject>(front, {360, 60}, {100, 40});
    AddMouseOver(front, self, [](CShapeObject& o) { o.GetFill()->SetColour(CColor(0, 0, 0)); });
    AddLinkedText(front, {150, 200}, "Se side tre her", 8, 2);
    // Wholly a link: the browser shows it in the site's link colour.
    t.site->unvisitedLinkColour = CColor(200, 0, 120);
    CTextObject& linked = AddLinkedText(front, {150, 280}, "Hele teksten er et link", 0, 1);

    auto& home = Add<CRectObject>(second, {80, 60}, {100, 40});
    home.SetLink(LinkTo(CObjectLink::typePage, 0));
    auto& web = Add<CRectObject>(second, {220, 60}, {100, 40});
    web.SetLink(LinkTo(CObjectLink::typeUrl, 0, "www.eksempel.dk/side.htm"));
    AddLinkedText(second, {150, 200}, "Videre til tre", 10, 2);

    auto& back = Add<CRectObject>(third, {80, 60}, {100, 40});
    back.SetLink(LinkTo(CObjectLink::typePage, 1));
    auto& beyond = Add<CRectObject>(third, {220, 60}, {100, 40});
    beyond.SetLink(LinkTo(CObjectLink::typePage, 2));
    beyond.GetLink()->page = 7; // past the last page: the last page
    AddLinkedText(third, {150, 200}, "Forsiden", 0, 0);

    const auto built = BuildSite(*t.site);
    ASSERT_EQ(built->code, BuildOk);
    const std::string frontUrl = FileUrl(built->PageFile(0));
    const std::string secondUrl = FileUrl(built->PageFile(1));
    const std::string thirdUrl = FileUrl(built->PageFile(2));
    const auto links = LinkTargets({built->PageFile(0), built->PageFile(1), built->PageFile(2)});
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(links[0], (std::vector<std::string>{secondUrl, "mailto:post@eksempel.dk", frontUrl,
                                                  thirdUrl, secondUrl}));
    EXPECT_EQ(links[1],
              (std::vector<std::string>{frontUrl, "http://www.eksempel.dk/side.htm", thirdUrl}));
    EXPECT_EQ(links[2], (std::vector<std::string>{secondUrl, thirdUrl, frontUrl}));
    for (const auto& page : {built->PageFile(0), built->PageFile(1), built->PageFile(2)})
        EXPECT_TRUE(fs::exists(page)) << page;

    const BuildItem* text = FindBuildItem(built->Page(0), *front.FindItem(linked));
    ASSERT_TRUE(text && text->htmlText);
    const auto shot = Screenshot(built->PageFile(0), front.Width(), front.Height());
    ASSERT_TRUE(shot);
    const CRect r = ItemRect(*text);
    const CInk ink =
        InkIn(*shot, {r.left - 6, r.top - 6, r.right + 12, r.bottom + 12}, CColor(255, 255, 255));
    ASSERT_GT(ink.count, 20);
    // Pink (200, 0, 120), not the characters' own black; thin glyph edges
    // mix in the white page, so the proportions are what is checked.
    EXPECT_GT(ink.rgb[0], ink.rgb[1] + 100);
    EXPECT_GT(ink.rgb[2], ink.rgb[1] + 40);
}

TEST_F(BrowserPageTest, BrowsersWithoutScriptsLandOnTheNoticePage) {
    PW_REQUIRE_BROWSER();
    CTestSite t(300, 200);
    t.AddPage("Forside");
    t.AddPage("Side2");
    const auto built = BuildSite(*t.site);
    ASSERT_EQ(built->code, BuildOk);
    const std::string notice = FileUrl(built->dir / kFilesFolderName / "noscript.html");
    EXPECT_EQ(ScriptlessLanding({built->PageFile(0), built->PageFile(1)}),
              (std::vector<std::string>{notice, notice}));
}
