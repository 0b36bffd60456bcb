#include "model/TextLayout.h"
#include "services/Cp1252.h"
#include "services/FontEngine.h"
#include <algorithm>
#include <cmath>

CTextLayout::CTextLayout(CTextObject* owner) : defaultStyle(DefaultCharStyle()), m_owner(owner) {
    m_styles.push_back(defaultStyle);
    Clear();
}

CTextLayout::CTextLayout(const CTextLayout& other)
    : defaultStyle(other.defaultStyle), alignment(other.alignment), boxWidth(other.boxWidth),
      boxHeight(other.boxHeight), advanced(other.advanced), m_paragraphs(other.m_paragraphs),
      m_styles(other.m_styles), m_minWidth(other.m_minWidth), m_minHeight(other.m_minHeight),
      m_laidOut(other.m_laidOut) {}

CTextLayout& CTextLayout::operator=(const CTextLayout& other) {
    if (this == &other) return *this;
    defaultStyle = other.defaultStyle;
    alignment = other.alignment;
    boxWidth = other.boxWidth;
    boxHeight = other.boxHeight;
    advanced = other.advanced;
    m_paragraphs = other.m_paragraphs;
    m_styles = other.m_styles;
    m_fonts.clear();
    m_minWidth = other.m_minWidth;
    m_minHeight = other.m_minHeight;
    m_laidOut = other.m_laidOut;
    m_drawStale = true;
    m_coverage.reset();
    m_colour.reset();
    m_inkBox = {};
    m_drawnRows.clear();
    m_redrawAll = true;
    return *this;
}

CTextLayout::~CTextLayout() = default;

int CTextLayout::CharacterCount() const {
    int n = 0;
    for (const CParagraph& p : m_paragraphs)
        n += static_cast<int>(p.text.size());
    return n;
}

const CCharStyle& CTextLayout::StyleAt(int para, int index) const {
    return m_styles[m_paragraphs[para].styles[index]];
}

uint16_t CTextLayout::Intern(const CCharStyle& style) {
    for (std::size_t i = 0; i < m_styles.size(); ++i)
        if (m_styles[i] == style) return static_cast<uint16_t>(i);
    if (m_styles.size() >= 65535) {
        // Only edits that keep adding new styles get here: drop the entries no
        // character uses any more.
        std::vector<CCharStyle> used;
        std::vector<int> map(m_styles.size(), -1);
        for (CParagraph& p : m_paragraphs)
            for (uint16_t& id : p.styles) {
                if (map[id] < 0) {
                    map[id] = static_cast<int>(used.size());
                    used.push_back(m_styles[id]);
                }
                id = static_cast<uint16_t>(map[id]);
            }
        m_styles = std::move(used);
        m_fonts.clear();
        // Ids now name other styles: a row with the same ids may look different.
        m_redrawAll = true;
    }
    m_styles.push_back(style);
    return static_cast<uint16_t>(m_styles.size() - 1);
}

void CTextLayout::Clear() {
    m_paragraphs.assign(1, CParagraph{});
    m_laidOut = false;
    m_drawStale = true;
}

void CTextLayout::Append(uint8_t byte, const CCharStyle& style) {
    CParagraph& p = m_paragraphs.back();
    p.text.push_back(static_cast<char>(byte));
    p.styles.push_back(Intern(style));
    m_laidOut = false;
    m_drawStale = true;
}

void CTextLayout::AppendParagraph() {
    m_paragraphs.emplace_back();
    m_laidOut = false;
    m_drawStale = true;
}

CTextPos CTextLayout::Clamp(CTextPos at) const {
    at.para = std::clamp(at.para, 0, ParagraphCount() - 1);
    at.index = std::clamp(at.index, 0, static_cast<int>(m_paragraphs[at.para].text.size()));
    return at;
}

void CTextLayout::Insert(CTextPos at, uint8_t byte, const CCharStyle& style) {
    at = Clamp(at);
    CParagraph& p = m_paragraphs[at.para];
    const uint16_t id = Intern(style);
    p.text.insert(p.text.begin() + at.index, static_cast<char>(byte));
    p.styles.insert(p.styles.begin() + at.index, id);
    m_laidOut = false;
    m_drawStale = true;
}

void CTextLayout::Erase(CTextPos from, CTextPos to) {
    from = Clamp(from);
    to = Clamp(to);
    if (to < from) std::swap(from, to);
    if (from == to) return;
    CParagraph& first = m_paragraphs[from.para];
    CParagraph& last = m_paragraphs[to.para];
    std::string tail = last.text.substr(to.index);
    std::vector<uint16_t> tailStyles(last.styles.begin() + to.index, last.styles.end());
    first.text.resize(from.index);
    first.styles.resize(from.index);
    first.text += tail;
    first.styles.insert(first.styles.end(), tailStyles.begin(), tailStyles.end());
    m_paragraphs.erase(m_paragraphs.begin() + from.para + 1, m_paragraphs.begin() + to.para + 1);
    m_laidOut = false;
    m_drawStale = true;
}

void CTextLayout::Split(CTextPos at) {
    at = Clamp(at);
    CParagraph next;
    CParagraph& p = m_paragraphs[at.para];
    next.text = p.text.substr(at.index);
    next.styles.assign(p.styles.begin() + at.index, p.styles.end());
    p.text.resize(at.index);
    p.styles.resize(at.index);
    m_paragraphs.insert(m_paragraphs.begin() + at.para + 1, std::move(next));
    m_laidOut = false;
    m_drawStale = true;
}

CCharStyle CTextLayout::StyleForInsert(CTextPos at) const {
    at = Clamp(at);
    const CParagraph& p = m_paragraphs[at.para];
    if (at.index > 0) return m_styles[p.styles[at.index - 1]];
    if (!p.styles.empty()) return m_styles[p.styles[0]];
    // An empty paragraph continues the style of the text before it.
    for (int q = at.para - 1; q >= 0; --q)
        if (!m_paragraphs[q].styles.empty()) return m_styles[m_paragraphs[q].styles.back()];
    return defaultStyle;
}

CTextLayout::CStyleFont& CTextLayout::FontOf(uint16_t id) {
    if (m_fonts.size() < m_styles.size()) m_fonts.resize(m_styles.size());
    std::unique_ptr<CStyleFont>& font = m_fonts[id];
    if (!font) {
        font = std::make_unique<CStyleFont>();
        font->spec = m_styles[id].FontRequest();
        font->metrics = CFontEngine::Instance().Metrics(font->spec);
        std::fill(std::begin(font->advance), std::end(font->advance), -1);
    }
    return *font;
}

int CTextLayout::AdvanceOf(uint16_t id, uint8_t byte) {
    CStyleFont& font = FontOf(id);
    int& a = font.advance[byte];
    if (a < 0) a = std::max(0, CFontEngine::Instance().Advance(font.spec, cp1252::ToUnicode(byte)));
    return a;
}

void CTextLayout::Layout() {
    int widest = 1;
    for (CParagraph& p : m_paragraphs) {
        p.x.resize(p.text.size());
        for (std::size_t i = 0; i < p.text.size(); ++i)
            widest = std::max(widest, AdvanceOf(p.styles[i], static_cast<uint8_t>(p.text[i])));
    }
    m_minWidth = widest;
    boxWidth = std::max(boxWidth, static_cast<int32_t>(std::ceil(1.5 * m_minWidth)));

    int y = kMargin;
    m_minHeight = 1;
    for (CParagraph& p : m_paragraphs) {
        p.top = y;
        BreakParagraph(p, y);
        p.height = y - p.top;
        for (const CTextRow& row : p.rows)
            m_minHeight = std::max(m_minHeight, row.height);
    }
    boxHeight = y + kBottomMargin;
    m_laidOut = true;
    m_drawStale = true;
}

// Adds advances from the left margin; when a character would run past the
// right margin the row ends after the last space before it, or before that
// character when the row has no space. Spaces never end a row by themselves:
// they stay at its end, beyond the margin if need be.
void CTextLayout::BreakParagraph(CParagraph& p, int& y) {
    p.rows.clear();
    const int n = static_cast<int>(p.text.size());
    if (n == 0) {
        CTextRow row;
        row.top = y;
        row.height = kEmptyParagraphHeight;
        row.ascent = kEmptyParagraphHeight;
        PlaceRow(p, row);
        p.rows.push_back(row);
        y += kEmptyParagraphHeight;
        return;
    }
    const int limit = boxWidth - kMargin;
    int i = 0;
    while (i < n) {
        int x = kMargin;
        int lastSpace = -1;
        int j = i;
        for (; j < n; ++j) {
            const bool space = p.text[j] == ' ';
            const int a = AdvanceOf(p.styles[j], static_cast<uint8_t>(p.text[j]));
            if (!space && j > i && x + a > limit) break;
            if (space) lastSpace = j;
            x += a;
        }
        CTextRow row;
        row.first = i;
        row.end = j;
        if (j < n && lastSpace >= i) row.end = lastSpace + 1;
        int descent = 0;
        for (int k = row.first; k < row.end; ++k) {
            const CStyleFont& f = FontOf(p.styles[k]);
            row.ascent = std::max(row.ascent, f.metrics.ascent);
            descent = std::max(descent, f.metrics.descent);
            row.height = std::max(row.height, f.metrics.height);
        }
        row.height = std::max(row.height, row.ascent + descent);
        row.top = y;
        PlaceRow(p, row);
        p.rows.push_back(row);
        y += row.height;
        i = row.end;
    }
}

void CTextLayout::PlaceRow(CParagraph& p, CTextRow& row) const {
    auto advance = [&](int k) {
        return const_cast<CTextLayout*>(this)->AdvanceOf(p.styles[k],
                                                         static_cast<uint8_t>(p.text[k]));
    };
    row.width = 0;
    for (int k = row.first; k < row.end; ++k)
        row.width += advance(k);
    // Spaces at the end of a row do not count when it is centred or pushed
    // to the right edge.
    int inked = row.width;
    for (int k = row.end - 1; k >= row.first && p.text[k] == ' '; --k)
        inked -= advance(k);
    switch (alignment) {
    case alignCentre:
        row.left = kMargin + (boxWidth - inked) / 2;
        break;
    case alignRight:
        row.left = boxWidth - inked;
        break;
    default:
        row.left = kMargin;
        break;
    }
    int x = row.left;
    for (int k = row.first; k < row.end; ++k) {
        p.x[k] = x;
        x += advance(k);
    }
}

CTextPos CTextLayout::HitTest(int x, int y) const {
    if (!m_laidOut) const_cast<CTextLayout*>(this)->Layout();
    int para = ParagraphCount() - 1;
    for (int q = 0; q < ParagraphCount(); ++q)
        if (y < m_paragraphs[q].top + m_paragraphs[q].height) {
            para = q;
            break;
        }
    const CParagraph& p = m_paragraphs[para];
    const CTextRow* row = &p.rows.back();
    for (const CTextRow& r : p.rows)
        if (y < r.top + r.height) {
            row = &r;
            break;
        }
    for (int k = row->first; k < row->end; ++k) {
        const int a =
            const_cast<CTextLayout*>(this)->AdvanceOf(p.styles[k], static_cast<uint8_t>(p.text[k]));
        if (x < p.x[k] + a / 2) return {para, k};
    }
    // Past the end of a wrapped row: before its trailing space, so the caret
    // stays on the row that was clicked.
    const bool wrapped = row->end < static_cast<int>(p.text.size());
    return {para, wrapped && row->end > row->first ? row->end - 1 : row->end};
}

CRect CTextLayout::CaretRect(CTextPos at) const {
    if (!m_laidOut) const_cast<CTextLayout*>(this)->Layout();
    at = Clamp(at);
    const CParagraph& p = m_paragraphs[at.para];
    const CTextRow* row = &p.rows.back();
    for (const CTextRow& r : p.rows)
        if (at.index < r.end) {
            row = &r;
            break;
        }
    int x = row->left + row->width;
    if (at.index < row->end) x = p.x[at.index];
    return {x, row->top, x + 1, row->top + row->height};
}
