#include "render/Blend.h"
#include "render/BlendTables.h"
#include <algorithm>
#include <cstddef>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
const CBlendTables& T() {
    return CBlendTables::Get();
}

inline uint8_t* Row(uint8_t* data, int rowStep, int y) {
    return data + static_cast<std::ptrdiff_t>(y) * rowStep;
}
inline const uint8_t* Row(const uint8_t* data, int rowStep, int y) {
    return data + static_cast<std::ptrdiff_t>(y) * rowStep;
}

inline uint8_t R(RgbValue c) {
    return static_cast<uint8_t>(c & 0xFF);
}
inline uint8_t G(RgbValue c) {
    return static_cast<uint8_t>((c >> 8) & 0xFF);
}
inline uint8_t B(RgbValue c) {
    return static_cast<uint8_t>((c >> 16) & 0xFF);
}

// c' = Mul[w][cs] + Mul[255 - w][cd] for the three colours.
inline void Mix(const CBlendTables& t, uint8_t* d, int w, uint8_t r, uint8_t g, uint8_t b) {
    const uint8_t* mw = t.mul[w];
    const uint8_t* mv = t.mul[255 - w];
    d[1] = static_cast<uint8_t>(mw[r] + mv[d[1]]);
    d[2] = static_cast<uint8_t>(mw[g] + mv[d[2]]);
    d[3] = static_cast<uint8_t>(mw[b] + mv[d[3]]);
}

template <bool Inverted>
void Outer(CArgbRef dst, CConstArgbRef src, CPlaneRef mask, int strength, int width, int height) {
    const CBlendTables& t = T();
    const int s = std::clamp(strength, 0, 255);
    for (int y = 0; y < height; ++y) {
        uint8_t* d = Row(dst.data, dst.rowStep, y);
        const uint8_t* p = Row(src.data, src.rowStep, y);
        const uint8_t* m = Row(mask.data, mask.rowStep, y);
        for (int x = 0; x < width;
             ++x, d += dst.pixelStep, p += src.pixelStep, m += mask.pixelStep) {
            const int b = t.mul[p[0]][s];
            const int amp = std::min(255, 4 * b);
            const int e = t.mul[amp][255 - *m];
            const int ad = d[0];
            d[0] = t.screen[ad][amp];
            const int w = t.weight[ad][e];
            if constexpr (Inverted)
                Mix(t, d, w, static_cast<uint8_t>(255 - p[1]), static_cast<uint8_t>(255 - p[2]),
                    static_cast<uint8_t>(255 - p[3]));
            else
                Mix(t, d, w, p[1], p[2], p[3]);
        }
    }
}
} // namespace

int PercentToStrength(int percent) {
    return std::clamp(percent * 255 / 100, 0, 255);
}

namespace {
// One pixel of BlendOver; the tables' Mul and Screen as exact arithmetic.
inline void OverPixel(const uint8_t (*weight)[256], uint8_t* d, const uint8_t* s) {
    const uint32_t as = s[0];
    if (as == 0) return; // Screen[r][0] = r, Weight[r][0] = 0
    const uint32_t ad = d[0];
    const uint32_t w = weight[ad][as];
    const uint32_t v = 255 - w;
    d[0] = static_cast<uint8_t>(ad + MulDiv255(255 - ad, as));
    d[1] = static_cast<uint8_t>(MulDiv255(w, s[1]) + MulDiv255(v, d[1]));
    d[2] = static_cast<uint8_t>(MulDiv255(w, s[2]) + MulDiv255(v, d[2]));
    d[3] = static_cast<uint8_t>(MulDiv255(w, s[3]) + MulDiv255(v, d[3]));
}

#if defined(__SSE2__)
// floor(a * b / 255) in eight 16-bit lanes, the same identity as MulDiv255.
inline __m128i MulDiv255x8(__m128i a, __m128i b) {
    const __m128i t = _mm_mullo_epi16(a, b);
    const __m128i u = _mm_add_epi16(t, _mm_add_epi16(_mm_srli_epi16(t, 8), _mm_set1_epi16(1)));
    return _mm_srli_epi16(u, 8);
}

// Every lane of a pixel is Mul[A][S] + Mul[B][D]: for alpha A = 255 - ad,
// S = as, B = 255, D = ad (Screen); for colours A = w, S = cs, B = 255 - w,
// D = cd. The factors of one pixel as four 16-bit lanes.
inline void Factors(const uint8_t (*weight)[256], uint32_t ad, uint32_t as, uint64_t& a,
                    uint64_t& b) {
    const uint64_t w = weight[ad][as];
    constexpr uint64_t colourLanes = 0x0001000100010000ull;
    a = (255 - ad) | w * colourLanes;
    b = 0x00FF00FF00FF00FFull - w * colourLanes;
}

// Four adjacent pixels at once.
inline void OverQuad(const uint8_t (*weight)[256], uint8_t* d, const uint8_t* s) {
    uint64_t a[4], b[4];
    for (int k = 0; k < 4; ++k)
        Factors(weight, d[4 * k], s[4 * k], a[k], b[k]);
    const __m128i zero = _mm_setzero_si128();
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    const auto half = [&](__m128i sh, __m128i dh, int k) {
        const __m128i av =
            _mm_set_epi64x(static_cast<int64_t>(a[k + 1]), static_cast<int64_t>(a[k]));
        const __m128i bv =
            _mm_set_epi64x(static_cast<int64_t>(b[k + 1]), static_cast<int64_t>(b[k]));
        return _mm_add_epi16(MulDiv255x8(av, sh), MulDiv255x8(bv, dh));
    };
    const __m128i lo = half(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero), 0);
    const __m128i hi = half(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero), 2);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(lo, hi));
}
#endif
} // namespace

void BlendOver(CArgbRef dst, CConstArgbRef src, int width, int height) {
    const uint8_t(*weight)[256] = T().weight;
    for (int y = 0; y < height; ++y) {
        uint8_t* d = Row(dst.data, dst.rowStep, y);
        const uint8_t* s = Row(src.data, src.rowStep, y);
        int x = 0;
#if defined(__SSE2__)
        if (dst.pixelStep == 4 && src.pixelStep == 4) {
            for (; x + 4 <= width; x += 4, d += 16, s += 16) {
                // Untouched runs are common (outside a shape) and cheap to
                // skip; opaque ones simply replace.
                if ((s[0] | s[4] | s[8] | s[12]) == 0) continue;
                if ((s[0] & s[4] & s[8] & s[12]) == 255) {
                    std::memcpy(d, s, 16);
                    continue;
                }
                OverQuad(weight, d, s);
            }
        }
#endif
        for (; x < width; ++x, d += dst.pixelStep, s += src.pixelStep)
            OverPixel(weight, d, s);
    }
}

void BlendColourMasked(CArgbRef dst, CPlaneRef mask, RgbValue colour, int opacityPercent, int width,
                       int height) {
    const CBlendTables& t = T();
    const int top = opacityPercent * 255 / 100;
    const uint8_t r = R(colour), g = G(colour), b = B(colour);
    for (int y = 0; y < height; ++y) {
        uint8_t* d = Row(dst.data, dst.rowStep, y);
        const uint8_t* m = Row(mask.data, mask.rowStep, y);
        for (int x = 0; x < width; ++x, d += dst.pixelStep, m += mask.pixelStep)
            Mix(t, d, std::clamp(top - *m, 0, 255), r, g, b);
    }
}

void BlendEffectOuter(CArgbRef dst, CConstArgbRef src, CPlaneRef mask, int strength, int width,
                      int height) {
    Outer<false>(dst, src, mask, strength, width, height);
}

void BlendEffectOuterInverted(CArgbRef dst, CConstArgbRef src, CPlaneRef mask, int strength,
                              int width, int height) {
    Outer<true>(dst, src, mask, strength, width, height);
}

void BlendEffectInner(CArgbRef dst, CConstArgbRef src, CPlaneRef mask, int strength, int width,
                      int height) {
    const CBlendTables& t = T();
    const int s = std::clamp(strength, 0, 255);
    for (int y = 0; y < height; ++y) {
        uint8_t* d = Row(dst.data, dst.rowStep, y);
        const uint8_t* p = Row(src.data, src.rowStep, y);
        const uint8_t* m = Row(mask.data, mask.rowStep, y);
        for (int x = 0; x < width;
             ++x, d += dst.pixelStep, p += src.pixelStep, m += mask.pixelStep) {
            if (*m == 0) continue;
            const int b = t.mul[255 - p[0]][s];
            Mix(t, d, std::min(255, 4 * b), p[1], p[2], p[3]);
        }
    }
}

void BlendEffectColour(CArgbRef dst, CPlaneRef m1, CPlaneRef m2, int strength, RgbValue colour,
                       int width, int height) {
    const CBlendTables& t = T();
    const int s = std::clamp(strength, 0, 255);
    const uint8_t r = R(colour), g = G(colour), b = B(colour);
    for (int y = 0; y < height; ++y) {
        uint8_t* d = Row(dst.data, dst.rowStep, y);
        const uint8_t* p1 = Row(m1.data, m1.rowStep, y);
        const uint8_t* p2 = Row(m2.data, m2.rowStep, y);
        for (int x = 0; x < width;
             ++x, d += dst.pixelStep, p1 += m1.pixelStep, p2 += m2.pixelStep) {
            const int u = t.mul[t.mul[s][255 - *p2]][*p1];
            const int ad = d[0];
            d[0] = t.screen[ad][u];
            Mix(t, d, t.weight[ad][u], r, g, b);
        }
    }
}

void ScalePlane(uint8_t* plane, int pixelStep, int rowStep, int factor, int width, int height) {
    // Mul is symmetric, so the row for the factor holds Mul[p][f] at column p.
    const uint8_t* row = CBlendTables::Get().mul[std::clamp(factor, 0, 255)];
    for (int y = 0; y < height; ++y) {
        uint8_t* p = Row(plane, rowStep, y);
        for (int x = 0; x < width; ++x, p += pixelStep)
            *p = row[*p];
    }
}

void EffectByType(int type, int percent, CArgbRef dst, CConstArgbRef src, CPlaneRef mask, int width,
                  int height) {
    const int s = PercentToStrength(percent);
    if (type == 0 || type == 2) BlendEffectOuter(dst, src, mask, s, width, height);
    if (type == 1 || type == 2 || type == 3) BlendEffectInner(dst, src, mask, s, width, height);
    if (type == 3) BlendEffectOuterInverted(dst, src, mask, s, width, height);
}

void ColourEffectByType(int type, int percent, RgbValue colour, CArgbRef dst, CPlaneRef first,
                        CPlaneRef second, int width, int height) {
    const int s = PercentToStrength(percent);
    if (type == 0 || type == 2) BlendEffectColour(dst, first, second, s, colour, width, height);
    if (type == 1 || type == 2) BlendEffectColour(dst, second, first, s, colour, width, height);
}
