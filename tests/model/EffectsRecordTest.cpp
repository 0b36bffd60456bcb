#include "image/Image.h"
#include "model/Effects.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "tests/model/RecordBytes.h"
#include <gtest/gtest.h>

namespace {
constexpr CStreamVersion v7{1, 7}, v8{1, 8};
constexpr int32_t kMarker = 0x0BADF00D;

// Every parameter away from its default.
CEffects MakeEffects(bool shadow, bool edges, bool glow) {
    CEffects e;
    e.shadowOn = shadow;
    e.shadowDistance = 11;
    e.shadowSize = 12;
    e.shadowTransparency = 13;
    e.shadowType = 2;
    e.shadowAngle = 315;
    e.shadowColour = CColor(2, 174, 14);
    e.edgesOn = edges;
    e.edgesStyle = 1;
    e.edgesSize = 25;
    e.edgesTransparency = 0;
    e.edgesAngle = 45;
    e.edgesType = 3;
    e.glowOn = glow;
    e.glowSize = 40;
    e.glowTransparency = 25;
    e.glowType = 1;
    e.glowColour = CColor(255, 138, 0);
    return e;
}

void ExpectGroup(const CEffects& got, const CEffects& want, const CEffects& defaults, bool shadow,
                 bool edges, bool glow) {
    const CEffects& s = shadow ? want : defaults;
    EXPECT_EQ(got.shadowDistance, s.shadowDistance);
    EXPECT_EQ(got.shadowSize, s.shadowSize);
    EXPECT_EQ(got.shadowTransparency, s.shadowTransparency);
    EXPECT_EQ(got.shadowType, s.shadowType);
    EXPECT_EQ(got.shadowAngle, s.shadowAngle);
    EXPECT_EQ(got.shadowColour.GetCOLORREF(), s.shadowColour.GetCOLORREF());
    const CEffects& e = edges ? want : defaults;
    EXPECT_EQ(got.edgesStyle, e.edgesStyle);
    EXPECT_EQ(got.edgesSize, e.edgesSize);
    EXPECT_EQ(got.edgesTransparency, e.edgesTransparency);
    EXPECT_EQ(got.edgesAngle, e.edgesAngle);
    EXPECT_EQ(got.edgesType, e.edgesType);
    const CEffects& g = glow ? want : defaults;
    EXPECT_EQ(got.glowSize, g.glowSize);
    EXPECT_EQ(got.glowTransparency, g.glowTransparency);
    EXPECT_EQ(got.glowType, g.glowType);
    EXPECT_EQ(got.glowColour.GetCOLORREF(), g.glowColour.GetCOLORREF());
}
} // namespace

TEST(EffectsRecordTest, DefaultsAndNothingWrittenWhenAllOff) {
    const CEffects e;
    EXPECT_FALSE(e.AnyOn());
    EXPECT_TRUE(e.needsRender);
    EXPECT_EQ(e.shadowDistance, 5);
    EXPECT_EQ(e.shadowSize, 10);
    EXPECT_EQ(e.shadowTransparency, 50);
    EXPECT_EQ(e.shadowAngle, 135);
    EXPECT_EQ(e.shadowColour.GetCOLORREF(), 0u);
    EXPECT_EQ(e.edgesSize, 10);
    EXPECT_EQ(e.edgesAngle, 135);
    EXPECT_EQ(e.glowSize, 50);
    EXPECT_EQ(e.glowColour.GetCOLORREF(), 0x00FFFFu);

    CEffects off = MakeEffects(false, false, false);
    CByteWriter w;
    off.Save(w);
    EXPECT_TRUE(w.Data().empty());

    // No chunk: the record returns to its defaults and the stream is untouched.
    CRecordBytes s;
    s.I32(kMarker);
    CByteReader r(s.bytes);
    CEffects back = MakeEffects(true, true, true);
    back.needsRender = false;
    back.Load(r, v8);
    EXPECT_EQ(r.Tell(), 0u);
    EXPECT_TRUE(back == CEffects());
    EXPECT_TRUE(back.needsRender);
}

TEST(EffectsRecordTest, GlowOnlyLayoutAndEveryCombinationRoundTrips) {
    CByteWriter w;
    MakeEffects(false, false, true).Save(w);
    CRecordBytes expected;
    expected.U8(0x75).U8(0x34).U8(0xB7).U8(0x82).U8(0).U8(0).U8(1).I32(40).I32(25).I32(1).Rgb(
        255, 138, 0);
    EXPECT_EQ(w.Data(), expected.bytes);

    const CEffects defaults;
    for (int mask = 1; mask < 8; ++mask) {
        const bool shadow = mask & 1, edges = mask & 2, glow = mask & 4;
        const CEffects e = MakeEffects(shadow, edges, glow);
        CByteWriter out;
        e.Save(out);
        // Tag, three flags, and only the groups that are on.
        EXPECT_EQ(out.Data().size(), 7u + (shadow ? 23 : 0) + (edges ? 20 : 0) + (glow ? 15 : 0));
        CByteReader r(out.Data());
        CEffects back;
        back.Load(r, v8);
        EXPECT_TRUE(r.AtEnd());
        EXPECT_EQ(back.shadowOn, shadow);
        EXPECT_EQ(back.edgesOn, edges);
        EXPECT_EQ(back.glowOn, glow);
        ExpectGroup(back, e, defaults, shadow, edges, glow);
        // A later source reads the same layout.
        CByteReader r2(out.Data());
        CEffects back2;
        back2.Load(r2, CStreamVersion{2, 1});
        EXPECT_TRUE(back2 == back);
    }
}

TEST(EffectsRecordTest, OlderStreamsHoldEveryGroup) {
    CRecordBytes s;
    s.I32(0x82B73475);
    s.U8(0).I32(11).I32(12).I32(13).I32(2).I32(315).Rgb(2, 174, 14);
    s.U8(1).I32(1).I32(25).I32(0).I32(45).I32(3);
    s.U8(0).I32(40).I32(25).I32(1);
    s.Rgb(255, 138, 0);
    s.I32(kMarker);
    CByteReader r(s.bytes);
    CEffects back;
    back.Load(r, v7);
    EXPECT_EQ(r.ReadInt32(), kMarker);
    EXPECT_TRUE(back == MakeEffects(false, true, false)) << "switched-off groups keep their values";
}

TEST(EffectsRecordTest, CopyEqualityAndCaches) {
    CEffects a = MakeEffects(true, false, true);
    a.needsRender = false;
    a.ShadowCache().mask = std::make_unique<CImage>(IMAGE_GRAY8, 4, 4, 96.0);
    a.ShadowCache().builtSize = 12;
    a.ShadowCache().width = 40;

    const CEffects b(a);
    EXPECT_TRUE(b == a);
    EXPECT_TRUE(b.needsRender);
    EXPECT_EQ(b.ShadowCache().mask, nullptr);
    EXPECT_EQ(b.ShadowCache().builtSize, -1);

    CEffects c;
    c.GlowCache().mask = std::make_unique<CImage>(IMAGE_GRAY8, 2, 2, 96.0);
    c = a;
    EXPECT_TRUE(c == a);
    EXPECT_EQ(c.GlowCache().mask, nullptr);

    // needsRender and the caches are not part of equality; colours compare
    // by their RGB value however they were made.
    CEffects d = a;
    d.needsRender = false;
    d.shadowColour = CColor(0x0E'AE'02u);
    EXPECT_TRUE(d == a);
    d.glowType = 2;
    EXPECT_FALSE(d == a);
    d = a;
    d.edgesStyle = 0; // edges are off, but parameters still count
    EXPECT_FALSE(d == a);

    a.Invalidate();
    EXPECT_EQ(a.ShadowCache().mask, nullptr);
    EXPECT_EQ(a.ShadowCache().builtSize, 12);
    EXPECT_TRUE(a.needsRender);
    a.ResetExtents();
    EXPECT_EQ(a.ShadowCache().builtSize, -1);
    EXPECT_EQ(a.ShadowCache().width, 0);
}

TEST(EffectsRecordTest, TruncatedChunkThrowsAndKeepsTheRecord) {
    CByteWriter w;
    MakeEffects(true, true, true).Save(w);
    for (std::size_t cut : {5u, 7u, 20u, 40u}) {
        std::vector<uint8_t> bytes(w.Data().begin(),
                                   w.Data().begin() + static_cast<std::ptrdiff_t>(cut));
        CByteReader r(bytes);
        CEffects kept = MakeEffects(false, true, false);
        EXPECT_THROW(kept.Load(r, v8), CFileFormatException) << cut;
        EXPECT_TRUE(kept == MakeEffects(false, true, false));
    }
}
