#include "image/Image.h"
#include "render/EffectMask.h"
#include "model/Effects.h"
#include "render/EffectsRenderer.h"
#include "tests/support/ScriptedInteraction.h"
#include <cmath>
#include <gtest/gtest.h>

namespace {
constexpr IMAGE_MODE kArgb = WithAlpha(IMAGE_RGB8);

// An opaque w x h block of one colour with `margin` transparent pixels
// around it, as a freshly filled object image looks.
CImage Block(int w, int h, int margin, uint8_t r = 200, uint8_t g = 30, uint8_t b = 40) {
    CImage img(kArgb, w + 2 * margin, h + 2 * margin, 96.0);
    for (int y = margin; y < margin + h; ++y) {
        uint8_t* p = img.Bits() + y * img.RowBytes() + 4 * margin;
        for (int x = 0; x < w; ++x, p += 4)
            p[0] = 255, p[1] = r, p[2] = g, p[3] = b;
    }
    return img;
}

const uint8_t* Px(const CImage& img, int x, int y) {
    return img.Bits() + y * img.RowBytes() + 4 * x;
}

int MaskAt(const CEffects::CMaskCache& c, int objectX, int objectY) {
    const int x = objectX - c.offsetX, y = objectY - c.offsetY;
    if (!c.mask || x < 0 || y < 0 || x >= c.width || y >= c.height) return 0;
    return c.mask->Bits()[y * c.mask->RowBytes() + x];
}
} // namespace

TEST(EffectsRenderTest, ShadowOffsetsRoundHalvesUpAndTruncateNegatives) {
    const auto offset = [](int angle, int distance) {
        int dx = 99, dy = 99;
        ShadowOffset(angle, distance, dx, dy);
        return std::make_pair(dx, dy);
    };
    EXPECT_EQ(offset(90, 5), std::make_pair(5, 0));
    EXPECT_EQ(offset(0, 5), std::make_pair(0, -5));
    EXPECT_EQ(offset(180, 5), std::make_pair(0, 5)); // 5 sin 180 is a tiny positive
    EXPECT_EQ(offset(135, 5), std::make_pair(4, 4)); // the defaults: lower right
    // 5 sin 315 = -3.54 truncates to -3 (no rounding away from zero).
    EXPECT_EQ(offset(315, 5), std::make_pair(-3, -3));
    EXPECT_EQ(offset(270, 10), std::make_pair(-10, 0));
    EXPECT_EQ(offset(45, 0), std::make_pair(0, 0));
}

TEST(EffectsRenderTest, MaskSizesOffsetsAndExactShapeAtSizeZero) {
    const CImage object = Block(30, 20, 2);
    CEffects::CMaskCache c;
    ASSERT_TRUE(BuildEffectMask(object, 0, 50, c));
    // Size 0: no blur; the mask is the object's coverage, trimmed.
    EXPECT_EQ(c.offsetX, 2);
    EXPECT_EQ(c.offsetY, 2);
    EXPECT_EQ(c.width, 30);
    EXPECT_EQ(c.height, 20);
    EXPECT_EQ(c.extentWidth, 34);
    for (int y = 0; y < object.Height(); ++y)
        for (int x = 0; x < object.Width(); ++x)
            ASSERT_EQ(MaskAt(c, x, y), Px(object, x, y)[0]);

    // Size 10: sigma 2, 12 pixels of room; the blur reaches out about three
    // sigma on each side and stays centred on the object.
    ASSERT_TRUE(BuildEffectMask(object, 10, 50, c));
    EXPECT_EQ(EffectPadding(EffectSigma(10)), 12);
    EXPECT_EQ(EffectPadding(EffectSigma(7)), 10); // ceil(8.4) = 9, made even
    EXPECT_EQ(c.extentWidth, 34 + 12);
    EXPECT_LT(c.offsetX, 2);
    EXPECT_GE(c.offsetX, 2 - 6);
    EXPECT_EQ(c.offsetX + c.width - 32, 2 - c.offsetX); // symmetric
    EXPECT_EQ(MaskAt(c, 17, 12), 255);                  // the middle stays full
    EXPECT_NEAR(MaskAt(c, 2, 12), 128, 40);             // soft at the edge
    EXPECT_EQ(MaskAt(c, c.offsetX - 1, 12), 0);
}

TEST(EffectsRenderTest, ShadowOpacityIsBakedIntoTheMask) {
    const CImage object = Block(20, 20, 0);
    EXPECT_EQ(ShadowOpacityFactor(0), 255);
    EXPECT_EQ(ShadowOpacityFactor(50), 127);
    EXPECT_EQ(ShadowOpacityFactor(100), 0);
    CEffects::CMaskCache plain;
    ASSERT_TRUE(BuildEffectMask(object, 10, 0, plain));

    for (const int transparency : {0, 50, 100}) {
        CEffects e;
        e.shadowOn = true;
        e.shadowTransparency = transparency;
        EXPECT_TRUE(e.UpdateMasks(object));
        const auto& c = e.ShadowCache();
        ASSERT_EQ(c.width, plain.width);
        const int f = ShadowOpacityFactor(transparency);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const int v = plain.mask->Bits()[y * plain.mask->RowBytes() + x];
                ASSERT_EQ(c.mask->Bits()[y * c.mask->RowBytes() + x], v * f / 255);
            }
        // Transparency 100: the cast shadow vanishes; only the object is left.
        CEffectsOutput out;
        ASSERT_TRUE(RenderWithEffects(e, object, out));
        int shadowPixels = 0;
        for (int y = 0; y < out.image->Height(); ++y)
            for (int x = 0; x < out.image->Width(); ++x) {
                const bool inObject =
                    x + out.x >= 0 && x + out.x < 20 && y + out.y >= 0 && y + out.y < 20;
                shadowPixels += !inObject && Px(*out.image, x, y)[0] != 0;
            }
        if (transparency == 100) {
            EXPECT_EQ(shadowPixels, 0);
        } else {
            EXPECT_GT(shadowPixels, 0);
        }
    }
}

TEST(EffectsRenderTest, CastShadowLiesBehindTheObjectAtItsOffset) {
    const CImage object = Block(40, 30, 0, 10, 20, 30);
    CEffects e;
    e.shadowOn = true; // defaults: distance 5, size 10, 50 %, angle 135, black
    e.shadowColour = CColor(0, 0, 255);
    CEffectsOutput out;
    ASSERT_TRUE(RenderWithEffects(e, object, out));
    const auto& c = e.ShadowCache();
    // The output is the union of the object and the shifted mask.
    EXPECT_EQ(out.x, std::min(0, c.offsetX + 4));
    EXPECT_EQ(out.y, std::min(0, c.offsetY + 4));
    EXPECT_EQ(out.x + out.image->Width(), std::max(40, c.offsetX + 4 + c.width));
    EXPECT_GT(out.image->Width(), 40); // a cast shadow enlarges the image
    EXPECT_GT(out.image->Height(), 30);
    for (int y = 0; y < out.image->Height(); ++y) {
        for (int x = 0; x < out.image->Width(); ++x) {
            const int ox = x + out.x, oy = y + out.y;
            const uint8_t* p = Px(*out.image, x, y);
            if (ox >= 0 && ox < 40 && oy >= 0 && oy < 30) {
                // The opaque object covers its shadow completely.
                ASSERT_EQ(p[0], 255);
                ASSERT_EQ(p[1], 10);
                ASSERT_EQ(p[3], 30);
            } else {
                ASSERT_EQ(p[0], MaskAt(c, ox - 4, oy - 4)) << ox << "," << oy;
                if (p[0]) {
                    ASSERT_EQ(p[3], 255);
                }
            }
        }
    }
}

TEST(EffectsRenderTest, InnerShadowStaysInsideTheObject) {
    const CImage object = Block(40, 30, 0, 255, 255, 255);
    CEffects e;
    e.shadowOn = true;
    e.shadowType = 1;
    e.shadowTransparency = 0;
    CEffectsOutput out;
    ASSERT_TRUE(RenderWithEffects(e, object, out));
    // Never larger than the object.
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.y, 0);
    EXPECT_EQ(out.image->Width(), 40);
    EXPECT_EQ(out.image->Height(), 30);
    // The shadow falls to the lower right, so the object's upper left edge
    // (facing away from the mask) darkens and the middle stays white.
    EXPECT_EQ(Px(*out.image, 0, 0)[1], 0);
    EXPECT_EQ(Px(*out.image, 20, 15)[1], 255);
    EXPECT_GT(Px(*out.image, 39, 29)[1], Px(*out.image, 0, 0)[1]);
    EXPECT_EQ(Px(*out.image, 0, 0)[0], 255);

    // Type 2: both, so the image grows again.
    e.shadowType = 2;
    ASSERT_TRUE(RenderWithEffects(e, object, out));
    EXPECT_GT(out.image->Width(), 40);
    EXPECT_EQ(Px(*out.image, -out.x, -out.y)[1], 0);
}

TEST(EffectsRenderTest, MasksAreCachedUntilSomethingChanges) {
    const CImage object = Block(50, 40, 1);
    CEffects e;
    e.shadowOn = e.glowOn = true;
    EXPECT_TRUE(e.UpdateMasks(object));
    EXPECT_FALSE(e.needsRender);
    const CImage* shadow = e.ShadowCache().mask.get();
    const CImage* glow = e.GlowCache().mask.get();
    EXPECT_FALSE(e.UpdateMasks(object)); // nothing changed: kept
    EXPECT_EQ(e.ShadowCache().mask.get(), shadow);
    EXPECT_EQ(e.GlowCache().mask.get(), glow);

    e.shadowTransparency = 20; // the shadow only
    EXPECT_TRUE(e.UpdateMasks(object));
    EXPECT_EQ(e.GlowCache().mask.get(), glow);

    const CImage wider = Block(51, 40, 1); // the object's size
    EXPECT_TRUE(e.UpdateMasks(wider));
    EXPECT_EQ(e.GlowCache().objectWidth, 53);

    e.Invalidate(); // drops every mask and marks the record
    EXPECT_TRUE(e.needsRender);
    EXPECT_EQ(e.ShadowCache().mask, nullptr);
    EXPECT_TRUE(e.UpdateMasks(wider));
    EXPECT_NE(e.GlowCache().mask, nullptr);

    // A record built with a changed parameter but no size/transparency change
    // (the glow colour) keeps its mask; changing needsRender rebuilds it.
    glow = e.GlowCache().mask.get();
    e.glowColour = CColor(1, 2, 3);
    e.UpdateMasks(wider);
    EXPECT_EQ(e.GlowCache().mask.get(), glow);
    e.needsRender = true;
    e.UpdateMasks(wider);
    EXPECT_FALSE(e.needsRender);
    // The cache rule itself: a mask whose extent does not fit the object.
    CEffects::CMaskCache c;
    ASSERT_TRUE(BuildEffectMask(object, 10, 50, c));
    EXPECT_TRUE(IsMaskCurrent(c, 10, 50, 52, 42, false));
    EXPECT_FALSE(IsMaskCurrent(c, 10, 50, 52, 42, true));
    EXPECT_FALSE(IsMaskCurrent(c, 11, 50, 52, 42, false));
    EXPECT_FALSE(IsMaskCurrent(c, 10, 49, 52, 42, false));
    c.extentWidth = 52 + 12 + 101;
    EXPECT_FALSE(IsMaskCurrent(c, 10, 50, 52, 42, false));
}

TEST(EffectsRenderTest, GlowAndEdgesKeepToTheirSides) {
    const CImage object = Block(60, 60, 0, 0, 0, 0);
    const auto render = [&](CEffects& e) {
        CEffectsOutput out;
        EXPECT_TRUE(RenderWithEffects(e, object, out));
        return out;
    };
    CEffects outer;
    outer.glowOn = true;
    outer.glowTransparency = 0; // type 0: outside only
    CEffectsOutput o = render(outer);
    EXPECT_LT(o.x, -10);
    EXPECT_EQ(Px(*o.image, -o.x + 30, -o.y + 30)[1], 0);  // the middle stays black
    EXPECT_EQ(Px(*o.image, -o.x + 1, -o.y + 30)[1], 0);   // inside the edge too
    EXPECT_GT(Px(*o.image, -o.x - 3, -o.y + 30)[0], 100); // a yellow halo outside
    EXPECT_EQ(Px(*o.image, -o.x - 3, -o.y + 30)[1], 255);

    CEffects inner = outer;
    inner.glowType = 1; // inside near the edge only
    o = render(inner);
    EXPECT_GT(Px(*o.image, -o.x + 1, -o.y + 30)[1], 60);
    EXPECT_LE(Px(*o.image, -o.x + 30, -o.y + 30)[1], 2); // the glow fades out inward
    EXPECT_EQ(Px(*o.image, -o.x - 3, -o.y + 30)[0], 0);

    // Raised edges lit from the upper left (135 degrees) are bright on the
    // left and dark on the right; sunken ones the other way round.
    CEffects edges;
    edges.edgesOn = true;
    edges.edgesType = 1;
    edges.edgesTransparency = 0;
    o = render(edges);
    const int left = Px(*o.image, -o.x + 1, -o.y + 30)[1];
    const int right = Px(*o.image, -o.x + 58, -o.y + 30)[1];
    EXPECT_GT(left, 150);
    EXPECT_LT(right, 60);
    EXPECT_EQ(Px(*o.image, -o.x + 30, -o.y + 30)[1], 0);
    edges.edgesStyle = 1;
    o = render(edges);
    EXPECT_LT(Px(*o.image, -o.x + 1, -o.y + 30)[1], 60);
    EXPECT_GT(Px(*o.image, -o.x + 58, -o.y + 30)[1], 150);
}

TEST(EffectsRenderTest, LargeObjectsShowTheWaitCursorOnce) {
    pwtest::CScriptedInteraction ui;
    SetEffectsInteraction(&ui);
    CEffects e;
    e.glowOn = true;
    CEffectsOutput out;
    ASSERT_TRUE(RenderWithEffects(e, Block(100, 100, 0), out));
    EXPECT_EQ(ui.MaxWaitCount(), 0);
    ASSERT_TRUE(RenderWithEffects(e, Block(300, 20, 0), out));
    EXPECT_EQ(ui.MaxWaitCount(), 1);
    EXPECT_EQ(ui.WaitCount(), 0);
    SetEffectsInteraction(nullptr);

    // No effect on: the object's own image comes back unchanged.
    CEffects none;
    const CImage object = Block(5, 4, 1);
    ASSERT_TRUE(RenderWithEffects(none, object, out));
    EXPECT_EQ(out.x, 0);
    ASSERT_EQ(out.image->Width(), 7);
    EXPECT_EQ(Px(*out.image, 3, 3)[1], 200);
}
