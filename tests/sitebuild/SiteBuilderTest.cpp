// The build from start to end: what lands on disk, the decisions taken per
// item, progress, cancelling and every way a build can end early.
#include "sitebuild/PageClassify.h"
#include "model/CounterObject.h"
#include "model/HtmlObject.h"
#include "model/Effects.h"
#include "services/StringIds.h"
#include "services/StringTable.h"
#include "tests/sitebuild/SiteBuildTestSupport.h"
#include <cmath>
#include <numbers>

using namespace buildtest;

namespace {

const BuildItem* FindBuilt(const BuildPage& page, const CPageObject& object) {
    for (const BuildItem& item : page.items)
        if (&item.item->Current() == &object) return &item;
    return nullptr;
}

} // namespace

TEST(SiteBuilder, ProgressStepIsTheWeightPerPageRoundedHalfUpAndNeverZero) {
    EXPECT_EQ(ProgressStep(100000, 300), 333);
    EXPECT_EQ(ProgressStep(700000, 300), 2333);
    EXPECT_EQ(ProgressStep(100000, 200000), 1); // 0.5 rounds up
    EXPECT_EQ(ProgressStep(700000, 200000), 4); // 3.5 rounds up
    EXPECT_EQ(ProgressStep(100000, 400000), 1); // 0.25 would be 0
    EXPECT_EQ(ProgressStep(100000, 1), 100000);
    EXPECT_EQ(ProgressStep(100000, 3), 33333);
}

TEST(SiteBuilder, OnePageSiteWritesTheFrontPageNoticesAndImagesWithProgress) {
    CSiteFixture f;
    CPage& page = f.AddPage("Forside");
    AddRect(page, {10, 10, 110, 60}, CColor(200, 0, 0));
    AddShape<CEllipseObject>(page, {300, 200, 400, 260}, CColor(0, 150, 0));
    AddRect(page, {700, 10, 760, 60}, CColor(0, 0, 0)); // wholly outside the page

    SiteBuilder builder(f.Settings(), &f.ui);
    const BuildResult result = f.Build(builder);
    ASSERT_EQ(result.code, BuildOk);
    EXPECT_TRUE(result.pageName.empty());
    EXPECT_EQ(f.FileNames(f.Root()),
              (std::vector<std::string>{"My_Homepage_Files", "default.htm"}));
    EXPECT_EQ(f.FileNames(f.Files()),
              (std::vector<std::string>{"IMG_0.jpg", "IMG_1.jpg", "error.html", "noscript.html"}));
    ASSERT_EQ(builder.Pages().size(), 1u);
    EXPECT_EQ(builder.Pages()[0].items.size(), 2u); // the outside item is not built
    EXPECT_EQ(builder.Pages()[0].fileName, "default.htm");
    EXPECT_EQ(builder.Pages()[0].keyName, "default.htm");
    const std::string html = ReadFileBytes(f.Root() / "default.htm");
    EXPECT_EQ(html.find("IMG_2"), std::string::npos);
    EXPECT_NE(html.find("My_Homepage_Files/IMG_1.jpg"), std::string::npos);

    ASSERT_EQ(f.ui.Progresses().size(), 1u);
    const pwtest::CProgressLog& log = *f.ui.Progresses()[0];
    EXPECT_EQ(log.id, IDD_BUILD_STATUS);
    EXPECT_EQ(log.caption, "Status for opbygning af hjemmeside");
    EXPECT_EQ(log.range, 1000000);
    EXPECT_TRUE(log.closed);
    EXPECT_EQ(log.phases,
              (std::vector<std::string>{"Validerer Side:", "Opbygger Data:", "Skriver Side:"}));
    ASSERT_FALSE(log.positions.empty());
    EXPECT_EQ(log.positions.back(), 999999);
    // Only ever forward, up to one short of the full bar where it ends.
    EXPECT_TRUE(std::is_sorted(log.positions.begin(), log.positions.end()));
    EXPECT_EQ(*std::max_element(log.positions.begin(), log.positions.end()), 999999);
    for (long long mark : {100000LL, 200000LL, 900000LL})
        EXPECT_TRUE(std::count(log.positions.begin(), log.positions.end(), mark)) << mark;
}

TEST(SiteBuilder, ImagesMatchThePageAsTheDesignerComposesIt) {
    CSiteFixture f;
    CPage& page = f.AddPage("Forside");
    CFillGradient gradient = page.Background().GetGradient();
    page.Background().SetGradient(gradient);
    AddShape<CEllipseObject>(page, {40, 30, 240, 190}, CColor(220, 40, 40));
    AddRect(page, {150, 120, 330, 300}, CColor(30, 60, 200), std::numbers::pi / 7);
    auto& big = AddRect(page, {350, 20, 630, 470}, CColor(250, 200, 0));
    CEffects effects;
    effects.shadowOn = true;
    big.SetEffects(std::make_unique<CEffects>(effects));
    // A picture larger than one tile, with a shape over a part of it.
    CImage photo(IMAGE_RGB8, 300, 150, 96.0);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 900; ++x)
            photo.Bits()[y * photo.RowBytes() + x] = static_cast<uint8_t>((x * 7 + y * 13) % 251);
    int format = FORMAT_JPEG, error = 0;
    ASSERT_TRUE(CIO::SaveImage(f.dir / "photo.jpg", photo, format, 90, error, std::string()));
    AddPicture(page, 20, 310, f.dir / "photo.jpg");
    AddShape<CEllipseObject>(page, {250, 400, 300, 440}, CColor(0, 90, 0));

    SiteBuilder builder(f.Settings(), &f.ui);
    ASSERT_EQ(f.Build(builder).code, BuildOk);
    const CImage reference = ReferencePage(page);
    ASSERT_EQ(builder.Pages()[0].items.size(), 5u);
    for (const BuildItem& item : builder.Pages()[0].items) {
        const std::string file = item.imageUrl.substr(item.imageUrl.rfind('/') + 1);
        auto picture = LoadPicture(f.Files() / file);
        ASSERT_TRUE(picture) << file;
        EXPECT_EQ(picture->Width(), item.width);
        EXPECT_EQ(picture->Height(), item.height);
        // The same pixels through the same encoder give the same file.
        EXPECT_EQ(ReadFileBytes(f.Files() / file),
                  EncodedPart(reference, {item.left, item.top, item.left + item.width,
                                          item.top + item.height}))
            << file;
        const CDifference d = Compare(*picture, reference, item.left, item.top);
        EXPECT_LT(d.mean, 4.0) << file; // and decodes close to the page
    }
}

TEST(SiteBuilder, TextsStayHtmlUnlessSomethingThatIsNotAnUprightPictureLiesOverThem) {
    CSiteFixture f;
    CPage& page = f.AddPage("Forside");
    // New rectangles go below the texts; each is lifted over its text.
    const auto onTop = [&](CPageObject& object) {
        page.MoveItemTo(*page.FindItem(object), page.ItemCount());
    };
    CTextObject& under = AddText(page, 20, 20, "Under an upright rectangle");
    onTop(AddRect(page, {30, 25, 80, 60}, CColor(0, 0, 200)));
    CTextObject& turned = AddText(page, 20, 200, "Under a turned rectangle");
    onTop(AddRect(page, {30, 205, 80, 240}, CColor(0, 0, 200), 0.3));
    CTextObject& shadowed = AddText(page, 300, 20, "Under a shadowed rectangle");
    auto& withShadow = AddRect(page, {310, 25, 350, 60}, CColor(0, 0, 200));
    CEffects effects;
    effects.shadowOn = true;
    withShadow.SetEffects(std::make_unique<CEffects>(effects));
    onTop(withShadow);
    CTextObject& lower = AddText(page, 300, 300, "Under another text");
    CTextObject& upper = AddText(page, 310, 305, "Over a text");
    CTextObject& advanced = AddText(page, 20, 400, "Advanced");
    advanced.SetAdvanced(true);

    SiteBuilder builder(f.Settings(), &f.ui);
    ASSERT_EQ(f.Build(builder).code, BuildOk);
    const BuildPage& built = builder.Pages()[0];
    EXPECT_TRUE(FindBuilt(built, under)->htmlText);
    EXPECT_FALSE(FindBuilt(built, turned)->htmlText);
    EXPECT_FALSE(FindBuilt(built, shadowed)->htmlText);
    EXPECT_TRUE(FindBuilt(built, lower)->htmlText);
    EXPECT_TRUE(FindBuilt(built, upper)->htmlText);
    EXPECT_FALSE(FindBuilt(built, advanced)->htmlText);
    // An HTML text sits 2 pixels into its box; an image text is the box itself.
    const BuildItem& html = *FindBuilt(built, under);
    EXPECT_EQ(html.left, under.BoxRect().left + 2);
    EXPECT_EQ(html.top, under.BoxRect().top + 2);
    EXPECT_EQ(html.width, under.GetSize().width);
    EXPECT_TRUE(html.imageUrl.empty());
    EXPECT_FALSE(FindBuilt(built, turned)->imageUrl.empty());
    // Six image items (three rectangles, three texts) and the notice pages.
    EXPECT_EQ(f.FileNames(f.Files()).size(), 6u + 2u);
}

TEST(SiteBuilder, HtmlTextPositionFollowsTheAlignment) {
    CSiteFixture f;
    CPage& page = f.AddPage("Forside");
    CTextObject& text = AddText(page, 101, 51, "Hi", 200);
    const DPOINT c = text.GetCenter();
    const int w = text.GetSize().width;
    const auto roundHalfUp = [](double v) {
        const int t = static_cast<int>(v);
        return v - t >= 0.5 ? t + 1 : t;
    };
    BuildItem item;
    text.SetAlignment(CTextLayout::alignLeft);
    HtmlTextPosition(text, item);
    EXPECT_EQ(item.left, roundHalfUp(c.x - text.Layout().boxWidth / 2.0) + 2);
    EXPECT_EQ(item.top, roundHalfUp(c.y - text.Layout().boxHeight / 2.0) + 2);
    text.SetAlignment(CTextLayout::alignCentre);
    HtmlTextPosition(text, item);
    EXPECT_EQ(item.left, roundHalfUp(c.x - w / 2.0) + 1);
    text.SetAlignment(CTextLayout::alignRight);
    HtmlTextPosition(text, item);
    EXPECT_EQ(item.left, roundHalfUp(c.x + text.Layout().boxWidth / 2.0 - w));
}

TEST(SiteBuilder, MouseOverItemsMayOnlyBeCoveredByHtmlTexts) {
    {
        CSiteFixture f;
        CPage& page = f.AddPage("Forside");
        auto& button = AddRect(page, {10, 10, 200, 60}, CColor(0, 100, 0));
        AddMouseOver(page, button, CColor(0, 200, 0));
        AddText(page, 20, 20, "Knap");
        ASSERT_EQ(f.Build(), BuildOk);
        EXPECT_TRUE(fs::exists(f.Files() / "IMG_1.jpg"));
    }
    {
        CSiteFixture f;
        f.AddPage("Forside");
        CPage& page = f.AddPage("Anden");
        auto& button = AddRect(page, {10, 10, 200, 60}, CColor(0, 100, 0));
        AddMouseOver(page, button, CColor(0, 200, 0));
        AddRect(page, {150, 40, 250, 90}, CColor(10, 10, 10));
        SiteBuilder builder(f.Settings(), &f.ui);
        const BuildResult result = f.Build(builder);
        EXPECT_EQ(result.code, BuildInvalid);
        EXPECT_EQ(result.pageName, "Anden");
        EXPECT_EQ(result.reason, CStringTable::Get(IDS_BUILD_MOUSEOVER_OVERLAPPED));
        EXPECT_EQ(result.item, page.FindItem(button));
        EXPECT_FALSE(fs::exists(f.Root())); // stopped before any file was written
        EXPECT_TRUE(f.ui.Progresses()[0]->closed);
    }
}

TEST(SiteBuilder, ImageNumbersRunOverItemsAndPagesWithTwoForAMouseOverItem) {
    CSiteFixture f;
    CPage& first = f.AddPage("Forside");
    AddRect(first, {10, 10, 60, 60}, CColor(100, 0, 0));
    auto& button = AddRect(first, {100, 10, 200, 60}, CColor(0, 100, 0));
    AddMouseOver(first, button, CColor(0, 200, 0));
    CObjectLink link;
    link.type = CObjectLink::typePage;
    link.enabled = true;
    link.page = 1;
    button.SetLink(std::make_unique<CObjectLink>(link));
    AddRect(first, {300, 10, 350, 60}, CColor(0, 0, 100));
    CPage& second = f.AddPage("Anden");
    AddRect(second, {300, 300, 350, 333}, CColor(9, 9, 9));

    SiteBuilder builder(f.Settings(), &f.ui);
    ASSERT_EQ(f.Build(builder).code, BuildOk);
    const BuildPage& page = builder.Pages()[0];
    EXPECT_EQ(page.items[0].number, 0);
    EXPECT_EQ(page.items[0].imageUrl, "My_Homepage_Files/IMG_0.jpg");
    EXPECT_EQ(page.items[1].number, 1);
    EXPECT_TRUE(page.items[1].hasMouseOver);
    EXPECT_EQ(page.items[1].imageUrl, "My_Homepage_Files/IMG_1.jpg");
    EXPECT_EQ(page.items[1].mouseOverImageUrl, "My_Homepage_Files/IMG_2.jpg");
    EXPECT_TRUE(page.items[1].hasLink);
    EXPECT_EQ(page.items[1].linkUrl, "My_Homepage_Files/Side1.html");
    EXPECT_EQ(page.items[2].number, 3);
    EXPECT_EQ(builder.Pages()[1].items[0].number, 4);
    EXPECT_EQ(builder.Pages()[1].items[0].imageUrl, "IMG_4.jpg");
    // The states differ where the button lies.
    auto normal = LoadPicture(f.Files() / "IMG_1.jpg");
    auto over = LoadPicture(f.Files() / "IMG_2.jpg");
    ASSERT_TRUE(normal && over);
    EXPECT_NEAR(normal->Bits()[3 * 50 + 1 + 25 * normal->RowBytes()], 100, 6);
    EXPECT_NEAR(over->Bits()[3 * 50 + 1 + 25 * over->RowBytes()], 200, 6);
}

TEST(SiteBuilder, PageFilesAreNamedByPositionAfterADelete) {
    CSiteFixture f;
    f.AddPage("Forside");
    CPage& middle = f.AddPage("Midte");
    CPage& last = f.AddPage("Sidst");
    AddRect(last, {0, 0, 20, 20}, CColor(1, 2, 3));
    f.site.DeletePage(middle);
    SiteBuilder builder(f.Settings(), &f.ui);
    ASSERT_EQ(f.Build(builder).code, BuildOk);
    EXPECT_EQ(builder.Pages()[1].fileName, "Side1.html");
    EXPECT_EQ(builder.Pages()[1].keyName, "Sidst");
    EXPECT_TRUE(fs::exists(f.Files() / "Side1.html"));
    EXPECT_FALSE(fs::exists(f.Files() / "Side2.html"));
}

TEST(SiteBuilder, LikePicturesShareOneFileOnlyWhenTheyLookTheSame) {
    CSiteFixture f;
    CPage& first = f.AddPage("Forside");
    CPage& second = f.AddPage("Anden");
    CPage& third = f.AddPage("Tredje");
    for (CPage* page : {&first, &second, &third})
        AddShape<CEllipseObject>(*page, {50, 50, 150, 120}, CColor(200, 0, 0));
    // The same button on every page; on the third its hover colour differs.
    AddMouseOver(first, AddRect(first, {300, 50, 400, 80}, CColor(0, 90, 0)), CColor(0, 200, 0));
    AddMouseOver(second, AddRect(second, {300, 50, 400, 80}, CColor(0, 90, 0)), CColor(0, 200, 0));
    AddMouseOver(third, AddRect(third, {300, 50, 400, 80}, CColor(0, 90, 0)), CColor(0, 0, 200));
    SiteBuilder builder(f.Settings(), &f.ui);
    ASSERT_EQ(f.Build(builder).code, BuildOk);
    const auto& pages = builder.Pages();
    EXPECT_EQ(pages[0].items[0].imageUrl, "My_Homepage_Files/IMG_0.jpg");
    EXPECT_EQ(pages[0].items[1].imageUrl, "My_Homepage_Files/IMG_1.jpg");
    EXPECT_EQ(pages[0].items[1].mouseOverImageUrl, "My_Homepage_Files/IMG_2.jpg");
    EXPECT_EQ(pages[1].items[0].imageUrl, "IMG_0.jpg");
    EXPECT_EQ(pages[1].items[1].imageUrl, "IMG_1.jpg");
    EXPECT_EQ(pages[1].items[1].mouseOverImageUrl, "IMG_2.jpg");
    EXPECT_EQ(pages[1].items[1].number, 4);
    EXPECT_EQ(pages[2].items[0].imageUrl, "IMG_0.jpg");
    // Both states must match: another hover colour gives both files anew.
    EXPECT_EQ(pages[2].items[1].imageUrl, "IMG_7.jpg");
    EXPECT_EQ(pages[2].items[1].mouseOverImageUrl, "IMG_8.jpg");
    EXPECT_FALSE(fs::exists(f.Files() / "IMG_3.jpg"));
    EXPECT_FALSE(fs::exists(f.Files() / "IMG_4.jpg"));
}

TEST(SiteBuilder, PicturesOnAnotherBackgroundGetTheirOwnFile) {
    CSiteFixture f;
    CPage& first = f.AddPage("Forside");
    CPage& second = f.AddPage("Anden");
    second.Background().SetColour(CColor(30, 30, 30));
    for (CPage* page : {&first, &second})
        AddShape<CEllipseObject>(*page, {50, 50, 150, 120}, CColor(200, 0, 0));
    SiteBuilder builder(f.Settings(), &f.ui);
    ASSERT_EQ(f.Build(builder).code, BuildOk);
    // The ellipse's corners show the other background.
    EXPECT_EQ(builder.Pages()[1].items[0].imageUrl, "IMG_1.jpg");
    EXPECT_TRUE(fs::exists(f.Files() / "IMG_1.jpg"));
}

TEST(SiteBuilder, ItemsCrossingThePageEdgeAreCutAtIt) {
    CSiteFixture f;
    CPage& page = f.AddPage("Forside");
    AddRect(page, {600, 400, 700, 530}, CColor(0, 0, 0));
    SiteBuilder builder(f.Settings(), &f.ui);
    ASSERT_EQ(f.Build(builder).code, BuildOk);
    const BuildItem& item = builder.Pages()[0].items[0];
    EXPECT_EQ(item.left, 600);
    EXPECT_EQ(item.width, 40);
    EXPECT_EQ(item.height, 80);
    auto picture = LoadPicture(f.Files() / "IMG_0.jpg");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width(), 40);
    EXPECT_EQ(picture->Height(), 80);
}

TEST(SiteBuilder, HtmlAndFormItemsAreNotImagesAndCountersOnlyInPreview) {
    CSiteFixture f;
    CPage& page = f.AddPage("Forside");
    auto html = std::make_unique<CHtmlObject>(DPOINT{620, 10}, 100, 40);
    html->SetCode("", "", "<b>hej</b>");
    page.InsertItem(std::move(html));
    page.InsertItem(std::make_unique<CCounterObject>(0, 100.0, 300.0));
    SiteBuilder builder(f.Settings(), &f.ui);
    ASSERT_EQ(f.Build(builder).code, BuildOk);
    const auto& items = builder.Pages()[0].items;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].width, 100); // HTML keeps its whole box
    EXPECT_TRUE(items[0].imageUrl.empty());
    EXPECT_TRUE(items[1].imageUrl.empty());
    const CObjectSize counter = page.ItemAt(1).Current().GetSize();
    EXPECT_EQ(items[1].width, counter.width);
    EXPECT_EQ(items[1].left, static_cast<int>(100.0 - counter.width / 2.0 + 0.5));
    EXPECT_EQ(f.FileNames(f.Files()).size(), 2u);

    SiteBuilder preview(f.Settings(true), &f.ui);
    ASSERT_EQ(f.Build(preview).code, BuildOk);
    EXPECT_EQ(preview.Pages()[0].items[1].imageUrl, "My_Homepage_Files/IMG_0.jpg");
}

TEST(SiteBuilder, CancelEndsTheBuildBetweenPagesAndBetweenItems) {
    for (int polls : {0, 1, 2, 4}) {
        CSiteFixture f;
        CPage& page = f.AddPage("Forside");
        for (int i = 0; i < 4; ++i)
            AddRect(page, {10 + 60 * i, 10, 60 + 60 * i, 60}, CColor(9, 9, 9 * i));
        f.ui.CancelProgressAfter(polls);
        EXPECT_EQ(f.Build(), BuildCancelled) << polls;
        EXPECT_TRUE(f.ui.Progresses()[0]->closed);
        EXPECT_FALSE(fs::exists(f.Root() / "default.htm"));
        // The first phase and validation poll once per page; then one poll
        // per image item.
        EXPECT_EQ(f.FileNames(f.Files()).size(), static_cast<std::size_t>(std::max(0, polls - 1)))
            << polls;
    }
}

TEST(SiteBuilder, FoldersThatCannotBeMadeAndFilesThatCannotBeWrittenEndTheBuild) {
    {
        CSiteFixture f;
        f.AddPage("Forside");
        WriteFileBytes(f.dir / "blocker", "x");
        SiteBuilder builder(BuildSettings::InFolder(f.dir / "blocker" / "site", false), &f.ui);
        EXPECT_EQ(f.Build(builder).code, BuildNoFolder);
        EXPECT_TRUE(f.ui.Progresses()[0]->closed);
    }
    {
        CSiteFixture f;
        f.AddPage("Forside");
        fs::create_directories(f.Root() / "default.htm"); // a folder where the page goes
        EXPECT_EQ(f.Build(), BuildWriteFailed);
    }
    {
        CSiteFixture f;
        f.AddPage("Forside");
        fs::create_directories(f.Files() / "noscript.html");
        EXPECT_EQ(f.Build(), BuildWriteFailed);
        EXPECT_FALSE(fs::exists(f.Root() / "default.htm"));
    }
}

TEST(SiteBuilder, LargeObjectWarningStopsOrGoesOnAndCanBeSwitchedOff) {
    const auto site = [](CSiteFixture& f) {
        CPage& page = f.AddPage("Store");
        AddRect(page, {0, 0, 500, 321}, CColor(1, 1, 1)); // 160500 pixels
        AddRect(page, {0, 330, 400, 400}, CColor(2, 2, 2));
        AddRect(page, {0, 0, 640, 480}, CColor(3, 3, 3));
    };
    {
        CSiteFixture f;
        site(f);
        f.ui.ExpectChoice(IDD_LARGE_OBJECTS, 0);
        SiteBuilder builder(f.Settings(), &f.ui);
        EXPECT_EQ(f.Build(builder).code, BuildCancelled);
        EXPECT_TRUE(builder.Settings().largeObjectWarning);
        EXPECT_TRUE(f.ui.SawText("\"Store\""));
    }
    {
        CSiteFixture f;
        site(f);
        f.ui.ExpectChoice(IDD_LARGE_OBJECTS, 1).ExpectChoice(IDD_LARGE_OBJECTS, 1);
        SiteBuilder builder(f.Settings(), &f.ui);
        EXPECT_EQ(f.Build(builder).code, BuildOk);
    }
    {
        CSiteFixture f;
        site(f);
        f.ui.ExpectChoice(IDD_LARGE_OBJECTS, 1, true); // asked once only
        SiteBuilder builder(f.Settings(), &f.ui);
        EXPECT_EQ(f.Build(builder).code, BuildOk);
        EXPECT_FALSE(builder.Settings().largeObjectWarning);
    }
}

TEST(SiteBuilder, ReadOnlyFilesOfAnEarlierBuildAreMadeWritableAndReplaced) {
    CSiteFixture f;
    CPage& page = f.AddPage("Forside");
    AddRect(page, {10, 10, 60, 60}, CColor(200, 0, 0));
    fs::create_directories(f.Files());
    WriteFileBytes(f.Files() / "IMG_0.jpg", "old");
    fs::permissions(f.Files() / "IMG_0.jpg", fs::perms::owner_read | fs::perms::group_read);
    ASSERT_EQ(f.Build(), BuildOk);
    const fs::perms perms = fs::status(f.Files() / "IMG_0.jpg").permissions();
    EXPECT_NE(perms & fs::perms::owner_write, fs::perms::none);
    auto picture = LoadPicture(f.Files() / "IMG_0.jpg");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width(), 50);
}

TEST(SiteBuilder, TextLinksAndItemLinksLeadToTheSamePagesFromEitherFolder) {
    CSiteFixture f;
    CPage& front = f.AddPage("Forside");
    CPage& other = f.AddPage("Anden");
    const auto pageLink = [](int32_t page) {
        CObjectLink link;
        link.type = CObjectLink::typePage;
        link.enabled = true;
        link.page = page;
        return link;
    };
    const auto linkedText = [&](CPage& page, int32_t target) {
        CTextObject& text = AddText(page, 20, 20, "");
        CCharStyle style = Arial();
        style.link = pageLink(target);
        for (char c : std::string("Videre"))
            text.Layout().Append(static_cast<uint8_t>(c), style);
        text.LayoutText();
    };
    linkedText(front, 1);
    linkedText(other, 0);
    AddRect(other, {300, 300, 340, 330}, CColor(0, 0, 0))
        .SetLink(std::make_unique<CObjectLink>(pageLink(1)));
    ASSERT_EQ(f.Build(), BuildOk);
    const std::string first = ReadFileBytes(f.Root() / "default.htm");
    const std::string second = ReadFileBytes(f.Files() / "Side1.html");
    EXPECT_NE(first.find("<A HREF=\"My_Homepage_Files/Side1.html\">Videre"), std::string::npos)
        << first;
    EXPECT_NE(second.find("<A HREF=\"../default.htm\">Videre"), std::string::npos) << second;
    EXPECT_NE(second.find("<A HREF=\"Side1.html\" ><IMG SRC=\"IMG_0.jpg\""), std::string::npos)
        << second;
}
