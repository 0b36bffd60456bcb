// Breaking text into rows, aligning the rows and fitting the box, measured
// against the installed Arial stand-in's own advances.
#include "model/TextObject.h"
#include "services/Cp1252.h"
#include "services/FontEngine.h"
#include <gtest/gtest.h>

namespace {

CCharStyle Arial(uint16_t points = 12) {
    CCharStyle s;
    s.SetFaceName("Arial");
    s.fontSize = points;
    return s;
}

int Width(const std::string& text, uint16_t points = 12) {
    std::u32string u;
    for (char c : text)
        u.push_back(cp1252::ToUnicode(static_cast<uint8_t>(c)));
    return CFontEngine::Instance().TextWidth(Arial(points).FontRequest(), u);
}

void Type(CTextLayout& layout, const std::string& text, uint16_t points = 12) {
    for (char c : text) {
        if (c == '\n')
            layout.AppendParagraph();
        else
            layout.Append(static_cast<uint8_t>(c), Arial(points));
    }
}

std::vector<std::string> Rows(const CTextLayout& layout, int para = 0) {
    std::vector<std::string> rows;
    const CParagraph& p = layout.Paragraph(para);
    for (const CTextRow& r : p.rows)
        rows.push_back(p.text.substr(r.first, r.end - r.first));
    return rows;
}

} // namespace

TEST(TextLayout, BreaksAtWordBoundariesOrBeforeTheOverflowingCharacter) {
    ASSERT_GE(CFontEngine::Instance().FindFace("Arial"), 0);
    CTextLayout layout;
    // Room for "one two" but not for "one two three".
    layout.boxWidth = 4 + Width("one two thr");
    Type(layout, "one two three four");
    layout.Layout();
    std::vector<std::string> rows = Rows(layout);
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0], "one two ");
    EXPECT_EQ(rows[1].substr(0, 5), "three");
    // Rows are stacked without gaps from the top margin.
    const CParagraph& p = layout.Paragraph(0);
    EXPECT_EQ(p.rows[0].top, 2);
    EXPECT_EQ(p.rows[1].top, p.rows[0].top + p.rows[0].height);
    EXPECT_EQ(layout.boxHeight, p.rows.back().top + p.rows.back().height + 3);

    // A word longer than the row breaks before the first character that does
    // not fit: the row's characters end within the right margin.
    CTextLayout longWord;
    longWord.boxWidth = 60;
    Type(longWord, "Rigsdagsbygningernes");
    longWord.Layout();
    rows = Rows(longWord);
    ASSERT_GE(rows.size(), 2u);
    std::string joined;
    for (const std::string& r : rows) {
        EXPECT_LE(2 + Width(r), 60 - 2) << r;
        joined += r;
    }
    EXPECT_EQ(joined, "Rigsdagsbygningernes");
    // ...and each row took as much as fits.
    EXPECT_GT(2 + Width(rows[0] + rows[1].substr(0, 1)), 60 - 2);

    // Spaces never start a new row: they hang off the end.
    CTextLayout spaces;
    spaces.boxWidth = 4 + Width("abc");
    Type(spaces, "abc      def");
    spaces.Layout();
    rows = Rows(spaces);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], "abc      ");
    EXPECT_EQ(rows[1], "def");
}

TEST(TextLayout, AlignmentPlacesRowsWithoutTheirTrailingSpaces) {
    const int box = 300;
    for (int32_t alignment : {0, 1, 2}) {
        CTextLayout layout;
        layout.boxWidth = box;
        layout.alignment = alignment;
        Type(layout, "Hej med dig \nX");
        layout.Layout();
        const CTextRow& row = layout.Paragraph(0).rows[0];
        const int inked = Width("Hej med dig");
        EXPECT_EQ(row.width, Width("Hej med dig "));
        switch (alignment) {
        case 0:
            EXPECT_EQ(row.left, 2);
            break;
        case 1:
            EXPECT_EQ(row.left, 2 + (box - inked) / 2);
            break;
        case 2:
            // The inked part ends exactly at the box edge; the space sticks out.
            EXPECT_EQ(row.left + inked, box);
            break;
        }
        // Character positions follow the advances.
        const CParagraph& p = layout.Paragraph(0);
        EXPECT_EQ(p.x[4], row.left + Width("Hej "));
    }
}

TEST(TextLayout, BoxFitsTheTextAndKeepsItsTopEdge) {
    CTextObject text(DPOINT{100, 100}, CObjectSize{200, 10});
    const CRect before = text.BoxRect();
    Type(text.Layout(), "Linje et\n\nLinje tre");
    text.LayoutText();
    const CTextLayout& layout = text.Layout();
    // Two rows of text and an empty paragraph of 20 pixels.
    const int rowHeight = layout.Paragraph(0).rows[0].height;
    EXPECT_EQ(layout.Paragraph(1).height, 20);
    EXPECT_EQ(layout.boxHeight, 2 + rowHeight + 20 + rowHeight + 3);
    const CRect after = text.BoxRect();
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.Height(), layout.boxHeight);
    EXPECT_DOUBLE_EQ(text.GetCenter().y, 100 + (layout.boxHeight - 10) / 2.0);
    EXPECT_EQ(text.GetSize(), (CObjectSize{200, layout.boxHeight}));

    // The box is always at least one and a half times the widest character.
    CTextObject narrow(DPOINT{50, 50}, CObjectSize{3, 3});
    Type(narrow.Layout(), "W", 40);
    narrow.LayoutText();
    EXPECT_GE(narrow.Layout().boxWidth, 1.5 * Width("W", 40));

    // While editing, a resize keeps the box at its minimum and the object at
    // its box.
    narrow.BeginEditing();
    narrow.SetSize(1, 1);
    EXPECT_GE(narrow.GetSize().width, static_cast<int>(1.5 * narrow.Layout().MinWidth() + 2));
    EXPECT_EQ(narrow.GetRect(), narrow.BoxRect());
}

TEST(TextLayout, HitTestAndCaretAgree) {
    CTextLayout layout;
    layout.boxWidth = 400;
    Type(layout, "abc def\nxyz");
    layout.Layout();
    for (int i = 0; i <= 7; ++i) {
        const CRect caret = layout.CaretRect({0, i});
        EXPECT_EQ(caret.left, 2 + Width(std::string("abc def").substr(0, i)));
        // Clicking just right of the caret position lands on it.
        EXPECT_EQ(layout.HitTest(caret.left + 1, caret.top + 1), (CTextPos{0, i})) << i;
    }
    const CParagraph& second = layout.Paragraph(1);
    EXPECT_EQ(layout.HitTest(1000, second.top + 2), (CTextPos{1, 3}));
    EXPECT_EQ(layout.HitTest(0, 10000), (CTextPos{1, 0}));
}
