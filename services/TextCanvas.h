#pragma once
#include "image/ImageMode.h"
#include "services/FontRequest.h"
#include "services/Geometry.h"
#include <cstdint>
#include <string_view>
#include <vector>

// A box into which characters are drawn, giving two planes: an 8-bit coverage
// plane and an RGB colour plane holding each pixel's colour not weighted by
// its coverage (the colour a text object puts under its coverage alpha).
//
// Glyph coverage from the font engine is written straight into the planes, so
// there is no intermediate screen surface and no banding. Each glyph is drawn
// as if in its colour onto black, and glyphs that overlap combine like
// painting one over the other: the raw coverage becomes a + b - a·b/255 and the
// weighted colour is mixed in by the glyph's coverage. When the planes are read
// the raw coverage c is mapped the way a drawing in black on white is read
// back, with b = 255 - c the blue byte: b = 0 → 255, 1 ≤ b ≤ 250 → 250 - b,
// b ≥ 251 → 0 (so the faintest fringe pixels drop out). Every colour channel
// of a pixel with mapped coverage > 0 is divided by the raw coverage c:
// channel × 255 / c, rounded and limited to 255, which gives back the text
// colour exactly on edge pixels too. Pixels with coverage 0 have colour 0.
//
// Drawing outside the box is clipped.
class CTextCanvas {
public:
    // A box of width × height pixels (negative sizes count as 0), all clear.
    CTextCanvas(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Clears both planes and the ink box.
    void Clear();

    // Draws the characters on one line in the font of spec and in colour
    // (0x00BBGGRR). x is the left edge of the first character's cell, top the
    // top of the line; the baseline lies the font's ascent below it. The pen
    // moves by CFontEngine::Advance per character. With spec.underline an
    // underline spans the advances of all the characters.
    void DrawGlyphs(const CFontRequest& spec, std::u32string_view text, int x, int top,
                    COLORREF colour);

    // Coverage plane: Height() rows of CoverageStride() bytes, one per pixel.
    const uint8_t* Coverage() const;
    int CoverageStride() const { return m_coverageStride; }

    // Colour plane: Height() rows of ColourStride() bytes, red, green, blue
    // per pixel.
    const uint8_t* Colour() const;
    int ColourStride() const { return m_colourStride; }

    // Smallest box around all pixels with non-zero coverage; empty (all zero)
    // when there are none.
    CRect InkBox() const;

private:
    // Mixes a block of coverage (rows of srcStride bytes) with its top-left
    // corner at (x, y) into the planes, in colour.
    void Blend(const uint8_t* src, int srcStride, int width, int height, long long x, long long y,
               COLORREF colour);
    void Finish() const;

    int m_width = 0;
    int m_height = 0;
    int m_coverageStride = 0;
    int m_colourStride = 0;
    std::vector<uint8_t> m_rawCoverage; // union of glyph coverages
    std::vector<uint8_t> m_weighted;    // colours drawn onto black, RGB
    // Read-back planes, brought up to date on demand for the dirty box.
    mutable std::vector<uint8_t> m_coverage;
    mutable std::vector<uint8_t> m_colour;
    mutable CRect m_dirty;
    mutable CRect m_inkBox;
};
