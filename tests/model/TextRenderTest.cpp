// Drawing texts: the coverage and colour planes, the fills, scaling, turning
// and effects.
#include "image/Image.h"
#include "model/TextObject.h"
#include "model/Effects.h"
#include "render/EffectsRenderer.h"
#include "model/ObjectFill.h"
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <numbers>

namespace {

std::unique_ptr<CTextObject> MakeText(const std::string& s, uint16_t points, int32_t colour,
                                      bool bold = false) {
    auto text = std::make_unique<CTextObject>(DPOINT{200, 150}, CObjectSize{300, 20});
    CCharStyle style;
    style.SetFaceName("Arial");
    style.fontSize = points;
    style.color = colour;
    style.bold = bold;
    for (char c : s)
        text->Layout().Append(static_cast<uint8_t>(c), style);
    text->LayoutText();
    return text;
}

const uint8_t* Pixel(const CImage& image, int x, int y) {
    return image.Bits() + y * image.RowBytes() + 4 * x;
}

struct CEffectsInstalled {
    CEffectsInstalled() { InstallEffectsRenderer(); }
    ~CEffectsInstalled() { CShapeObject::RenderHooks().applyEffects = nullptr; }
};

} // namespace

TEST(TextRender, InkStaysInsideTheTightBox) {
    auto text = MakeText("Pagewright gyldig", 12, 0x000000);
    CPixMap work(WithAlpha(IMAGE_RGB8), 128, 128);
    ASSERT_TRUE(text->Render(work));
    const CImage* image = text->GetImage();
    ASSERT_NE(image, nullptr);
    const CTextLayout& layout = text->Layout();
    // Upright and unscaled, the image is the box on the page.
    EXPECT_EQ(text->GetRect(), text->BoxRect());
    EXPECT_EQ(image->Width(), layout.boxWidth);
    EXPECT_EQ(image->Height(), layout.boxHeight);
    const CRect ink = layout.InkBox();
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_GE(ink.left, 2);
    EXPECT_GE(ink.top, 2);
    EXPECT_LE(ink.right, layout.boxWidth);
    EXPECT_LE(ink.bottom, layout.boxHeight);
    int inked = 0;
    CRect seen{image->Width(), image->Height(), 0, 0};
    for (int y = 0; y < image->Height(); ++y)
        for (int x = 0; x < image->Width(); ++x) {
            if (Pixel(*image, x, y)[0] == 0) continue;
            ++inked;
            seen = {std::min(seen.left, x), std::min(seen.top, y), std::max(seen.right, x + 1),
                    std::max(seen.bottom, y + 1)};
            // Black text shows black where it shows at all.
            EXPECT_LE(Pixel(*image, x, y)[1], 2);
        }
    EXPECT_GT(inked, 100);
    EXPECT_EQ(seen, ink);
    // The descender of "g" reaches below the baseline of the row.
    const CTextRow& row = layout.Paragraph(0).rows[0];
    EXPECT_GT(ink.bottom, row.top + row.ascent);
}

TEST(TextRender, ColoursComeFromTheTextOrTheFill) {
    const int32_t colour = 0x3060C0; // red C0, green 60, blue 30
    auto text = MakeText("HI", 48, colour, true);
    CPixMap work(WithAlpha(IMAGE_RGB8), 128, 128);
    ASSERT_TRUE(text->Render(work));
    const CImage& image = *text->GetImage();
    int full = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const uint8_t* p = Pixel(image, x, y);
            if (p[0] != 255) continue;
            ++full;
            EXPECT_NEAR(p[1], 0xC0, 2);
            EXPECT_NEAR(p[2], 0x60, 2);
            EXPECT_NEAR(p[3], 0x30, 2);
        }
    EXPECT_GT(full, 200);

    // A solid fill paints every letter in the fill colour, keeping the
    // coverage.
    std::vector<uint8_t> alpha;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            alpha.push_back(Pixel(image, x, y)[0]);
    text->GetFill()->SetColour(CColor(10, 200, 90));
    text->Invalidate();
    ASSERT_TRUE(text->Render(work));
    const CImage& solid = *text->GetImage();
    std::size_t i = 0;
    for (int y = 0; y < solid.Height(); ++y)
        for (int x = 0; x < solid.Width(); ++x, ++i) {
            const uint8_t* p = Pixel(solid, x, y);
            ASSERT_EQ(p[0], alpha[i]);
            if (p[0] == 0) continue;
            EXPECT_EQ(p[1], 10);
            EXPECT_EQ(p[2], 200);
            EXPECT_EQ(p[3], 90);
        }
}

TEST(TextRender, AdvancedTextScalesTurnsAndTakesEffects) {
    auto text = MakeText("Skala", 20, 0x000000);
    text->SetAdvanced(true);
    CPixMap work(WithAlpha(IMAGE_RGB8), 128, 128);
    ASSERT_TRUE(text->Render(work));
    const CRect plain = text->GetRect();
    const CObjectSize size = text->GetSize();

    // Twice the size: scale 2 in both directions, the box itself unchanged.
    const int32_t boxWidth = text->Layout().boxWidth;
    text->SetSize(2 * size.width, 2 * size.height);
    EXPECT_DOUBLE_EQ(text->ScaleX(), 2.0);
    EXPECT_EQ(text->Layout().boxWidth, boxWidth);
    ASSERT_TRUE(text->Render(work));
    EXPECT_NEAR(text->GetRect().Width(), 2 * plain.Width(), 2);
    EXPECT_NEAR(text->GetRect().Height(), 2 * plain.Height(), 2);

    // A quarter turn swaps the sides.
    text->SetSize(size);
    text->SetAngle(std::numbers::pi / 2);
    ASSERT_TRUE(text->Render(work));
    EXPECT_NEAR(text->GetRect().Width(), plain.Height(), 2);
    EXPECT_NEAR(text->GetRect().Height(), plain.Width(), 2);

    // A shadow grows the image the way it grows a shape's, and the image is
    // cropped to what shows.
    text->SetAngle(0.0);
    ASSERT_TRUE(text->Render(work));
    const CRect upright = text->GetRect();
    {
        CEffectsInstalled installed;
        text->GetEffects()->shadowOn = true;
        text->Invalidate();
        ASSERT_TRUE(text->Render(work));
    }
    const CRect shaded = text->GetRect();
    // The shadow (5 pixels towards the lower right, blurred) reaches past
    // the ink; the empty rest of the box is cropped away.
    CRect ink = text->Layout().InkBox();
    ink.Offset(upright.left, upright.top);
    EXPECT_GT(shaded.right, ink.right + 3);
    EXPECT_GT(shaded.bottom, ink.bottom + 3);
    EXPECT_GE(shaded.left, ink.left - 3);
    EXPECT_LT(shaded.Width(), upright.Width());
    EXPECT_FALSE(text->QualifiesAsHtmlText());

    // While edited, the text shows its plain box whatever its effects.
    text->BeginEditing();
    ASSERT_TRUE(text->Render(work));
    EXPECT_EQ(text->GetRect(), text->BoxRect());
}
