#include "render/PageRenderer.h"
#include "image/Image.h"
#include "model/BackgroundFill.h"
#include "model/EllipseObject.h"
#include "model/ObjectFill.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace {
// A plain box of one colour that counts how often it is asked to draw.
class CCountingBox final : public CPageObject {
public:
    explicit CCountingBox(CRect r) { m_rect = r; }
    DPOINT GetCenter() const override { return {}; }
    void SetCenter(DPOINT) override {}
    void MoveBy(int32_t, int32_t) override {}
    CObjectSize GetSize() const override { return {m_rect.Width(), m_rect.Height()}; }
    void DrawInto(int32_t x, int32_t y, CPixMap& map, const CColor&) override {
        ++draws;
        lastX = x, lastY = y, lastW = map.width, lastH = map.height;
        for (int r = 0; r < map.height; ++r)
            for (int c = 0; c < map.width; ++c) {
                uint8_t* p = map.plane[0].data + r * map.plane[0].rowStep + 4 * c;
                p[0] = 255, p[1] = 1, p[2] = 2, p[3] = 3;
            }
    }
    CRect GetBounds(bool) const override { return m_rect; }
    CRect GetHandleBounds() const override { return m_rect; }
    bool PrepareAndRender(CPixMap&) override { return true; }
    void UpdateHandles() override {}
    ObjectKind GetKind() const override { return KIND_RECT; }
    int32_t EstimateBytes(double) const override { return 0; }
    void Save(CByteWriter&) const override {}
    std::unique_ptr<CPageObject> SnapshotGeometry() const override { return nullptr; }
    void Load(CByteReader&, const CStreamVersion&) override {}
    void SwapGeometry(CPageObject&) override {}

    int draws = 0;
    int lastX = -1, lastY = -1, lastW = 0, lastH = 0;
};

struct CTestPage {
    CSite site{"Test",
               CBackgroundFill(CColor(20, 40, 60)),
               300,
               200,
               CColor(0, 0, 255),
               CColor(128, 0, 128)};
    CPage* page = nullptr;
    CTestPage() { page = &site.AddPage(std::make_unique<CPage>(site, "Side1", "Web")); }

    template <class T> T& Shape(DPOINT centre, CObjectSize size, double angle, CColor colour) {
        auto object = std::make_unique<T>(centre, size, angle);
        object->GetFill()->SetColour(colour);
        T& ref = *object;
        page->InsertItem(std::move(object));
        return ref;
    }
};

// Straightforward "over" in real numbers: the reference the table blends
// must agree with to within rounding.
void ReferenceOver(double* d, const uint8_t* s) {
    const double as = s[0] / 255.0, ad = d[0];
    const double a = as + ad * (1 - as);
    for (int c = 1; c < 4; ++c)
        d[c] = a > 0 ? (s[c] * as + d[c] * ad * (1 - as)) / a : d[c];
    d[0] = a;
}
} // namespace

TEST(PageRendererTest, RegionMatchesAnIndependentComposite) {
    CTestPage t;
    t.Shape<CEllipseObject>({80.3, 70.5}, {120, 90}, 0.0, CColor(250, 10, 10));
    t.Shape<CRectObject>({150, 100}, {140, 60}, std::numbers::pi / 7, CColor(10, 240, 30));
    t.Shape<CEllipseObject>({200, 120}, {90, 130}, 1.0, CColor(30, 30, 250));
    t.page->RenderAll();

    for (const bool background : {true, false}) {
        SCOPED_TRACE(background);
        const CRect region{40, 20, 296, 200}; // 256 x 180
        const int w = region.Width(), h = region.Height();
        std::vector<uint8_t> buf(static_cast<size_t>(w) * h * 4, 0);
        EXPECT_EQ(RenderRegion(*t.page, region, buf.data(), 4 * w,
                               CRegionOptions{.drawBackground = background, .edit = {}}),
                  3);

        std::vector<double> ref(static_cast<size_t>(w) * h * 4, 0.0);
        for (size_t i = 0; i < ref.size(); i += 4)
            if (background) ref[i] = 1, ref[i + 1] = 20, ref[i + 2] = 40, ref[i + 3] = 60;
        for (const auto& item : t.page->Items()) {
            const CPageObject& o = item->Current();
            const CImage* img = o.GetImage();
            ASSERT_NE(img, nullptr);
            const CRect r = o.GetRect();
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const int ix = x + region.left - r.left, iy = y + region.top - r.top;
                    if (ix < 0 || iy < 0 || ix >= r.Width() || iy >= r.Height()) continue;
                    ReferenceOver(&ref[(static_cast<size_t>(y) * w + x) * 4],
                                  img->Bits() + iy * img->RowBytes() + 4 * ix);
                }
        }
        int worst = 0;
        for (size_t i = 0; i < buf.size(); i += 4) {
            worst = std::max(worst, static_cast<int>(std::abs(buf[i] - ref[i] * 255)));
            if (ref[i] == 0) continue; // no colour where nothing is
            for (int c = 1; c < 4; ++c)
                worst = std::max(worst, static_cast<int>(std::abs(buf[i + c] - ref[i + c])));
        }
        EXPECT_LE(worst, 2);
    }
}

TEST(PageRendererTest, RegionSkipsWhatItShould) {
    CTestPage t;
    auto inside = std::make_unique<CCountingBox>(CRect{10, 10, 50, 40});
    auto outside = std::make_unique<CCountingBox>(CRect{280, 150, 300, 200});
    auto edited = std::make_unique<CCountingBox>(CRect{0, 0, 20, 20});
    CCountingBox& in = *inside;
    CCountingBox& out = *outside;
    CCountingBox& ed = *edited;
    CPageItem& inItem = t.page->InsertItem(std::move(inside));
    t.page->InsertItem(std::move(outside));
    t.page->InsertItem(std::move(edited));

    std::vector<uint8_t> buf(100 * 100 * 4);
    const CRect region{0, 0, 100, 100};
    EXPECT_EQ(RenderRegion(*t.page, region, buf.data(), 400), 2);
    EXPECT_EQ(out.draws, 0); // outside the region: never asked
    EXPECT_EQ(in.draws, 1);
    EXPECT_EQ(in.lastW, 40);
    EXPECT_EQ(t.page->TileBuffer().width, 256); // reset afterwards
    EXPECT_EQ(buf[0], 255);
    EXPECT_EQ(buf[1], 1); // the last item lies on top at (0, 0)

    // Part of an item: the offset inside the object and the part's size.
    const CRect part{30, 20, 90, 90};
    EXPECT_EQ(RenderRegion(*t.page, part, buf.data(), 400), 1);
    EXPECT_EQ(in.lastX, 20);
    EXPECT_EQ(in.lastY, 10);
    EXPECT_EQ(in.lastW, 20);
    EXPECT_EQ(in.lastH, 20);

    // The object edited in place is left out.
    CRegionOptions editing;
    editing.edit.editedText = &ed;
    EXPECT_EQ(RenderRegion(*t.page, region, buf.data(), 400, editing), 1);
    EXPECT_EQ(ed.draws, 1);
    EXPECT_EQ(buf[1], 20); // background

    // Only selected items.
    t.page->SelectOnly(inItem);
    EXPECT_EQ(RenderRegion(*t.page, region, buf.data(), 400,
                           CRegionOptions{.onlySelected = true, .edit = {}}),
              1);
    EXPECT_EQ(ed.draws, 1);

    // Ghost mode: light grey start, items in darker grey with their alpha.
    EXPECT_EQ(
        RenderRegion(*t.page, region, buf.data(), 400, CRegionOptions{.ghost = true, .edit = {}}),
        2);
    EXPECT_EQ(buf[(60 * 100 + 60) * 4 + 1], 190);
    EXPECT_EQ(buf[(15 * 100 + 15) * 4 + 1], 140);
    EXPECT_EQ(buf[(15 * 100 + 15) * 4 + 0], 255);

    // Without background the untouched pixels keep what was there.
    std::fill(buf.begin(), buf.end(), 7);
    RenderRegion(*t.page, region, buf.data(), 400, CRegionOptions{.drawBackground = false});
    EXPECT_EQ(buf[(60 * 100 + 60) * 4 + 2], 7);
    // Too large a region does nothing.
    EXPECT_EQ(RenderRegion(*t.page, {0, 0, 257, 10}, buf.data(), 257 * 4), 0);
}

TEST(PageRendererTest, ThumbnailSizeImageAndCaches) {
    int w = 0, h = 0;
    ThumbnailSize(740, 600, 100, 100, w, h);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 81); // 600 / 7.4
    ThumbnailSize(400, 800, 150, 150, w, h);
    EXPECT_EQ(w, 75);
    EXPECT_EQ(h, 150);
    ThumbnailSize(100, 50, 400, 400, w, h); // small pages grow to fit
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 200);
    ThumbnailSize(100, 50, 0, 400, w, h);
    EXPECT_EQ(w, 0);

    CTestPage t;
    // The right half of the page is a red rectangle.
    CRectObject& rect = t.Shape<CRectObject>({225, 100}, {150, 200}, 0.0, CColor(255, 0, 0));
    ASSERT_TRUE(RenderThumbnail(*t.page, 60, 60));
    const CImage* thumb = t.page->PageImage();
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->Width(), 60);
    EXPECT_EQ(thumb->Height(), 40);
    EXPECT_EQ(thumb->GetMode(), IMAGE_RGB8);
    const uint8_t* left = thumb->Bits() + 20 * thumb->RowBytes() + 3 * 10;
    const uint8_t* right = thumb->Bits() + 20 * thumb->RowBytes() + 3 * 50;
    EXPECT_EQ(left[0], 20);
    EXPECT_EQ(left[2], 60);
    EXPECT_EQ(right[0], 255);
    EXPECT_EQ(right[1], 0);
    // Nobody shows the page: the objects let go of their images.
    EXPECT_EQ(rect.GetImage(), nullptr);
    EXPECT_TRUE(rect.IsDirty());

    // A shown page keeps them.
    struct CWindow : CPageObserver {
        bool ShowsPage(const CPage&) const override { return true; }
    } window;
    t.page->AddObserver(&window);
    ASSERT_TRUE(RenderThumbnail(*t.page, 30, 30));
    t.page->RemoveObserver(&window);
    EXPECT_NE(rect.GetImage(), nullptr);
    EXPECT_EQ(t.page->PageImage()->Width(), 30);
    EXPECT_FALSE(RenderThumbnail(*t.page, 0, 30));
    EXPECT_EQ(t.page->PageImage()->Width(), 30);
}
