#include "services/TextCanvas.h"
#include "services/FontEngine.h"
#include <algorithm>

namespace {

// Coverage as a drawing in black on white reads it back from its blue byte.
uint8_t MappedCoverage(uint8_t raw) {
    if (raw == 255) return 255;
    return raw >= 5 ? static_cast<uint8_t>(raw - 5) : 0;
}

int Div255(int v) {
    return (v + 127) / 255;
}

CRect Union(const CRect& a, const CRect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// Weighted channel w of a pixel with raw coverage c, divided back:
// min(255, round(w × 255 / c)); a table because every inked pixel needs three.
const uint8_t* UnweightTable() {
    static const std::vector<uint8_t> table = [] {
        std::vector<uint8_t> t(256 * 256, 0);
        for (int c = 1; c < 256; ++c)
            for (int w = 0; w < 256; ++w)
                t[c * 256 + w] = static_cast<uint8_t>(std::min(255, (w * 255 + c / 2) / c));
        return t;
    }();
    return table.data();
}

} // namespace

CTextCanvas::CTextCanvas(int width, int height)
    : m_width(std::max(0, width)), m_height(std::max(0, height)),
      m_coverageStride((m_width + 3) & ~3), m_colourStride((3 * m_width + 3) & ~3) {
    const size_t rows = static_cast<size_t>(m_height);
    m_rawCoverage.assign(rows * m_coverageStride, 0);
    m_weighted.assign(rows * m_colourStride, 0);
    m_coverage.assign(rows * m_coverageStride, 0);
    m_colour.assign(rows * m_colourStride, 0);
}

void CTextCanvas::Clear() {
    std::fill(m_rawCoverage.begin(), m_rawCoverage.end(), 0);
    std::fill(m_weighted.begin(), m_weighted.end(), 0);
    std::fill(m_coverage.begin(), m_coverage.end(), 0);
    std::fill(m_colour.begin(), m_colour.end(), 0);
    m_dirty = {};
    m_inkBox = {};
}

void CTextCanvas::DrawGlyphs(const CFontRequest& spec, std::u32string_view text, int x, int top,
                             COLORREF colour) {
    CFontEngine& engine = CFontEngine::Instance();
    const long long baseline = static_cast<long long>(top) + engine.Metrics(spec).ascent;
    long long pen = x;
    for (char32_t c : text) {
        const auto glyph = engine.Glyph(spec, c);
        const CGlyphBitmap& g = *glyph;
        // Glyphs wholly right of the box draw nothing; the pen still moves so
        // the underline keeps its length.
        if (pen + g.left < m_width)
            Blend(g.pixels.data(), g.width, g.width, g.height, pen + g.left, baseline + g.top,
                  colour);
        pen += g.advance;
    }
    if (spec.underline && pen > x) {
        const CUnderlineMetrics ul = engine.Underline(spec);
        const long long left = std::max<long long>(x, 0);
        const long long right = std::min<long long>(pen, m_width);
        if (right > left) {
            const int width = static_cast<int>(right - left);
            const std::vector<uint8_t> solid(static_cast<size_t>(width), 255);
            for (int row = 0; row < ul.thickness; ++row)
                Blend(solid.data(), 0, width, 1, left, baseline + ul.offset + row, colour);
        }
    }
}

void CTextCanvas::Blend(const uint8_t* src, int srcStride, int width, int height, long long x,
                        long long y, COLORREF colour) {
    const long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
    const long long x1 = std::min<long long>(x + width, m_width);
    const long long y1 = std::min<long long>(y + height, m_height);
    if (x0 >= x1 || y0 >= y1) return;
    const int rgb[3] = {static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                        static_cast<int>((colour >> 16) & 0xFF)};
    for (long long py = y0; py < y1; ++py) {
        const uint8_t* s = src + (py - y) * srcStride + (x0 - x);
        uint8_t* cov = m_rawCoverage.data() + py * m_coverageStride;
        uint8_t* w = m_weighted.data() + py * m_colourStride;
        for (long long px = x0; px < x1; ++px, ++s) {
            const int a = *s;
            if (a == 0) continue;
            const int c = cov[px];
            cov[px] = static_cast<uint8_t>(c + a - Div255(c * a));
            uint8_t* p = w + 3 * px;
            for (int k = 0; k < 3; ++k)
                p[k] = static_cast<uint8_t>(Div255(p[k] * (255 - a) + rgb[k] * a));
        }
    }
    m_dirty = Union(m_dirty, CRect{static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1),
                                   static_cast<int>(y1)});
}

// Brings the read-back planes and the ink box up to date for the pixels drawn
// since the last call. Coverage only grows, so the ink box only grows too.
void CTextCanvas::Finish() const {
    if (m_dirty.IsEmpty()) return;
    const uint8_t* unweight = UnweightTable();
    CRect ink = m_inkBox;
    const int x0 = m_dirty.left, x1 = m_dirty.right;
    for (int y = m_dirty.top; y < m_dirty.bottom; ++y) {
        const size_t covRow = static_cast<size_t>(y) * m_coverageStride;
        const size_t colRow = static_cast<size_t>(y) * m_colourStride;
        const uint8_t* raw = m_rawCoverage.data() + covRow;
        const uint8_t* w = m_weighted.data() + colRow;
        uint8_t* cov = m_coverage.data() + covRow;
        uint8_t* col = m_colour.data() + colRow;
        int first = -1, last = -1;
        for (int x = x0; x < x1; ++x) {
            const uint8_t c = MappedCoverage(raw[x]);
            cov[x] = c;
            if (c == 0) {
                col[3 * x] = col[3 * x + 1] = col[3 * x + 2] = 0;
                continue;
            }
            const uint8_t* row = unweight + raw[x] * 256;
            col[3 * x] = row[w[3 * x]];
            col[3 * x + 1] = row[w[3 * x + 1]];
            col[3 * x + 2] = row[w[3 * x + 2]];
            if (first < 0) first = x;
            last = x;
        }
        if (first >= 0) ink = Union(ink, CRect{first, y, last + 1, y + 1});
    }
    m_inkBox = ink;
    m_dirty = {};
}

const uint8_t* CTextCanvas::Coverage() const {
    Finish();
    return m_coverage.data();
}

const uint8_t* CTextCanvas::Colour() const {
    Finish();
    return m_colour.data();
}

CRect CTextCanvas::InkBox() const {
    Finish();
    return m_inkBox;
}
