#include "render/Blend.h"
#include "render/BlendTables.h"
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {
const CBlendTables& T() {
    return CBlendTables::Get();
}

struct CPixel {
    uint8_t a, r, g, b;
};

// BlendOver spelled out with the tables alone, the way it is defined.
CPixel ReferenceOver(CPixel d, CPixel s) {
    const CBlendTables& t = T();
    const int w = t.weight[d.a][s.a];
    const auto mix = [&](uint8_t cs, uint8_t cd) {
        return static_cast<uint8_t>(t.mul[w][cs] + t.mul[255 - w][cd]);
    };
    return {t.screen[d.a][s.a], mix(s.r, d.r), mix(s.g, d.g), mix(s.b, d.b)};
}

CPixel OverOne(CPixel d, CPixel s) {
    BlendOver({&d.a, 4, 4}, {&s.a, 4, 4}, 1, 1);
    return d;
}

// Deterministic spread of colour values.
uint8_t Scramble(uint32_t v) {
    v = v * 2654435761u;
    return static_cast<uint8_t>(v >> 24);
}
} // namespace

TEST(BlendTablesTest, EntriesFollowTheirDefinitions) {
    const CBlendTables& t = T();
    int mismatches = 0;
    for (int r = 0; r < 256; ++r) {
        for (int i = 0; i < 256; ++i) {
            // Independent formulations: floor by real division, and the
            // weight as the share i / (union) with the union in real numbers.
            const int mul = static_cast<int>(std::floor(r * i / 255.0 + 1e-9));
            const int screen = r + static_cast<int>(std::floor((255 - r) * i / 255.0 + 1e-9));
            mismatches += t.mul[r][i] != mul;
            mismatches += t.screen[r][i] != screen;
            mismatches +=
                MulDiv255(static_cast<uint32_t>(r), static_cast<uint32_t>(i)) != t.mul[r][i];
            if (r + i > 0) {
                const double u = r + i - r * i / 255.0;
                const double w = 255.0 * i / u;
                // Only entries away from an integer boundary are decidable
                // without repeating the computation exactly.
                if (std::fabs(w - std::round(w)) > 1e-6) {
                    mismatches += t.weight[r][i] != static_cast<int>(w);
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(t.mul[v][255], v);
        EXPECT_EQ(t.screen[0][v], v);
        EXPECT_EQ(t.screen[255][v], 255);
        EXPECT_EQ(t.weight[v][0], 0);
        EXPECT_EQ(t.weight[v][255], 255);
        if (v > 0) {
            EXPECT_EQ(t.weight[0][v], 255);
        }
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(t.mul[v][i], t.mul[i][v]);
    }
}

TEST(BlendTest, BlendOverMatchesTheTablesForEveryAlphaPair) {
    // One 256 x 256 image holds every (destination alpha, source alpha) pair
    // with colours that vary from pixel to pixel; a second run puts the
    // extreme colours against each other.
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<uint8_t> dst(256 * 256 * 4), src(256 * 256 * 4);
        for (int ad = 0; ad < 256; ++ad) {
            for (int as = 0; as < 256; ++as) {
                const size_t o = (static_cast<size_t>(ad) * 256 + as) * 4;
                dst[o] = static_cast<uint8_t>(ad);
                src[o] = static_cast<uint8_t>(as);
                for (int c = 1; c < 4; ++c) {
                    const uint32_t seed = static_cast<uint32_t>(o + c + pass * 977);
                    dst[o + c] = pass == 1 ? 0 : pass == 2 ? 255 : Scramble(seed);
                    src[o + c] = pass == 1 ? 255 : pass == 2 ? 0 : Scramble(seed * 7 + 3);
                }
            }
        }
        std::vector<uint8_t> expect = dst;
        for (size_t o = 0; o < expect.size(); o += 4) {
            const CPixel e = ReferenceOver({expect[o], expect[o + 1], expect[o + 2], expect[o + 3]},
                                           {src[o], src[o + 1], src[o + 2], src[o + 3]});
            expect[o] = e.a, expect[o + 1] = e.r, expect[o + 2] = e.g, expect[o + 3] = e.b;
        }
        // Whole rows (the wide path) and one pixel per row (the narrow one).
        std::vector<uint8_t> narrow = dst;
        BlendOver({dst.data(), 4, 256 * 4}, {src.data(), 4, 256 * 4}, 256, 256);
        ASSERT_EQ(dst, expect) << "pass " << pass;
        BlendOver({narrow.data(), 4, 4}, {src.data(), 4, 4}, 1, 256 * 256);
        ASSERT_EQ(narrow, expect) << "pass " << pass;
    }
}

TEST(BlendTest, BlendOverKnownCases) {
    // Opaque source: its colour exactly, whatever lies below.
    CPixel p = OverOne({37, 1, 2, 3}, {255, 200, 100, 50});
    EXPECT_EQ(p.a, 255);
    EXPECT_EQ(p.r, 200);
    EXPECT_EQ(p.g, 100);
    EXPECT_EQ(p.b, 50);
    // Transparent source: nothing changes.
    p = OverOne({90, 10, 20, 30}, {0, 255, 255, 255});
    EXPECT_EQ(p.a, 90);
    EXPECT_EQ(p.r, 10);
    EXPECT_EQ(p.b, 30);
    // Half-covering white over opaque black: weight 128, colour 128.
    EXPECT_EQ(T().weight[255][128], 128);
    p = OverOne({255, 0, 0, 0}, {128, 255, 255, 255});
    EXPECT_EQ(p.a, 255);
    EXPECT_EQ(p.r, 128);
    EXPECT_EQ(p.g, 128);
    // Half-covering source over nothing keeps its colour and its alpha.
    p = OverOne({0, 9, 9, 9}, {128, 40, 50, 60});
    EXPECT_EQ(p.a, 128);
    EXPECT_EQ(p.r, 40);
    EXPECT_EQ(p.g, 50);
    EXPECT_EQ(p.b, 60);
}

TEST(BlendTest, ColourMaskedAndPlaneScaling) {
    // Opacity 50 through mask 0 is weight 127: white over black gives 127.
    std::array<uint8_t, 8> d{200, 0, 0, 0, 200, 0, 0, 0};
    const std::array<uint8_t, 2> mask{0, 200};
    BlendColourMasked({d.data(), 4, 8}, {mask.data(), 1, 2}, 0xFFFFFF, 50, 2, 1);
    EXPECT_EQ(d[0], 200); // alpha kept
    EXPECT_EQ(d[1], 127);
    EXPECT_EQ(d[3], 127);
    EXPECT_EQ(d[5], 0); // 127 - 200 clamps to 0: untouched
    // Red only, from the lowest byte of the colour value.
    std::array<uint8_t, 4> one{255, 0, 0, 0};
    const uint8_t zero = 0;
    BlendColourMasked({one.data(), 4, 4}, {&zero, 1, 1}, 0x0000FF, 100, 1, 1);
    EXPECT_EQ(one[1], 255);
    EXPECT_EQ(one[2], 0);

    // ScalePlane with a pixel step: only every fourth byte changes.
    std::vector<uint8_t> plane{255, 1, 128, 2, 10, 3};
    ScalePlane(plane.data(), 2, 6, 127, 3, 1);
    EXPECT_EQ(plane, (std::vector<uint8_t>{127, 1, 63, 2, 4, 3}));
    EXPECT_EQ(PercentToStrength(50), 127);
    EXPECT_EQ(PercentToStrength(100), 255);
    EXPECT_EQ(PercentToStrength(-20), 0);
    EXPECT_EQ(PercentToStrength(250), 255);
}

TEST(BlendTest, EffectBlendsRespectTheObjectMask) {
    // Source: a relief pixel (alpha 100, light grey); destination: a pixel
    // inside the object (mask 255) and one outside it (mask 0).
    const std::array<uint8_t, 8> src{100, 200, 200, 200, 100, 200, 200, 200};
    const std::array<uint8_t, 2> objectMask{255, 0};
    const CPlaneRef mask{objectMask.data(), 1, 2};

    std::array<uint8_t, 8> outer{255, 0, 0, 0, 0, 0, 0, 0};
    BlendEffectOuter({outer.data(), 4, 8}, {src.data(), 4, 8}, mask, 255, 2, 1);
    // Inside: e = 0, so no colour change (the alpha union still applies).
    EXPECT_EQ(outer[1], 0);
    EXPECT_EQ(outer[0], 255);
    // Outside: d = min(255, 4 * 100) = 255 -> alpha 255 and the full colour.
    EXPECT_EQ(outer[4], 255);
    EXPECT_EQ(outer[5], 200);

    std::array<uint8_t, 8> inverted{0, 0, 0, 0, 0, 0, 0, 0};
    BlendEffectOuterInverted({inverted.data(), 4, 8}, {src.data(), 4, 8}, mask, 255, 2, 1);
    EXPECT_EQ(inverted[5], 55);

    std::array<uint8_t, 8> inner{255, 10, 10, 10, 77, 10, 10, 10};
    BlendEffectInner({inner.data(), 4, 8}, {src.data(), 4, 8}, mask, 255, 2, 1);
    // b = Mul[155][255] = 155, w = 255: the colour replaces; alpha kept.
    EXPECT_EQ(inner[0], 255);
    EXPECT_EQ(inner[1], 200);
    EXPECT_EQ(inner[4], 77); // outside: untouched
    EXPECT_EQ(inner[5], 10);

    // Type 3 is the inner pass followed by the inverted outer pass.
    std::array<uint8_t, 8> byType{255, 10, 10, 10, 0, 0, 0, 0};
    std::array<uint8_t, 8> byHand = byType;
    EffectByType(3, 40, {byType.data(), 4, 8}, {src.data(), 4, 8}, mask, 2, 1);
    BlendEffectInner({byHand.data(), 4, 8}, {src.data(), 4, 8}, mask, 102, 2, 1);
    BlendEffectOuterInverted({byHand.data(), 4, 8}, {src.data(), 4, 8}, mask, 102, 2, 1);
    EXPECT_EQ(byType, byHand);
}

TEST(BlendTest, GlowLightsOutsideInsideOrBoth) {
    // Pixel 0 outside the object with some glow, pixel 1 inside near the edge.
    const std::array<uint8_t, 2> glow{200, 180};
    const std::array<uint8_t, 2> object{0, 255};
    const CPlaneRef g{glow.data(), 1, 2}, o{object.data(), 1, 2};
    const auto run = [&](int type) {
        std::array<uint8_t, 8> d{0, 0, 0, 0, 255, 0, 0, 0};
        ColourEffectByType(type, 100, 0x00FFFF, {d.data(), 4, 8}, g, o, 2, 1);
        return d;
    };
    const auto outside = run(0), inside = run(1), both = run(2);
    EXPECT_EQ(outside[0], 200); // u = Mul[Mul[255][255]][200]
    EXPECT_EQ(outside[1], 255);
    EXPECT_EQ(outside[5], 0); // inside untouched: 255 - object = 0
    EXPECT_EQ(inside[0], 0);  // outside untouched: m1 = object = 0
    EXPECT_EQ(inside[5], 75); // u = Mul[Mul[255][75]][255] = 75 over opaque black
    EXPECT_EQ(both[0], outside[0]);
    EXPECT_EQ(both[5], inside[5]);
    EXPECT_EQ(run(7)[0], 0); // unknown type: nothing
}
