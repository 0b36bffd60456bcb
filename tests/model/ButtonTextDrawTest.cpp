// Labels drawn onto shapes: placement of the lines, the shadow and the mixing
// into the fill texture.
#include "model/ButtonTextDraw.h"
#include "image/Image.h"
#include "model/ButtonText.h"
#include "model/RectObject.h"
#include "model/TextObject.h"
#include "model/ObjectFill.h"
#include "services/FontEngine.h"
#include <cstring>
#include <gtest/gtest.h>

namespace {

CImage White(int w, int h) {
    CImage image(WithAlpha(IMAGE_RGB8), w, h, 96.0);
    std::memset(image.Bits(), 255, image.BufferBytes());
    return image;
}

// Smallest box of the pixels that are not white.
CRect Ink(const CImage& image, int channel = 1) {
    CRect r{image.Width(), image.Height(), 0, 0};
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (image.Bits()[y * image.RowBytes() + 4 * x + channel] != 255)
                r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
                     std::max(r.bottom, y + 1)};
    return r;
}

CButtonText Label(const std::string& text, int32_t alignment) {
    CButtonText label;
    label.text = text;
    label.font = "Arial";
    label.fontSize = 20;
    label.color = CColor(0, 0, 0);
    label.alignment = alignment;
    label.shadow = false;
    return label;
}

} // namespace

TEST(ButtonTextDraw, ShadowOffsetRoundsHalfUp) {
    int dx = 0, dy = 0;
    LabelShadowOffset(120, 1, dx, dy);
    EXPECT_EQ(dx, 1);
    EXPECT_EQ(dy, 1);
    LabelShadowOffset(0, 3, dx, dy);
    EXPECT_EQ(dx, -3);
    EXPECT_EQ(dy, 0);
    LabelShadowOffset(90, 4, dx, dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 4);
    LabelShadowOffset(270, 5, dx, dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, -5);
    // -cos(60) x 1 = -0.5 rounds up to 0; sin(60) = 0.87 rounds to 1.
    LabelShadowOffset(60, 1, dx, dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 1);
    EXPECT_EQ(SplitLabelLines("a\r\nb\nc\rd").size(), 4u);
}

TEST(ButtonTextDraw, LinesAreAlignedAndTheBlockCentred) {
    CFontEngine& engine = CFontEngine::Instance();
    CFontRequest spec;
    spec.face = engine.FaceName(engine.FaceIndexWithFallback("Arial"));
    spec.pixelHeight = 20;
    const int width = engine.TextWidth(spec, U"MMM");
    const int lineHeight = engine.Metrics(spec).height;
    const int w = 200, h = 100;
    CRect ink[3];
    for (int32_t a = 0; a < 3; ++a) {
        CImage texture = White(w, h);
        ASSERT_TRUE(DrawButtonText(Label("MMM", a), texture));
        ink[a] = Ink(texture);
        ASSERT_FALSE(ink[a].IsEmpty());
    }
    // The same glyphs land at the three cell positions.
    EXPECT_EQ(ink[1].left - ink[0].left, w / 2 - width / 2);
    EXPECT_EQ(ink[2].left - ink[0].left, w - width);
    EXPECT_EQ(ink[0].top, ink[2].top);
    // The line's cell is centred vertically: the ink lies inside it.
    const int top = h / 2 - lineHeight / 2;
    EXPECT_GE(ink[0].top, top);
    EXPECT_LE(ink[0].bottom, top + lineHeight);

    // Two lines: the block of both is centred.
    CImage two = White(w, h);
    ASSERT_TRUE(DrawButtonText(Label("MMM\nMMM", 0), two));
    const CRect both = Ink(two);
    const int glyphTop = ink[0].top - top; // ink below the top of its cell
    EXPECT_EQ(both.top, h / 2 - (2 * lineHeight) / 2 + glyphTop);
    EXPECT_EQ(both.bottom - both.top, ink[0].Height() + lineHeight);
}

TEST(ButtonTextDraw, ShadowGoesUnderTheTextAndShapesShowTheLabel) {
    CButtonText label = Label("I", 1);
    label.fontSize = 40;
    label.color = CColor(255, 0, 0);
    label.shadow = true;
    label.shadowColor = CColor(0, 0, 255);
    label.shadowDistance = 3;
    label.shadowDirection = 90; // straight down
    CImage plain = White(100, 80);
    CButtonText noShadow = label;
    noShadow.shadow = false;
    ASSERT_TRUE(DrawButtonText(noShadow, plain));
    CImage shaded = White(100, 80);
    ASSERT_TRUE(DrawButtonText(label, shaded));
    // Green is 0 under both the red text and the blue shadow: its ink is the
    // union of both, three rows taller.
    const CRect text = Ink(plain, 2);
    const CRect both = Ink(shaded, 2);
    EXPECT_EQ(both.top, text.top);
    EXPECT_EQ(both.bottom, text.bottom + 3);
    EXPECT_EQ(both.left, text.left);
    // Where the text fully covers, it is red on top of the shadow.
    const int cx = (text.left + text.right) / 2, cy = (text.top + text.bottom) / 2;
    const uint8_t* p = shaded.Bits() + cy * shaded.RowBytes() + 4 * cx;
    EXPECT_EQ(p[1], 255);
    EXPECT_EQ(p[3], 0);
    // The alpha plane is left alone.
    EXPECT_EQ(shaded.Bits()[0], 255);

    // A labelled rectangle renders its label once the text code is installed.
    InstallTextHooks();
    CRectObject button(DPOINT{60, 40}, CObjectSize{100, 60});
    button.GetFill()->SetColour(CColor(255, 255, 255));
    CButtonText caption = Label("OK", 1);
    button.SetButtonText(caption);
    CPixMap work(WithAlpha(IMAGE_RGB8), 128, 128);
    ASSERT_TRUE(button.Render(work));
    const CRect drawn = Ink(*button.GetImage());
    EXPECT_FALSE(drawn.IsEmpty());
    EXPECT_NEAR((drawn.left + drawn.right) / 2.0, 50, 3);
    EXPECT_NEAR((drawn.top + drawn.bottom) / 2.0, 30, 4);
}
