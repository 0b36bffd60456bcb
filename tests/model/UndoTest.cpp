#include "UndoTestSupport.h"
#include "tests/support/EditingText.h"
#include "model/TextObject.h"
#include "model/UndoCommands.h"
#include "model/UndoSnapshots.h"
#include <gtest/gtest.h>

using namespace pwundo;

namespace {
// A plain box that counts how many of its kind are alive, so the tests can
// see when the history lets removed items go.
class CCountedBox final : public CPageObject {
public:
    static inline int live = 0;
    explicit CCountedBox(CRect rect) {
        ++live;
        m_rect = rect;
        UpdateHandles();
    }
    ~CCountedBox() override { --live; }
    DPOINT GetCenter() const override {
        return {(m_rect.left + m_rect.right) / 2.0, (m_rect.top + m_rect.bottom) / 2.0};
    }
    void SetCenter(DPOINT) override {}
    void MoveBy(int32_t dx, int32_t dy) override { ShiftRectAndHandles(dx, dy); }
    CObjectSize GetSize() const override { return {m_rect.Width(), m_rect.Height()}; }
    void DrawInto(int32_t, int32_t, CPixMap&, const CColor&) override {}
    CRect GetBounds(bool) const override { return m_rect; }
    CRect GetHandleBounds() const override { return m_rect; }
    bool PrepareAndRender(CPixMap&) override { return true; }
    void UpdateHandles() override {
        SetBoxHandles(GetCenter(), m_rect.Width(), m_rect.Height(), 0.0);
    }
    ObjectKind GetKind() const override { return KIND_ELLIPSE; }
    int32_t EstimateBytes(double) const override { return 0; }
    void Save(CByteWriter& w) const override {
        w.WriteInt32(m_rect.left);
        w.WriteInt32(m_rect.top);
    }
    std::unique_ptr<CPageObject> SnapshotGeometry() const override {
        return std::make_unique<CCountedBox>(m_rect);
    }
    void Load(CByteReader&, const CStreamVersion&) override {}
    void SwapGeometry(CPageObject& other) override {
        auto& o = static_cast<CCountedBox&>(other);
        std::swap(m_rect, o.m_rect);
        UpdateHandles();
        o.UpdateHandles();
    }
};

std::string TitleOf(int n) {
    return "Titel " + std::to_string(n);
}
} // namespace

TEST(Undo, RingKeepsTheNewest500Steps) {
    CUndoPage fixture;
    CPage& page = fixture.Page();
    CUndoHistory& history = fixture.History();
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.Undo());
    for (int n = 1; n <= 501; ++n)
        ASSERT_TRUE(ApplyPageTitle(page, TitleOf(n)));
    EXPECT_EQ(history.UndoCount(), 500);
    int undone = 0;
    while (history.Undo())
        ++undone;
    EXPECT_EQ(undone, 500);
    // The first step ("Test" -> 1) fell out of the ring.
    EXPECT_EQ(page.WebName(), TitleOf(1));
    EXPECT_EQ(history.RedoCount(), 500);
    while (history.Redo()) {
    }
    EXPECT_EQ(page.WebName(), TitleOf(501));

    // A ring of three wraps round many times and still steps correctly.
    fixture.page->SetHistory(std::make_unique<CUndoHistory>(page, 3));
    CUndoHistory& small = fixture.History();
    for (int n = 1; n <= 10; ++n)
        ApplyPageTitle(page, TitleOf(100 + n));
    EXPECT_TRUE(small.Undo());
    EXPECT_TRUE(small.Undo());
    EXPECT_TRUE(small.Undo());
    EXPECT_FALSE(small.Undo());
    EXPECT_EQ(page.WebName(), TitleOf(107));
    EXPECT_TRUE(small.Redo());
    EXPECT_EQ(page.WebName(), TitleOf(108));
}

TEST(Undo, NewStepAfterUndosDropsTheRedoSteps) {
    CUndoPage fixture;
    CPage& page = fixture.Page();
    CUndoHistory& history = fixture.History();
    for (int n = 1; n <= 3; ++n)
        ApplyPageTitle(page, TitleOf(n));
    history.Undo();
    history.Undo();
    EXPECT_EQ(history.RedoCount(), 2);
    ApplyPageWidth(page, 300);
    EXPECT_FALSE(history.CanRedo());
    EXPECT_FALSE(history.Redo());
    EXPECT_EQ(history.UndoCount(), 2);
    history.Undo();
    EXPECT_EQ(page.Width(), 640);
    history.Undo();
    EXPECT_EQ(page.WebName(), "Test");
}

TEST(Undo, RecordingMarksThePageAndWithdrawTakesTheNewestStepBack) {
    CUndoPage fixture;
    CPage& page = fixture.Page();
    CUndoHistory& history = fixture.History();
    page.SetSaved(true);
    page.SetPublishPending(false);
    history.Record(EUndoKind::Arrange);
    EXPECT_FALSE(page.IsSaved());
    EXPECT_TRUE(page.PublishPending());

    // Withdrawing with nothing to withdraw changes nothing.
    history.Record(EUndoKind::Withdraw);
    EXPECT_EQ(history.UndoCount(), 0);
    history.Record(EUndoKind::Withdraw);
    EXPECT_EQ(history.UndoCount(), 0);
    EXPECT_FALSE(history.Undo());

    ApplyPageTitle(page, TitleOf(1));
    ApplyPageTitle(page, TitleOf(2));
    history.Record(EUndoKind::PageProperties);
    history.Record(EUndoKind::Withdraw);
    EXPECT_EQ(history.UndoCount(), 2);
    history.Undo();
    EXPECT_EQ(page.WebName(), TitleOf(1));
    // With a redo step waiting, the withdrawn step takes it along: the redo
    // would no longer follow on from the page.
    history.Record(EUndoKind::Withdraw);
    EXPECT_EQ(history.UndoCount(), 0);
    EXPECT_FALSE(history.CanRedo());
    EXPECT_FALSE(history.Redo());
    ApplyPageTitle(page, TitleOf(3));
    history.Undo();
    EXPECT_EQ(page.WebName(), TitleOf(1));
}

TEST(Undo, GroupAndUngroupRestoreTheSetsExactly) {
    CUndoPage fixture;
    CPage& page = fixture.Page();
    CUndoHistory& history = fixture.History();
    CCommandDriver driver(page, 7);
    for (int k = 0; k < 5; ++k)
        driver.Insert();
    CPageItem& a = page.ItemAt(0);
    CPageItem& b = page.ItemAt(1);
    CPageItem& c = page.ItemAt(2);
    page.SelectOnly(a);
    page.AddToSelection(b);
    page.AddToSelection(c);
    ASSERT_TRUE(GroupOrUngroup(page));
    ASSERT_EQ(page.Sets().size(), 1u);
    const CObjectSet* group = page.Sets()[0].get();
    ASSERT_TRUE(group->IsGroup());
    const CRect bounds = group->Bounds();

    ASSERT_TRUE(history.Undo());
    ASSERT_EQ(page.Sets().size(), 1u);
    EXPECT_FALSE(page.Sets()[0]->IsGroup());
    EXPECT_EQ(page.Sets()[0]->Items(), (std::vector<CPageItem*>{&a, &b, &c}));
    EXPECT_TRUE(page.Sets()[0]->IsSelected());

    ASSERT_TRUE(history.Redo());
    ASSERT_EQ(page.Sets().size(), 1u);
    EXPECT_TRUE(page.Sets()[0]->IsGroup());
    EXPECT_EQ(a.Set(), page.Sets()[0].get());
    EXPECT_EQ(page.Sets()[0]->Bounds(), bounds);

    // Ungroup, deselect (no step), undo: the group is back, selected as it
    // was when ungrouped.
    ASSERT_TRUE(GroupOrUngroup(page));
    page.DeselectAll();
    EXPECT_EQ(page.Sets().size(), 0u);
    ASSERT_TRUE(history.Undo());
    ASSERT_EQ(page.Sets().size(), 1u);
    EXPECT_TRUE(page.Sets()[0]->IsGroup());
    EXPECT_EQ(page.Sets()[0]->Count(), 3u);
    // Undo the grouping too, then a second redo groups again.
    ASSERT_TRUE(history.Undo());
    EXPECT_FALSE(page.Sets()[0]->IsGroup());
    ASSERT_TRUE(history.Redo());
    ASSERT_TRUE(history.Redo());
    EXPECT_TRUE(page.Sets().empty());
    for (CPageItem* item : {&a, &b, &c})
        EXPECT_EQ(item->Set(), nullptr);
}

TEST(Undo, DeleteAndInsertPutItemsBackInPlaceAndOwnTheRemovedOnes) {
    CCountedBox::live = 0;
    {
        CUndoPage fixture;
        CPage& page = fixture.Page();
        CUndoHistory& history = fixture.History();
        std::vector<CPageItem*> items;
        for (int k = 0; k < 6; ++k)
            items.push_back(
                &page.InsertItem(std::make_unique<CCountedBox>(CRect{k * 10, 0, k * 10 + 8, 8})));
        page.SelectOnly(*items[1]);
        page.AddToSelection(*items[4]);
        page.RecordUndo(EUndoKind::Delete);
        page.History().KeepRemoved(page.DeleteSelected());
        EXPECT_EQ(page.ItemCount(), 4);
        EXPECT_EQ(CCountedBox::live, 6);

        ASSERT_TRUE(history.Undo());
        ASSERT_EQ(page.ItemCount(), 6);
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(&page.ItemAt(k), items[static_cast<std::size_t>(k)]);
        EXPECT_TRUE(items[1]->IsSelected());
        EXPECT_TRUE(items[4]->IsSelected());
        EXPECT_EQ(items[1]->Set(), items[4]->Set());

        ASSERT_TRUE(history.Redo());
        EXPECT_EQ(page.ItemCount(), 4);
        EXPECT_EQ(page.IndexOf(*items[1]), -1);
        // A new step drops nothing here: the delete is done, not a redo.
        page.SelectOnly(*items[0]);
        page.RecordUndo(EUndoKind::Arrange);
        EXPECT_EQ(CCountedBox::live, 6);

        // An insert, undone, then overtaken by a new step: its item goes.
        CPageItem& fresh = page.InsertItem(std::make_unique<CCountedBox>(CRect{0, 50, 9, 59}));
        page.SelectOnly(fresh);
        page.RecordUndo(EUndoKind::Insert);
        const int index = page.IndexOf(fresh);
        ASSERT_TRUE(history.Undo());
        EXPECT_EQ(page.IndexOf(fresh), -1);
        EXPECT_EQ(CCountedBox::live, 7);
        ASSERT_TRUE(history.Redo());
        EXPECT_EQ(page.IndexOf(fresh), index);
        EXPECT_TRUE(fresh.IsSelected());
        ASSERT_TRUE(history.Undo());
        page.RecordUndo(EUndoKind::Arrange);
        EXPECT_EQ(CCountedBox::live, 6);

        // Steps pushed out of a ring take their items with them.
        fixture.page->SetHistory(std::make_unique<CUndoHistory>(page, 2));
        EXPECT_EQ(CCountedBox::live, 4);
        page.SelectOnly(page.ItemAt(0));
        page.RecordUndo(EUndoKind::Delete);
        page.History().KeepRemoved(page.DeleteSelected());
        page.RecordUndo(EUndoKind::Arrange);
        EXPECT_EQ(CCountedBox::live, 4);
        page.RecordUndo(EUndoKind::Arrange);
        EXPECT_EQ(CCountedBox::live, 3);
    }
    // The page and its history are gone, and every object with them.
    EXPECT_EQ(CCountedBox::live, 0);
}

TEST(Undo, TwinStepsBringBackTheWholeTwin) {
    CUndoPage fixture;
    CPage& page = fixture.Page();
    CUndoHistory& history = fixture.History();
    CPageItem& item =
        page.InsertItem(std::make_unique<CRectObject>(DPOINT{100, 100}, CObjectSize{40, 30}));
    auto twin = item.Normal().Clone();
    ASSERT_TRUE(twin);
    auto fill = std::make_unique<CObjectFill>(*twin->GetFill());
    fill->SetColour(CColor(10, 20, 30));
    twin->SetFill(std::move(fill));
    page.SelectOnly(item);
    page.RecordUndo(EUndoKind::AddMouseOver);
    item.AttachMouseOver(std::move(twin));
    const std::vector<uint8_t> withTwin = PageBytes(page);

    page.RecordUndo(EUndoKind::MouseOverSettings);
    item.MouseOver()->SetOffsetX(12);
    item.SetSyncTwins(false);
    page.RecordUndo(EUndoKind::RemoveMouseOver);
    item.RemoveMouseOver(); // the command deletes it
    EXPECT_FALSE(item.HasMouseOver());

    ASSERT_TRUE(history.Undo());
    ASSERT_TRUE(item.MouseOver());
    EXPECT_EQ(item.MouseOver()->GetOffsetX(), 12);
    EXPECT_EQ(item.MouseOver()->GetFill()->GetColour(), CColor(10, 20, 30));
    ASSERT_TRUE(history.Undo());
    EXPECT_TRUE(withTwin == PageBytes(page));
    EXPECT_TRUE(item.SyncTwins());
    ASSERT_TRUE(history.Undo());
    EXPECT_FALSE(item.HasMouseOver());
    EXPECT_EQ(item.MouseOver(), nullptr);
    ASSERT_TRUE(history.Redo());
    EXPECT_TRUE(withTwin == PageBytes(page));
    EXPECT_TRUE(item.IsEditingMouseOver());
}

TEST(Undo, PagePropertiesComeBackWithSizeAndBackground) {
    CUndoPage fixture;
    CPage& page = fixture.Page();
    CUndoHistory& history = fixture.History();
    const std::vector<uint8_t> before = PageBytes(page);
    ApplyPageWidth(page, 5000); // clamped to the largest width
    EXPECT_EQ(ApplyPageWidth(page, 2000), 2000);
    EXPECT_EQ(history.UndoCount(), 1); // the second changed nothing
    page.RecordUndo(EUndoKind::PageProperties);
    auto fill = std::make_unique<CBackgroundFill>(page.Background());
    fill->SetColour(CColor(1, 2, 3));
    page.SetBackground(std::move(fill));
    ApplyHeadHtml(page, "<style></style>", "go();", {"x.js"});
    const std::vector<uint8_t> after = PageBytes(page);

    while (history.Undo()) {
    }
    EXPECT_EQ(page.Width(), 640);
    EXPECT_EQ(page.Background().GetWidth(), 640);
    EXPECT_TRUE(before == PageBytes(page));
    while (history.Redo()) {
    }
    EXPECT_EQ(page.OnloadCode(), "go();");
    EXPECT_TRUE(after == PageBytes(page));
}

TEST(Undo, CommandsAreEnabledOnlyWithAPageOutsideTextEditing) {
    CUndoPage fixture;
    CPage& page = fixture.Page();
    int repaints = 0, listChanges = 0;
    CPageEvents events;
    events.repaint = [&](const CRect&) { ++repaints; };
    events.itemsChanged = [&] { ++listChanges; };
    page.AddObserver(&events);
    EXPECT_FALSE(CanUndoCommand(nullptr));
    EXPECT_FALSE(UndoCommand(nullptr));
    EXPECT_FALSE(CanUndoCommand(&page));
    ApplyPageTitle(page, "Ny");
    EXPECT_TRUE(CanUndoCommand(&page));
    EXPECT_FALSE(CanRedoCommand(&page));
    {
        pwtest::CEditingText editing(page);
        EXPECT_FALSE(CanUndoCommand(&page));
        EXPECT_FALSE(UndoCommand(&page));
        EXPECT_EQ(page.WebName(), "Ny");
    }
    repaints = listChanges = 0;
    EXPECT_TRUE(UndoCommand(&page));
    EXPECT_EQ(page.WebName(), "Test");
    EXPECT_GT(repaints, 0);
    EXPECT_EQ(listChanges, 1);
    EXPECT_TRUE(CanRedoCommand(&page));
    {
        pwtest::CEditingText editing(page);
        EXPECT_FALSE(RedoCommand(&page));
    }
    EXPECT_TRUE(RedoCommand(&page));
    EXPECT_EQ(page.WebName(), "Ny");

    // The counting stand-in has no steps to take.
    CUndoPage plain;
    plain.page->SetHistory(std::make_unique<CCountingUndoRecorder>());
    ApplyPageTitle(plain.Page(), "X");
    EXPECT_FALSE(CanUndoCommand(plain.page));
}

TEST(Undo, DragRecordsAtTheFirstRealMovement) {
    CUndoPage fixture;
    CPage& page = fixture.Page();
    CUndoHistory& history = fixture.History();
    CDragUndo drag;
    EXPECT_FALSE(drag.Move(page, 50, 50)); // no press
    drag.Press(100, 100);
    EXPECT_FALSE(drag.Move(page, 102, 98));
    EXPECT_FALSE(drag.Move(page, 98, 102));
    EXPECT_EQ(history.UndoCount(), 0);
    EXPECT_TRUE(drag.Move(page, 100, 97));
    EXPECT_TRUE(drag.Move(page, 130, 140));
    EXPECT_TRUE(drag.Move(page, 100, 100));
    EXPECT_EQ(history.UndoCount(), 1);
    drag.Release();
    drag.Press(0, 0);
    drag.Release();
    EXPECT_EQ(history.UndoCount(), 1);
    drag.Press(0, 0);
    EXPECT_TRUE(drag.Move(page, -3, 0));
    EXPECT_EQ(history.UndoCount(), 2);
}

TEST(Undo, InstalledFactoryGivesNewPagesARealHistory) {
    const CPage::HistoryFactory saved = CPage::HistoryMaker();
    InstallUndoHistory();
    CSite site{"Test", CBackgroundFill(), 400, 300, CColor(0, 0, 255), CColor(128, 0, 128)};
    CPage& page = site.AddPage(std::make_unique<CPage>(site, "Side1", "Test"));
    CPage::HistoryMaker() = saved;
    auto* history = dynamic_cast<CUndoHistory*>(&page.History());
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->Capacity(), CPage::kUndoSteps);
    ApplyPageTitle(page, "Ny");
    EXPECT_TRUE(UndoCommand(&page));
    EXPECT_EQ(page.WebName(), "Test");
}

TEST(Undo, TextStepsRestoreTheTextRecordsOfBothTwins) {
    CUndoPage fixture;
    CPage& page = fixture.Page();
    CUndoHistory& history = fixture.History();
    auto text = std::make_unique<CTextObject>(DPOINT{200, 100}, CObjectSize{120, 40});
    for (uint8_t c : std::string("Hej med dig"))
        text->Editing().InsertChar(text->Layout(), c);
    text->LayoutText();
    CPageItem& item = page.InsertItem(std::move(text));
    auto& normal = static_cast<CTextObject&>(item.Normal());
    normal.SetOwnerItem(&item);
    item.AttachMouseOver(normal.Clone());
    item.SetEditingMouseOver(false);
    page.SelectOnly(item);
    const std::vector<uint8_t> before = PageBytes(page);

    // The twin synchronisation box rewrites the twin's text record.
    page.RecordUndo(EUndoKind::TextRecord);
    normal.SetAlignment(2);
    item.SetSyncTwins(false);
    page.RecordUndo(EUndoKind::TextConvert);
    normal.SetAdvanced(!normal.Advanced());
    const std::vector<uint8_t> after = PageBytes(page);
    EXPECT_FALSE(before == after);

    ASSERT_TRUE(history.Undo());
    ASSERT_TRUE(history.Undo());
    EXPECT_TRUE(before == PageBytes(page));
    EXPECT_TRUE(item.SyncTwins());
    ASSERT_TRUE(history.Redo());
    ASSERT_TRUE(history.Redo());
    EXPECT_TRUE(after == PageBytes(page));
}

TEST(Undo, CommandsThatWouldChangeNothingTakeNoStep) {
    CUndoPage fixture;
    CPage& page = fixture.Page();
    CUndoHistory& history = fixture.History();
    CPageItem& a =
        page.InsertItem(std::make_unique<CRectObject>(DPOINT{100, 100}, CObjectSize{40, 30}));
    CPageItem& b =
        page.InsertItem(std::make_unique<CRectObject>(DPOINT{100, 200}, CObjectSize{40, 50}));
    page.SelectOnly(a);
    page.AddToSelection(b);
    // Same left edge already.
    EXPECT_FALSE(Align(page, EAlignCommand::Left));
    EXPECT_EQ(history.UndoCount(), 0);
    ASSERT_TRUE(Align(page, EAlignCommand::Top));
    EXPECT_EQ(history.UndoCount(), 1);
    EXPECT_FALSE(Align(page, EAlignCommand::Top));
    EXPECT_EQ(history.UndoCount(), 1);

    ApplyHeadHtml(page, "<meta>", "init()", {"a.js"});
    EXPECT_EQ(history.UndoCount(), 2);
    ApplyHeadHtml(page, "<meta>", "init()", {"a.js"});
    EXPECT_EQ(history.UndoCount(), 2);
    ApplyHeadHtml(page, "<meta>", "init()", {"b.js"});
    EXPECT_EQ(history.UndoCount(), 3);
}

TEST(Undo, CompoundStepUndoesEveryRecordWithOneUndoAndNamesItself) {
    CUndoPage fixture;
    CPage& page = fixture.Page();
    CUndoHistory& history = fixture.History();
    CPageItem& item =
        page.InsertItem(std::make_unique<CRectObject>(DPOINT{100, 100}, CObjectSize{40, 30}));
    page.SelectOnly(item);
    const std::vector<uint8_t> before = PageBytes(page);
    const int stepsBefore = history.UndoCount();
    {
        // One inspector change that touches the fill and the size.
        CCompoundUndo step(page.History(), "udfyldning og størrelse");
        page.RecordUndo(EUndoKind::Fill);
        auto fill = std::make_unique<CObjectFill>(*item.Current().GetFill());
        fill->SetColour(CColor(200, 10, 10));
        item.Current().SetFill(std::move(fill));
        {
            CCompoundUndo nested(page.History()); // inner pairs add to the outer step
            page.RecordUndo(EUndoKind::Move);
            item.Current().SetSize(CObjectSize{80, 60});
        }
    }
    { CCompoundUndo nothing(page.History(), "intet"); } // records nothing: no step
    EXPECT_EQ(history.UndoCount(), stepsBefore + 1);
    EXPECT_EQ(history.UndoLabel(), "udfyldning og størrelse");
    EXPECT_EQ(UndoMenuText(history.UndoLabel()), "&Fortryd udfyldning og størrelse\tCtrl+Z");
    const std::vector<uint8_t> after = PageBytes(page);

    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(PageBytes(page), before);
    EXPECT_EQ(history.RedoLabel(), "udfyldning og størrelse");
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ(PageBytes(page), after);

    // Plain steps carry the label of their kind; the menu falls back to the
    // bare command when there is nothing to undo.
    page.RecordUndo(EUndoKind::Move);
    EXPECT_EQ(history.UndoLabel(), "flyt");
    EXPECT_EQ(RedoMenuText(""), "&Gentag\tCtrl+Y");
}
