#include "image/Image.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <utility>

TEST(Image, DefaultImageIsAnEmptyRgbImage) {
    const CImage img;
    EXPECT_EQ(img.GetMode(), IMAGE_RGB8);
    EXPECT_EQ(img.Width(), 0);
    EXPECT_EQ(img.Height(), 0);
    EXPECT_EQ(img.GetPlanes(), 3);
    EXPECT_EQ(img.GetDpi(), 96.0);
    EXPECT_EQ(img.Bits(), nullptr);
    EXPECT_FALSE(img.OwnsBuffer());
    EXPECT_EQ(img.GetLut().GetColors(), 0);
    EXPECT_EQ(img.GetMaskColor(), CColor(255, 255, 255));
    EXPECT_FALSE(img.HasAlpha());
}

TEST(Image, RowsArePaddedToFourBytes) {
    const CImage rgb(IMAGE_RGB8, 5, 2, 96.0);
    EXPECT_EQ(rgb.RowBytes(), 16u);
    EXPECT_EQ(rgb.BufferBytes(), 32u);
    EXPECT_TRUE(rgb.OwnsBuffer());
    ASSERT_NE(rgb.Bits(), nullptr);

    const CImage rgba(WithAlpha(IMAGE_RGB8), 5, 2, 72.0);
    EXPECT_EQ(rgba.RowBytes(), 20u);
    EXPECT_EQ(rgba.GetPlanes(), 4);
    EXPECT_TRUE(rgba.HasAlpha());
    EXPECT_EQ(rgba.GetDpi(), 72.0);

    EXPECT_EQ(CImage(IMAGE_GRAY8, 1, 1, 96.0).RowBytes(), 4u);
    EXPECT_EQ(CImage(IMAGE_GRAY16, 3, 1, 96.0).RowBytes(), 8u);
    EXPECT_EQ(CImage(IMAGE_RGB16, 1, 1, 96.0).GetBitsPerPlane(), 16);
    EXPECT_EQ(CImage(IMAGE_RGB16, 1, 1, 96.0).RowBytes(), 8u);
    const CImage data(IMAGE_DATA32, 3, 2, 5);
    EXPECT_EQ(data.GetPlanes(), 5);
    EXPECT_EQ(data.GetDpi(), 96.0);
    EXPECT_EQ(data.RowBytes(), 60u);
    EXPECT_NE(data.Bits(), nullptr);
}

TEST(Image, ImpossibleSizesLeaveTheImageWithoutABuffer) {
    const struct {
        IMAGE_MODE mode;
        int w, h;
    } cases[] = {
        {IMAGE_RGB8, -1, 10},
        {IMAGE_RGB8, 10, -1},
        {IMAGE_RGB8, INT_MIN, INT_MIN},
        {IMAGE_RGB8, INT_MAX, 2},
        {IMAGE_RGB8, 2, INT_MAX},
        {IMAGE_RGB8, 1 << 20, 1 << 20},
        {IMAGE_RGB8, 0, 10},
        {IMAGE_NOMODE, 10, 10},
        {static_cast<IMAGE_MODE>(77), 4, 4},
        {WithAlpha(IMAGE_DATA8), 4, 4},
    };
    for (const auto& c : cases) {
        CImage img(c.mode, c.w, c.h, 96.0);
        EXPECT_EQ(img.Bits(), nullptr) << c.w << "x" << c.h;
        EXPECT_FALSE(img.OwnsBuffer());
        // Copies of an image without pixels have none either, and pixel
        // transfers leave the caller's map as described for outside areas.
        CImage copy(img);
        EXPECT_EQ(copy.Bits(), nullptr);
        copy = CImage(IMAGE_RGB8, 2, 2, 96.0);
        copy = img;
        EXPECT_EQ(copy.Bits(), nullptr);
        CPixMap map(WithAlpha(IMAGE_RGB8), 2, 2);
        std::memset(map.buffer[0].get(), 7, map.bufferSize[0]);
        img.SetBuf(0, 0, map, CImage::maskKeep, 1);
        img.GetBuf(0, 0, map, CImage::maskClamp, 1);
        EXPECT_EQ(map.buffer[0][1], 7);
        img.GetBuf(0, 0, map, CImage::maskFill, 1);
        EXPECT_EQ(map.buffer[0][0], 0);   // alpha
        EXPECT_EQ(map.buffer[0][1], 255); // mask colour
    }
    EXPECT_EQ(CImage(IMAGE_DATA8, 4, 4, -3).Bits(), nullptr);
    EXPECT_EQ(CImage::RowBytesFor(3, 8, -5), 0u);

    // A map that could not get its memory is left alone.
    CPixMap none(IMAGE_RGB8, -4, 4);
    EXPECT_EQ(none.plane[0].data, nullptr);
    CImage img(IMAGE_RGB8, 4, 4, 96.0);
    img.GetBuf(0, 0, none, CImage::maskFill, 1);
    img.SetBuf(0, 0, none, CImage::maskFill, 1);
}

TEST(Image, CopiesOwnTheirPixelsAndSettings) {
    CImage a(WithAlpha(IMAGE_RGB8), 3, 3, 150.0);
    for (size_t i = 0; i < a.BufferBytes(); ++i)
        a.Bits()[i] = static_cast<uint8_t>(i * 7);
    CLut lut;
    lut[4] = {1, 2, 3};
    a.SetLut(lut);
    a.SetMaskColor(CColor(CColor::red));

    CImage b(a);
    ASSERT_NE(b.Bits(), a.Bits());
    EXPECT_EQ(std::memcmp(a.Bits(), b.Bits(), a.BufferBytes()), 0);
    EXPECT_EQ(b.GetDpi(), 150.0);
    EXPECT_EQ(b.GetLut().GetColors(), 5);
    EXPECT_EQ(b.GetLut()[4u], (LutColor{1, 2, 3}));
    EXPECT_EQ(b.GetMaskColor(), CColor(CColor::red));
    b.Bits()[0] = 99;
    EXPECT_EQ(a.Bits()[0], 0);

    CImage c(IMAGE_GRAY8, 1, 1, 96.0);
    c = a;
    EXPECT_EQ(c.GetMode(), WithAlpha(IMAGE_RGB8));
    EXPECT_EQ(c.Width(), 3);
    EXPECT_EQ(c.GetPlanes(), 4);
    EXPECT_EQ(std::memcmp(a.Bits(), c.Bits(), a.BufferBytes()), 0);
    const uint8_t* before = c.Bits();
    c = std::as_const(c);
    EXPECT_EQ(c.Bits(), before);

    CImage moved(std::move(c));
    EXPECT_EQ(moved.Bits(), before);
    EXPECT_EQ(c.Bits(), nullptr); // NOLINT(bugprone-use-after-move)
    moved = CImage();
    EXPECT_EQ(moved.Bits(), nullptr);

    EXPECT_FALSE(a.Convert(IMAGE_GRAY8));
    EXPECT_EQ(a.GetMode(), WithAlpha(IMAGE_RGB8));
}
