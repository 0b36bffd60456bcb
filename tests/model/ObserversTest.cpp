// Many listeners on one page, site and document: each hears every change
// until it leaves, and may leave while being called.
#include "model/Arrange.h"
#include "model/ObjectSet.h"
#include "model/Observers.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include <gtest/gtest.h>

namespace {
struct CSiteFixture {
    CSite site{"Test", CBackgroundFill(), 640, 480, CColor(0, 0, 255), CColor(128, 0, 128)};
    CPage& page = site.AddPage(std::make_unique<CPage>(site, "Side1", "Forside"));
};

struct CCountingView : CPageObserver {
    std::vector<CRect> repaints;
    int selections = 0, items = 0, properties = 0;
    void OnPageRepaint(CPage&, const CRect& area) override { repaints.push_back(area); }
    void OnSelectionChanged(CPage&) override { ++selections; }
    void OnItemsChanged(CPage&) override { ++items; }
    void OnPagePropertiesChanged(CPage&) override { ++properties; }
};
} // namespace

TEST(Observers, EveryPageListenerSeesAMoveUntilItLeaves) {
    CSiteFixture f;
    CCountingView a, b;
    f.page.AddObserver(&a);
    f.page.AddObserver(&b);
    f.page.AddObserver(&a); // once is enough
    CPageItem& item = f.page.InsertItem(
        std::make_unique<CRectObject>(DPOINT{50, 50}, CObjectSize{20, 20}));
    f.page.SelectOnly(item);
    const CRect before = item.GetRect();
    ASSERT_TRUE(MoveSelection(f.page, 30, 0));
    for (CCountingView* view : {&a, &b}) {
        EXPECT_EQ(view->items, 1);
        EXPECT_EQ(view->selections, 1);
        ASSERT_EQ(view->repaints.size(), 2u); // the insert, then the move
        // The move repaints where the item was and where it is now.
        EXPECT_EQ(view->repaints.back(), UnionRect(before, item.GetRect()));
    }
    f.page.RemoveObserver(&b);
    f.page.SetWebName("Ny");
    ASSERT_TRUE(MoveSelection(f.page, 0, 10));
    EXPECT_EQ(a.repaints.size(), 3u);
    EXPECT_EQ(a.properties, 1);
    EXPECT_EQ(b.repaints.size(), 2u);
    EXPECT_EQ(b.properties, 0);
}

TEST(Observers, AListenerMayLeaveWhileBeingCalled) {
    CSiteFixture f;
    struct CLeaving : CPageObserver {
        int calls = 0;
        void OnPagePropertiesChanged(CPage& page) override {
            ++calls;
            page.RemoveObserver(this);
        }
    } leaving;
    CCountingView staying;
    f.page.AddObserver(&leaving);
    f.page.AddObserver(&staying);
    f.page.SetWebName("En");
    f.page.SetWebName("To");
    EXPECT_EQ(leaving.calls, 1);
    EXPECT_EQ(staying.properties, 2);
}

TEST(Observers, SiteListenersHearPagesComeGoAndTheSavedMark) {
    CSiteFixture f;
    struct CPageList : CSiteObserver {
        std::vector<std::string> log;
        void OnPageAdded(CSite&, CPage& p) override { log.push_back("+" + p.Identifier()); }
        void OnPageRemoved(CSite&, CPage& p, int i) override {
            log.push_back("-" + p.Identifier() + std::to_string(i));
        }
        void OnPageRenamed(CSite&, CPage& p) override { log.push_back("=" + p.Identifier()); }
        void OnSiteModified(CSite&) override { log.push_back("m"); }
        void OnSiteSaved(CSite&) override { log.push_back("s"); }
    } list;
    f.site.AddObserver(&list);
    f.site.MarkSaved();
    CPage& second = f.site.AddPage(std::make_unique<CPage>(f.site, "Side2", "Mere"));
    second.SetIdentifier("Om");
    f.site.DeletePage(second);
    EXPECT_EQ(list.log, (std::vector<std::string>{"s", "+Side2", "m", "=Om", "-Om1", "m"}));
}

TEST(Observers, PageIsShownWhileAWindowSaysSo) {
    CSiteFixture f;
    struct CWindow : CPageObserver {
        bool ShowsPage(const CPage&) const override { return true; }
    } window;
    CCountingView inspector;
    f.page.AddObserver(&inspector);
    EXPECT_FALSE(f.page.IsShown());
    f.page.AddObserver(&window);
    EXPECT_TRUE(f.page.IsShown());
    f.page.RemoveObserver(&window);
    EXPECT_FALSE(f.page.IsShown());
}
