#include "image/Color.h"
#include "image/PixMap.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> Store(const CColor& c, int n) {
    return std::vector<int>(c.GetColor(), c.GetColor() + n);
}

} // namespace

TEST(Color, ConstructorsFillTheRgbStore) {
    EXPECT_EQ(CColor().GetMode(), IMAGE_RGB8);
    EXPECT_EQ(Store(CColor(), 8), (std::vector<int>{255, 255, 255, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Store(CColor(CColor::darkGray), 3), (std::vector<int>{64, 64, 64}));
    EXPECT_EQ(Store(CColor(CColor::lightGray), 3), (std::vector<int>{192, 192, 192}));
    EXPECT_EQ(Store(CColor(CColor::magenta), 3), (std::vector<int>{255, 0, 255}));
    EXPECT_EQ(Store(CColor(CColor::yellow), 3), (std::vector<int>{255, 255, 0}));
    EXPECT_EQ(Store(CColor(CColor::cyan), 3), (std::vector<int>{0, 255, 255}));

    const CColor fromRef(COLORREF{0x336699});
    EXPECT_EQ(Store(fromRef, 3), (std::vector<int>{0x99, 0x66, 0x33}));
    EXPECT_EQ(fromRef.GetCOLORREF(), 0x336699u);
    // The top byte of a colour word is not part of the colour.
    EXPECT_EQ(CColor(COLORREF{0xFF336699}).GetCOLORREF(), 0x336699u);
    EXPECT_EQ(CColor(CColor::red).GetCOLORREF(), 255u);
    EXPECT_EQ(CColor(CColor::blue).GetCOLORREF(), 0xFF0000u);
    EXPECT_EQ(CColor(LutColor{1, 2, 3}), CColor(1, 2, 3));
}

TEST(Color, EqualityComparesModeAndSamples) {
    EXPECT_EQ(CColor(CColor::gray), CColor(128, 128, 128));
    EXPECT_NE(CColor(CColor::gray), CColor(128, 128, 129));
    CColor relabelled(1, 2, 3);
    relabelled.Convert(IMAGE_DATA8);
    EXPECT_NE(relabelled, CColor(1, 2, 3));
    // A conversion that shrinks the pixel clears the bytes it no longer uses,
    // so equal colours compare equal whatever they were converted from.
    CColor a(200, 100, 50), b(200, 100, 50);
    a.Convert(IMAGE_RGB16);
    a.Convert(IMAGE_RGB8);
    EXPECT_EQ(a, b);
    a.Convert(IMAGE_HSV8);
    b.Convert(IMAGE_YCC8);
    b.Convert(IMAGE_HSV8);
    EXPECT_EQ(Store(a, 8)[3], 0);
    EXPECT_EQ(Store(b, 8)[3], 0);
}

TEST(Color, ConvertsBetweenModesThroughSixteenBitRgb) {
    CColor grey(128, 128, 128);
    grey.Convert(IMAGE_GRAY8);
    EXPECT_EQ(grey.GetMode(), IMAGE_GRAY8);
    EXPECT_EQ(grey.GetColor()[0], 128);
    CColor hsv(128, 128, 128);
    hsv.Convert(IMAGE_HSV8);
    EXPECT_EQ(Store(hsv, 3), (std::vector<int>{0, 0, 128}));

    CColor wide(0x12, 0x34, 0xFE);
    wide.Convert(IMAGE_RGB16);
    EXPECT_EQ(Store(wide, 8), (std::vector<int>{0x12, 0x12, 0x34, 0x34, 0xFE, 0xFE, 0, 0}));
    wide.Convert(IMAGE_GRAY16);
    // (77 * 0x1212 + 151 * 0x3434 + 28 * 0xFEFE) >> 8
    const int g16 = (77 * 0x1212 + 151 * 0x3434 + 28 * 0xFEFE) >> 8;
    EXPECT_EQ(wide.GetColor()[0] | wide.GetColor()[1] << 8, g16);
    EXPECT_EQ(wide.GetCOLORREF(), static_cast<COLORREF>((g16 >> 8) * 0x010101));

    CColor white(CColor::white);
    white.Convert(IMAGE_GRAY16);
    EXPECT_EQ(Store(white, 2), (std::vector<int>{255, 255}));
    white.Convert(IMAGE_GRAY8);
    EXPECT_EQ(white.GetColor()[0], 255);

    // Pure hues land on sector boundaries: stored hue = (2h + 1) / 3.
    CColor green(CColor::green);
    green.Convert(IMAGE_HLS8);
    EXPECT_EQ(Store(green, 3), (std::vector<int>{(2 * 128 + 1) / 3, 127, 255}));
    // L = 255 / 2 truncates, so the way back gives 254.
    EXPECT_EQ(green.GetCOLORREF(), 0x00FE00u);
    CColor blue(CColor::blue);
    blue.Convert(IMAGE_HSV8);
    EXPECT_EQ(Store(blue, 3), (std::vector<int>{(2 * 256 + 1) / 3, 255, 255}));
    CColor ycc(CColor::blue);
    ycc.Convert(IMAGE_YCC8);
    EXPECT_EQ(Store(ycc, 3), (std::vector<int>{29, 255, 107}));

    // Converting to the mode it already has changes nothing.
    CColor odd(1, 2, 3);
    odd.Convert(IMAGE_RGB8);
    EXPECT_EQ(odd, CColor(1, 2, 3));

    // Modes without their own colour meaning only relabel the bytes.
    for (IMAGE_MODE m : {IMAGE_INDEX8, IMAGE_DATA16, WithAlpha(IMAGE_RGB8), IMAGE_NOMODE}) {
        CColor c(10, 20, 30);
        c.Convert(m);
        EXPECT_EQ(c.GetMode(), m);
        EXPECT_EQ(Store(c, 8), (std::vector<int>{10, 20, 30, 0, 0, 0, 0, 0}));
        c.Convert(IMAGE_RGB8);
        EXPECT_EQ(c, CColor(10, 20, 30));
    }
}

TEST(Color, TakesAPixelOfAMapInPlaneOrder) {
    CPixMap rgba(WithAlpha(IMAGE_RGB8), 3, 2);
    uint8_t* p = rgba.Sample(2, 1, 0);
    p[0] = 9, p[1] = 8, p[2] = 7, p[3] = 6;
    const CColor c(rgba, 2, 1);
    EXPECT_EQ(c.GetMode(), WithAlpha(IMAGE_RGB8));
    EXPECT_EQ(Store(c, 8), (std::vector<int>{9, 8, 7, 6, 0, 0, 0, 0}));

    CPixMap planar = CPixMap::Planar(IMAGE_RGB16, 4, 4);
    for (int k = 0; k < 3; ++k) {
        uint8_t* s = planar.Sample(1, 3, k);
        s[0] = static_cast<uint8_t>(k + 1);
        s[1] = static_cast<uint8_t>(0x10 * (k + 1));
    }
    const CColor wide(planar, 1, 3);
    EXPECT_EQ(Store(wide, 8), (std::vector<int>{1, 0x10, 2, 0x20, 3, 0x30, 0, 0}));
    EXPECT_EQ(wide.GetCOLORREF(), 0x302010u);

    // Outside the map nothing is read.
    EXPECT_EQ(Store(CColor(rgba, 3, 0), 8), std::vector<int>(8, 0));
    EXPECT_EQ(Store(CColor(rgba, 0, -1), 8), std::vector<int>(8, 0));
    EXPECT_EQ(Store(CColor(CPixMap(), 0, 0), 8), std::vector<int>(8, 0));
}
