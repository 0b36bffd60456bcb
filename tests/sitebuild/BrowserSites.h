#pragma once
// Sites made in code for the browser tests of built sites: pictures with
// detail everywhere, gradients, shapes, texts and mouse-over twins.
#include "sitebuild/BuildTypes.h"
#include "model/ButtonText.h"
#include "model/CharStyle.h"
#include "model/CounterObject.h"
#include "model/EllipseObject.h"
#include "model/ObjectLink.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/BackgroundFill.h"
#include "model/Effects.h"
#include "services/Gradient.h"
#include "model/ObjectFill.h"
#include "render/Rendering.h"
#include "services/IO.h"
#include "tests/sitebuild/BuiltSiteCheck.h"
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>

namespace pwtest {

inline constexpr double kPi = std::numbers::pi;

// Pictures with detail everywhere: colour ramps crossed by soft rings, so a
// misplaced, rescaled or recoloured picture shows.
inline CImage Pattern(int w, int h, int seed) {
    CImage img(IMAGE_RGB8, w, h, 96.0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = img.Bits() + y * img.RowBytes() + 3 * x;
            const double dx = x - w / 2.0, dy = y - h / 2.0;
            const double ring = 0.5 + 0.5 * std::cos(std::sqrt(dx * dx + dy * dy) / (6.0 + seed));
            p[0] = static_cast<uint8_t>(40 + (x * 180) / w);
            p[1] = static_cast<uint8_t>(40 + 170 * ring);
            p[2] = static_cast<uint8_t>(40 + ((y + 13 * seed) % h) * 180 / h);
        }
    return img;
}

inline std::string SavePicture(const std::filesystem::path& file, const CImage& img,
                               int quality = 90) {
    int format = file.extension() == ".png" ? FORMAT_PNG : FORMAT_JPEG, error = 0;
    EXPECT_TRUE(CIO::SaveImage(file, img, format, quality, error, "")) << file;
    return file.string();
}

inline GRADIENTCOLORS Predefined(int no) {
    GRADIENTCOLORS g;
    GetPredefinedGradient(g, no);
    return g;
}

// A two-colour gradient with one hard-edged stop in the middle.
inline GRADIENTCOLORS TwoTone(CColor a, CColor b, CColor c) {
    GRADIENTCOLORS g;
    g.startColour = a;
    g.endColour = c;
    g.stopColoursBefore = {b};
    g.stopColoursAfter = {b};
    g.stopPositions = {0.5};
    g.kind = 4;
    return g;
}

struct CTestSite {
    std::unique_ptr<CSite> site;
    explicit CTestSite(int width, int height, CColor background = CColor(255, 255, 255)) {
        site = std::make_unique<CSite>("Fidelity", CBackgroundFill(background), width, height,
                                       CColor(0, 0, 255), CColor(128, 0, 128));
    }
    CPage& AddPage(const std::string& identifier) {
        CPage& page =
            site->AddPage(std::make_unique<CPage>(*site, identifier, identifier + " web"));
        if (site->PageCount() == 1) site->SetFrontPage(page);
        return page;
    }
};

template <class T> T& Add(CPage& page, DPOINT centre, CObjectSize size, double angle = 0.0) {
    auto object = std::make_unique<T>(centre, size, angle);
    T& ref = *object;
    page.InsertItem(std::move(object));
    return ref;
}

inline CPageItem& ItemOf(CPage& page, const CPageObject& object) {
    CPageItem* item = page.FindItem(object);
    EXPECT_NE(item, nullptr);
    return *item;
}

// A mouse-over twin of the object at the same place, changed by `change`.
template <class F> CPageItem& AddMouseOver(CPage& page, CShapeObject& normal, F&& change) {
    auto twin = normal.Clone();
    change(static_cast<CShapeObject&>(*twin));
    CPageItem& item = ItemOf(page, normal);
    item.AttachMouseOver(std::move(twin));
    item.SetEditingMouseOver(false);
    return item;
}

inline CTextObject& AddText(CPage& page, DPOINT centre, CObjectSize size, const std::string& text,
                            uint16_t points, int32_t colour, bool bold = false) {
    CTextObject& t = Add<CTextObject>(page, centre, size);
    CCharStyle style;
    style.SetFaceName("Arial");
    style.fontSize = points;
    style.color = colour;
    style.bold = bold;
    for (char c : text)
        t.Layout().Append(static_cast<uint8_t>(c), style);
    t.LayoutText();
    return t;
}

// Rendering installed once; pictures made by a test live in `pictures`.
class CBrowserSiteTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InstallRendering(nullptr); }
    TempDir pictures;
};

} // namespace pwtest
