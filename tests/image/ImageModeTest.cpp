#include "image/ImageMode.h"
#include <gtest/gtest.h>

TEST(ImageMode, PlanesAndBitsFollowTheModeTable) {
    EXPECT_EQ(PlanesOfMode(IMAGE_RGB8), 3);
    EXPECT_EQ(PlanesOfMode(WithAlpha(IMAGE_RGB8)), 4);
    EXPECT_EQ(PlanesOfMode(WithAlpha(IMAGE_MASK8)), 1);
    EXPECT_EQ(PlanesOfMode(IMAGE_MASK8), 0);
    EXPECT_EQ(PlanesOfMode(static_cast<IMAGE_MODE>(7)), 0);
    EXPECT_EQ(BitsPerPlaneOfMode(IMAGE_GRAY16), 16);
    EXPECT_EQ(BitsPerPlaneOfMode(IMAGE_DATA32), 32);
    EXPECT_EQ(BitsPerPlaneOfMode(WithAlpha(IMAGE_DATA32)), 0);
    EXPECT_EQ(BitsPerPlaneOfMode(WithAlpha(IMAGE_MASK16)), 16);
    EXPECT_EQ(static_cast<uint32_t>(WithAlpha(IMAGE_MASK8)), 0x800001FEu);
    EXPECT_TRUE(ModeHasAlpha(WithAlpha(IMAGE_GRAY8)));
}
