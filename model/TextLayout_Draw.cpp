// Drawing the laid-out text into its coverage and colour planes.
#include "model/TextLayout.h"
#include "services/Cp1252.h"
#include "services/FontEngine.h"
#include "services/TextCanvas.h"
#include <cstring>

bool CTextLayout::Draw() {
    if (!m_laidOut) Layout();
    if (!m_drawStale && m_coverage && m_colour) return true;
    const int w = boxWidth;
    const int h = boxHeight;
    if (w <= 0 || h <= 0 || w > kMaxBoxSide || h > kMaxBoxSide) return false;

    CTextCanvas canvas(w, h);
    std::u32string run;
    for (const CParagraph& p : m_paragraphs) {
        for (const CTextRow& row : p.rows) {
            // One call per run of equal style, so the canvas moves the pen by
            // the same advances the layout added.
            for (int k = row.first; k < row.end;) {
                const uint16_t id = p.styles[k];
                int e = k;
                run.clear();
                while (e < row.end && p.styles[e] == id)
                    run.push_back(cp1252::ToUnicode(static_cast<uint8_t>(p.text[e++])));
                const CStyleFont& font = FontOf(id);
                const int top = row.top + row.ascent - font.metrics.ascent;
                canvas.DrawGlyphs(font.spec, run, p.x[k], top,
                                  static_cast<COLORREF>(m_styles[id].color));
                k = e;
            }
        }
    }

    if (!m_coverage || m_coverage->Width() != w || m_coverage->Height() != h)
        m_coverage = std::make_unique<CImage>(IMAGE_GRAY8, w, h, 96.0);
    if (!m_colour || m_colour->Width() != w || m_colour->Height() != h)
        m_colour = std::make_unique<CImage>(IMAGE_RGB8, w, h, 96.0);
    if (!m_coverage->Bits() || !m_colour->Bits()) {
        m_coverage.reset();
        m_colour.reset();
        return false;
    }
    const uint8_t* coverage = canvas.Coverage();
    const uint8_t* colour = canvas.Colour();
    for (int y = 0; y < h; ++y) {
        std::memcpy(m_coverage->Bits() + y * m_coverage->RowBytes(),
                    coverage + static_cast<std::size_t>(y) * canvas.CoverageStride(), w);
        std::memcpy(m_colour->Bits() + y * m_colour->RowBytes(),
                    colour + static_cast<std::size_t>(y) * canvas.ColourStride(),
                    3 * static_cast<std::size_t>(w));
    }
    m_inkBox = canvas.InkBox();
    m_drawStale = false;
    return true;
}
