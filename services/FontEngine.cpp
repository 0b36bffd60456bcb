#include "services/FontEngine.h"
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <map>
#include <mutex>
#include <unordered_map>

namespace {

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(AsciiLower(x)) <
               static_cast<unsigned char>(AsciiLower(y));
    });
}

// The web names a page designer expects, each with the installed families
// that stand in for it with the same (or very close) metrics and look. A web
// name is listed as a face only when fontconfig's own substitution picks one
// of these for it, so an unrelated default face never poses as it.
struct CWebFace {
    const char* name;
    std::array<const char*, 3> standIns;
};
constexpr CWebFace kWebFaces[] = {
    {"Arial", {"Liberation Sans", "Arimo", "Albany AMT"}},
    {"Times New Roman", {"Liberation Serif", "Tinos", "Thorndale AMT"}},
    {"Courier New", {"Liberation Mono", "Cousine", "Cumberland AMT"}},
    {"Verdana", {"DejaVu Sans", "Bitstream Vera Sans", nullptr}},
    {"Georgia", {"DejaVu Serif", "Gelasio", "Bitstream Vera Serif"}},
};

std::string PatternString(FcPattern* p, const char* object, int n = 0) {
    FcChar8* s = nullptr;
    if (FcPatternGetString(p, object, n, &s) != FcResultMatch || !s) return {};
    return reinterpret_cast<const char*>(s);
}

int PatternInt(FcPattern* p, const char* object, int fallback) {
    int v = fallback;
    return FcPatternGetInteger(p, object, 0, &v) == FcResultMatch ? v : fallback;
}

constexpr size_t kGlyphCacheBytes = 32u << 20;

int ClampedPixelHeight(int h) {
    return std::clamp(h, 1, CFontEngine::kMaxPixelHeight);
}

// Font units scaled to pixels, rounded up.
int UnitsToPixelsCeil(long units, int ppem, int unitsPerEm) {
    if (unitsPerEm <= 0) return 0;
    return static_cast<int>(std::ceil(static_cast<double>(units) * ppem / unitsPerEm - 1e-9));
}

int UnitsToPixelsRound(long units, int ppem, int unitsPerEm) {
    if (unitsPerEm <= 0) return 0;
    return static_cast<int>(std::floor(static_cast<double>(units) * ppem / unitsPerEm + 0.5));
}

} // namespace

// A font file resolved from a family name and style.
struct CResolvedFace {
    std::string file;
    int index = 0;
};

// One font at one size and style, with its caches.
struct CSizedFont {
    FT_Face face = nullptr; // shared with the other sizes of the file
    FT_Size size = nullptr; // this font's own size object
    std::string file;
    bool synthBold = false;
    bool synthItalic = false;
    CFontMetrics metrics;
    CUnderlineMetrics underline;
    std::array<int, 256> lowAdvances{}; // -1 until measured
    std::unordered_map<char32_t, int> highAdvances;
    std::array<std::shared_ptr<const CGlyphBitmap>, 256> lowGlyphs;
    std::unordered_map<char32_t, std::shared_ptr<const CGlyphBitmap>> highGlyphs;
};

struct CFontEngine::CImpl {
    std::mutex mutex;
    FcConfig* config = nullptr;
    FT_Library library = nullptr;
    std::vector<std::string> faces;
    std::map<std::pair<std::string, int>, FT_Face> files;
    std::unordered_map<CFontRequest, std::unique_ptr<CSizedFont>> fonts;
    CFontRequest lastKey;
    CSizedFont* lastFont = nullptr;
    size_t glyphBytes = 0; // pixels held by the glyph caches of all fonts
    std::string none;

    CImpl();
    ~CImpl();
    void BuildFaceTable();
    bool Resolve(const std::string& family, bool bold, bool italic, CResolvedFace& out);
    FT_Face OpenFile(const std::string& file, int index);
    CSizedFont& Font(const CFontRequest& spec, const CFontEngine& engine);
    std::unique_ptr<CSizedFont> Load(const CFontRequest& key);
    bool LoadGlyph(CSizedFont& f, char32_t codePoint);
    int Advance(CSizedFont& f, char32_t codePoint);
    std::shared_ptr<const CGlyphBitmap> Glyph(CSizedFont& f, char32_t codePoint);
};

CFontEngine::CImpl::CImpl() {
    config = FcInitLoadConfigAndFonts();
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
    BuildFaceTable();
}

CFontEngine::CImpl::~CImpl() {
    for (auto& [key, font] : fonts)
        if (font->size) FT_Done_Size(font->size);
    for (auto& [key, face] : files)
        if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
    if (config) FcConfigDestroy(config);
}

void CFontEngine::CImpl::BuildFaceTable() {
    if (!config) return;
    // Only outline fonts: they can be drawn at every size the texts ask for.
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, nullptr);
    FcFontSet* set = FcFontList(config, pattern, objects);
    std::vector<std::string> names;
    for (int i = 0; set && i < set->nfont; ++i) {
        // A font may name its family in several languages; list the English
        // names (a condensed or light cut is often a second English family),
        // or the first name when none is marked English.
        bool any = false;
        for (int n = 0;; ++n) {
            std::string family = PatternString(set->fonts[i], FC_FAMILY, n);
            if (family.empty()) break;
            const std::string lang = PatternString(set->fonts[i], FC_FAMILYLANG, n);
            if (lang.empty() || lang == "en") {
                names.push_back(std::move(family));
                any = true;
            }
        }
        if (!any)
            if (std::string first = PatternString(set->fonts[i], FC_FAMILY); !first.empty())
                names.push_back(std::move(first));
    }
    if (set) FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);

    const auto installed = [&](std::string_view name) {
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& n) { return EqualsIgnoringCase(n, name); });
    };
    for (const CWebFace& web : kWebFaces) {
        if (installed(web.name)) continue;
        FcPattern* p = FcPatternCreate();
        FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(web.name));
        FcConfigSubstitute(config, p, FcMatchPattern);
        FcDefaultSubstitute(p);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, p, &result);
        if (match) {
            const std::string family = PatternString(match, FC_FAMILY);
            for (const char* standIn : web.standIns)
                if (standIn && EqualsIgnoringCase(family, standIn) && installed(standIn))
                    names.emplace_back(web.name);
            FcPatternDestroy(match);
        }
        FcPatternDestroy(p);
    }

    std::sort(names.begin(), names.end(), LessIgnoringCase);
    names.erase(std::unique(names.begin(), names.end(),
                            [](const std::string& a, const std::string& b) {
                                return EqualsIgnoringCase(a, b);
                            }),
                names.end());
    faces = std::move(names);
}

bool CFontEngine::CImpl::Resolve(const std::string& family, bool bold, bool italic,
                                 CResolvedFace& out) {
    if (!config) return false;
    FcPattern* p = FcPatternCreate();
    FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(p, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(p, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(config, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, p, &result);
    FcPatternDestroy(p);
    if (!match) return false;
    out.file = PatternString(match, FC_FILE);
    out.index = PatternInt(match, FC_INDEX, 0);
    FcPatternDestroy(match);
    return !out.file.empty();
}

FT_Face CFontEngine::CImpl::OpenFile(const std::string& file, int index) {
    const auto key = std::make_pair(file, index);
    if (auto it = files.find(key); it != files.end()) return it->second;
    FT_Face face = nullptr;
    if (!library || FT_New_Face(library, file.c_str(), index, &face) != 0) face = nullptr;
    if (face && FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 && face->num_charmaps > 0)
        FT_Set_Charmap(face, face->charmaps[0]);
    files.emplace(key, face); // a file that fails is not tried again
    return face;
}

std::unique_ptr<CSizedFont> CFontEngine::CImpl::Load(const CFontRequest& key) {
    auto font = std::make_unique<CSizedFont>();
    font->lowAdvances.fill(-1);
    CResolvedFace resolved;
    if (!Resolve(key.face, key.bold, key.italic, resolved)) return font;
    FT_Face face = OpenFile(resolved.file, resolved.index);
    FT_Size size = nullptr;
    if (!face || FT_New_Size(face, &size) != 0) return font;
    FT_Activate_Size(size);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(key.pixelHeight)) != 0) {
        FT_Done_Size(size);
        return font;
    }
    font->face = face;
    font->size = size;
    font->file = resolved.file;
    // Judged from the file itself: fontconfig's synthetic-style rules rewrite
    // the weight and slant it reports for a file that lacks the style.
    const auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const bool hasWeight = os2 && os2->version != 0xFFFF && os2->usWeightClass > 0;
    const bool fileBold =
        hasWeight ? os2->usWeightClass >= 600 : (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    font->synthBold = key.bold && !fileBold;
    font->synthItalic = key.italic && (face->style_flags & FT_STYLE_FLAG_ITALIC) == 0;

    // Line metrics from the OS/2 table's clipping ascent and descent when the
    // font has them (they bound every glyph, so nothing drawn is cut off),
    // otherwise from the horizontal header; each rounded up to whole pixels.
    const int ppem = key.pixelHeight;
    const int upem = face->units_per_EM;
    long ascender = face->ascender, descender = -face->descender;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascender = os2->usWinAscent;
        descender = os2->usWinDescent;
    }
    if (FT_IS_SCALABLE(face) && upem > 0) {
        font->metrics.ascent = UnitsToPixelsCeil(ascender, ppem, upem);
        font->metrics.descent = UnitsToPixelsCeil(descender, ppem, upem);
        const int thickness =
            std::max(1, UnitsToPixelsRound(face->underline_thickness, ppem, upem));
        const int centre = UnitsToPixelsRound(-face->underline_position, ppem, upem);
        font->underline.thickness = thickness;
        font->underline.offset = std::max(1, centre - thickness / 2);
    } else {
        font->metrics.ascent = static_cast<int>((size->metrics.ascender + 63) >> 6);
        font->metrics.descent = static_cast<int>((-size->metrics.descender + 63) >> 6);
        font->underline = {1, 1};
    }
    font->metrics.height = font->metrics.ascent + font->metrics.descent;
    return font;
}

CSizedFont& CFontEngine::CImpl::Font(const CFontRequest& spec, const CFontEngine& engine) {
    // Underline is drawn by the canvas, so it shares the font of its style.
    const int pixelHeight = ClampedPixelHeight(spec.pixelHeight);
    if (lastFont && pixelHeight == lastKey.pixelHeight && spec.bold == lastKey.bold &&
        spec.italic == lastKey.italic && spec.face == lastKey.face)
        return *lastFont;
    const CFontRequest key{spec.face, pixelHeight, spec.bold, spec.italic, false};
    auto it = fonts.find(key);
    if (it == fonts.end()) {
        CFontRequest resolvedKey = key;
        if (engine.FindFace(key.face) < 0)
            resolvedKey.face = engine.FaceName(engine.FaceIndexWithFallback(key.face));
        it = fonts.emplace(key, Load(resolvedKey)).first;
    }
    lastKey = key;
    lastFont = it->second.get();
    return *lastFont;
}

// Loads the hinted glyph of a code point into the face's slot, with the
// synthesized style applied. False when the font cannot give a glyph.
bool CFontEngine::CImpl::LoadGlyph(CSizedFont& f, char32_t codePoint) {
    if (!f.face) return false;
    FT_Activate_Size(f.size);
    FT_UInt index = FT_Get_Char_Index(f.face, codePoint);
    // Symbol fonts keep their characters at U+F000 + the byte.
    if (index == 0 && codePoint < 256 && f.face->charmap &&
        f.face->charmap->encoding == FT_ENCODING_MS_SYMBOL)
        index = FT_Get_Char_Index(f.face, 0xF000 + codePoint);
    if (FT_Load_Glyph(f.face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) != 0) return false;
    FT_GlyphSlot slot = f.face->glyph;
    if (f.synthItalic) FT_GlyphSlot_Oblique(slot);
    if (f.synthBold) FT_GlyphSlot_Embolden(slot);
    return true;
}

int CFontEngine::CImpl::Advance(CSizedFont& f, char32_t codePoint) {
    if (codePoint < 256 && f.lowAdvances[codePoint] >= 0) return f.lowAdvances[codePoint];
    if (codePoint >= 256)
        if (auto it = f.highAdvances.find(codePoint); it != f.highAdvances.end()) return it->second;
    int advance = 0;
    if (LoadGlyph(f, codePoint)) advance = static_cast<int>((f.face->glyph->advance.x + 32) >> 6);
    advance = std::max(0, advance);
    if (codePoint < 256)
        f.lowAdvances[codePoint] = advance;
    else
        f.highAdvances.emplace(codePoint, advance);
    return advance;
}

std::shared_ptr<const CGlyphBitmap> CFontEngine::CImpl::Glyph(CSizedFont& f, char32_t codePoint) {
    if (codePoint < 256) {
        if (f.lowGlyphs[codePoint]) return f.lowGlyphs[codePoint];
    } else if (auto it = f.highGlyphs.find(codePoint); it != f.highGlyphs.end()) {
        return it->second;
    }
    auto glyph = std::make_shared<CGlyphBitmap>();
    glyph->advance = Advance(f, codePoint);
    if (LoadGlyph(f, codePoint) && FT_Render_Glyph(f.face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
        const FT_GlyphSlot slot = f.face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        glyph->left = slot->bitmap_left;
        glyph->top = -slot->bitmap_top;
        glyph->width = static_cast<int>(bm.width);
        glyph->height = static_cast<int>(bm.rows);
        glyph->pixels.assign(static_cast<size_t>(glyph->width) * glyph->height, 0);
        for (int y = 0; y < glyph->height; ++y) {
            const uint8_t* src = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
            uint8_t* dst = glyph->pixels.data() + static_cast<size_t>(y) * glyph->width;
            for (int x = 0; x < glyph->width; ++x) {
                if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                    dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                    dst[x] =
                        bm.num_grays == 256
                            ? src[x]
                            : static_cast<uint8_t>(src[x] * 255 / std::max(1, bm.num_grays - 1));
            }
        }
    }
    // Big glyphs add up fast; past the budget the whole glyph cache starts
    // afresh (callers keep what they hold through their shared pointers).
    const size_t bytes = glyph->pixels.size() + sizeof(CGlyphBitmap);
    if (glyphBytes + bytes > kGlyphCacheBytes) {
        for (auto& [key, font] : fonts) {
            font->lowGlyphs = {};
            font->highGlyphs.clear();
        }
        glyphBytes = 0;
    }
    glyphBytes += bytes;
    if (codePoint < 256)
        f.lowGlyphs[codePoint] = glyph;
    else
        f.highGlyphs.emplace(codePoint, glyph);
    return glyph;
}

CFontEngine& CFontEngine::Instance() {
    static CFontEngine engine;
    return engine;
}

CFontEngine::CFontEngine() : m_impl(std::make_unique<CImpl>()) {}
CFontEngine::~CFontEngine() = default;

const std::vector<std::string>& CFontEngine::Faces() const {
    return m_impl->faces;
}

int CFontEngine::FindFace(std::string_view name) const {
    const auto& faces = m_impl->faces;
    for (size_t i = 0; i < faces.size(); ++i)
        if (faces[i] == name) return static_cast<int>(i);
    for (size_t i = 0; i < faces.size(); ++i)
        if (EqualsIgnoringCase(faces[i], name)) return static_cast<int>(i);
    return -1;
}

int CFontEngine::FaceIndexWithFallback(std::string_view name) const {
    for (std::string_view candidate :
         {name, std::string_view("Arial"), std::string_view("Times New Roman")})
        if (int i = FindFace(candidate); i >= 0) return i;
    return 0;
}

const std::string& CFontEngine::FaceName(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= m_impl->faces.size()) return m_impl->none;
    return m_impl->faces[static_cast<size_t>(index)];
}

std::string CFontEngine::ResolvedFile(const CFontRequest& spec) {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->Font(spec, *this).file;
}

bool CFontEngine::IsSynthesized(const CFontRequest& spec) {
    std::lock_guard lock(m_impl->mutex);
    const CSizedFont& f = m_impl->Font(spec, *this);
    return f.synthBold || f.synthItalic;
}

CFontMetrics CFontEngine::Metrics(const CFontRequest& spec) {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->Font(spec, *this).metrics;
}

CUnderlineMetrics CFontEngine::Underline(const CFontRequest& spec) {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->Font(spec, *this).underline;
}

int CFontEngine::Advance(const CFontRequest& spec, char32_t codePoint) {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->Advance(m_impl->Font(spec, *this), codePoint);
}

int CFontEngine::TextWidth(const CFontRequest& spec, std::u32string_view text) {
    std::lock_guard lock(m_impl->mutex);
    CSizedFont& f = m_impl->Font(spec, *this);
    long long width = 0;
    for (char32_t c : text)
        width += m_impl->Advance(f, c);
    return static_cast<int>(std::min<long long>(width, INT_MAX));
}

std::shared_ptr<const CGlyphBitmap> CFontEngine::Glyph(const CFontRequest& spec, char32_t codePoint) {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->Glyph(m_impl->Font(spec, *this), codePoint);
}
