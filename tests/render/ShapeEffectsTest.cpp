#include "image/Image.h"
#include "model/RectObject.h"
#include "model/Effects.h"
#include "render/EffectsRenderer.h"
#include "model/ObjectFill.h"
#include <gtest/gtest.h>

namespace {
class CEffectsInstalled {
public:
    CEffectsInstalled() { InstallEffectsRenderer(); }
    ~CEffectsInstalled() { CShapeObject::RenderHooks().applyEffects = nullptr; }
};

const uint8_t* PixelAt(const CPageObject& o, int pageX, int pageY) {
    const CRect r = o.GetRect();
    const CImage* img = o.GetImage();
    if (!img || !r.Contains(pageX, pageY)) return nullptr;
    return img->Bits() + (pageY - r.top) * img->RowBytes() + 4 * (pageX - r.left);
}
} // namespace

TEST(ShapeEffectsTest, RenderedShapeCarriesItsShadowAroundIt) {
    CEffectsInstalled installed;
    CPixMap work(WithAlpha(IMAGE_RGB8), 256, 256);
    // A 60 x 40 rectangle covering (70, 80)-(130, 120).
    CRectObject plain({100, 100}, {60, 40});
    plain.GetFill()->SetColour(CColor(0, 200, 0));
    ASSERT_TRUE(plain.Render(work));
    const CRect bare = plain.GetRect();
    EXPECT_EQ(bare.Width(), 60);

    CRectObject shaded({100, 100}, {60, 40});
    shaded.GetFill()->SetColour(CColor(0, 200, 0));
    shaded.GetEffects()->shadowOn = true; // distance 5 at 135 degrees: (4, 4)
    ASSERT_TRUE(shaded.Render(work));
    const CRect r = shaded.GetRect();
    // The object stays where it is; the shadow reaches past its lower right
    // by the offset plus the blur, and on the upper left by what the blur
    // (about three sigma = 6) leaves beyond the offset of 4.
    EXPECT_LE(r.left, bare.left);
    EXPECT_GE(r.left, bare.left - 2);
    EXPECT_GE(r.top, bare.top - 2);
    EXPECT_GT(r.right, bare.right + 4);
    EXPECT_GT(r.bottom, bare.bottom + 4);
    const uint8_t* centre = PixelAt(shaded, 100, 100);
    ASSERT_NE(centre, nullptr);
    EXPECT_EQ(centre[0], 255);
    EXPECT_EQ(centre[2], 200);
    const uint8_t* shadow = PixelAt(shaded, bare.right + 2, 100);
    ASSERT_NE(shadow, nullptr);
    EXPECT_GT(shadow[0], 40); // half-transparent black
    EXPECT_EQ(shadow[1], 0);
    EXPECT_EQ(shadow[2], 0);

    // DrawInto hands out the pixels at their offsets inside the new rect.
    CPixMap tile(WithAlpha(IMAGE_RGB8), 256, 256);
    tile.width = tile.height = 1;
    shaded.DrawInto(100 - r.left, 100 - r.top, tile, CColor(255, 255, 255));
    EXPECT_EQ(tile.plane[0].data[2], 200);

    // Turning the effects off brings the bare rectangle back.
    auto none = std::make_unique<CEffects>();
    shaded.SetEffects(std::move(none));
    ASSERT_TRUE(shaded.Render(work));
    EXPECT_EQ(shaded.GetRect(), bare);
}

TEST(ShapeEffectsTest, GlowWidensTheImageOnEverySide) {
    CEffectsInstalled installed;
    CPixMap work(WithAlpha(IMAGE_RGB8), 256, 256);
    CRectObject shape({300, 200}, {100, 80});
    shape.GetEffects()->glowOn = true; // size 50: sigma 10
    ASSERT_TRUE(shape.Render(work));
    const CRect r = shape.GetRect();
    EXPECT_LT(r.left, 250 - 15);
    EXPECT_GT(r.right, 350 + 15);
    EXPECT_EQ(r.left - 250, 350 - r.right); // centred on the object
    EXPECT_EQ(r.top - 160, 240 - r.bottom);
    // Rendering again with nothing changed reuses the glow mask.
    const CImage* mask = shape.GetEffects()->GlowCache().mask.get();
    shape.Invalidate();
    ASSERT_TRUE(shape.Render(work));
    EXPECT_EQ(shape.GetEffects()->GlowCache().mask.get(), mask);
    EXPECT_EQ(shape.GetRect(), r);
}
