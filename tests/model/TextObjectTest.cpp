// The text object's own rules: what a new text is, when it may be written as
// HTML text, its size estimate, editing with the caret and the clipboard runs.
#include "model/TextObject.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "model/TextClipboard.h"
#include "model/UndoHistory.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "services/FileFormatException.h"
#include <gtest/gtest.h>

namespace {

CCharStyle Arial(uint16_t points = 12, int32_t colour = 0) {
    CCharStyle s;
    s.SetFaceName("Arial");
    s.fontSize = points;
    s.color = colour;
    return s;
}

void Type(CTextObject& text, const std::string& s) {
    for (char c : s) {
        if (c == '\n')
            text.Editing().SplitParagraph(text.Layout());
        else
            text.Editing().InsertChar(text.Layout(), static_cast<uint8_t>(c));
    }
    text.LayoutText();
}

std::string All(const CTextLayout& layout) {
    std::string s;
    for (int p = 0; p < layout.ParagraphCount(); ++p) {
        if (p) s += '|';
        s += layout.Paragraph(p).text;
    }
    return s;
}

} // namespace

TEST(TextObject, NewTextIsEmptyHtmlTextUntilSomethingRulesItOut) {
    CTextObject text(DPOINT{100, 100}, CObjectSize{50, 20});
    EXPECT_EQ(text.GetKind(), KIND_TEXT);
    EXPECT_EQ(text.Layout().ParagraphCount(), 1);
    EXPECT_EQ(text.Layout().CharacterCount(), 0);
    EXPECT_FALSE(text.Advanced());
    EXPECT_EQ(text.ScaleX(), 1.0);
    EXPECT_EQ(text.ScaleY(), 1.0);
    EXPECT_EQ(text.GetFill()->GetType(), CObjectFill::fillTextColour);
    EXPECT_TRUE(text.QualifiesAsHtmlText());
    EXPECT_FALSE(text.RendersAsImage());
    EXPECT_FALSE(text.CanRotate());
    EXPECT_TRUE(text.CanHaveLink());
    EXPECT_TRUE(text.CanHaveMouseOver());
    EXPECT_FALSE(text.HasButtonText());

    text.SetAdvanced(true);
    EXPECT_TRUE(text.RendersAsImage());
    EXPECT_TRUE(text.CanRotate() && text.CanResize() && text.CanHaveEffects() &&
                text.CanHaveFill());
    text.SetAdvanced(false);

    auto check = [](const char* what, auto change) {
        CTextObject t(DPOINT{100, 100}, CObjectSize{50, 20});
        change(t);
        EXPECT_FALSE(t.QualifiesAsHtmlText()) << what;
    };
    check("turned", [](CTextObject& t) { t.SetAngle(0.001); });
    check("shadow", [](CTextObject& t) { t.GetEffects()->shadowOn = true; });
    check("glow", [](CTextObject& t) { t.GetEffects()->glowOn = true; });
    check("gradient", [](CTextObject& t) { t.GetFill()->SetGradient(t.GetFill()->GetGradient()); });
    check("scaled", [](CTextObject& t) { t.SetSize(t.GetSize().width * 2, t.GetSize().height); });
    check("alt text", [](CTextObject& t) { t.SetAltText("x"); });
    check("twin", [](CTextObject& t) {
        static CPageItem item(std::make_unique<CTextObject>(DPOINT{0, 0}, CObjectSize{5, 5}));
        item.AttachMouseOver(item.Normal().Clone());
        t.SetOwnerItem(&item);
    });
    CTextObject solid(DPOINT{0, 0}, CObjectSize{5, 5});
    solid.GetFill()->SetColour(CColor(1, 2, 3));
    EXPECT_TRUE(solid.QualifiesAsHtmlText());
}

TEST(TextObject, EstimateCountsCharactersForHtmlTextAndPixelsForPictures) {
    CTextObject text(DPOINT{100, 100}, CObjectSize{400, 20});
    for (int i = 0; i < 100; ++i)
        text.Layout().Append(static_cast<uint8_t>('a' + i % 26), Arial());
    EXPECT_EQ(text.EstimateBytes(2.0), 305);
    text.SetAngle(0.5);
    const CRect r = text.GetRect();
    EXPECT_EQ(text.EstimateBytes(2.0), r.Width() * r.Height() / 2);
}

TEST(TextObject, EditingInsertsDeletesSplitsJoinsAndRestyles) {
    CTextObject text(DPOINT{100, 100}, CObjectSize{300, 20});
    text.BeginEditing();
    Type(text, "Hello\nworld");
    EXPECT_EQ(All(text.Layout()), "Hello|world");
    EXPECT_EQ(text.Editing().caret, (CTextPos{1, 5}));

    CTextEditing& ed = text.Editing();
    CTextLayout& layout = text.Layout();
    ed.MoveTo(layout, {1, 0});
    ed.DeleteBackward(layout); // joins the paragraphs
    EXPECT_EQ(All(layout), "Helloworld");
    EXPECT_EQ(ed.caret, (CTextPos{0, 5}));
    ed.InsertChar(layout, ' ');
    ed.MoveEnd(layout);
    ed.DeleteForward(layout); // nothing after the end
    ed.DeleteBackward(layout);
    EXPECT_EQ(All(layout), "Hello worl");

    // Select "ello w" and make it bold and red; the rest keeps its style.
    ed.MoveTo(layout, {0, 1});
    ed.MoveTo(layout, {0, 7}, true);
    ed.ApplyStyle(layout, [](CCharStyle& s) {
        s.bold = true;
        s.color = 0x0000FF;
    });
    EXPECT_FALSE(layout.StyleAt(0, 0).bold);
    EXPECT_TRUE(layout.StyleAt(0, 1).bold);
    EXPECT_TRUE(layout.StyleAt(0, 6).bold);
    EXPECT_FALSE(layout.StyleAt(0, 7).bold);
    // Typing over the selection keeps the selection's style.
    ed.InsertChar(layout, 'X');
    EXPECT_EQ(All(layout), "HXorl");
    EXPECT_TRUE(layout.StyleAt(0, 1).bold);
    EXPECT_EQ(layout.StyleAt(0, 1).color, 0x0000FF);

    // Enter in the middle of a selection across paragraphs.
    ed.SelectAll(layout);
    ed.SplitParagraph(layout);
    EXPECT_EQ(All(layout), "|");

    // Clicking places the caret by the box, and clicks left of it go to 0.
    ed.SelectAll(layout);
    ed.DeleteSelection(layout);
    Type(text, "abcdef");
    const CRect box = text.BoxRect();
    text.PlaceCaret(DPOINT{box.left - 50.0, box.top + 5.0});
    EXPECT_EQ(ed.caret, (CTextPos{0, 0}));
    text.PlaceCaret(DPOINT{box.right + 50.0, box.top + 5.0});
    EXPECT_EQ(ed.caret, (CTextPos{0, 6}));
}

TEST(TextObject, EndingEditingFitsTheObjectAndRemovesEmptyTexts) {
    CSite site("test.pwu");
    CPage page(site, "p1", "side1");
    auto made = std::make_unique<CTextObject>(DPOINT{50, 50}, CObjectSize{1, 1});
    CTextObject* text = made.get();
    text->SetNew(true);
    text->BeginEditing();
    CPageItem& item = page.InsertItem(std::move(made));
    EXPECT_EQ(page.EditedText(), text);
    // Nothing typed: the caller is told to remove it.
    EXPECT_FALSE(text->EndEditing(true, &page));
    EXPECT_FALSE(page.IsEditingText());
    EXPECT_EQ(page.EditedText(), nullptr);

    text->BeginEditing();
    Type(*text, "Tekst");
    item.AttachMouseOver(text->Clone());
    item.SetEditingMouseOver(false);
    EXPECT_TRUE(text->EndEditing(true, &page));
    EXPECT_FALSE(text->IsNew());
    EXPECT_FALSE(text->IsEditing());
    const CTextLayout& layout = text->Layout();
    EXPECT_EQ(text->GetSize(), (CObjectSize{layout.boxWidth, layout.boxHeight}));
    // The twin took the text, and the twin makes this text a picture.
    auto* twin = dynamic_cast<CTextObject*>(item.MouseOver());
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->Layout().Paragraph(0).text, "Tekst");
    EXPECT_FALSE(text->QualifiesAsHtmlText());

    // The text tool makes a new text, being edited, once the text code is
    // installed (the previous maker is put back for the other tests).
    const CPage::ToolObjectMaker saved = CPage::TextToolMaker();
    InstallTextRendering();
    CPageItem* tool = page.CreateFromTool(ETool::Text, DPOINT{40, 40});
    CPage::TextToolMaker() = saved;
    ASSERT_NE(tool, nullptr);
    auto* fresh = dynamic_cast<CTextObject*>(&tool->Normal());
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->IsNew());
    EXPECT_TRUE(fresh->IsEditing());
    EXPECT_DOUBLE_EQ(fresh->GetCenter().x, 39.5);
    // HTML text belongs to the top band, at the end of the stacking order.
    EXPECT_EQ(page.IndexOf(*tool), page.ItemCount() - 1);
}

TEST(TextObject, ClipboardRunsCarryStylesAndParagraphs) {
    CTextObject source(DPOINT{100, 100}, CObjectSize{300, 20});
    CTextLayout& layout = source.Layout();
    CCharStyle linked = Arial(18, 0x00FF00);
    linked.link.enabled = true;
    linked.link.type = CObjectLink::typePage;
    linked.link.page = 4;
    for (char c : std::string("ab"))
        layout.Append(static_cast<uint8_t>(c), Arial());
    layout.AppendParagraph();
    for (char c : std::string("cd"))
        layout.Append(static_cast<uint8_t>(c), linked);
    CTextEditing& sel = source.Editing();
    EXPECT_TRUE(source.CopyRuns().empty());
    EXPECT_TRUE(source.CopyPlainText().empty());
    sel.MoveTo(layout, {0, 1});
    sel.MoveTo(layout, {1, 2}, true);
    EXPECT_EQ(source.CopyPlainText(), std::string("b\rcd", 4) + '\0');
    const std::vector<uint8_t> runs = source.CopyRuns();
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.front(), 'b');
    EXPECT_EQ(runs.back(), 0);

    // Pasted inside the same program: styles come back, the page index is
    // kept within the site.
    CTextObject target(DPOINT{100, 100}, CObjectSize{300, 20});
    target.BeginEditing();
    Type(target, "XY");
    target.Editing().MoveTo(target.Layout(), {0, 1});
    target.PasteRuns(runs, false, 3);
    EXPECT_EQ(All(target.Layout()), "Xb|cdY");
    EXPECT_EQ(target.Editing().caret, (CTextPos{1, 2}));
    EXPECT_EQ(target.Layout().StyleAt(1, 0).fontSize, 18);
    EXPECT_EQ(target.Layout().StyleAt(1, 0).color, 0x00FF00);
    EXPECT_TRUE(target.Layout().StyleAt(1, 0).link.enabled);
    EXPECT_EQ(target.Layout().StyleAt(1, 0).link.page, 2);
    // From another program: page links are switched off.
    CTextObject foreign(DPOINT{0, 0}, CObjectSize{300, 20});
    foreign.PasteRuns(runs, true, 10);
    EXPECT_FALSE(foreign.Layout().StyleAt(1, 1).link.enabled);

    // Cut-off data changes nothing.
    std::vector<uint8_t> cut(runs.begin(), runs.begin() + 5);
    EXPECT_THROW(foreign.PasteRuns(cut, false, 3), CFileFormatException);
    EXPECT_EQ(All(foreign.Layout()), "b|cd");
}

TEST(TextObject, TwinsAndUndoCopiesCarryTheText) {
    CTextObject text(DPOINT{100, 100}, CObjectSize{300, 20});
    text.BeginEditing();
    Type(text, "Kopi");
    text.EndEditing(false);
    std::unique_ptr<CPageObject> clone = text.Clone();
    auto* copy = dynamic_cast<CTextObject*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Layout().Paragraph(0).text, "Kopi");
    EXPECT_EQ(copy->Layout().Owner(), copy);
    EXPECT_EQ(copy->GetSize(), text.GetSize());

    // The page item's twin synchronisation copies the whole text record.
    InstallTextHooks();
    CPageItem item(text.Clone());
    item.AttachMouseOver(text.Clone());
    static_cast<CTextObject&>(item.Current()).Layout().Append('!', Arial());
    item.SynchroniseTwins();
    EXPECT_EQ(static_cast<CTextObject&>(item.Normal()).Layout().Paragraph(0).text, "Kopi!");
}

TEST(TextObject, CharacterLinksFollowThePages) {
    CTextObject text(DPOINT{0, 0}, CObjectSize{100, 20});
    auto pageLink = [](int32_t page) {
        CCharStyle s = Arial();
        s.link.enabled = true;
        s.link.type = CObjectLink::typePage;
        s.link.page = page;
        return s;
    };
    text.Layout().Append('a', pageLink(1));
    text.Layout().Append('b', pageLink(2));
    text.Layout().Append('c', pageLink(3));
    text.Layout().Append('d', Arial());
    // Removing page 2: the link to it goes, the one after it moves down.
    EXPECT_TRUE(text.OnPageRemoved(2));
    const CTextLayout& layout = text.Layout();
    EXPECT_EQ(layout.StyleAt(0, 0).link.page, 1);
    EXPECT_FALSE(layout.StyleAt(0, 1).link.enabled);
    EXPECT_EQ(layout.StyleAt(0, 2).link.page, 2);
    EXPECT_TRUE(layout.StyleAt(0, 2).link.enabled);
    EXPECT_FALSE(text.OnPageRemoved(7));
    text.OnPageCountChanged(2);
    EXPECT_EQ(layout.StyleAt(0, 2).link.page, 1);
    text.OnPagesReset();
    EXPECT_FALSE(layout.StyleAt(0, 0).link.enabled);
}

// Ending an edit with nothing typed: a new text leaves no step and nothing
// the history holds names it (create, widen its box, end, Undo, Redo, Undo
// must read no freed item under AddressSanitizer); an existing text leaves
// through one delete step that Undo reverses. A typed new text records
// exactly one insert step.
TEST(TextObject, FinishingAnEditKeepsUndoConsistent) {
    const CPage::ToolObjectMaker saved = CPage::TextToolMaker();
    InstallTextRendering();
    struct Case {
        const char* name;
        bool existing; // an earlier edit left the text on the page
        const char* typed;
        bool stays;
        int steps; // undo steps taken by the edit
    };
    const Case cases[] = {
        {"new, empty", false, "", false, 0},
        {"new, typed", false, "ab", true, 1},
        {"existing, emptied", true, "", false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSite site("test.pwu");
        CPage page(site, "p1", "side1");
        page.SetHistory(std::make_unique<CUndoHistory>(page, 20));
        auto& history = static_cast<CUndoHistory&>(page.History());
        page.CreateFromTool(ETool::Rectangle, DPOINT{10, 10}); // a step before the text
        CPageItem* item = page.CreateFromTool(ETool::Text, DPOINT{40, 40});
        ASSERT_NE(item, nullptr);
        auto* text = dynamic_cast<CTextObject*>(&item->Normal());
        text->SetSize(200, 30); // the box dragged wider
        if (c.existing) {
            Type(*text, "old");
            ASSERT_TRUE(FinishTextEditing(page, *text));
            text->BeginEditing();
            text->Editing().SelectAll(text->Layout());
            text->Editing().DeleteSelection(text->Layout());
        }
        Type(*text, c.typed);
        const int before = history.UndoCount();
        EXPECT_EQ(FinishTextEditing(page, *text), c.stays);
        EXPECT_EQ(history.UndoCount() - before, c.steps);
        EXPECT_EQ(page.ItemCount(), c.stays ? 2 : 1);
        EXPECT_TRUE(history.Undo());
        const int afterUndo = page.ItemCount();
        EXPECT_TRUE(history.Redo());
        EXPECT_EQ(page.ItemCount(), c.stays ? 2 : 1);
        EXPECT_TRUE(history.Undo());
        EXPECT_EQ(page.ItemCount(), afterUndo);
        // Undo brings an emptied existing text back; otherwise it takes away
        // the newest thing made (the text, or the rectangle before it).
        EXPECT_EQ(afterUndo, c.existing ? 2 : c.stays ? 1 : 0);
    }
    CPage::TextToolMaker() = saved;
}
