#include "sitebuild/ContrastCheck.h"
#include "image/Image.h"
#include "model/BackgroundFill.h"
#include "model/ButtonText.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/TextObject.h"
#include "sitebuild/OwnWords.h"
#include "sitebuild/RegionRenderer.h"
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>

namespace {

// The linear light of one sRGB channel value.
const std::array<float, 256>& LinearTable() {
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            t[static_cast<std::size_t>(i)] =
                static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return t;
    }();
    return table;
}

float Luminance(const uint8_t* rgb) {
    const auto& linear = LinearTable();
    return 0.2126f * linear[rgb[0]] + 0.7152f * linear[rgb[1]] + 0.0722f * linear[rgb[2]];
}

float LuminanceOf(ColorRef colour) {
    const uint8_t rgb[3] = {static_cast<uint8_t>(colour & 0xFF),
                            static_cast<uint8_t>(colour >> 8 & 0xFF),
                            static_cast<uint8_t>(colour >> 16 & 0xFF)};
    return Luminance(rgb);
}

ColorRef RgbOf(const uint8_t* rgb) {
    return static_cast<ColorRef>(rgb[0]) | static_cast<ColorRef>(rgb[1]) << 8 |
           static_cast<ColorRef>(rgb[2]) << 16;
}

bool Near(ColorRef a, ColorRef b) {
    // Rounding in the drawing may move a colour a step or two.
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        if (d > 6 || d < -6) return false;
    }
    return true;
}

// The colours the words of the text are drawn in, or none when its fill
// paints them (a gradient or a picture): then every covered pixel counts
// with its own colour.
std::vector<ColorRef> TextColours(const CTextObject& text) {
    std::vector<ColorRef> colours;
    const CObjectFill* fill = text.GetFill();
    if (fill && fill->GetType() == CObjectFill::fillSolid) {
        colours.push_back(fill->GetColour().GetCOLORREF() & 0xFFFFFF);
        return colours;
    }
    if (fill && fill->GetType() != CObjectFill::fillTextColour) return colours;
    const CTextLayout& layout = text.Layout();
    for (int p = 0; p < layout.ParagraphCount(); ++p)
        for (uint16_t id : layout.Paragraph(p).styles) {
            const auto colour = static_cast<ColorRef>(layout.Style(id).color) & 0xFFFFFF;
            if (std::find(colours.begin(), colours.end(), colour) == colours.end())
                colours.push_back(colour);
        }
    return colours;
}

// The words of the text drawn in `colour` (all of them when the fill paints
// the text), collapsed and short enough for one line of a report.
std::string WordsInColour(const CTextObject& text, bool byColour, ColorRef colour) {
    constexpr std::size_t kReportWords = 40;
    const CTextLayout& layout = text.Layout();
    std::string words;
    for (int p = 0; p < layout.ParagraphCount() && words.size() < 4 * kReportWords; ++p) {
        const CParagraph& paragraph = layout.Paragraph(p);
        words += ' ';
        for (std::size_t i = 0; i < paragraph.text.size(); ++i) {
            const auto style =
                (static_cast<ColorRef>(layout.Style(paragraph.styles[i]).color) & 0xFFFFFF);
            words += !byColour || style == colour ? paragraph.text[i] : ' ';
        }
    }
    std::string collapsed = CollapseWords(words);
    if (collapsed.size() > kReportWords) {
        collapsed.resize(kReportWords - 1);
        collapsed += '\x85';
    }
    return collapsed;
}

// The object's own picture when it is up to date and lies over its
// rectangle pixel for pixel (alpha, red, green, blue).
const CImage* OwnPicture(const CPageObject& object, const CRect& rect) {
    const CImage* image = object.IsDirty() ? nullptr : object.GetImage();
    if (!image || !image->Bits() || image->GetMode() != WithAlpha(IMAGE_RGB8) ||
        image->GetPlanes() != 4 || image->Width() != rect.Width() ||
        image->Height() != rect.Height())
        return nullptr;
    return image;
}

// Appends a finding for every group whose tenth-worst contrast is too low.
void ReportGroups(std::map<ColorRef, std::vector<float>>& groups, const CPage& page,
                  const BuildItem& item, const std::function<std::string(ColorRef)>& words,
                  std::vector<CAccessFinding>& out) {
    for (auto& [colour, ratios] : groups) {
        if (ratios.size() < 4) continue;
        const auto tenth = ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 10);
        std::nth_element(ratios.begin(), tenth, ratios.end());
        if (*tenth >= kMinTextContrast) continue;
        CAccessFinding finding;
        finding.kind = EAccessFinding::LowContrast;
        finding.page = page.Identifier();
        finding.item = item.item;
        finding.itemNumber = item.zIndex + 1;
        finding.detail = words(colour);
        finding.contrast = *tenth;
        finding.textColour = colour;
        // The same words in both states of a button count once.
        if (std::find_if(out.begin(), out.end(), [&](const CAccessFinding& known) {
                return known.item == finding.item && known.kind == finding.kind &&
                       known.textColour == finding.textColour && known.detail == finding.detail;
            }) != out.end())
            continue;
        out.push_back(std::move(finding));
    }
}

// Items from the bottom up to `last` (inclusive; -1: none).
std::vector<bool> DrawnUpTo(const std::vector<bool>& drawn, int last) {
    std::vector<bool> below(drawn);
    for (std::size_t j = static_cast<std::size_t>(std::max(last + 1, 0)); j < below.size(); ++j)
        below[j] = false;
    return below;
}

// A button label against its own shape and what shows through it: the item
// rendered with its label and once more as a copy without, and the pixels
// the label changed that have its colour (not its shadow) compared with
// the pixels of the copy.
void CheckLabel(CPage& page, const BuildItem& item, CPageObject& object,
                const std::vector<bool>& drawn, CBuildTiles& tiles, CPixMap& scratch,
                std::vector<CAccessFinding>& out) {
    const auto* shape = dynamic_cast<const CShapeObject*>(&object);
    const CButtonText* label = shape ? shape->GetButtonText() : nullptr;
    if (!label || !shape->HasButtonText() || CollapseWords(label->text).empty()) return;
    const ColorRef colour = label->color.GetCOLORREF() & 0xFFFFFF;
    const float inkLuminance = LuminanceOf(colour);
    const auto words = [&](ColorRef) { return CollapseWords(label->text); };
    std::map<ColorRef, std::vector<float>> groups;
    const CObjectFill* fill = shape->GetFill();
    const CEffects* effects = shape->GetEffects();
    if (fill && fill->GetType() == CObjectFill::fillSolid && (!effects || !effects->AnyOn())) {
        // A plain shape of one colour is drawn in exactly that colour under
        // its label: no need to draw it again to know.
        const float ground = LuminanceOf(fill->GetColour().GetCOLORREF() & 0xFFFFFF);
        groups[colour].assign(4, static_cast<float>(ContrastRatio(inkLuminance, ground)));
        ReportGroups(groups, page, item, words, out);
        return;
    }
    // A copy of a picture-file fill reads the file again; in the designer a
    // missing one is asked for through the window system, which a worker
    // may not do (the build brings such pages up to date on its own thread).
    if (fill && fill->GetType() == CObjectFill::fillImage &&
        CBackgroundFill::DefaultPictureContext())
        return;
    std::unique_ptr<CPageObject> copy = object.Clone();
    auto* bare = dynamic_cast<CShapeObject*>(copy.get());
    if (!bare) return;
    CButtonText none = *label;
    none.text.clear();
    bare->SetButtonText(none);
    if (!bare->PrepareAndRender(scratch)) return;
    const CRect rect = object.GetRect();
    if (bare->GetRect() != rect) return;
    CRegionRenderer renderer(tiles, scratch, page, DrawnUpTo(drawn, item.zIndex));
    CRegionPixels with, without;
    if (!renderer.Render(rect, item.item, &object, with) ||
        !renderer.Render(rect, item.item, bare, without))
        return;
    for (int y = 0; y < with.Height(); ++y) {
        const uint8_t* a = with.Bits() + static_cast<std::size_t>(y) * with.RowBytes();
        const uint8_t* b = without.Bits() + static_cast<std::size_t>(y) * without.RowBytes();
        for (int x = 0; x < with.Width(); ++x, a += 3, b += 3) {
            if (a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) continue;
            if (!Near(RgbOf(a), colour)) continue;
            groups[colour].push_back(static_cast<float>(ContrastRatio(inkLuminance, Luminance(b))));
        }
    }
    ReportGroups(groups, page, item, words, out);
}

// A text against the items below it: its own picture tells which pixels
// its words cover and in which colour.
void CheckText(CPage& page, const BuildItem& item, const CTextObject& textObject,
               const std::vector<bool>& drawn, CBuildTiles& tiles, CPixMap& scratch,
               CRegionPixels& ground, std::vector<CAccessFinding>& out) {
    const CTextObject* text = &textObject;
    const CRect rect = text->GetRect();
    const CImage* picture = OwnPicture(*text, rect);
    if (!picture) return;
    // What lies below the text: the items under it only.
    CRegionRenderer renderer(tiles, scratch, page, DrawnUpTo(drawn, item.zIndex - 1));
    if (!renderer.Render(rect, nullptr, nullptr, ground)) return;
    const CRect r = rect.Intersect({0, 0, page.Width(), page.Height()});

    const std::vector<ColorRef> colours = TextColours(*text);
    const bool byColour = !colours.empty();
    std::vector<float> luminances;
    for (const ColorRef c : colours)
        luminances.push_back(LuminanceOf(c));
    std::map<ColorRef, std::vector<float>> groups;
    for (int y = r.top; y < r.bottom; ++y) {
        const uint8_t* own = picture->Bits() +
                             static_cast<std::size_t>(y - rect.top) * picture->RowBytes() +
                             4 * static_cast<std::size_t>(r.left - rect.left);
        const uint8_t* under =
            ground.Bits() + static_cast<std::size_t>(y - r.top) * ground.RowBytes();
        for (int x = r.left; x < r.right; ++x, own += 4, under += 3) {
            if (own[0] < 128) continue;
            ColorRef key = 0;
            float ink = 0;
            if (byColour) {
                const ColorRef rgb = RgbOf(own + 1);
                const auto match = std::find_if(colours.begin(), colours.end(),
                                                [&](ColorRef c) { return Near(c, rgb); });
                // Shadows, glows and edges are not the words.
                if (match == colours.end()) continue;
                // The pixel tells which words it belongs to; their colour is
                // the one the user chose, not its rounding.
                key = *match;
                ink = luminances[static_cast<std::size_t>(match - colours.begin())];
            } else {
                ink = Luminance(own + 1);
            }
            groups[key].push_back(static_cast<float>(ContrastRatio(ink, Luminance(under))));
        }
    }
    // A text filled with one colour draws all its words in it.
    const CObjectFill* fill = text->GetFill();
    const bool perWord = !fill || fill->GetType() == CObjectFill::fillTextColour;
    ReportGroups(
        groups, page, item, [&](ColorRef colour) { return WordsInColour(*text, perWord, colour); },
        out);
}

} // namespace

double RelativeLuminance(uint8_t red, uint8_t green, uint8_t blue) {
    const uint8_t rgb[3] = {red, green, blue};
    return Luminance(rgb);
}

double ContrastRatio(double luminance1, double luminance2) {
    const double light = std::max(luminance1, luminance2);
    const double dark = std::min(luminance1, luminance2);
    return (light + 0.05) / (dark + 0.05);
}

void CheckPageContrast(CPage& page, const BuildPage& built, const std::vector<bool>& drawn,
                       CBuildTiles& tiles, CPixMap& scratch, std::vector<CAccessFinding>& out) {
    CRegionPixels ground;
    for (const BuildItem& item : built.items) {
        if (!item.item) continue;
        // Words must read under the mouse too.
        CPageObject* states[2] = {&item.item->Normal(),
                                  item.item->HasMouseOver() ? item.item->MouseOver() : nullptr};
        for (CPageObject* state : states) {
            if (!state) continue;
            if (const auto* text = dynamic_cast<const CTextObject*>(state)) {
                CheckText(page, item, *text, drawn, tiles, scratch, ground, out);
                continue;
            }
            const auto z = static_cast<std::size_t>(std::max(item.zIndex, 0));
            if (z < drawn.size() && drawn[z])
                CheckLabel(page, item, *state, drawn, tiles, scratch, out);
        }
    }
}
