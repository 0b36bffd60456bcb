#include "services/TextCanvas.h"

CTextCanvas::CTextCanvas(int width, int height) {
    (void)width;
    (void)height;
}
void CTextCanvas::Clear() {}
void CTextCanvas::DrawGlyphs(const CFontSpec&, std::u32string_view, int, int, COLORREF) {}
const uint8_t* CTextCanvas::Coverage() const { return m_coverage.data(); }
const uint8_t* CTextCanvas::Colour() const { return m_colour.data(); }
CRect CTextCanvas::InkBox() const { return m_inkBox; }
void CTextCanvas::BlendGlyph(int, int, int, int, int, int, const uint8_t*, int, COLORREF) {}
void CTextCanvas::Touch(const CRect&) {}
void CTextCanvas::Finish() const {}
