#pragma once
#include "services/FontRequest.h"
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One glyph rendered as 8-bit antialiased coverage (0 = none, 255 = full).
struct CGlyphBitmap {
    int left = 0;    // first column, relative to the pen position
    int top = 0;     // first row, relative to the baseline (negative = above it)
    int width = 0;   // columns
    int height = 0;  // rows; pixels holds width × height bytes, rows packed
    int advance = 0; // whole-pixel advance, the same value as CFontEngine::Advance
    std::vector<uint8_t> pixels;
};

// Where an underline goes, in whole pixels.
struct CUnderlineMetrics {
    int offset = 0;    // first row of the line, below the baseline (positive = down)
    int thickness = 1; // rows, at least 1
};

// The process-wide font engine on fontconfig and FreeType: the table of
// installed faces, metrics and advances for a font, and rendered glyphs.
//
// Loaded font files, the sized fonts and their advances (a table for the code
// points below 256 per font) are cached for the life of the process, rendered
// glyphs up to a memory budget. The engine is safe to use from several
// threads (one lock around the caches).
class CFontEngine {
public:
    static constexpr int kMaxPixelHeight = 2000;

    // The engine, built on first use.
    static CFontEngine& Instance();

    CFontEngine(const CFontEngine&) = delete;
    CFontEngine& operator=(const CFontEngine&) = delete;
    ~CFontEngine();

    // The installed-face table: the family names fontconfig lists, plus the
    // common web names (Arial, Times New Roman, Courier New, Verdana, Georgia)
    // when they are not installed but fontconfig substitutes a known
    // metric-compatible or look-alike face for them. Sorted case-insensitively,
    // no two names equal ignoring case. Never empty on a machine with any font.
    const std::vector<std::string>& Faces() const;

    // Index of a face in Faces(): an exact match first, then one ignoring
    // ASCII case; -1 when the face is not in the table.
    int FindFace(std::string_view name) const;

    // FindFace with the fallback a stored text uses for a missing face: the
    // name, then "Arial", then "Times New Roman", then index 0.
    int FaceIndexWithFallback(std::string_view name) const;

    // Name of a face by index; an empty string for an index out of range.
    const std::string& FaceName(int index) const;

    // The font file a face name and style resolve to (for diagnostics and
    // tests); empty when nothing resolves.
    std::string ResolvedFile(const CFontRequest& spec);

    // Whether the requested bold or italic is synthesized (emboldening / slanting
    // the regular outlines) because the family has no such file.
    bool IsSynthesized(const CFontRequest& spec);

    CFontMetrics Metrics(const CFontRequest& spec);
    CUnderlineMetrics Underline(const CFontRequest& spec);

    // Whole-pixel (hinted) advance width of one character, the amount the
    // layout moves on by. Characters the font has no glyph for advance by the
    // font's missing-glyph box.
    int Advance(const CFontRequest& spec, char32_t codePoint);

    // Sum of the advances of the characters.
    int TextWidth(const CFontRequest& spec, std::u32string_view text);

    // The rendered glyph of a character, in the requested size and style
    // (underline is not part of the glyph; see CTextCanvas). Never null.
    // Rendered glyphs are cached up to a memory budget; the pointer keeps the
    // glyph alive when the cache lets go of it.
    std::shared_ptr<const CGlyphBitmap> Glyph(const CFontRequest& spec, char32_t codePoint);

private:
    CFontEngine();
    struct CImpl;
    std::unique_ptr<CImpl> m_impl;
};
