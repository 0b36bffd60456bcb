// Page items, the band rule, item list operations, selection and object sets.
#include "model/ButtonText.h"
#include "model/EllipseObject.h"
#include "model/ObjectSet.h"
#include "model/RectObject.h"
#include "model/ObjectFill.h"
#include "tests/model/PageTestSupport.h"
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using pwtest::Box;
using pwtest::CBoxObject;
using pwtest::CPageFixture;

namespace {
std::unique_ptr<CRectObject> Rect(double cx, double cy, int w, int h) {
    return std::make_unique<CRectObject>(DPOINT{cx, cy}, CObjectSize{w, h});
}
} // namespace

TEST(PageItem, NewItemsStayBelowTheTopBand) {
    CPageFixture f;
    CPage& page = f.Page();
    CPageItem& counter = page.InsertItem(Box({0, 0, 10, 10}, KIND_COUNTER));
    CPageItem& rect = page.InsertItem(Rect(50, 50, 20, 20));
    EXPECT_EQ(page.IndexOf(rect), 0);
    EXPECT_EQ(page.IndexOf(counter), 1);
    EXPECT_EQ(page.TopBandStart(), 1);

    // Forms, animated GIF pictures and HTML texts join the top band at the end.
    CPageItem& form = page.InsertItem(Box({0, 0, 5, 5}, KIND_FORM));
    auto gif = Rect(10, 10, 4, 4);
    gif->GetFill()->SetAnimatedGif(true);
    CPageItem& animated = page.InsertItem(std::move(gif));
    CPageItem& htmlText =
        page.InsertItem(std::make_unique<CBoxObject>(KIND_TEXT, CRect{0, 0, 9, 9}, false));
    CPageItem& imageText =
        page.InsertItem(std::make_unique<CBoxObject>(KIND_TEXT, CRect{0, 0, 9, 9}, true));
    CPageItem& html = page.InsertItem(Box({0, 0, 9, 9}, KIND_HTML));
    EXPECT_EQ(f.Order(), (std::vector<const CPageItem*>{&rect, &imageText, &html, &counter, &form,
                                                        &animated, &htmlText}));
    EXPECT_EQ(page.TopBandStart(), 3);

    // A counter-kind item in the middle is not part of the band: only the
    // trailing run is.
    page.MoveItemTo(counter, 0);
    EXPECT_EQ(page.IndexOf(counter), 0);
    EXPECT_EQ(page.TopBandStart(), 4);
}

TEST(PageItem, ToolCreatesOneSelectedObjectBelowTheTopBand) {
    CPageFixture f;
    CPage& page = f.Page();
    page.InsertItem(Box({0, 0, 10, 10}, KIND_COUNTER));
    CPageItem* rect = page.CreateFromTool(ETool::Rectangle, {100, 60});
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->Normal().GetKind(), KIND_RECT);
    EXPECT_DOUBLE_EQ(rect->Normal().GetCenter().x, 99.5);
    EXPECT_EQ(rect->Normal().GetSize(), (CObjectSize{1, 1}));
    EXPECT_EQ(page.IndexOf(*rect), 0);
    EXPECT_EQ(page.SingleSelectedItem(), rect);
    EXPECT_EQ(f.Undo().Count(EUndoKind::Insert), 1);

    CPageItem* ellipse = page.CreateFromTool(ETool::Circle, {10, 10});
    ASSERT_NE(ellipse, nullptr);
    EXPECT_EQ(ellipse->Normal().GetKind(), KIND_ELLIPSE);
    EXPECT_EQ(page.SingleSelectedItem(), ellipse);
    EXPECT_EQ(page.SelectedSetCount(), 1);
    EXPECT_EQ(rect->Set(), nullptr);

    EXPECT_EQ(page.CreateFromTool(ETool::Arrow, {5, 5}), nullptr);
    EXPECT_EQ(page.CreateFromTool(ETool::Text, {5, 5}), nullptr); // no text maker installed
    EXPECT_EQ(page.ItemCount(), 3);
}

TEST(PageItem, TwinsMoveTogetherAndShareTheCaption) {
    CPageFixture f;
    CPageItem& item = f.Page().InsertItem(Rect(50, 50, 20, 10));
    EXPECT_EQ(&item.Current(), &item.Normal());
    EXPECT_EQ(item.Other(), nullptr);
    item.SetEditingMouseOver(true); // no twin: stays on the normal object
    EXPECT_FALSE(item.IsEditingMouseOver());

    item.AttachMouseOver(item.Normal().Clone());
    ASSERT_TRUE(item.HasMouseOver());
    EXPECT_TRUE(item.IsEditingMouseOver());
    EXPECT_EQ(&item.Current(), item.MouseOver());
    EXPECT_EQ(item.Other(), &item.Normal());

    item.MoveBy(3, -2);
    EXPECT_DOUBLE_EQ(item.Normal().GetCenter().x, 53);
    EXPECT_DOUBLE_EQ(item.MouseOver()->GetCenter().y, 48);

    auto& twin = static_cast<CShapeObject&>(item.Current());
    CButtonText label = *twin.GetButtonText();
    label.text = "Klik her";
    label.fontSize = 30;
    twin.SetButtonText(label);
    item.SynchroniseTwins();
    const auto& normal = static_cast<const CShapeObject&>(item.Normal());
    EXPECT_EQ(normal.GetButtonText()->text, "Klik her");
    EXPECT_NE(normal.GetButtonText()->fontSize, 30); // only the caption travels
    EXPECT_FALSE(normal.IsDirty());                  // rendered again through the tile buffer

    label.text = "Anden";
    twin.SetButtonText(label);
    item.SetSyncTwins(false);
    EXPECT_EQ(normal.GetButtonText()->text, "Klik her");
    item.SetSyncTwins(true);
    EXPECT_EQ(normal.GetButtonText()->text, "Anden");

    std::unique_ptr<CPageObject> removed = item.RemoveMouseOver();
    EXPECT_NE(removed, nullptr);
    EXPECT_FALSE(item.HasMouseOver());
    EXPECT_FALSE(item.IsEditingMouseOver());
    EXPECT_EQ(&item.Current(), &item.Normal());
}

TEST(PageItem, RemovingAndDeletingItemsKeepsSetsConsistent) {
    CPageFixture f;
    CPage& page = f.Page();
    auto items = f.AddBoxes({{0, 0, 10, 10}, {20, 0, 30, 10}, {40, 0, 50, 10}, {60, 0, 70, 10}});
    int itemEvents = 0;
    CPageEvents events;
    events.itemsChanged = [&] { ++itemEvents; };
    page.AddObserver(&events);

    page.SelectOnly(*items[0]);
    std::unique_ptr<CPageItem> gone = page.RemoveItem(*items[0]);
    ASSERT_EQ(gone.get(), items[0]);
    EXPECT_EQ(gone->Set(), nullptr);
    EXPECT_TRUE(page.Sets().empty()); // the emptied selection went with it
    EXPECT_EQ(page.ItemCount(), 3);
    EXPECT_EQ(page.RemoveItem(*gone), nullptr);
    EXPECT_EQ(itemEvents, 1);

    // Put it back on top, then replace it by another.
    EXPECT_EQ(page.PutItemAt(99, std::move(gone)), nullptr);
    EXPECT_EQ(page.IndexOf(*items[0]), 3);
    auto fresh = std::make_unique<CPageItem>(Box({5, 5, 6, 6}));
    CPageItem* freshItem = fresh.get();
    std::unique_ptr<CPageItem> replaced = page.PutItemAt(3, std::move(fresh));
    EXPECT_EQ(replaced.get(), items[0]);
    EXPECT_EQ(page.IndexOf(*freshItem), 3);

    // A group that is not selected survives deleting the selection.
    page.SelectOnly(*items[1]);
    page.AddToSelection(*items[2]);
    page.Sets().front()->SetGroup(true);
    page.DeselectAll();
    page.SelectOnly(*items[3]);
    page.AddToSelection(*freshItem);
    std::vector<std::unique_ptr<CPageItem>> deleted = page.DeleteSelected();
    ASSERT_EQ(deleted.size(), 2u);
    EXPECT_EQ(deleted[0].get(), items[3]);
    EXPECT_EQ(deleted[1].get(), freshItem);
    EXPECT_EQ(deleted[0]->Set(), nullptr);
    EXPECT_EQ(page.ItemCount(), 2);
    ASSERT_EQ(page.Sets().size(), 1u);
    EXPECT_TRUE(page.Sets().front()->IsGroup());
    EXPECT_EQ(items[1]->Set(), page.Sets().front().get());
}

TEST(PageItem, SelectionRules) {
    CPageFixture f;
    CPage& page = f.Page();
    auto items = f.AddBoxes({{0, 0, 10, 10}, {20, 0, 30, 10}, {40, 0, 50, 10}, {60, 0, 70, 10}});
    EXPECT_EQ(page.SingleSelectedSet(), nullptr);
    page.AddToSelection(*items[0]); // nothing selected: a new selection
    page.AddToSelection(*items[1]);
    EXPECT_EQ(page.SelectedSetCount(), 1);
    EXPECT_EQ(page.SelectedItemCount(), 2);
    EXPECT_EQ(page.SingleSelectedItem(), nullptr);
    EXPECT_EQ(page.SelectionArea(), (CRect{0, 0, 30, 10}));

    // Make a group of the two, then select another item alone.
    page.Sets().front()->SetGroup(true);
    page.SelectOnly(*items[2]);
    EXPECT_EQ(page.Sets().size(), 2u);
    EXPECT_FALSE(page.Sets()[0]->IsSelected());
    EXPECT_EQ(page.SingleSelectedItem(), items[2]);
    // Adding to a selection never puts the item into a group.
    page.AddToSelection(*items[3]);
    EXPECT_EQ(items[3]->Set(), items[2]->Set());
    // Selecting a group member selects its group.
    page.SelectOnly(*items[0]);
    EXPECT_EQ(page.SingleSelectedSet(), items[0]->Set());
    EXPECT_EQ(items[2]->Set(), nullptr);
    page.SelectAll();
    EXPECT_EQ(page.SelectedSetCount(), 2);
    EXPECT_EQ(page.SelectedItemCount(), 4);

    std::unique_ptr<CObjectSet> group = page.RemoveSet(*items[0]->Set());
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(items[0]->Set(), nullptr);
    EXPECT_EQ(page.Sets().size(), 1u);
    page.DeselectAll();
    EXPECT_TRUE(page.Sets().empty());
    for (CPageItem* item : items)
        EXPECT_EQ(item->Set(), nullptr);
}

TEST(ObjectSet, FrameHandlesAndCapabilitiesFollowTheMembers) {
    CPageFixture f;
    CPage& page = f.Page();
    auto a = Box({10, 20, 30, 40});
    a->canRotate = false;
    CPageItem& first = page.InsertItem(std::move(a));
    CPageItem& second = page.InsertItem(Box({50, 5, 61, 25}));
    CObjectSet set(&first);
    EXPECT_FALSE(set.CanRotate());
    EXPECT_TRUE(set.CanScale());
    set.Add(&second);
    EXPECT_EQ(set.Bounds(), (CRect{10, 5, 61, 40}));
    EXPECT_EQ(set.FrameWidth(), 51);
    EXPECT_EQ(set.FrameHeight(), 35);
    EXPECT_DOUBLE_EQ(set.Centre().x, 35.5);
    EXPECT_DOUBLE_EQ(set.Centre().y, 22.5);
    const DPOINT expected[8] = {{10, 5},    {35.5, 5}, {61, 5},    {10, 22.5},
                                {61, 22.5}, {10, 40},  {35.5, 40}, {61, 40}};
    for (int k = 0; k < 8; ++k) {
        EXPECT_NEAR(set.Handles()[k].x, expected[k].x, 1e-9) << k;
        EXPECT_NEAR(set.Handles()[k].y, expected[k].y, 1e-9) << k;
    }

    set.MoveBy(4, -5);
    EXPECT_EQ(first.GetRect(), (CRect{14, 15, 34, 35}));
    EXPECT_EQ(set.Bounds(), (CRect{14, 0, 65, 35}));
    EXPECT_DOUBLE_EQ(set.Handles()[7].x, 65);

    set.Remove(&first);
    EXPECT_EQ(first.Set(), nullptr);
    EXPECT_TRUE(set.CanRotate());
    EXPECT_EQ(set.Bounds(), (CRect{54, 0, 65, 20}));
    EXPECT_EQ(set.FrameWidth(), 11);
}

TEST(ObjectSet, TurnedFrameFitsATurnedMember) {
    CPageFixture f;
    const double quarter = std::numbers::pi / 2;
    CPageItem& item = f.Page().InsertItem(
        std::make_unique<CRectObject>(DPOINT{200, 100}, CObjectSize{100, 50}, quarter));
    CObjectSet set(&item);
    // Straight, the frame is the turned box: 50 wide, 100 high.
    EXPECT_EQ(set.FrameWidth(), 50);
    EXPECT_EQ(set.FrameHeight(), 100);
    // Turned with the object, the frame is the object's own box again, its
    // handles on the object's handles.
    set.SetAngle(quarter);
    EXPECT_NEAR(set.FrameWidth(), 100, 1);
    EXPECT_NEAR(set.FrameHeight(), 50, 1);
    EXPECT_NEAR(set.Centre().x, 200, 1);
    EXPECT_NEAR(set.Centre().y, 100, 1);
    for (int k = 0; k < 8; ++k) {
        EXPECT_NEAR(set.Handles()[k].x, item.Normal().GetHandles()[k].x, 1.0) << k;
        EXPECT_NEAR(set.Handles()[k].y, item.Normal().GetHandles()[k].y, 1.0) << k;
    }
    set.SetGroup(true);
    set.SetGroup(false); // ungrouping straightens the frame
    EXPECT_EQ(set.Angle(), 0.0);
    EXPECT_EQ(set.FrameWidth(), 50);
}

TEST(PageItem, RenderAllSkipsWhatIsNotDrawn) {
    CPageFixture f;
    CPage& page = f.Page();
    CPageItem& rect = page.InsertItem(Rect(40, 40, 30, 20));
    auto box = Box({0, 0, 4, 4});
    CBoxObject* boxObject = box.get();
    CPageItem& other = page.InsertItem(std::move(box));
    ASSERT_TRUE(rect.Normal().IsDirty());
    page.SelectOnly(other);
    const CEditState dragging{true, nullptr};
    EXPECT_FALSE(page.IsDrawn(other, dragging));
    EXPECT_TRUE(page.IsDrawn(rect, dragging));
    page.RenderAll(&dragging);
    EXPECT_FALSE(rect.Normal().IsDirty());
    EXPECT_NE(rect.Normal().GetImage(), nullptr);
    EXPECT_EQ(boxObject->renders, 0);
    EXPECT_FALSE(page.Background().NeedsRender()); // a solid background

    EXPECT_FALSE(page.IsDrawn(other, CEditState{false, &other.Current()}));
    page.RenderAll();
    EXPECT_EQ(boxObject->renders, 1);
    EXPECT_EQ(page.FindItem(*boxObject), &other);
}

TEST(PageItem, ItemOrderIsOnlyReplacedByAPermutation) {
    CPageFixture f;
    auto items = f.AddBoxes({{0, 0, 1, 1}, {0, 0, 2, 2}, {0, 0, 3, 3}});
    f.Page().SetItemOrder({items[2], items[2], items[0]});
    EXPECT_EQ(f.Order(), (std::vector<const CPageItem*>{items[0], items[1], items[2]}));
    f.Page().SetItemOrder({items[2], items[0]});
    EXPECT_EQ(f.Order(), (std::vector<const CPageItem*>{items[0], items[1], items[2]}));
    f.Page().SetItemOrder({items[2], items[0], items[1]});
    EXPECT_EQ(f.Order(), (std::vector<const CPageItem*>{items[2], items[0], items[1]}));
}

TEST(BackgroundFill, SettersTrackTypeAndRendering) {
    CBackgroundFill fill(CColor(9, 9, 9));
    EXPECT_TRUE(fill.NeedsRender());
    EXPECT_TRUE(fill.IsTiled());
    EXPECT_EQ(fill.GetWidth(), -1);
    EXPECT_TRUE(fill.Render()); // solid: nothing to make
    fill.SetWidth(100);
    EXPECT_TRUE(fill.NeedsRender());
    fill.SetGradient(CFillGradient());
    fill.SetHorizontal(false);
    EXPECT_EQ(fill.GetGradient().angle, 90);
    EXPECT_TRUE(fill.NeedsRender());
    fill.SetColour(CColor(1, 2, 3));
    EXPECT_EQ(fill.GetType(), CBackgroundFill::fillSolid);
    EXPECT_FALSE(fill.NeedsRender());
    fill.SetHorizontal(true); // a solid fill has nothing to redo
    EXPECT_FALSE(fill.NeedsRender());
    EXPECT_EQ(fill.GetGradient().angle, 0);
    fill.SetImagePath("/x/sol.jpg");
    CBackgroundFill copy(fill);
    EXPECT_EQ(copy.GetImagePath(), "/x/sol.jpg");
    EXPECT_TRUE(copy.NeedsRender());
    EXPECT_EQ(copy.GetWidth(), 100);
}
