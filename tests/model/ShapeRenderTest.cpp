// Pixels of rendered ellipses and rectangles, the drag preview and the
// rendering stages that later parts install.
#include "image/Image.h"
#include "model/ButtonText.h"
#include "model/EllipseObject.h"
#include "model/RectObject.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <numbers>

namespace {
constexpr double kPi = std::numbers::pi;
constexpr IMAGE_MODE kArgb = WithAlpha(IMAGE_RGB8);

CPixMap Work(int w = 256, int h = 256) {
    return CPixMap(kArgb, w, h);
}

const uint8_t* Px(const CImage& image, int x, int y) {
    return image.Bits() + y * image.RowBytes() + 4 * x;
}
uint8_t* Px(CPixMap& map, int x, int y) {
    return map.Sample(x, y, 0);
}

double Coverage(const CImage& image) {
    double sum = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            sum += Px(image, x, y)[0];
    return sum / 255.0;
}

// Equal colour planes, and coverage equal up to the rasteriser's curve
// flattening, which depends a little on where a block cuts the outline.
bool SameImage(const CImage& a, const CImage& b, int alphaTolerance = 0) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const uint8_t* p = Px(a, x, y);
            const uint8_t* q = Px(b, x, y);
            if (std::abs(p[0] - q[0]) > alphaTolerance) return false;
            if (std::memcmp(p + 1, q + 1, 3) != 0) return false;
        }
    return true;
}

void ExpectRgb(const uint8_t* p, int r, int g, int b, const char* where) {
    EXPECT_EQ(p[1], r) << where;
    EXPECT_EQ(p[2], g) << where;
    EXPECT_EQ(p[3], b) << where;
}

// Installs rendering stages for one test and removes them again.
class CHookGuard {
public:
    explicit CHookGuard(CShapeRenderHooks hooks) { CShapeObject::RenderHooks() = std::move(hooks); }
    ~CHookGuard() { CShapeObject::RenderHooks() = {}; }
};
} // namespace

TEST(ShapeRender, EllipseCoverageMatchesItsAreaAtAnyAngle) {
    CPixMap work = Work();
    const double area = kPi * 100 * 50;
    for (double degrees : {0.0, 30.0, 45.0, 100.0}) {
        CEllipseObject e({250.25, 150.5}, {200, 100}, degrees * kPi / 180);
        ASSERT_TRUE(e.Render(work)) << degrees;
        const CImage& image = *e.GetImage();
        EXPECT_EQ(image.Width(), e.GetRect().Width());
        EXPECT_EQ(image.Height(), e.GetRect().Height());
        EXPECT_EQ(e.GetRect(), e.GetOutline().GetBoundingBox());
        const double tolerance = degrees == 0.0 ? 0.005 : 0.01;
        EXPECT_NEAR(Coverage(image) / area, 1.0, tolerance) << degrees;
        const CRect r = e.GetRect();
        EXPECT_EQ(Px(image, 250 - r.left, 150 - r.top)[0], 255) << degrees;
    }
    CEllipseObject flat({250, 150}, {200, 100});
    ASSERT_TRUE(flat.Render(work));
    EXPECT_EQ(flat.GetRect(), (CRect{150, 100, 350, 200}));
    EXPECT_EQ(Px(*flat.GetImage(), 0, 0)[0], 0);
    EXPECT_EQ(Px(*flat.GetImage(), 199, 99)[0], 0);
}

TEST(ShapeRender, TinyEllipseIsBuiltInsideItsPixel) {
    // A 1 x 1 ellipse drawn in a 0.99 box covers pi * 0.495^2 of its pixel,
    // visibly less than the full inscribed circle (pi / 4).
    CEllipseObject e({10.5, 10.5}, {1, 1});
    CPixMap work = Work();
    ASSERT_TRUE(e.Render(work));
    EXPECT_EQ(e.GetRect(), (CRect{10, 10, 11, 11}));
    const double alpha = Px(*e.GetImage(), 0, 0)[0];
    EXPECT_NEAR(alpha, kPi * 0.495 * 0.495 * 255, 1.5);
    EXPECT_LT(alpha, kPi / 4 * 255 - 2);
}

TEST(ShapeRender, SolidRectanglePaintsItsColourWithExactEdges) {
    CPixMap work = Work();
    CRectObject aligned({50, 30}, {40, 20});
    aligned.GetFill()->SetColour(CColor(12, 34, 56));
    ASSERT_TRUE(aligned.Render(work));
    EXPECT_EQ(aligned.GetRect(), (CRect{30, 20, 70, 40}));
    const CImage& a = *aligned.GetImage();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(Px(a, x, y)[0], 255);
            ASSERT_EQ(Px(a, x, y)[3], 56);
        }

    // Edges on half pixels: half coverage at the sides, a quarter at corners.
    CRectObject half({50, 30}, {41, 21});
    half.GetFill()->SetColour(CColor(12, 34, 56));
    ASSERT_TRUE(half.Render(work));
    EXPECT_EQ(half.GetRect(), (CRect{29, 19, 71, 41}));
    const CImage& h = *half.GetImage();
    EXPECT_NEAR(Px(h, 0, 10)[0], 128, 1);
    EXPECT_NEAR(Px(h, 20, 21)[0], 128, 1);
    EXPECT_NEAR(Px(h, 41, 0)[0], 64, 1);
    EXPECT_EQ(Px(h, 20, 10)[0], 255);

    CRectObject turned({80.5, 60.25}, {40, 20}, 30 * kPi / 180);
    turned.GetFill()->SetColour(CColor(200, 150, 100));
    ASSERT_TRUE(turned.Render(work));
    const CImage& t = *turned.GetImage();
    EXPECT_NEAR(Coverage(t) / 800.0, 1.0, 0.005);
    int covered = 0;
    for (int y = 0; y < t.Height(); ++y)
        for (int x = 0; x < t.Width(); ++x) {
            if (Px(t, x, y)[0] == 0) continue;
            ++covered;
            ASSERT_EQ(Px(t, x, y)[1], 200);
            ASSERT_EQ(Px(t, x, y)[2], 150);
            ASSERT_EQ(Px(t, x, y)[3], 100);
        }
    EXPECT_GT(covered, 800);
}

TEST(ShapeRender, WorkMapSizeDoesNotChangeThePixels) {
    CEllipseObject e({311.3, 207.8}, {300, 170}, 0.6);
    e.GetFill()->SetColour(CColor(90, 60, 30));
    CPixMap big = Work();
    ASSERT_TRUE(e.Render(big));
    const CImage reference = *e.GetImage();

    CPixMap odd = Work(37, 23);
    e.Invalidate();
    ASSERT_TRUE(e.Render(odd));
    EXPECT_TRUE(SameImage(reference, *e.GetImage(), 16));
    EXPECT_NEAR(Coverage(*e.GetImage()), Coverage(reference), 1.0);

    // A map of another layout is not usable as work space; the object uses
    // its own.
    CPixMap rgb(IMAGE_RGB8, 64, 64);
    e.Invalidate();
    ASSERT_TRUE(e.Render(rgb));
    EXPECT_TRUE(SameImage(reference, *e.GetImage()));
    CPixMap none;
    e.Invalidate();
    ASSERT_TRUE(e.Render(none));
    EXPECT_TRUE(SameImage(reference, *e.GetImage()));
}

TEST(ShapeRender, DrawIntoCopiesTheCachedImage) {
    CRectObject r({20, 20}, {10, 10});
    r.GetFill()->SetColour(CColor(1, 2, 3));
    CPixMap work = Work();
    ASSERT_TRUE(r.Render(work));
    CPixMap map = Work(12, 12);
    std::memset(map.plane[0].data, 0x77, map.bufferSize[0]);
    r.DrawInto(-3, -2, map, CColor(255, 255, 255));
    // Map pixel (c, r) shows image pixel (c - 3, r - 2).
    EXPECT_EQ(Px(map, 3, 2)[0], 255);
    ExpectRgb(Px(map, 3, 2), 1, 2, 3, "inside");
    EXPECT_EQ(Px(map, 2, 2)[0], 0);
    ExpectRgb(Px(map, 2, 2), 0x77, 0x77, 0x77, "left of the image keeps its colour");
    EXPECT_EQ(Px(map, 5, 1)[0], 0);
    EXPECT_EQ(Px(map, 11, 11)[0], 255); // image pixel (8, 9)
}

TEST(ShapeRender, DragPreviewIsOneVisibleColour) {
    CEllipseObject e({20, 20}, {40, 40});
    e.GetFill()->SetColour(CColor(100, 200, 50));
    ASSERT_TRUE(e.IsDirty());
    CPixMap map = Work(40, 40);
    auto preview = [&](const CColor& background) {
        std::memset(map.plane[0].data, 0xFF, map.bufferSize[0]);
        e.DrawInto(0, 0, map, background);
    };

    preview(CColor(110, 190, 60)); // within 15 on every channel
    ExpectRgb(Px(map, 20, 20), 125, 175, 75, "pushed away from the background");
    ExpectRgb(Px(map, 0, 0), 125, 175, 75, "colour planes are flat");
    preview(CColor(100, 200, 80)); // blue differs by 30
    ExpectRgb(Px(map, 20, 20), 100, 200, 50, "own fill colour");
    preview(CColor(100, 214, 36)); // 14 away: still too close
    ExpectRgb(Px(map, 20, 20), 115, 199, 51, "pushed");
    e.GetFill()->SetColour(CColor(128, 129, 128));
    preview(CColor(128, 129, 128));
    ExpectRgb(Px(map, 20, 20), 143, 114, 143, "128 goes up, 129 down");

    // The alpha plane is cleared and then holds the outline's coverage.
    double sum = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            sum += Px(map, x, y)[0];
    EXPECT_NEAR(sum / 255 / (kPi * 400), 1.0, 0.03);
    EXPECT_EQ(Px(map, 0, 0)[0], 0);
    EXPECT_EQ(Px(map, 20, 20)[0], 255);

    // After a fast move the preview still draws the shape where it now is.
    std::vector<uint8_t> before(map.plane[0].data, map.plane[0].data + map.bufferSize[0]);
    e.MoveBy(5, -4);
    preview(CColor(128, 129, 128));
    EXPECT_EQ(0, std::memcmp(before.data(), map.plane[0].data, before.size()));
}

TEST(ShapeRender, EffectsStageRunsAfterTheFillAndTheImageIsCropped) {
    int calls = 0;
    CShapeRenderHooks hooks;
    hooks.applyEffects = [&](CShapeObject&, CImage& image, CPixMap&) {
        ++calls;
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < 10; ++x)
                image.Bits()[y * image.RowBytes() + 4 * x] = 0;
        return true;
    };
    CHookGuard guard(std::move(hooks));
    CPixMap work = Work();

    CRectObject r({50, 50}, {40, 30});
    ASSERT_TRUE(r.Render(work));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(r.GetRect(), (CRect{30, 35, 70, 65})); // nothing switched on: no crop
    const CImage uncropped = *r.GetImage();

    r.GetEffects()->glowOn = true;
    r.Invalidate();
    ASSERT_TRUE(r.Render(work));
    EXPECT_EQ(r.GetRect(), (CRect{40, 35, 70, 65}));
    const CImage& cropped = *r.GetImage();
    ASSERT_EQ(cropped.Width(), 30);
    for (int y = 0; y < 30; ++y)
        ASSERT_EQ(0, std::memcmp(Px(cropped, 0, y), Px(uncropped, 10, y), 4 * 30));

    // Moving keeps the cropped image in step.
    r.MoveBy(-1, 1);
    EXPECT_EQ(r.GetRect(), (CRect{39, 36, 69, 66}));

    // A failing stage fails the rendering and leaves the object dirty.
    CShapeObject::RenderHooks().applyEffects = [](CShapeObject&, CImage&, CPixMap&) {
        return false;
    };
    r.Invalidate();
    EXPECT_FALSE(r.Render(work));
    EXPECT_TRUE(r.IsDirty());
}

TEST(ShapeRender, LabelIsDrawnUprightAndTurnsWithTheShape) {
    CShapeRenderHooks hooks;
    hooks.drawLabel = [](const CShapeObject&, const CButtonText& label, CImage& texture) {
        EXPECT_EQ(label.text, "Gå");
        // Paint the upper half red, as a stand-in for glyphs.
        for (int y = 0; y < texture.Height() / 2; ++y)
            for (int x = 0; x < texture.Width(); ++x) {
                uint8_t* p = texture.Bits() + y * texture.RowBytes() + 4 * x;
                p[1] = 255, p[2] = 0, p[3] = 0;
            }
        return true;
    };
    CHookGuard guard(std::move(hooks));
    CPixMap work = Work();
    CButtonText label;
    label.text = "Gå";

    CRectObject r({50, 30}, {40, 20});
    r.GetFill()->SetColour(CColor(0, 0, 255));
    r.SetButtonText(label);
    ASSERT_TRUE(r.Render(work));
    const CImage& upright = *r.GetImage();
    ExpectRgb(Px(upright, 20, 4), 255, 0, 0, "upper half carries the label");
    ExpectRgb(Px(upright, 20, 15), 0, 0, 255, "lower half the fill");
    ExpectRgb(Px(upright, 2, 2), 255, 0, 0, "label reaches the corner");

    // A quarter turn counter-clockwise brings the top of the box to the left.
    r.SetAngle(kPi / 2);
    ASSERT_TRUE(r.Render(work));
    const CImage& turned = *r.GetImage();
    ASSERT_EQ(turned.Width(), 20);
    ASSERT_EQ(turned.Height(), 40);
    ExpectRgb(Px(turned, 4, 20), 255, 0, 0, "left half carries the label");
    ExpectRgb(Px(turned, 15, 20), 0, 0, 255, "right half the fill");
    ExpectRgb(Px(turned, 4, 2), 255, 0, 0, "label along the whole side");
}

TEST(ShapeRender, HeldPictureFillIsStretchedAndTurned) {
    // 20 x 10 picture: left half red, right half green.
    auto picture = std::make_unique<CImage>(IMAGE_RGB8, 20, 10, 96.0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            uint8_t* p = picture->Bits() + y * picture->RowBytes() + 3 * x;
            p[0] = x < 10 ? 255 : 0, p[1] = x < 10 ? 0 : 255, p[2] = 0;
        }
    CRectObject r({50, 30}, {40, 20});
    r.GetFill()->SetHeldImage(std::move(picture));
    CPixMap work = Work();
    ASSERT_TRUE(r.PrepareAndRender(work));
    const CImage& upright = *r.GetImage();
    ExpectRgb(Px(upright, 5, 10), 255, 0, 0, "left");
    ExpectRgb(Px(upright, 34, 10), 0, 255, 0, "right");
    EXPECT_EQ(Px(upright, 34, 10)[0], 255);

    // Turned a quarter counter-clockwise the left half goes to the bottom.
    r.SetAngle(kPi / 2);
    ASSERT_TRUE(r.PrepareAndRender(work));
    const CImage& turned = *r.GetImage();
    ASSERT_EQ(turned.Height(), 40);
    ExpectRgb(Px(turned, 10, 34), 255, 0, 0, "bottom");
    ExpectRgb(Px(turned, 10, 5), 0, 255, 0, "top");
}

TEST(ShapeRender, ImpossibleImagesFailAndEmptyShapesRenderToNothing) {
    CPixMap work = Work();
    CRectObject huge({0, 0}, {40000, 10});
    EXPECT_FALSE(huge.Render(work));
    EXPECT_TRUE(huge.IsDirty());
    EXPECT_EQ(huge.GetImage(), nullptr);

    CRectObject empty({5, 5}, {0, 0});
    EXPECT_TRUE(empty.Render(work));
    EXPECT_FALSE(empty.IsDirty());
    EXPECT_EQ(empty.GetImage(), nullptr);
    EXPECT_TRUE(empty.GetRect().IsEmpty());
    CPixMap map = Work(4, 4);
    std::memset(map.plane[0].data, 0xFF, map.bufferSize[0]);
    empty.DrawInto(0, 0, map, CColor(0, 0, 0));
    EXPECT_EQ(Px(map, 2, 2)[0], 0);
}
