// A page drawn at a scale: its copy at scale 1 draws exactly as the page, and
// at a larger scale the drawing, averaged back down, is the same picture.
#include "model/PageScale.h"
#include "render/PageRenderer.h"
#include "tests/render/EveryKindPage.h"
#include "tests/support/ImageDiff.h"
#include <cstring>
#include <gtest/gtest.h>
#include <iostream>

using namespace pwtest;

namespace {
class ScaledRenderTest : public CBrowserSiteTest {};

bool SamePixels(const CImage& a, const CImage& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.Bits() + y * a.RowBytes(), b.Bits() + y * b.RowBytes(),
                        3 * static_cast<std::size_t>(a.Width())) != 0)
            return false;
    return true;
}
} // namespace

TEST_F(ScaledRenderTest, LargerScalesAveragedDownMatchTheOrdinaryRendering) {
    const struct {
        EEveryKindBackground background;
        int scale;
        const char* name;
    } cases[] = {
        {EEveryKindBackground::Gradient, 2, "gradient strip, scale 2"},
        {EEveryKindBackground::Tiled, 2, "tiled picture, scale 2"},
        {EEveryKindBackground::Centred, 3, "centred picture, scale 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTestSite t(420, 320);
        CPage& page = t.AddPage("Side");
        FillEveryKindPage(page, pictures.Path(), c.background);
        const CImage plain = RenderPageReference(page);

        const std::unique_ptr<CPage> same = pw::ScaledPageCopy(page, 1);
        ASSERT_TRUE(same);
        EXPECT_TRUE(SamePixels(RenderPageReference(*same), plain));

        const std::unique_ptr<CPage> large = pw::ScaledPageCopy(page, c.scale);
        ASSERT_TRUE(large);
        ASSERT_EQ(large->Width(), c.scale * page.Width());
        ASSERT_EQ(large->Height(), c.scale * page.Height());
        const CImage drawn = RenderPageReference(*large);
        // Texts keep their line breaks: every row starts at the same character.
        for (int i = 0; i < page.ItemCount(); ++i) {
            const auto* text = dynamic_cast<const CTextObject*>(&page.ItemAt(i).Normal());
            if (!text) continue;
            const auto& scaled = static_cast<const CTextObject&>(large->ItemAt(i).Normal());
            EXPECT_EQ(scaled.DrawScale(), c.scale);
            const CParagraph& a = text->Layout().Paragraph(0);
            const CParagraph& b = scaled.Layout().Paragraph(0);
            ASSERT_EQ(a.rows.size(), b.rows.size());
            for (std::size_t r = 0; r < a.rows.size(); ++r)
                EXPECT_EQ(a.rows[r].first, b.rows[r].first);
        }
        const CImageDiff diff = CompareImages(BoxDownscale(drawn, c.scale), plain,
                                              {0, 0, page.Width(), page.Height()});
        std::cout << "[ scale ] " << c.name << ": " << diff.Describe() << "\n";
        EXPECT_LT(diff.mean, 3.0) << diff.Describe();
        // The scaling is the same drawing: no part of the page moves or loses
        // an item (a 16 x 16 block averages away the sharper edges only).
        EXPECT_LT(diff.worstBlock, 24.0) << diff.Describe();
        // The original was not touched by the copy.
        EXPECT_TRUE(SamePixels(RenderPageReference(page), plain));
    }
}
