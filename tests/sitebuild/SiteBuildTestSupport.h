// Sites made in code for the build pipeline tests, built into a temporary
// folder, and the ways to look at what the build wrote.
#pragma once
#include "sitebuild/ImageOutput.h"
#include "sitebuild/SiteBuilder.h"
#include "image/Image.h"
#include "model/EllipseObject.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/BackgroundFill.h"
#include "model/ObjectFill.h"
#include "render/PageRenderer.h"
#include "render/Rendering.h"
#include "services/IO.h"
#include "services/IOError.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace buildtest {

namespace fs = std::filesystem;

inline std::string ReadFileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFileBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

// The box of whole pixels from left, top of size w x h, as a centre.
inline DPOINT CentreOf(const CRect& r) {
    return {(r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0};
}

inline CCharStyle Arial() {
    CCharStyle s;
    s.SetFaceName("Arial");
    s.fontSize = 12;
    return s;
}

// A site of 640 x 480 pages with a light blue background, built into a
// temporary folder.
struct CSiteFixture {
    pwtest::TempDir dir;
    CSite site{"Test",
               CBackgroundFill(CColor(200, 220, 240)),
               640,
               480,
               CColor(0, 0, 255),
               CColor(128, 0, 128)};
    pwtest::CScriptedInteraction ui;

    CSiteFixture() {
        static const bool installed = [] {
            InstallRendering(nullptr);
            return true;
        }();
        (void)installed;
    }

    CPage& AddPage(const std::string& identifier) {
        CPage& page = site.AddPage(std::make_unique<CPage>(site, identifier, "Web " + identifier));
        if (site.PageCount() == 1) site.SetFrontPage(page);
        return page;
    }

    fs::path Root() const { return dir / "site"; }
    fs::path Files() const { return Root() / kFilesFolderName; }
    BuildSettings Settings(bool preview = false) const {
        return BuildSettings::InFolder(Root(), preview);
    }

    BuildResult Build(SiteBuilder& builder) { return builder.Build(site); }
    // The result code of a build with the usual settings.
    int Build(bool preview = false) {
        SiteBuilder builder(Settings(preview), &ui);
        return builder.Build(site).code;
    }

    std::vector<std::string> FileNames(const fs::path& folder) const {
        std::vector<std::string> names;
        if (!fs::is_directory(folder)) return names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

template <class T>
T& AddShape(CPage& page, const CRect& r, const CColor& colour, double angle = 0) {
    auto object = std::make_unique<T>(CentreOf(r), CObjectSize{r.Width(), r.Height()}, angle);
    object->GetFill()->SetColour(colour);
    T& ref = *object;
    page.InsertItem(std::move(object));
    return ref;
}

inline CRectObject& AddRect(CPage& page, const CRect& r, const CColor& colour, double angle = 0) {
    return AddShape<CRectObject>(page, r, colour, angle);
}

// A picture of the file, at the file's own size with its top-left at (x, y).
inline CRectObject& AddPicture(CPage& page, int x, int y, const fs::path& file) {
    int format = FORMAT_ANY, error = 0;
    std::unique_ptr<CImage> image = CIO::LoadImageA(file, format, error);
    EXPECT_TRUE(image) << file << " error " << error;
    const CRect r{x, y, x + image->Width(), y + image->Height()};
    auto object =
        std::make_unique<CRectObject>(CentreOf(r), CObjectSize{r.Width(), r.Height()}, 0.0);
    object->GetFill()->SetImage(file.string(), std::move(image));
    object->GetFill()->SetPicture(true);
    CRectObject& ref = *object;
    page.InsertItem(std::move(object));
    return ref;
}

// A one-paragraph HTML-capable text with its box's top-left at (x, y).
inline CTextObject& AddText(CPage& page, int x, int y, const std::string& content,
                            int boxWidth = 200) {
    auto text = std::make_unique<CTextObject>(DPOINT{x + boxWidth / 2.0, y + 10.0},
                                              CObjectSize{boxWidth, 20});
    CTextLayout& layout = text->Layout();
    layout.Clear();
    layout.boxWidth = boxWidth;
    for (char c : content)
        layout.Append(static_cast<uint8_t>(c), Arial());
    CTextObject& ref = *text;
    CPageItem& item = page.InsertItem(std::move(text));
    ref.SetOwnerItem(&item);
    ref.LayoutText();
    return ref;
}

// Gives the item a mouse-over twin of another colour and goes back to the
// normal state.
inline void AddMouseOver(CPage& page, CPageObject& object, const CColor& colour) {
    CPageItem& item = *page.FindItem(object);
    std::unique_ptr<CPageObject> twin = object.Clone();
    twin->GetFill()->SetColour(colour);
    item.AttachMouseOver(std::move(twin));
    item.SetEditingMouseOver(false);
}

inline std::unique_ptr<CImage> LoadPicture(const fs::path& file) {
    int format = FORMAT_ANY, error = 0;
    return CIO::LoadImageA(file, format, error);
}

// The whole page as the designer composes it, as RGB rows.
inline CImage ReferencePage(CPage& page) {
    page.RenderAll();
    CImage image(IMAGE_RGB8, page.Width(), page.Height(), 96.0);
    const int tile = CPage::kTileSize;
    std::vector<uint8_t> argb(static_cast<std::size_t>(tile) * tile * 4);
    for (int y = 0; y < page.Height(); y += tile)
        for (int x = 0; x < page.Width(); x += tile) {
            const int w = std::min(tile, page.Width() - x), h = std::min(tile, page.Height() - y);
            RenderRegion(page, CRect{x, y, x + w, y + h}, argb.data(), tile * 4);
            for (int r = 0; r < h; ++r)
                for (int c = 0; c < w; ++c) {
                    const uint8_t* s = argb.data() + (r * tile + c) * 4;
                    uint8_t* d = image.Bits() + (y + r) * image.RowBytes() + 3 * (x + c);
                    d[0] = s[1], d[1] = s[2], d[2] = s[3];
                }
        }
    return image;
}

// The bytes of a JPEG of the part r of a picture, as the build writes them.
inline std::string EncodedPart(const CImage& picture, const CRect& r) {
    CImage part(IMAGE_RGB8, r.Width(), r.Height(), 96.0);
    for (int y = 0; y < r.Height(); ++y)
        std::memcpy(part.Bits() + y * part.RowBytes(),
                    picture.Bits() + (r.top + y) * picture.RowBytes() + 3 * r.left,
                    3 * static_cast<std::size_t>(r.Width()));
    pwtest::TempDir scratch;
    SaveBuildJpeg(scratch / "part.jpg", part);
    return ReadFileBytes(scratch / "part.jpg");
}

// Largest and mean channel difference between a decoded picture and the part
// of the reference page at (left, top).
struct CDifference {
    int largest = 0;
    double mean = 0;
};

inline CDifference Compare(const CImage& picture, const CImage& page, int left, int top) {
    CDifference d;
    long long sum = 0, count = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            for (int k = 0; k < 3; ++k) {
                const int a = picture.Bits()[y * picture.RowBytes() + 3 * x + k];
                const int b = page.Bits()[(top + y) * page.RowBytes() + 3 * (left + x) + k];
                d.largest = std::max(d.largest, std::abs(a - b));
                sum += std::abs(a - b);
                ++count;
            }
    d.mean = count ? static_cast<double>(sum) / count : 0;
    return d;
}

} // namespace buildtest
