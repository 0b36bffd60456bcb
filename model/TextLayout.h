#pragma once
#include "image/Image.h"
#include "model/CharStyle.h"
#include "services/Geometry.h"
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CTextObject;

// A place between two characters: paragraph and character index (0 = before
// the first character).
struct CTextPos {
    int para = 0;
    int index = 0;
    auto operator<=>(const CTextPos&) const = default;
};

// One row of a laid-out paragraph: characters [first, end).
struct CTextRow {
    int first = 0;
    int end = 0;
    int top = 0;    // box coordinates
    int height = 0; // tallest character
    int ascent = 0; // largest ascent, where the baseline lies
    int left = 0;   // x of the first character
    int width = 0;  // sum of the advances
};

// One paragraph: its character bytes (Windows-1252), a style per character
// (an index into the layout's style table) and, after layout, the rows and
// each character's x position.
struct CParagraph {
    std::string text;
    std::vector<uint16_t> styles;
    std::vector<int> x;
    std::vector<CTextRow> rows;
    int top = 0;
    int height = 0;
};

// The text of a text object and its box: paragraphs of styled characters,
// the alignment, the box, the advanced flag, and the two drawn planes
// (coverage and colour) of the laid-out text.
class CTextLayout {
public:
    enum Alignment : int32_t { alignLeft = 0, alignCentre = 1, alignRight = 2 };
    static constexpr int kMargin = 2;
    static constexpr int kEmptyParagraphHeight = 20;
    static constexpr int kBottomMargin = 3;

    explicit CTextLayout(CTextObject* owner = nullptr);
    // Copies the text and settings; the drawn planes are made again.
    CTextLayout(const CTextLayout& other);
    CTextLayout& operator=(const CTextLayout& other);
    ~CTextLayout();

    CTextObject* Owner() const { return m_owner; }
    void SetOwner(CTextObject* owner) { m_owner = owner; }

    // --- content
    int ParagraphCount() const { return static_cast<int>(m_paragraphs.size()); }
    const CParagraph& Paragraph(int para) const { return m_paragraphs[para]; }
    // Number of characters, paragraph breaks not counted.
    int CharacterCount() const;
    const CCharStyle& StyleAt(int para, int index) const;
    const CCharStyle& Style(uint16_t id) const { return m_styles[id]; }
    // The table entry of a style, added when new.
    uint16_t Intern(const CCharStyle& style);
    // One empty paragraph.
    void Clear();
    // Appends to the last paragraph (reading a stream).
    void Append(uint8_t byte, const CCharStyle& style);
    void AppendParagraph();
    void Insert(CTextPos at, uint8_t byte, const CCharStyle& style);
    // Removes the characters between two places (paragraphs joined as needed).
    void Erase(CTextPos from, CTextPos to);
    // Breaks the paragraph at the place; the rest goes into a new paragraph.
    void Split(CTextPos at);
    // Changes the style of the characters between two places.
    template <class F> void Restyle(CTextPos from, CTextPos to, F&& change);
    // Lets change adjust every style in use in place (page link upkeep);
    // change must not touch what the font depends on.
    template <class F> void ForEachStyle(F&& change) {
        for (CCharStyle& style : m_styles)
            change(style);
        m_redrawAll = true;
    }
    // The style a character typed at the place takes: the one before it, or
    // after it at the start of a paragraph, or the default style.
    CCharStyle StyleForInsert(CTextPos at) const;
    // Clamps a place into the text.
    CTextPos Clamp(CTextPos at) const;

    CCharStyle defaultStyle;
    int32_t alignment = alignLeft;
    int32_t boxWidth = 1;
    int32_t boxHeight = 1;
    bool advanced = false;
    // The planes are drawn this many times the box (a text drawn for a
    // screen of more pixels): the layout stays in box pixels and each letter
    // is drawn at its place times the scale by a font of the scaled size.
    int drawScale = 1;

    int32_t MinWidth() const { return m_minWidth; }
    int32_t MinHeight() const { return m_minHeight; }

    // --- layout (box coordinates)
    // Widens the box to its minimum, breaks the paragraphs into rows, places
    // the rows by the alignment and sets the box height to the bottom of the
    // last row plus the bottom margin. The drawn planes become out of date.
    void Layout();
    bool IsLaidOut() const { return m_laidOut; }
    // The character place nearest to a point of the box.
    CTextPos HitTest(int x, int y) const;
    // Where the caret for a place goes: its x, the top and height of its row.
    CRect CaretRect(CTextPos at) const;

    // --- drawing
    // Brings both planes up to date (only when out of date). False when the
    // box is too large to draw.
    bool Draw();
    bool IsDrawn() const { return !m_drawStale && m_coverage; }
    void MarkDrawStale() { m_drawStale = true; }
    // 8-bit coverage (grey) and un-weighted colours (RGB) of the box (times
    // drawScale).
    const CImage* CoverageImage() const { return m_coverage.get(); }
    const CImage* ColourImage() const { return m_colour.get(); }
    // Smallest box around the ink, in box coordinates; empty when no ink.
    CRect InkBox() const { return m_inkBox; }
    // The box rows (full width) the last Draw changed; empty when none.
    CRect DrawnBand() const { return m_drawnBand; }
    // How many times the planes were drawn (whole or in part).
    unsigned DrawCount() const { return m_drawCount; }

    // Largest box side drawn; beyond it the drawing fails.
    static constexpr int kMaxBoxSide = 16384;

private:
    // Font, metrics and advances of one style, cached by style table entry:
    // the layout asks for an advance per character.
    struct CStyleFont {
        CFontRequest spec;
        CFontMetrics metrics;
        int advance[256];
    };
    // A row as it was drawn: what decides its pixels, and the box rows its
    // glyphs reach.
    struct CDrawnRow {
        int top = 0, height = 0, ascent = 0;
        int inkTop = 0, inkBottom = 0;
        std::string text;
        std::vector<uint16_t> styles;
        std::vector<int> x;
        bool SameDrawing(const CDrawnRow& other) const;
    };
    std::vector<CDrawnRow> RowsToDraw() const;
    bool DrawScaled();
    template <class F> void ForEachRun(const CDrawnRow& row, F&& draw);
    void MeasureInk(CDrawnRow& row);
    CStyleFont& FontOf(uint16_t id);
    int AdvanceOf(uint16_t id, uint8_t byte);
    void BreakParagraph(CParagraph& p, int& y);
    void PlaceRow(CParagraph& p, CTextRow& row) const;

    CTextObject* m_owner = nullptr;
    std::vector<CParagraph> m_paragraphs;
    std::vector<CCharStyle> m_styles;
    mutable std::vector<std::unique_ptr<CStyleFont>> m_fonts;
    int32_t m_minWidth = 1;
    int32_t m_minHeight = 1;
    bool m_laidOut = false;
    bool m_drawStale = true;
    std::unique_ptr<CImage> m_coverage;
    std::unique_ptr<CImage> m_colour;
    CRect m_inkBox;
    // What the planes show, for redrawing only what changed.
    std::vector<CDrawnRow> m_drawnRows;
    std::vector<std::pair<int, int>> m_rowInk; // per box row: first and end column of ink
    CRect m_drawnBand;
    unsigned m_drawCount = 0;
    bool m_redrawAll = true; // style ids or style contents changed: draw everything
};

template <class F> void CTextLayout::Restyle(CTextPos from, CTextPos to, F&& change) {
    from = Clamp(from);
    to = Clamp(to);
    if (to < from) std::swap(from, to);
    for (int p = from.para; p <= to.para; ++p) {
        CParagraph& para = m_paragraphs[p];
        const int begin = p == from.para ? from.index : 0;
        const int end = p == to.para ? to.index : static_cast<int>(para.text.size());
        for (int i = begin; i < end; ++i) {
            CCharStyle style = m_styles[para.styles[i]];
            change(style);
            para.styles[i] = Intern(style);
        }
    }
    m_laidOut = false;
    m_drawStale = true;
}
