// Stacking, alignment, grouping and the guide commands.
#include "model/Arrange.h"
#include "tests/support/EditingText.h"
#include "model/Grouping.h"
#include "model/Guides.h"
#include "model/ObjectSet.h"
#include "services/StringIds.h"
#include "tests/model/PageTestSupport.h"
#include <gtest/gtest.h>

using pwtest::Box;
using pwtest::CPageFixture;

namespace {
using Order = std::vector<const CPageItem*>;

void Select(CPage& page, std::initializer_list<CPageItem*> items) {
    page.DeselectAll();
    for (CPageItem* item : items)
        page.AddToSelection(*item);
}
} // namespace

TEST(Stacking, BringForwardSwapsOnlyWithUnselectedNeighbours) {
    CPageFixture f;
    auto it = f.AddBoxes({{0, 0, 1, 1}, {0, 0, 2, 2}, {0, 0, 3, 3}});
    CPageItem *a = it[0], *b = it[1], *c = it[2];
    Select(f.Page(), {a, b});
    ASSERT_TRUE(Stack(f.Page(), EStackCommand::BringForward));
    EXPECT_EQ(f.Order(), (Order{a, c, b}));
    // The menu turns the command off with B on top, but A can still pass C.
    EXPECT_FALSE(CanStack(&f.Page(), EStackCommand::BringForward));
    ASSERT_TRUE(Stack(f.Page(), EStackCommand::BringForward));
    EXPECT_EQ(f.Order(), (Order{c, a, b}));
    EXPECT_EQ(f.Undo().Count(EUndoKind::Arrange), 2);
    // Nothing more can move: no step is recorded.
    EXPECT_FALSE(Stack(f.Page(), EStackCommand::BringForward));
    EXPECT_EQ(f.Undo().Count(EUndoKind::Arrange), 2);

    ASSERT_TRUE(Stack(f.Page(), EStackCommand::SendBackward));
    EXPECT_EQ(f.Order(), (Order{a, c, b}));
    ASSERT_TRUE(Stack(f.Page(), EStackCommand::SendToBack));
    EXPECT_EQ(f.Order(), (Order{a, b, c}));
    EXPECT_FALSE(CanStack(&f.Page(), EStackCommand::SendToBack));
    EXPECT_FALSE(CanStack(&f.Page(), EStackCommand::SendBackward));
}

TEST(Stacking, EnablingFollowsTheBands) {
    CPageFixture f;
    CPage& page = f.Page();
    EXPECT_FALSE(CanStack(nullptr, EStackCommand::BringToFront));
    auto it = f.AddBoxes({{0, 0, 1, 1}, {0, 0, 2, 2}, {0, 0, 3, 3}});
    CPageItem& counter = page.InsertItem(Box({0, 0, 5, 5}, KIND_COUNTER));
    EXPECT_FALSE(CanStack(&page, EStackCommand::BringToFront)); // nothing selected

    // The topmost normal item is already as far up as it may go.
    Select(page, {it[2]});
    EXPECT_FALSE(CanStack(&page, EStackCommand::BringToFront));
    EXPECT_FALSE(CanStack(&page, EStackCommand::BringForward));
    EXPECT_TRUE(CanStack(&page, EStackCommand::SendToBack));
    EXPECT_TRUE(CanStack(&page, EStackCommand::SendBackward));

    // A normal item brought to the front stays below the counter.
    Select(page, {it[0]});
    ASSERT_TRUE(Stack(page, EStackCommand::BringToFront));
    EXPECT_EQ(f.Order(), (Order{it[1], it[2], it[0], &counter}));

    // The counter alone cannot go below the normal band.
    Select(page, {&counter});
    EXPECT_FALSE(CanStack(&page, EStackCommand::SendToBack));
    EXPECT_FALSE(CanStack(&page, EStackCommand::SendBackward));
    EXPECT_FALSE(CanStack(&page, EStackCommand::BringToFront));
    EXPECT_FALSE(Stack(page, EStackCommand::SendBackward));
    EXPECT_EQ(page.IndexOf(counter), 3);

    // Two top-band items trade places among themselves.
    CPageItem& form = page.InsertItem(Box({0, 0, 5, 5}, KIND_FORM));
    Select(page, {&form});
    ASSERT_TRUE(Stack(page, EStackCommand::SendToBack));
    EXPECT_EQ(f.Order(), (Order{it[1], it[2], it[0], &form, &counter}));

    pwtest::CEditingText editing(page);
    EXPECT_FALSE(CanStack(&page, EStackCommand::BringToFront));
}

TEST(Stacking, MovedItemsKeepTheirOrderAcrossBothBands) {
    CPageFixture f;
    CPage& page = f.Page();
    auto n = f.AddBoxes({{0, 0, 1, 1}, {0, 0, 2, 2}, {0, 0, 3, 3}, {0, 0, 4, 4}});
    CPageItem& c1 = page.InsertItem(Box({0, 0, 5, 5}, KIND_COUNTER));
    CPageItem& c2 = page.InsertItem(Box({0, 0, 6, 6}, KIND_COUNTER));
    CPageItem& c3 = page.InsertItem(Box({0, 0, 7, 7}, KIND_COUNTER));
    Select(page, {n[0], n[2], &c1});
    EXPECT_FALSE(CanStack(&page, EStackCommand::BringToFront)); // n[2] is the top normal item
    ASSERT_TRUE(Stack(page, EStackCommand::BringToFront));
    EXPECT_EQ(f.Order(), (Order{n[1], n[3], n[0], n[2], &c2, &c3, &c1}));
    ASSERT_TRUE(Stack(page, EStackCommand::SendToBack));
    EXPECT_EQ(f.Order(), (Order{n[0], n[2], n[1], n[3], &c1, &c2, &c3}));
}

TEST(Alignment, TargetsStopAtThePageEdges) {
    CPageFixture f; // 640 x 480
    CPage& page = f.Page();
    auto it = f.AddBoxes({{-5, 0, 10, 10}, {30, 50, 60, 70}, {100, 20, 130, 45}});
    EXPECT_FALSE(CanAlign(&page));
    Select(page, {it[0], it[1], it[2]});
    ASSERT_TRUE(Align(page, EAlignCommand::Left));
    EXPECT_EQ(it[0]->GetRect().left, -5); // already beyond the target 0
    EXPECT_EQ(it[1]->GetRect(), (CRect{0, 50, 30, 70}));
    EXPECT_EQ(it[2]->GetRect(), (CRect{0, 20, 30, 45}));
    EXPECT_EQ(page.SingleSelectedSet()->Bounds(), (CRect{-5, 0, 30, 70}));

    ASSERT_TRUE(Align(page, EAlignCommand::Bottom));
    EXPECT_EQ(it[0]->GetRect().bottom, 70);
    EXPECT_EQ(it[2]->GetRect().bottom, 70);

    it[1]->MoveBy(620, 0); // right edge 650, past the page
    ASSERT_TRUE(Align(page, EAlignCommand::Right));
    EXPECT_EQ(it[0]->GetRect().right, 639);
    EXPECT_EQ(it[1]->GetRect().right, 650);
    ASSERT_TRUE(Align(page, EAlignCommand::Top));
    EXPECT_EQ(it[1]->GetRect().top, 45);
    EXPECT_EQ(f.Undo().Count(EUndoKind::Move), 4);
}

TEST(Alignment, GroupsMoveWholeAndEverySelectedSetTakesPart) {
    CPageFixture f;
    CPage& page = f.Page();
    auto it = f.AddBoxes({{200, 0, 210, 10},
                          {300, 0, 310, 10},
                          {50, 100, 60, 110},
                          {80, 100, 90, 110},
                          {500, 0, 510, 10}});
    // An unselected group first in the set list.
    Select(page, {it[4]});
    page.Sets().back()->SetGroup(true);
    // A group of two, and a plain selection.
    Select(page, {it[0], it[1]});
    ASSERT_TRUE(GroupOrUngroup(page));
    page.DeselectAll();
    page.SelectOnly(*it[0]);
    page.AddToSelection(*it[2]);
    page.AddToSelection(*it[3]);
    ASSERT_EQ(page.SelectedSetCount(), 2);
    ASSERT_TRUE(CanAlign(&page));
    ASSERT_TRUE(Align(page, EAlignCommand::Left));
    EXPECT_EQ(it[0]->GetRect().left, 50);
    EXPECT_EQ(it[1]->GetRect().left, 150); // moved with its group
    EXPECT_EQ(it[3]->GetRect().left, 50);
    EXPECT_EQ(it[4]->GetRect().left, 500);

    // One group alone is not aligned with itself.
    page.SelectOnly(*it[0]);
    EXPECT_FALSE(CanAlign(&page));
}

TEST(Grouping, EnablingTextsAndMembership) {
    CPageFixture f;
    CPage& page = f.Page();
    auto it = f.AddBoxes({{0, 0, 1, 1}, {0, 0, 2, 2}, {0, 0, 3, 3}, {0, 0, 4, 4}});
    EXPECT_EQ(GroupMenuTextId(nullptr), IDS_MENU_GROUP_UNGROUP);
    page.SelectOnly(*it[0]);
    EXPECT_EQ(GroupActionOf(&page), EGroupAction::None);
    EXPECT_EQ(GroupMenuTextId(&page), IDS_MENU_GROUP_UNGROUP);
    EXPECT_FALSE(GroupOrUngroup(page));
    EXPECT_EQ(f.Undo().Total(), 0);

    page.AddToSelection(*it[2]);
    EXPECT_EQ(GroupMenuTextId(&page), IDS_MENU_GROUP);
    ASSERT_TRUE(GroupOrUngroup(page));
    ASSERT_EQ(page.Sets().size(), 1u);
    CObjectSet* g1 = page.Sets().front().get();
    EXPECT_TRUE(g1->IsGroup());
    EXPECT_TRUE(g1->IsSelected());
    EXPECT_EQ(GroupMenuTextId(&page), IDS_MENU_UNGROUP);

    // A group and a selection merge, in set-list order.
    page.DeselectAll();
    page.SelectOnly(*it[3]);
    page.Sets().front()->SetSelected(true);
    page.AddToSelection(*it[1]);
    EXPECT_EQ(page.SelectedSetCount(), 2);
    EXPECT_EQ(GroupActionOf(&page), EGroupAction::Group);
    ASSERT_TRUE(GroupOrUngroup(page));
    ASSERT_EQ(page.Sets().size(), 1u);
    const CObjectSet& merged = *page.Sets().front();
    EXPECT_EQ(merged.Items(), (std::vector<CPageItem*>{it[0], it[2], it[3], it[1]}));
    for (CPageItem* item : it)
        EXPECT_EQ(item->Set(), &merged);

    ASSERT_TRUE(GroupOrUngroup(page));
    EXPECT_FALSE(page.Sets().front()->IsGroup());
    EXPECT_TRUE(page.Sets().front()->IsSelected()); // stays the selection
    EXPECT_EQ(f.Undo().Count(EUndoKind::Group), 3);
    pwtest::CEditingText editing(page);
    EXPECT_EQ(GroupMenuTextId(&page), IDS_MENU_GROUP_UNGROUP);
}

TEST(Guides, KeptSortedAndCapped) {
    CPageFixture f;
    CPage& page = f.Page();
    page.SetHeight(601);
    ASSERT_TRUE(InsertGuide(page, true));
    EXPECT_EQ(page.GuideAt(true, 0), 300);
    page.guidesHidden = true;
    ASSERT_TRUE(InsertGuide(page, true, -20));
    ASSERT_TRUE(InsertGuide(page, true, 9000));
    ASSERT_TRUE(InsertGuide(page, false, 17));
    EXPECT_FALSE(page.guidesHidden);
    EXPECT_EQ(page.Guides(true), (std::vector<int32_t>{0, 300, 601}));
    EXPECT_EQ(page.Guides(false), (std::vector<int32_t>{17}));

    for (int i = 0; i < 200; ++i)
        page.AddGuide(false, (i * 37) % 101);
    EXPECT_EQ(page.GuideCount(false), CPage::kMaxGuides);
    EXPECT_TRUE(std::is_sorted(page.Guides(false).begin(), page.Guides(false).end()));
    EXPECT_FALSE(CanInsertGuide(&page, false));
    EXPECT_FALSE(InsertGuide(page, false, 5));
    EXPECT_TRUE(CanInsertGuide(&page, true));

    EXPECT_EQ(HideGuidesMenuTextId(page), IDS_MENU_HIDE_GUIDES);
    ToggleHideGuides(page);
    EXPECT_EQ(HideGuidesMenuTextId(page), IDS_MENU_SHOW_GUIDES);
    ToggleUseGuides(page);
    EXPECT_FALSE(page.useGuides);
    ASSERT_TRUE(RemoveGuides(page));
    EXPECT_EQ(page.GuideCount(true) + page.GuideCount(false), 0);
    EXPECT_FALSE(CanRemoveGuides(&page));
    EXPECT_EQ(f.Undo().Total(), 0); // guides are not undo steps
}

TEST(Guides, DraggedSelectionSnapsToNearGuides) {
    CPageFixture f;
    CPage& page = f.Page();
    auto it = f.AddBoxes({{10, 10, 30, 40}, {200, 200, 210, 210}});
    page.AddGuide(true, 100);
    page.AddGuide(false, 60);
    page.SelectOnly(*it[0]);

    int32_t dx = 0, dy = 88; // top would be 98: within 3 of 100
    SnapToGuides(page, dx, dy);
    EXPECT_EQ(dy, 91); // top lands at 101, just below the guide
    EXPECT_EQ(dx, 0);
    dy = 62; // bottom would be 102: the bottom snaps onto the guide
    SnapToGuides(page, dx, dy);
    EXPECT_EQ(dy, 60);
    dy = 94; // top 104: four pixels away, no snap
    dx = 28; // right 58: within 3 of 60
    SnapToGuides(page, dx, dy);
    EXPECT_EQ(dy, 94);
    EXPECT_EQ(dx, 30);
    dx = 47; // left 57: left edge to 61
    SnapToGuides(page, dx, dy);
    EXPECT_EQ(dx, 51);
}

TEST(Guides, SpaceEvenlySpreadsItemsBetweenGuides) {
    CPageFixture f;
    CPage& page = f.Page();
    // Three 20-pixel items between the guides 0 and 100 (given out of order).
    auto it = f.AddBoxes({{0, 55, 10, 75}, {20, 5, 30, 25}, {40, 30, 50, 50}, {0, 150, 10, 170}});
    page.AddGuide(true, 100);
    page.AddGuide(true, 0);
    EXPECT_FALSE(CanSpaceEvenly(&page, true));
    Select(page, {it[0], it[1], it[2], it[3]});
    EXPECT_FALSE(CanSpaceEvenly(&page, false)); // no vertical guides
    ASSERT_TRUE(SpaceEvenly(page, true));
    EXPECT_EQ(it[1]->GetRect().top, 0);
    EXPECT_EQ(it[2]->GetRect().top, 40);
    EXPECT_EQ(it[0]->GetRect().top, 80);
    EXPECT_EQ(it[3]->GetRect().top, 150); // outside every interval
    EXPECT_EQ(page.SingleSelectedSet()->Bounds().top, 0);

    // One item alone is centred; one too tall for the gap is centred too.
    page.AddGuide(true, 200);
    Select(page, {it[3]});
    ASSERT_TRUE(SpaceEvenly(page, true));
    EXPECT_EQ(it[3]->GetRect(), (CRect{0, 140, 10, 160}));
    CPageItem& tall = page.InsertItem(Box({300, 0, 310, 130}));
    CPageItem& small = page.InsertItem(Box({320, 40, 330, 50}));
    Select(page, {&tall, &small});
    ASSERT_TRUE(SpaceEvenly(page, true));
    EXPECT_EQ((tall.GetRect().top + tall.GetRect().bottom) / 2, 50);
    EXPECT_EQ(small.GetRect().top, 0); // the smaller centre comes first

    // Groups refuse the command.
    ASSERT_TRUE(GroupOrUngroup(page));
    EXPECT_FALSE(CanSpaceEvenly(&page, true));
}

TEST(Guides, SpaceEvenlyKeepsEqualCentresInSetOrder) {
    CPageFixture f;
    CPage& page = f.Page();
    // Same centre 50 along x; different heights along y do not matter.
    auto it = f.AddBoxes({{40, 0, 60, 10}, {45, 20, 55, 30}, {40, 40, 60, 50}});
    page.AddGuide(false, 0);
    page.AddGuide(false, 300);
    Select(page, {it[2], it[0], it[1]});
    ASSERT_TRUE(SpaceEvenly(page, false));
    EXPECT_EQ(it[2]->GetRect().left, 0);
    // i = 1 of 3, width 20: centre 0 + trunc(50 * 280 * 0.01 + 10) = 150.
    EXPECT_EQ(it[0]->GetRect().left, 140);
    EXPECT_EQ(it[1]->GetRect().right, 300);
}

TEST(Guides, CentreBetweenGuidesInBothDirections) {
    CPageFixture f;
    CPage& page = f.Page();
    auto it = f.AddBoxes({{10, 10, 30, 25}, {500, 400, 520, 420}});
    Select(page, {it[0], it[1]});
    EXPECT_FALSE(CanCentreBetweenGuides(&page));
    page.AddGuide(true, 0);
    page.AddGuide(true, 101);
    page.AddGuide(false, 0);
    page.AddGuide(false, 50);
    ASSERT_TRUE(CanCentreBetweenGuides(&page));
    ASSERT_TRUE(CentreBetweenGuides(page));
    EXPECT_EQ(it[0]->GetRect(), (CRect{15, 43, 35, 58})); // (101-15)/2 = 43, (50-20)/2 = 15
    EXPECT_EQ(it[1]->GetRect(), (CRect{500, 400, 520, 420}));
    EXPECT_EQ(f.Undo().Count(EUndoKind::Move), 1);
    pwtest::CEditingText editing(page);
    EXPECT_FALSE(CanCentreBetweenGuides(&page));
}
