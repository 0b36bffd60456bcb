#pragma once
#include <cstdint>

// Pixel blends of the compositing, all defined by the tables of
// CBlendTables. Destinations are ARGB buffers (alpha, red, green, blue,
// colours not premultiplied); sources are ARGB buffers or single byte planes
// (masks), each with its own pixel and row step in bytes. Rows run top to
// bottom. Strengths and factors are 0..255; percentages are turned into them
// with PercentToStrength.

struct CArgbRef {
    uint8_t* data = nullptr;
    int pixelStep = 4;
    int rowStep = 0;
};

struct CConstArgbRef {
    const uint8_t* data = nullptr;
    int pixelStep = 4;
    int rowStep = 0;
};

// One byte per pixel read from data + y * rowStep + x * pixelStep (a mask, or
// the alpha byte of an ARGB buffer with pixel step 4).
struct CPlaneRef {
    const uint8_t* data = nullptr;
    int pixelStep = 1;
    int rowStep = 0;
};

// A colour as one value: red in the lowest byte, then green, then blue.
using RgbValue = uint32_t;

// percent * 255 / 100 in integers, clamped to 0..255.
int PercentToStrength(int percent);

// Lays the source over the destination: alpha becomes the union of both
// coverages and the colours mix by the source's share of it.
void BlendOver(CArgbRef dst, CConstArgbRef src, int width, int height);

// Paints colour through a mask: weight = opacity * 255 / 100 - mask, so the
// colour shows where the mask is low. Alpha is kept.
void BlendColourMasked(CArgbRef dst, CPlaneRef mask, RgbValue colour, int opacityPercent, int width,
                       int height);

// The source's colours where it reaches outside the mask (mask = the
// object's coverage), four times amplified by its alpha.
void BlendEffectOuter(CArgbRef dst, CConstArgbRef src, CPlaneRef mask, int strength, int width,
                      int height);
// The same with the source's colours inverted.
void BlendEffectOuterInverted(CArgbRef dst, CConstArgbRef src, CPlaneRef mask, int strength,
                              int width, int height);
// The source's colours inside the mask only, strongest where the source's
// alpha is low. Alpha is kept.
void BlendEffectInner(CArgbRef dst, CConstArgbRef src, CPlaneRef mask, int strength, int width,
                      int height);
// Colour laid on with coverage strength * (1 - m2) * m1.
void BlendEffectColour(CArgbRef dst, CPlaneRef m1, CPlaneRef m2, int strength, RgbValue colour,
                       int width, int height);
// Every byte p of one plane becomes Mul[p][factor].
void ScalePlane(uint8_t* plane, int pixelStep, int rowStep, int factor, int width, int height);

// Edges: type 0 or 2 outer; 1, 2 or 3 inner; 3 also inverted outer after the
// inner pass. Other types do nothing.
void EffectByType(int type, int percent, CArgbRef dst, CConstArgbRef src, CPlaneRef mask, int width,
                  int height);
// Glow: type 0 or 2 with (first, second) as (m1, m2); 1 or 2 with them
// swapped. Other types do nothing.
void ColourEffectByType(int type, int percent, RgbValue colour, CArgbRef dst, CPlaneRef first,
                        CPlaneRef second, int width, int height);
