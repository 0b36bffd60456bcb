#pragma once
// A page with an item of every kind the renderer draws, for the tests that
// compare a page drawn at a scale with the page at scale 1 (in the core and
// in the browser).
#include "tests/support/PageReference.h"
#include "tests/sitebuild/BrowserSites.h"
#include <filesystem>

namespace pwtest {

enum class EEveryKindBackground { Gradient, Tiled, Centred };

// Fills a page of at least 400 x 320. The pictures are written to `pictures`.
inline void FillEveryKindPage(CPage& page, const std::filesystem::path& pictures,
                              EEveryKindBackground kind) {
    CBackgroundFill background;
    if (kind == EEveryKindBackground::Gradient) {
        background.SetGradient(CFillGradient(Predefined(3)));
        background.SetHorizontal(true);
    } else {
        background.SetImagePath(SavePicture(pictures / "tile.png", Pattern(50, 40, 2)));
        background.SetTiled(kind == EEveryKindBackground::Tiled);
    }
    page.SetBackground(std::make_unique<CBackgroundFill>(background));

    auto& rect = Add<CRectObject>(page, {60, 40}, {90, 50});
    rect.GetFill()->SetColour(CColor(200, 30, 40));
    // A turned ellipse under a gradient, with a shadow and a glow.
    auto& ellipse = Add<CEllipseObject>(page, {190, 60}, {110, 70}, 0.4);
    ellipse.GetFill()->SetGradient(CFillGradient(Predefined(2), 30));
    ellipse.GetEffects()->shadowOn = true;
    ellipse.GetEffects()->glowOn = true;
    ellipse.GetEffects()->glowSize = 20;
    // A picture from a file twice its size: at scale 2 its detail shows.
    auto& picture = Add<CRectObject>(page, {330, 60}, {100, 75});
    picture.GetFill()->SetImagePath(SavePicture(pictures / "photo.jpg", Pattern(200, 150, 4)));
    picture.GetFill()->SetPicture(true);
    // A shape filled with a picture, turned, with raised edges.
    auto& filled = Add<CEllipseObject>(page, {70, 150}, {100, 80}, -0.3);
    filled.GetFill()->SetImagePath(SavePicture(pictures / "fill.png", Pattern(120, 90, 5)));
    filled.GetEffects()->edgesOn = true;
    // A texture held in the site file itself.
    auto& texture = Add<CRectObject>(page, {200, 160}, {90, 60});
    texture.GetFill()->SetHeldImage(std::make_unique<CImage>(Pattern(30, 20, 6)));
    // A navigation button with a label, shown in its mouse-over state, which
    // is offset.
    CButtonText label;
    label.font = "Arial";
    label.fontSize = 14;
    label.bold = true;
    label.shadow = true;
    label.shadowDistance = 1;
    label.text = "Forside";
    auto& button = Add<CRectObject>(page, {330, 160}, {110, 40});
    button.GetFill()->SetGradient(CFillGradient(Predefined(1), 90));
    button.SetButtonText(label);
    CPageItem& item = AddMouseOver(page, button, [](CShapeObject& o) {
        o.GetFill()->SetColour(CColor(40, 90, 160));
    });
    item.SetMouseOverOffset({3, 2});
    item.SetEditingMouseOver(true);
    // Texts: an advanced one turned with a shadow, and a plain one.
    auto& advanced = AddText(page, {130, 250}, {220, 40}, "Skarp tekst", 24, 0x203080, true);
    advanced.SetAdvanced(true);
    advanced.SetAngle(0.1);
    advanced.GetEffects()->shadowOn = true;
    AddText(page, {320, 260}, {140, 50}, "Almindelig tekst der brydes", 13, 0x000000);
}

// Each scale x scale block of an RGB picture averaged into one pixel.
inline CImage BoxDownscale(const CImage& image, int scale) {
    CImage out(IMAGE_RGB8, image.Width() / scale, image.Height() / scale, 96.0);
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx)
                        sum += image.Bits()[(y * scale + dy) * image.RowBytes() +
                                            3 * (x * scale + dx) + c];
                out.Bits()[y * out.RowBytes() + 3 * x + c] =
                    static_cast<uint8_t>((sum + scale * scale / 2) / (scale * scale));
            }
    return out;
}

} // namespace pwtest
