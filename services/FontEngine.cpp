#include "services/FontEngine.h"

struct CFontEngine::CImpl {
    std::vector<std::string> faces;
    CGlyphBitmap empty;
    std::string none;
};

CFontEngine& CFontEngine::Instance() {
    static CFontEngine engine;
    return engine;
}

CFontEngine::CFontEngine() : m_impl(std::make_unique<CImpl>()) {}
CFontEngine::~CFontEngine() = default;

const std::vector<std::string>& CFontEngine::Faces() const { return m_impl->faces; }
int CFontEngine::FindFace(std::string_view) const { return -1; }
int CFontEngine::FaceIndexWithFallback(std::string_view) const { return 0; }
const std::string& CFontEngine::FaceName(int) const { return m_impl->none; }
std::string CFontEngine::ResolvedFile(const CFontSpec&) { return {}; }
bool CFontEngine::IsSynthesized(const CFontSpec&) { return false; }
CFontMetrics CFontEngine::Metrics(const CFontSpec&) { return {}; }
CUnderlineMetrics CFontEngine::Underline(const CFontSpec&) { return {}; }
int CFontEngine::Advance(const CFontSpec&, char32_t) { return 0; }
int CFontEngine::TextWidth(const CFontSpec&, std::u32string_view) { return 0; }
const CGlyphBitmap& CFontEngine::Glyph(const CFontSpec&, char32_t) { return m_impl->empty; }
