#include "model/ScaleToImageFill.h"
#include "tests/support/EditingText.h"
#include "image/Image.h"
#include "model/EllipseObject.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/ObjectFill.h"
#include <gtest/gtest.h>

namespace {
std::unique_ptr<CRectObject> Picture(int w, int h, int iw, int ih) {
    auto rect = std::make_unique<CRectObject>(DPOINT{300, 200}, CObjectSize{w, h}, 0.0);
    rect->GetFill()->SetHeldImage(std::make_unique<CImage>(IMAGE_RGB8, iw, ih, 96.0));
    return rect;
}
} // namespace

TEST(ScaleToImageFill, RatiosRoundingAndLimits) {
    const CObjectSize min{1, 1}, max{2000, 2000};
    // rx = 2 < ry = 4: the width follows the picture.
    EXPECT_EQ(ScaledToImage({100, 40}, 50, 10, min, max), (CObjectSize{200, 40}));
    // rx = 2 > ry = 0.5: the height follows.
    EXPECT_EQ(ScaledToImage({100, 40}, 50, 80, min, max), (CObjectSize{100, 160}));
    EXPECT_EQ(ScaledToImage({100, 50}, 50, 25, min, max), (CObjectSize{100, 50}));
    // 30 / 7 * 3 = 12.857 -> 13; 10 / 4 * 3 = 7.5 rounds up to 8.
    EXPECT_EQ(ScaledToImage({30, 10}, 7, 3, min, max), (CObjectSize{30, 13}));
    EXPECT_EQ(ScaledToImage({10, 3}, 4, 3, min, max), (CObjectSize{10, 8}));
    EXPECT_EQ(ScaledToImage({1000, 10}, 10, 1000, min, max), (CObjectSize{1000, 2000}));
    EXPECT_EQ(ScaledToImage({100, 40}, 0, 10, min, max), (CObjectSize{100, 40}));
}

TEST(ScaleToImageFill, CommandOnThePage) {
    CSite site("test.pwu");
    CPage& page = site.AddPage(std::make_unique<CPage>(site, "Side1", "Forside"));
    CPageItem& item = page.InsertItem(Picture(100, 40, 50, 10));
    EXPECT_FALSE(CanScaleToImageFill(page)) << "nothing selected";
    page.SelectOnly(item);
    ASSERT_TRUE(CanScaleToImageFill(page));
    auto* undo = dynamic_cast<CCountingUndoRecorder*>(&page.History());
    const int steps = undo ? undo->Total() : 0;
    ASSERT_TRUE(ScaleToImageFill(page));
    EXPECT_EQ(item.Current().GetSize(), (CObjectSize{200, 40}));
    if (undo) {
        EXPECT_EQ(undo->Total(), steps + 1);
        EXPECT_EQ(undo->Last(), EUndoKind::Move);
    }
    EXPECT_FALSE(ScaleToImageFill(page)) << "already in proportion";

    // Solid fills, a second selected item and the text being edited disable it.
    CPageItem& solid =
        page.InsertItem(std::make_unique<CEllipseObject>(DPOINT{50, 50}, CObjectSize{20, 20}));
    page.SelectOnly(solid);
    EXPECT_FALSE(CanScaleToImageFill(page));
    page.SelectOnly(item);
    page.AddToSelection(solid);
    EXPECT_FALSE(CanScaleToImageFill(page));
    page.SelectOnly(item);
    pwtest::CEditingText editing(page);
    EXPECT_FALSE(CanScaleToImageFill(page));
}
