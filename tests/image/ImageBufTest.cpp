#include "image/Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr IMAGE_MODE kRgba = WithAlpha(IMAGE_RGB8);

// Image whose pixel (x, y) sample k holds a value that tells where it came from.
CImage Numbered(IMAGE_MODE mode, int w, int h) {
    CImage img(mode, w, h, 96.0);
    const int planes = img.GetPlanes(), bytes = img.GetBitsPerPlane() / 8;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < planes; ++k) {
                const uint16_t v = static_cast<uint16_t>(100 * k + 10 * y + x + 1);
                std::memcpy(img.Bits() + y * img.RowBytes() + (x * planes + k) * bytes, &v,
                            static_cast<size_t>(bytes));
            }
    return img;
}

int At(const CPixMap& map, int x, int y, int k) {
    uint16_t v = 0;
    std::memcpy(&v, map.Sample(x, y, k), static_cast<size_t>(map.bitsPerPlane / 8));
    return v;
}

int ImageAt(const CImage& img, int x, int y, int k) {
    const int bytes = img.GetBitsPerPlane() / 8;
    uint16_t v = 0;
    std::memcpy(&v, img.Bits() + y * img.RowBytes() + (x * img.GetPlanes() + k) * bytes,
                static_cast<size_t>(bytes));
    return v;
}

void Fill(CPixMap& map, uint8_t value) {
    for (int k = 0; k < 4; ++k)
        if (map.buffer[k]) std::memset(map.buffer[k].get(), value, map.bufferSize[k]);
}

} // namespace

TEST(ImageBuf, FillMarksTheOutsideWithTransparentMaskColour) {
    const CImage img = Numbered(kRgba, 3, 3);
    CPixMap map(kRgba, 4, 4);
    img.GetBuf(-2, -2, map, CImage::maskFill, 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool outside = x < 2 || y < 2;
            for (int k = 0; k < 4; ++k) {
                const int want = outside ? (k == 0 ? 0 : 255) : ImageAt(img, x - 2, y - 2, k);
                EXPECT_EQ(At(map, x, y, k), want) << x << "," << y << "," << k;
            }
        }

    // A grey map of a grey image fills with the grey of the mask colour.
    CImage grey(IMAGE_GRAY16, 2, 2, 96.0);
    grey.SetMaskColor(CColor(0, 0, 255));
    CPixMap g(IMAGE_GRAY16, 3, 1);
    grey.GetBuf(1, 0, g, CImage::maskFill2, 1);
    EXPECT_EQ(At(g, 2, 0, 0), (28 * 255 * 257) >> 8);
}

TEST(ImageBuf, ClampReplicatesTheBorderIntoAllBands) {
    const CImage img = Numbered(IMAGE_RGB8, 3, 2);
    // A 7x6 map centred on the image: every band around it is non-empty.
    CPixMap map(IMAGE_RGB8, 7, 6);
    img.GetBuf(-2, -2, map, CImage::maskClamp, 1);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x)
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(At(map, x, y, k),
                          ImageAt(img, std::clamp(x - 2, 0, 2), std::clamp(y - 2, 0, 1), k))
                    << x << "," << y;

    // Wholly to the right (and below): every column is the last column.
    CPixMap right(kRgba, 4, 3);
    Fill(right, 0xEE);
    img.GetBuf(10, 1, right, CImage::maskClamp, 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(At(right, x, y, 0), 0); // alpha of the outside
            for (int k = 1; k < 4; ++k)
                EXPECT_EQ(At(right, x, y, k), ImageAt(img, 2, 1, k - 1)) << x << "," << y;
        }

    // Ending exactly one column before the image is still wholly outside.
    CPixMap left(IMAGE_RGB8, 2, 2);
    img.GetBuf(-2, 5, left, CImage::maskClamp, 1);
    for (int x = 0; x < 2; ++x)
        EXPECT_EQ(At(left, x, 1, 2), ImageAt(img, 0, 1, 2));

    // Step 2: the copied pixels are every second one; the border is the last
    // pixel that was actually sampled.
    const CImage wide = Numbered(IMAGE_GRAY8, 5, 5);
    CPixMap half(IMAGE_GRAY8, 4, 1);
    wide.GetBuf(1, 1, half, CImage::maskClamp, 2);
    EXPECT_EQ(At(half, 0, 0, 0), ImageAt(wide, 2, 2, 0));
    EXPECT_EQ(At(half, 1, 0, 0), ImageAt(wide, 4, 2, 0));
    EXPECT_EQ(At(half, 3, 0, 0), ImageAt(wide, 4, 2, 0));
}

TEST(ImageBuf, AlphaComesFromTheImageOrIsOpaque) {
    const CImage rgb = Numbered(IMAGE_RGB8, 4, 4);
    CPixMap map(kRgba, 3, 3);
    rgb.GetBuf(1, 1, map, CImage::maskKeep, 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(At(map, x, y, 0), 255);
            EXPECT_EQ(At(map, x, y, 2), ImageAt(rgb, x + 1, y + 1, 1));
        }

    // 16-bit alpha into a 16-bit map, and the all-ones sample for an image
    // without alpha.
    CPixMap wide(WithAlpha(IMAGE_GRAY16), 2, 1);
    Numbered(IMAGE_GRAY16, 2, 2).GetBuf(0, 0, wide, CImage::maskKeep, 1);
    EXPECT_EQ(At(wide, 1, 0, 0), 0xFFFF);
    EXPECT_EQ(At(wide, 1, 0, 1), 2);

    // A different colour mode gets its alpha plane and nothing else.
    const CImage rgba = Numbered(kRgba, 2, 2);
    CPixMap grey(WithAlpha(IMAGE_GRAY8), 3, 2);
    Fill(grey, 0x55);
    rgba.GetBuf(0, 0, grey, CImage::maskKeep, 1);
    EXPECT_EQ(At(grey, 1, 1, 0), ImageAt(rgba, 1, 1, 0));
    EXPECT_EQ(At(grey, 1, 1, 1), 0x55);
    EXPECT_EQ(At(grey, 2, 1, 0), 0);
    EXPECT_EQ(At(grey, 2, 1, 1), 0x55);
    // Alpha-only maps take the alpha plane of an image of any colour mode.
    CPixMap mask(WithAlpha(IMAGE_MASK8), 2, 2);
    rgba.GetBuf(0, 0, mask, CImage::maskKeep, 1);
    EXPECT_EQ(At(mask, 1, 0, 0), ImageAt(rgba, 1, 0, 0));
    CPixMap mask16(WithAlpha(IMAGE_MASK16), 2, 2);
    rgba.GetBuf(0, 0, mask16, CImage::maskKeep, 1);
    EXPECT_EQ(At(mask16, 1, 0, 0), ImageAt(rgba, 1, 0, 0) * 257);
}

TEST(ImageBuf, SetBufClipsAndFollowsTheAlphaRules) {
    CPixMap src(kRgba, 3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            for (int k = 0; k < 4; ++k)
                *src.Sample(x, y, k) = static_cast<uint8_t>(200 + 10 * y + x + k);

    // Clipped at the top-left corner: only map pixels (2, 1) and (2, 2) land.
    CImage img(kRgba, 4, 4, 96.0);
    img.SetBuf(-2, -1, src, CImage::maskKeep, 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            for (int k = 0; k < 4; ++k) {
                const bool written = x == 0 && y < 2;
                EXPECT_EQ(ImageAt(img, x, y, k), written ? *src.Sample(2, y + 1, k) : 0);
            }
    // Clipped at the bottom-right corner.
    img.SetBuf(3, 2, src, CImage::maskKeep, 1);
    EXPECT_EQ(ImageAt(img, 3, 3, 2), *src.Sample(0, 1, 2));
    EXPECT_EQ(ImageAt(img, 2, 3, 2), 0);
    // Wholly outside, and a different colour mode: nothing changes.
    const CImage before = img;
    img.SetBuf(4, 0, src, CImage::maskKeep, 1);
    img.SetBuf(0, -3, src, CImage::maskKeep, 1);
    CPixMap grey(WithAlpha(IMAGE_GRAY8), 2, 2);
    img.SetBuf(0, 0, grey, CImage::maskKeep, 1);
    EXPECT_EQ(std::memcmp(img.Bits(), before.Bits(), img.BufferBytes()), 0);

    // A map without alpha keeps the image's alpha; a map alpha with nowhere
    // to go is dropped.
    CPixMap rgb(IMAGE_RGB8, 1, 1);
    std::memset(rgb.buffer[0].get(), 9, rgb.bufferSize[0]);
    img.SetBuf(3, 3, rgb, CImage::maskKeep, 1);
    EXPECT_EQ(ImageAt(img, 3, 3, 0), *src.Sample(0, 1, 0));
    EXPECT_EQ(ImageAt(img, 3, 3, 1), 9);
    CImage plain(IMAGE_RGB8, 2, 2, 96.0);
    plain.SetBuf(0, 0, src, CImage::maskKeep, 1);
    EXPECT_EQ(ImageAt(plain, 1, 1, 0), *src.Sample(1, 1, 1));
    EXPECT_EQ(ImageAt(plain, 1, 1, 2), *src.Sample(1, 1, 3));

    // Step 2: map origin at (x / 2, y / 2), every second map pixel written.
    CImage coarse(IMAGE_GRAY8, 4, 4, 96.0);
    CPixMap fine(IMAGE_GRAY8, 3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            *fine.Sample(x, y, 0) = static_cast<uint8_t>(1 + 3 * y + x);
    coarse.SetBuf(3, 2, fine, CImage::maskKeep, 2);
    std::vector<int> got;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            got.push_back(ImageAt(coarse, x, y, 0));
    EXPECT_EQ(got, (std::vector<int>{0, 0, 0, 0, 0, 1, 3, 0, 0, 7, 9, 0, 0, 0, 0, 0}));
}
