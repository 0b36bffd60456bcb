// Sites and pages: identifiers, front page, deletion with link upkeep, saved
// flags, relink maps and the page-property rules.
#include "model/ObjectLink.h"
#include "tests/support/EditingText.h"
#include "model/PageProperties.h"
#include "model/RectObject.h"
#include "services/StringTable.h"
#include "tests/model/PageTestSupport.h"
#include "tests/support/ScriptedInteraction.h"
#include <gtest/gtest.h>

using pwtest::Box;
using pwtest::CPageFixture;
using pwtest::CScriptedInteraction;

namespace {
std::unique_ptr<CSite> SiteWithPages(const std::vector<std::string>& ids) {
    auto site = std::make_unique<CSite>("Min side", CBackgroundFill(CColor(10, 20, 30)), 500, 700,
                                        CColor(0, 0, 255), CColor(128, 0, 128));
    for (const auto& id : ids)
        site->AddPage(std::make_unique<CPage>(*site, id, id + " web"));
    return site;
}

// A rectangle linking to the page with the given index.
std::unique_ptr<CRectObject> LinkTo(int32_t index) {
    auto r = std::make_unique<CRectObject>(DPOINT{50, 50}, CObjectSize{10, 10});
    r->GetLink()->type = CObjectLink::typePage;
    r->GetLink()->enabled = true;
    r->GetLink()->page = index;
    return r;
}
} // namespace

TEST(Site, NewSiteStartsWithFrontPageSide1NamedAfterTheSite) {
    int titleRefreshes = 0;
    auto site = MakeNewSite("Familien", CBackgroundFill(CColor(1, 2, 3)), 640, 480,
                            CColor(0, 0, 255), CColor(128, 0, 128));
    struct : CSiteObserver {
        int* count;
        void OnSiteModified(CSite&) override { ++*count; }
    } titleFollower;
    titleFollower.count = &titleRefreshes;
    site->AddObserver(&titleFollower);
    ASSERT_EQ(site->PageCount(), 1);
    CPage& first = site->PageAt(0);
    EXPECT_EQ(first.Identifier(), "Side1");
    EXPECT_EQ(first.WebName(), "Familien");
    EXPECT_TRUE(first.IsFrontPage());
    EXPECT_EQ(site->FrontPage(), &first);
    EXPECT_EQ(site->CurrentPage(), &first);
    EXPECT_TRUE(site->path.empty());
    EXPECT_EQ(site->lastPublished[0], -1);
    // The page copies the defaults, its background sized to the page.
    EXPECT_EQ(first.Width(), 640);
    EXPECT_EQ(first.Height(), 480);
    EXPECT_EQ(first.Background().GetWidth(), 640);
    EXPECT_EQ(first.Background().GetHeight(), 480);
    EXPECT_EQ(first.Background().GetColour(), CColor(1, 2, 3));
    EXPECT_TRUE(first.useGuides);
    EXPECT_FALSE(first.guidesHidden);
    EXPECT_TRUE(first.PublishPending());

    EXPECT_FALSE(site->IsSaved());
    site->MarkSaved();
    EXPECT_TRUE(site->IsSaved());
    first.SetWebName("Forsiden");
    EXPECT_FALSE(site->IsSaved());
    EXPECT_FALSE(first.IsSaved());
    EXPECT_EQ(titleRefreshes, 1);

    // A site about to be loaded keeps the file defaults.
    CSite loading("/tmp/x.pwu");
    EXPECT_EQ(loading.defaultWidth, 740);
    EXPECT_EQ(loading.defaultHeight, 600);
    EXPECT_TRUE(loading.IsSaved());
}

TEST(Site, UniqueIdentifierCountsFromPageCountAndSkipsTakenNames) {
    EXPECT_EQ(SiteWithPages({})->MakeUniquePageIdentifier(), "Side1");
    EXPECT_EQ(SiteWithPages({"Side1", "Side2", "Side4"})->MakeUniquePageIdentifier(), "Side5");
    EXPECT_EQ(SiteWithPages({"Side2"})->MakeUniquePageIdentifier(), "Side3");
    EXPECT_EQ(SiteWithPages({"Hjem", "Om"})->MakeUniquePageIdentifier(), "Side3");

    auto site = SiteWithPages({"Side1", "Om os"});
    EXPECT_FALSE(site->IsIdentifierFree("Side1"));
    EXPECT_TRUE(site->IsIdentifierFree("side1")); // case matters
    EXPECT_EQ(site->FindPage("Om os"), &site->PageAt(1));
    EXPECT_EQ(site->FindPage("om os"), nullptr);
}

TEST(Site, FrontPageIsExclusiveAndListedWithSuffix) {
    auto site = SiteWithPages({"Side1", "Side2", "Side3"});
    site->MarkSaved();
    site->SetFrontPage(site->PageAt(1));
    EXPECT_EQ(site->FrontPage(), &site->PageAt(1));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(site->PageAt(i).IsSaved());
    EXPECT_FALSE(CanSetFrontPage(site->PageAt(1)));
    EXPECT_TRUE(ApplyFrontPage(site->PageAt(2)));
    EXPECT_FALSE(site->PageAt(1).IsFrontPage());
    EXPECT_EQ(ShowPageMenuEntries(*site),
              (std::vector<std::string>{"Side1", "Side2", "Side3 (forside)"}));
}

TEST(Site, DeletingPagesKeepsLinksAndFrontPageRight) {
    auto site = SiteWithPages({"Side1", "Side2", "Side3", "Side4"});
    site->SetFrontPage(site->PageAt(0));
    // Side4 links to Side3 (index 2) and Side2 (index 1); its twin to Side3.
    CPage& fourth = site->PageAt(3);
    CPageItem& toThird = fourth.InsertItem(LinkTo(2));
    toThird.AttachMouseOver(LinkTo(2));
    CPageItem& toSecond = fourth.InsertItem(LinkTo(1));

    EXPECT_EQ(site->DeletePage(site->PageAt(1)), 1);
    EXPECT_EQ(site->PageCount(), 3);
    EXPECT_EQ(toThird.Normal().GetLink()->page, 1);
    EXPECT_EQ(toThird.MouseOver()->GetLink()->page, 1);
    EXPECT_FALSE(toSecond.Normal().GetLink()->enabled);
    EXPECT_EQ(site->FrontPage(), &site->PageAt(0));

    // Deleting the front page hands the flag to the first page left.
    site->MarkSaved();
    CPage* current = &site->PageAt(0);
    site->SetCurrentPage(current);
    EXPECT_EQ(site->DeletePage(*current), 0);
    EXPECT_EQ(site->CurrentPage(), nullptr);
    ASSERT_EQ(site->PageCount(), 2);
    EXPECT_EQ(site->PageAt(0).Identifier(), "Side3");
    EXPECT_TRUE(site->PageAt(0).IsFrontPage());
    EXPECT_FALSE(site->PageAt(1).IsFrontPage());
    EXPECT_FALSE(site->IsSaved());

    CSite other("");
    CPage stray(other, "X", "X");
    EXPECT_EQ(site->DeletePage(stray), -1);
}

TEST(Site, DeleteAndAddPageFlowsAskThroughThePort) {
    auto site = SiteWithPages({"Side1", "Side2"});
    CScriptedInteraction ui;
    ui.ExpectChoice("slette siden", 1); // Nej
    EXPECT_EQ(ConfirmAndDeletePage(*site, site->PageAt(0), ui), -1);
    EXPECT_EQ(site->PageCount(), 2);
    ui.ExpectChoice("slette siden", 0); // Ja
    EXPECT_EQ(ConfirmAndDeletePage(*site, site->PageAt(0), ui), 0);
    EXPECT_EQ(site->PageCount(), 1);
    EXPECT_FALSE(CanDeletePage(1));
    EXPECT_TRUE(CanDeletePage(2));

    ui.ExpectMessage(IDS_PAGE_ID_NOT_UNIQUE, EAnswer::Ok);
    EXPECT_EQ(AddNamedPage(*site, "Side2", "Igen", ui), nullptr);
    ui.ExpectMessage(IDS_PAGE_ID_NOT_UNIQUE, EAnswer::Ok);
    EXPECT_EQ(AddNamedPage(*site, "", "Tom", ui), nullptr);
    CPage* added = AddNamedPage(*site, "Kontakt", "Kontakt os", ui);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(site->CurrentPage(), added);
    EXPECT_EQ(added->Width(), 500);

    EXPECT_TRUE(CheckPageWindowLimit(9, true, ui));
    ui.ExpectMessage("Tilføj Side", EAnswer::Ok);
    EXPECT_FALSE(CheckPageWindowLimit(10, true, ui));
    ui.ExpectMessage("Vis Side\" igen", EAnswer::Ok);
    EXPECT_FALSE(CheckPageWindowLimit(10, false, ui));
    EXPECT_TRUE(ui.Verify());
}

TEST(Site, PageLimitDisablesAdding) {
    auto site = SiteWithPages({});
    EXPECT_FALSE(CanAddPage(nullptr));
    for (int i = 0; i < CSite::kMaxPages; ++i)
        site->AddPage(std::make_unique<CPage>(*site, site->MakeUniquePageIdentifier(), "w"));
    EXPECT_EQ(site->PageAt(499).Identifier(), "Side500");
    EXPECT_FALSE(CanAddPage(site.get()));
    CScriptedInteraction ui;
    EXPECT_EQ(AddNamedPage(*site, "Side501", "w", ui), nullptr);
}

TEST(RelinkMaps, KeysAndValuesAreLowerCasedAndReplacedOnReAdd) {
    CRelinkMaps maps;
    maps.AddFile("C:\\Billeder\\Sol.JPG", "/home/Ida/Sol.jpg");
    EXPECT_EQ(maps.FindFile("c:\\billeder\\sol.jpg"), "/home/ida/sol.jpg");
    EXPECT_EQ(maps.FindFile("C:\\BILLEDER\\SOL.JPG"), "/home/ida/sol.jpg");
    EXPECT_FALSE(maps.FindFile("C:\\Billeder\\Maane.jpg").has_value());
    maps.AddFile("C:\\billeder\\SOL.jpg", "/mnt/sol.jpg");
    EXPECT_EQ(maps.FileCount(), 1u);
    EXPECT_EQ(maps.FindFile("c:\\billeder\\sol.jpg"), "/mnt/sol.jpg");

    // Windows-1252: Æ (0xC6), Ø (0xD8), Å (0xC5) fold; × (0xD7) and ß (0xDF) do not.
    EXPECT_EQ(CRelinkMaps::ToLower("\xC6\xD8\xC5\xD7\xDF\xDE\xC0Z"),
              "\xE6\xF8\xE5\xD7\xDF\xFE\xE0z");
    maps.AddFolder("C:\\\xC6"
                   "BLER",
                   "D:\\Frugt");
    EXPECT_EQ(maps.FindFolder("c:\\\xE6"
                              "bler"),
              "d:\\frugt");
    EXPECT_EQ(maps.FolderCount(), 1u);
    maps.Clear();
    EXPECT_EQ(maps.FileCount() + maps.FolderCount(), 0u);
}

TEST(PageProperties, SizesAreClampedAndRecordedOnlyWhenTheyChange) {
    EXPECT_EQ(ClampPageWidth(5), 10);
    EXPECT_EQ(ClampPageWidth(-300), 10);
    EXPECT_EQ(ClampPageWidth(2000), 2000);
    EXPECT_EQ(ClampPageWidth(2001), 2000);
    EXPECT_EQ(ClampPageHeight(30000), 30000);
    EXPECT_EQ(ClampPageHeight(29999), 29999);
    EXPECT_EQ(ClampPageHeight(30001), 30000);
    EXPECT_EQ(ClampPageHeight(10), 10);

    CPageFixture f;
    CPage& page = f.Page();
    int sizeEvents = 0;
    CPageEvents events;
    events.sizeChanged = [&] { ++sizeEvents; };
    page.AddObserver(&events);
    page.SetPublishPending(false);
    EXPECT_EQ(ApplyPageWidth(page, 5), 10);
    EXPECT_EQ(page.Width(), 10);
    EXPECT_EQ(page.Background().GetWidth(), 10);
    EXPECT_TRUE(page.PublishPending());
    EXPECT_EQ(ApplyPageWidth(page, 3), 10); // same clamped value: no step
    EXPECT_EQ(ApplyPageHeight(page, 40000), 30000);
    EXPECT_EQ(page.Background().GetHeight(), 30000);
    EXPECT_EQ(f.Undo().Count(EUndoKind::PageProperties), 2);
    EXPECT_EQ(sizeEvents, 2);
}

TEST(PageProperties, IdentifierAndTitleChanges) {
    CPageFixture f;
    f.site.AddPage(std::make_unique<CPage>(f.site, "Side2", "To"));
    CPage& page = f.Page();
    CScriptedInteraction ui;
    EXPECT_EQ(ApplyPageIdentifier(page, "Side1", ui), EIdentifierChange::Unchanged);
    ui.ExpectMessage(IDS_PAGE_ID_NOT_UNIQUE, EAnswer::Ok);
    EXPECT_EQ(ApplyPageIdentifier(page, "Side2", ui), EIdentifierChange::Refused);
    ui.ExpectMessage("Ikke unik side identifikation, vælg et andet navn.", EAnswer::Ok);
    EXPECT_EQ(ApplyPageIdentifier(page, "", ui), EIdentifierChange::Refused);
    EXPECT_EQ(page.Identifier(), "Side1");
    EXPECT_EQ(f.Undo().Total(), 0);
    EXPECT_EQ(ApplyPageIdentifier(page, "Hjem", ui), EIdentifierChange::Changed);
    EXPECT_EQ(page.Identifier(), "Hjem");
    EXPECT_FALSE(ApplyPageTitle(page, "Test"));
    EXPECT_TRUE(ApplyPageTitle(page, "Velkommen"));
    EXPECT_EQ(page.WebName(), "Velkommen");
    EXPECT_EQ(f.Undo().Count(EUndoKind::PageProperties), 2);
    ApplyHeadHtml(page, "<meta>", "init()", {"a.js", "b.css"});
    EXPECT_EQ(page.OnloadCode(), "init()");
    EXPECT_EQ(page.UsedFiles().size(), 2u);
    EXPECT_EQ(f.Undo().Count(EUndoKind::PageProperties), 3);
    EXPECT_TRUE(ui.Verify());

    EXPECT_FALSE(PagePropertiesEnabled(nullptr, &page));
    pwtest::CEditingText editing(page);
    EXPECT_FALSE(PagePropertiesEnabled(&f.site, &page));
}

TEST(PageProperties, SizePresetListsInsertTheOwnSizeFirst) {
    CSizePresets p = PageSizePresets(400, 400);
    EXPECT_EQ(p.entries, (std::vector<std::string>{"400 x 400", "640 x 480", "740 x 600"}));
    EXPECT_EQ(p.selected, 0);
    EXPECT_EQ(PageSizePresets(740, 600).selected, 2);
    p = PageSizePresets(500, 500);
    EXPECT_EQ(p.entries,
              (std::vector<std::string>{"500 x 500", "400 x 400", "640 x 480", "740 x 600"}));
    EXPECT_EQ(p.selected, 0);
    p = SiteSizePresets(600, 800);
    EXPECT_EQ(p.entries, (std::vector<std::string>{"400 x 400", "400 x 600", "600 x 800"}));
    EXPECT_EQ(p.selected, 2);
    EXPECT_EQ(SiteSizePresets(640, 480).entries.front(), "640 x 480");

    CPageFixture f;
    p = PageSizePresets(f.Page().Width(), f.Page().Height()); // 640 x 480 is a preset
    EXPECT_EQ(p.selected, 1);
    EXPECT_FALSE(ApplyPageSizePreset(f.Page(), p, 1));
    EXPECT_TRUE(ApplyPageSizePreset(f.Page(), p, 2));
    EXPECT_EQ(f.Page().Width(), 740);
    EXPECT_EQ(f.Page().Height(), 600);
    EXPECT_EQ(f.Undo().Total(), 1);
    EXPECT_FALSE(ApplyPageSizePreset(f.Page(), p, 7));
}

TEST(PageProperties, TransferOfDefaultsReachesEveryPage) {
    auto site = SiteWithPages({"Side1", "Side2", "Side3"});
    site->PageAt(1).SetBackground(std::make_unique<CBackgroundFill>());
    site->PageAt(1).Background().SetTiled(false);
    int refreshed = 0;
    TextLinkRefresh saved = TextLinkRefreshHook();
    TextLinkRefreshHook() = [&](CPage&) { ++refreshed; };

    CSiteDefaults d = DefaultsOf(*site);
    d.width = 420;
    d.height = 99999;
    d.fill.SetGradient(CFillGradient());
    d.fill.SetHorizontal(false);
    d.visitedLink = CColor(1, 1, 1);

    CScriptedInteraction ui;
    ui.ExpectChoice("overføre indstillingerne", 1);
    EXPECT_FALSE(TransferDefaultsToPages(*site, d, ui));
    EXPECT_EQ(site->PageAt(0).Width(), 500);

    ui.ExpectChoice("overføre indstillingerne", 0);
    EXPECT_TRUE(TransferDefaultsToPages(*site, d, ui));
    for (int i = 0; i < 3; ++i) {
        const CPage& page = site->PageAt(i);
        EXPECT_EQ(page.Width(), 420);
        EXPECT_EQ(page.Height(), 30000);
        EXPECT_EQ(page.Background().GetType(), CBackgroundFill::fillGradient);
        EXPECT_FALSE(page.Background().IsHorizontal());
        EXPECT_EQ(page.Background().GetGradient().angle, 90);
        EXPECT_EQ(page.Background().GetWidth(), 420);
        EXPECT_EQ(static_cast<CCountingUndoRecorder&>(page.History()).Total(), 1);
    }
    EXPECT_FALSE(site->PageAt(1).Background().IsTiled()); // kept from the old fill
    EXPECT_TRUE(site->PageAt(0).Background().IsTiled());
    // The link colours changed, so the texts of every page are drawn again,
    // not only those of the first page.
    EXPECT_EQ(refreshed, 3);
    EXPECT_EQ(site->visitedLinkColour, CColor(1, 1, 1));
    EXPECT_EQ(ui.MaxWaitCount(), 1);
    EXPECT_EQ(ui.WaitCount(), 0);
    // The transfer does not touch the defaults themselves.
    EXPECT_EQ(site->defaultWidth, 500);
    ApplySiteDefaults(*site, d);
    EXPECT_EQ(site->defaultHeight, 30000);
    EXPECT_EQ(site->DefaultFill().GetType(), CBackgroundFill::fillGradient);
    TextLinkRefreshHook() = saved;
    EXPECT_TRUE(ui.Verify());
}

TEST(PageProperties, MetaTagsMarkTheSiteModified) {
    auto site = SiteWithPages({"Side1"});
    site->MarkSaved();
    ApplyMetaTags(*site, "hund, kat", "Om dyr");
    EXPECT_EQ(site->keywords, "hund, kat");
    EXPECT_EQ(site->description, "Om dyr");
    EXPECT_FALSE(site->IsSaved());
}
