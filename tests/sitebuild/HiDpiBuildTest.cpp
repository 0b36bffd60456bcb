// A build with hiDpi writes every picture a second time at scale 2, named
// after the first with "@2x", and names them in the page records; without it
// nothing of the kind appears.
#include "services/IO.h"
#include "sitebuild/ImageOutput.h"
#include "tests/render/EveryKindPage.h"
#include <gtest/gtest.h>

using namespace pwtest;
namespace fs = std::filesystem;

namespace {
class HiDpiBuildTest : public CBrowserSiteTest {};

std::unique_ptr<CImage> Load(const fs::path& file) {
    int format = FORMAT_ANY, error = 0;
    return CIO::LoadImageA(file, format, error);
}

// Checks that `url2x` names the scale-2 twin of `url`: twice the size (a
// one-pixel gradient strip twice the length), and the same picture when
// averaged down (within what the sharper letters of a text change).
void ExpectTwin(const fs::path& root, const std::string& url, const std::string& url2x,
                const std::string& what) {
    SCOPED_TRACE(what + " " + url);
    ASSERT_FALSE(url.empty());
    ASSERT_EQ(url2x, TwoXName(url));
    const auto one = Load(root / url), two = Load(root / url2x);
    ASSERT_TRUE(one && two);
    EXPECT_EQ(two->Width(), one->Width() == 1 ? 1 : 2 * one->Width());
    EXPECT_EQ(two->Height(), one->Height() == 1 ? 1 : 2 * one->Height());
    if (one->Width() == 1 || one->Height() == 1) return;
    const CImageDiff diff =
        CompareImages(BoxDownscale(*two, 2), *one, {0, 0, one->Width(), one->Height()});
    EXPECT_LT(diff.mean, 8.0) << diff.Describe();
}
} // namespace

TEST_F(HiDpiBuildTest, EveryPictureHasItsScale2TwinOnlyWhenAsked) {
    const struct {
        bool hiDpi;
        EEveryKindBackground background;
        bool preview; // counters are pictures then
    } cases[] = {
        {false, EEveryKindBackground::Gradient, false},
        {false, EEveryKindBackground::Tiled, false},
        {true, EEveryKindBackground::Gradient, false},
        {true, EEveryKindBackground::Tiled, true},
    };
    for (const auto& [hiDpi, background, preview] : cases) {
        SCOPED_TRACE(std::string(hiDpi ? "hiDpi" : "classic") +
                     (background == EEveryKindBackground::Tiled ? ", tiled" : ", gradient") +
                     (preview ? ", preview" : ""));
        CTestSite t(480, 360);
        CPage& page = t.AddPage("Side");
        FillEveryKindPage(page, pictures.Path(), background);
        page.InsertItem(std::make_unique<CCounterObject>(1, DPOINT{430, 200}));
        // A picture that goes out as its own file: nothing sharper to show.
        auto& own = Add<CRectObject>(page, {450, 330}, {40, 30});
        own.GetFill()->SetImagePath(SavePicture(pictures / "own.jpg", Pattern(40, 30, 8), 40));
        own.GetFill()->SetPicture(true);

        const auto built = BuildSite(*t.site, [&](BuildSettings& s) {
            s.hiDpi = hiDpi;
            s.previewMode = preview;
        });
        ASSERT_EQ(built->code, BuildOk);
        const fs::path root = built->dir.Path();
        const BuildPage& result = built->Page(0);
        int twins = 0;
        for (const BuildItem& item : result.items) {
            if (item.imageUrl.empty()) continue;
            if (!hiDpi || &item.item->Normal() == &own) {
                EXPECT_EQ(item.imageUrl2x, "") << item.imageUrl;
                EXPECT_EQ(item.mouseOverImageUrl2x, "") << item.imageUrl;
                continue;
            }
            ExpectTwin(root, item.imageUrl, item.imageUrl2x, "item");
            if (item.hasMouseOver)
                ExpectTwin(root, item.mouseOverImageUrl, item.mouseOverImageUrl2x, "mouse-over");
            twins += item.hasMouseOver ? 2 : 1;
        }
        const BackgroundRecord& back = result.background;
        if (hiDpi) {
            // Every picture item, the button in both states, the counter
            // in the preview.
            EXPECT_EQ(twins, preview ? 9 : 8);
            ExpectTwin(root, back.imageUrl, back.imageUrl2x, "background");
        } else {
            EXPECT_EQ(back.imageUrl2x, "");
            for (const auto& entry : fs::recursive_directory_iterator(root))
                EXPECT_EQ(entry.path().filename().string().find("@2x"), std::string::npos)
                    << entry.path();
        }
    }
}
