// Drawing the laid-out text into its coverage and colour planes.
//
// Typing changes a row or two of a long text, so a draw redraws only the band
// of box rows that changed and keeps the rest of the planes. A pixel's value
// depends only on the glyphs drawn over it, in drawing order; the band holds
// every pixel that a row which changed inks (before and after the change), and
// every glyph that reaches into the band is drawn again into it, in the same
// order. So the planes are exactly what drawing the whole text gives.
#include "model/TextLayout.h"
#include "services/Cp1252.h"
#include "services/FontEngine.h"
#include "services/TextCanvas.h"
#include <algorithm>
#include <cstring>

bool CTextLayout::CDrawnRow::SameDrawing(const CDrawnRow& o) const {
    return top == o.top && height == o.height && ascent == o.ascent && text == o.text &&
           styles == o.styles && x == o.x;
}

std::vector<CTextLayout::CDrawnRow> CTextLayout::RowsToDraw() const {
    std::vector<CDrawnRow> rows;
    for (const CParagraph& p : m_paragraphs) {
        for (const CTextRow& row : p.rows) {
            CDrawnRow d;
            d.top = row.top;
            d.height = row.height;
            d.ascent = row.ascent;
            d.text.assign(p.text.begin() + row.first, p.text.begin() + row.end);
            d.styles.assign(p.styles.begin() + row.first, p.styles.begin() + row.end);
            d.x.assign(p.x.begin() + row.first, p.x.begin() + row.end);
            rows.push_back(std::move(d));
        }
    }
    return rows;
}

// Calls draw(font, run, x, top, colour) for each run of equal style of a row:
// one call per run, so the canvas moves the pen by the same advances the
// layout added.
template <class F> void CTextLayout::ForEachRun(const CDrawnRow& row, F&& draw) {
    std::u32string run;
    const int n = static_cast<int>(row.text.size());
    for (int k = 0; k < n;) {
        const uint16_t id = row.styles[k];
        int e = k;
        run.clear();
        while (e < n && row.styles[e] == id)
            run.push_back(cp1252::ToUnicode(static_cast<uint8_t>(row.text[e++])));
        const CStyleFont& font = FontOf(id);
        draw(font.spec, run, row.x[k], row.top + row.ascent - font.metrics.ascent,
             static_cast<COLORREF>(m_styles[id].color));
        k = e;
    }
}

// The box rows a row's glyphs and underlines can ink, its own rows included.
void CTextLayout::MeasureInk(CDrawnRow& row) {
    CFontEngine& engine = CFontEngine::Instance();
    row.inkTop = row.top;
    row.inkBottom = row.top + row.height;
    ForEachRun(row, [&](const CFontRequest& spec, const std::u32string& run, int, int top,
                        COLORREF) {
        const int baseline = top + engine.Metrics(spec).ascent;
        for (char32_t c : run) {
            const auto glyph = engine.Glyph(spec, c);
            if (glyph->height <= 0) continue;
            row.inkTop = std::min(row.inkTop, baseline + glyph->top);
            row.inkBottom = std::max(row.inkBottom, baseline + glyph->top + glyph->height);
        }
        if (spec.underline) {
            const CUnderlineMetrics ul = engine.Underline(spec);
            row.inkTop = std::min(row.inkTop, baseline + ul.offset);
            row.inkBottom = std::max(row.inkBottom, baseline + ul.offset + ul.thickness);
        }
    });
}

// The whole box at drawScale. Each character is drawn by itself at its laid
// out place times the scale: a font of the scaled size has advances that are
// not exactly the scaled ones, and a run drawn in one go would drift from the
// places the layout (and the 1x drawing) gave its letters.
bool CTextLayout::DrawScaled() {
    const int s = drawScale;
    const long long w = static_cast<long long>(boxWidth) * s;
    const long long h = static_cast<long long>(boxHeight) * s;
    if (boxWidth <= 0 || boxHeight <= 0 || boxWidth > kMaxBoxSide || boxHeight > kMaxBoxSide)
        return false;
    CFontEngine& engine = CFontEngine::Instance();
    CTextCanvas canvas(static_cast<int>(w), static_cast<int>(h));
    for (const CDrawnRow& row : RowsToDraw()) {
        const int baseline = (row.top + row.ascent) * s;
        for (std::size_t i = 0; i < row.text.size(); ++i) {
            CFontRequest spec = FontOf(row.styles[i]).spec;
            spec.pixelHeight = std::min(spec.pixelHeight * s, CFontEngine::kMaxPixelHeight);
            const char32_t c = cp1252::ToUnicode(static_cast<uint8_t>(row.text[i]));
            canvas.DrawGlyphs(spec, std::u32string_view(&c, 1), row.x[i] * s,
                              baseline - engine.Metrics(spec).ascent,
                              static_cast<COLORREF>(m_styles[row.styles[i]].color));
        }
    }
    m_coverage = std::make_unique<CImage>(IMAGE_GRAY8, static_cast<int>(w), static_cast<int>(h), 96.0);
    m_colour = std::make_unique<CImage>(IMAGE_RGB8, static_cast<int>(w), static_cast<int>(h), 96.0);
    if (!m_coverage->Bits() || !m_colour->Bits()) {
        m_coverage.reset();
        m_colour.reset();
        return false;
    }
    for (int y = 0; y < h; ++y) {
        std::memcpy(m_coverage->Bits() + y * m_coverage->RowBytes(),
                    canvas.Coverage() + static_cast<std::size_t>(y) * canvas.CoverageStride(),
                    static_cast<std::size_t>(w));
        std::memcpy(m_colour->Bits() + y * m_colour->RowBytes(),
                    canvas.Colour() + static_cast<std::size_t>(y) * canvas.ColourStride(),
                    3 * static_cast<std::size_t>(w));
    }
    m_inkBox = canvas.InkBox();
    m_drawnBand = CRect{0, 0, static_cast<int>(w), static_cast<int>(h)};
    // A later drawing at scale 1 starts from scratch.
    m_drawnRows.clear();
    m_rowInk.clear();
    m_redrawAll = true;
    m_drawStale = false;
    ++m_drawCount;
    return true;
}

bool CTextLayout::Draw() {
    if (!m_laidOut) Layout();
    if (!m_drawStale && m_coverage && m_colour) return true;
    if (drawScale > 1) return DrawScaled();
    const int w = boxWidth;
    const int h = boxHeight;
    if (w <= 0 || h <= 0 || w > kMaxBoxSide || h > kMaxBoxSide) return false;

    std::vector<CDrawnRow> rows = RowsToDraw();
    const bool whole = m_redrawAll || !m_coverage || !m_colour || m_coverage->Width() != w ||
                       m_coverage->Height() != h;
    int bandTop = 0, bandBottom = h;
    if (whole) {
        for (CDrawnRow& row : rows)
            MeasureInk(row);
    } else {
        // Rows are in top order in both lists: a row drawn the same way at the
        // same place keeps its pixels; every other row, old or new, puts its
        // ink rows into the band.
        bandTop = h;
        bandBottom = 0;
        auto grow = [&](const CDrawnRow& row) {
            bandTop = std::min(bandTop, row.inkTop);
            bandBottom = std::max(bandBottom, row.inkBottom);
        };
        std::size_t i = 0, j = 0;
        while (i < m_drawnRows.size() || j < rows.size()) {
            if (j == rows.size() || (i < m_drawnRows.size() && m_drawnRows[i].top < rows[j].top)) {
                grow(m_drawnRows[i++]);
            } else if (i == m_drawnRows.size() || rows[j].top < m_drawnRows[i].top) {
                MeasureInk(rows[j]);
                grow(rows[j++]);
            } else if (m_drawnRows[i].SameDrawing(rows[j])) {
                rows[j].inkTop = m_drawnRows[i].inkTop;
                rows[j++].inkBottom = m_drawnRows[i++].inkBottom;
            } else {
                grow(m_drawnRows[i++]);
                MeasureInk(rows[j]);
                grow(rows[j++]);
            }
        }
        bandTop = std::max(bandTop, 0);
        bandBottom = std::min(bandBottom, h);
    }

    if (whole) {
        m_coverage = std::make_unique<CImage>(IMAGE_GRAY8, w, h, 96.0);
        m_colour = std::make_unique<CImage>(IMAGE_RGB8, w, h, 96.0);
        if (!m_coverage->Bits() || !m_colour->Bits()) {
            m_coverage.reset();
            m_colour.reset();
            return false;
        }
        m_rowInk.assign(static_cast<std::size_t>(h), {0, 0});
    }
    if (bandTop < bandBottom) {
        const int bandHeight = bandBottom - bandTop;
        CTextCanvas canvas(w, bandHeight);
        for (const CDrawnRow& row : rows) {
            if (row.inkBottom <= bandTop || row.inkTop >= bandBottom) continue;
            ForEachRun(row, [&](const CFontRequest& spec, const std::u32string& run, int x,
                                int top, COLORREF colour) {
                canvas.DrawGlyphs(spec, run, x, top - bandTop, colour);
            });
        }
        const uint8_t* coverage = canvas.Coverage();
        const uint8_t* colour = canvas.Colour();
        for (int y = 0; y < bandHeight; ++y) {
            const uint8_t* cov = coverage + static_cast<std::size_t>(y) * canvas.CoverageStride();
            std::memcpy(m_coverage->Bits() + (bandTop + y) * m_coverage->RowBytes(), cov, w);
            std::memcpy(m_colour->Bits() + (bandTop + y) * m_colour->RowBytes(),
                        colour + static_cast<std::size_t>(y) * canvas.ColourStride(),
                        3 * static_cast<std::size_t>(w));
            int first = 0, end = w;
            while (first < w && cov[first] == 0) ++first;
            while (end > first && cov[end - 1] == 0) --end;
            m_rowInk[bandTop + y] = {first, first < end ? end : first};
        }
    }
    // The ink box is made again from the rows' ink spans.
    m_inkBox = {};
    for (int y = 0; y < h; ++y) {
        const auto [first, end] = m_rowInk[y];
        if (first >= end) continue;
        if (m_inkBox.IsEmpty())
            m_inkBox = {first, y, end, y + 1};
        else
            m_inkBox = {std::min(m_inkBox.left, first), m_inkBox.top,
                        std::max(m_inkBox.right, end), y + 1};
    }
    m_drawnRows = std::move(rows);
    m_drawnBand = CRect{0, bandTop, w, std::max(bandTop, bandBottom)};
    m_redrawAll = false;
    m_drawStale = false;
    ++m_drawCount;
    return true;
}
