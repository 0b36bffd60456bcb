#include "model/BackgroundFill.h"
#include "image/Image.h"
#include "services/RelinkMaps.h"
#include "render/BackgroundPaint.h"
#include "services/ColorBand.h"
#include "model/MissingPicture.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/FileFormatException.h"
#include "tests/model/RecordBytes.h"
#include "tests/support/ScriptedInteraction.h"
#include <gtest/gtest.h>

namespace {
constexpr CStreamVersion v8{1, 8};

std::vector<uint8_t> Saved(const CBackgroundFill& fill) {
    CByteWriter writer;
    fill.Save(writer);
    return writer.Take();
}

CBackgroundFill Loaded(const std::vector<uint8_t>& bytes) {
    CBackgroundFill fill;
    CByteReader reader(std::span<const uint8_t>(bytes), v8);
    fill.Load(reader, v8);
    EXPECT_TRUE(reader.AtEnd());
    return fill;
}

CBackgroundFill Sized(int w, int h) {
    CBackgroundFill fill(CColor(10, 20, 30));
    fill.SetWidth(w);
    fill.SetHeight(h);
    return fill;
}

// A tile buffer with a padded row, so painting outside the region shows.
struct CTile {
    int w, h, rowStep;
    std::vector<uint8_t> bytes;
    CTile(int width, int height)
        : w(width), h(height), rowStep(width * 4 + 8),
          bytes(static_cast<std::size_t>(rowStep) * height, 0xCD) {}
    const uint8_t* At(int x, int y) const { return bytes.data() + y * rowStep + x * 4; }
    void ExpectPaddingUntouched() const {
        for (int y = 0; y < h; ++y)
            for (int k = w * 4; k < rowStep; ++k)
                ASSERT_EQ(bytes[y * rowStep + k], 0xCD);
    }
};

void ExpectPixel(const CTile& tile, int x, int y, int r, int g, int b) {
    const uint8_t* p = tile.At(x, y);
    EXPECT_EQ(p[0], 255) << x << "," << y;
    EXPECT_EQ(p[1], r) << x << "," << y;
    EXPECT_EQ(p[2], g) << x << "," << y;
    EXPECT_EQ(p[3], b) << x << "," << y;
}

// Picture pixel values that differ everywhere.
int Value(int x, int y, int c) {
    return (x * 40 + y * 7 + c * 90) % 256;
}

std::unique_ptr<CImage> Picture(int w, int h, bool alpha) {
    auto image = std::make_unique<CImage>(alpha ? WithAlpha(IMAGE_RGB8) : IMAGE_RGB8, w, h, 96.0);
    const int bpp = alpha ? 4 : 3, skip = alpha ? 1 : 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = image->Bits() + y * image->RowBytes() + x * bpp;
            if (alpha) p[0] = 17; // painting ignores a picture's alpha
            for (int c = 0; c < 3; ++c)
                p[skip + c] = static_cast<uint8_t>(Value(x, y, c));
        }
    return image;
}
} // namespace

TEST(BackgroundFill, RecordRoundTripsAndBadRecords) {
    CBackgroundFill solid = Sized(640, 480);
    solid.SetColour(CColor(1, 2, 3));
    CRecordBytes expected;
    expected.I32(static_cast<int32_t>(0xB8629B77u)).I32(0).I32(640).I32(480).Rgb(1, 2, 3);
    EXPECT_EQ(Saved(solid), expected.bytes);
    const CBackgroundFill solidBack = Loaded(expected.bytes);
    EXPECT_EQ(solidBack.GetType(), CBackgroundFill::fillSolid);
    EXPECT_EQ(solidBack.GetColour().GetCOLORREF(), CColor(1, 2, 3).GetCOLORREF());
    EXPECT_EQ(solidBack.GetWidth(), 640);
    EXPECT_FALSE(solidBack.NeedsRender());

    CBackgroundFill picture = Sized(2000, 30000);
    picture.SetImagePath("billeder/baggrund.jpg");
    picture.SetTiled(false);
    CRecordBytes pictureBytes;
    pictureBytes.I32(static_cast<int32_t>(0xB8629B77u))
        .I32(1)
        .I32(2000)
        .I32(30000)
        .Str("billeder/baggrund.jpg")
        .U8(0);
    EXPECT_EQ(Saved(picture), pictureBytes.bytes);
    const CBackgroundFill pictureBack = Loaded(pictureBytes.bytes);
    EXPECT_EQ(pictureBack.GetImagePath(), "billeder/baggrund.jpg");
    EXPECT_FALSE(pictureBack.IsTiled());
    EXPECT_TRUE(pictureBack.NeedsRender());

    CBackgroundFill gradient = Sized(10, 10);
    CFillGradient rainbow;
    GetPredefinedGradient(rainbow, 3);
    gradient.SetGradient(rainbow);
    gradient.SetHorizontal(false);
    const CBackgroundFill gradientBack = Loaded(Saved(gradient));
    EXPECT_EQ(gradientBack.GetType(), CBackgroundFill::fillGradient);
    EXPECT_FALSE(gradientBack.IsHorizontal());
    EXPECT_TRUE(gradientBack.GetGradient() == gradient.GetGradient());
    EXPECT_EQ(gradientBack.GetGradient().angle, 90);

    // Wrong tag, type, sizes: a clear error and the fill as it was.
    auto patched = [&](std::size_t at, int32_t value) {
        std::vector<uint8_t> bytes = expected.bytes;
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return bytes;
    };
    const std::vector<std::vector<uint8_t>> bad = {
        patched(0, 0x12345678),
        patched(4, 3),
        patched(4, -1),
        patched(8, 9),
        patched(8, 2001),
        patched(12, 9),
        patched(12, 30001),
        std::vector<uint8_t>(expected.bytes.begin(), expected.bytes.end() - 1)};
    for (const auto& bytes : bad) {
        CBackgroundFill target = Sized(300, 200);
        target.SetColour(CColor(7, 7, 7));
        CByteReader reader(std::span<const uint8_t>(bytes), v8);
        EXPECT_THROW(target.Load(reader, v8), CFileFormatException);
        EXPECT_EQ(target.GetWidth(), 300);
        EXPECT_EQ(target.GetColour().GetCOLORREF(), CColor(7, 7, 7).GetCOLORREF());
    }
}

TEST(BackgroundFill, RenderingStripsAndStateRules) {
    CBackgroundFill fill;
    CFillGradient g;
    GetPredefinedGradient(g, 1);
    fill.SetGradient(g);
    EXPECT_FALSE(fill.Render()) << "no page size yet";
    EXPECT_TRUE(fill.NeedsRender());
    fill.SetWidth(300);
    fill.SetHeight(5000);
    ASSERT_TRUE(fill.Render());
    ASSERT_NE(fill.GetImage(), nullptr);
    EXPECT_EQ(fill.GetImage()->Width(), 300);
    EXPECT_EQ(fill.GetImage()->Height(), 1);
    fill.SetHorizontal(false);
    EXPECT_TRUE(fill.NeedsRender());
    ASSERT_TRUE(fill.Render());
    EXPECT_EQ(fill.GetImage()->Width(), 1);
    EXPECT_EQ(fill.GetImage()->Height(), 5000);

    // A copy renders anew; Invalidate drops the strip.
    CBackgroundFill copy(fill);
    EXPECT_EQ(copy.GetImage(), nullptr);
    EXPECT_TRUE(copy.NeedsRender());
    fill.Invalidate();
    EXPECT_EQ(fill.GetImage(), nullptr);

    // Turning a picture fill that still has to load does not forget the load.
    CBackgroundFill picture = Sized(100, 100);
    picture.SetImagePath("/nowhere/x.png");
    picture.SetHorizontal(false);
    EXPECT_TRUE(picture.NeedsRender());

    // A missing picture asks once per render; OK gives the solid colour.
    CRelinkMaps maps;
    pwtest::CScriptedInteraction ui;
    int modified = 0;
    const CPictureContext context{&maps, &ui, [&] { ++modified; }};
    ui.ExpectChoice(missing_picture::kMissingId, 1)
        .ExpectFile({})
        .ExpectChoice(missing_picture::kMissingId, 0);
    EXPECT_TRUE(picture.Render(&context));
    EXPECT_EQ(picture.GetType(), CBackgroundFill::fillSolid);
    EXPECT_FALSE(picture.NeedsRender());
    EXPECT_EQ(modified, 1);
    EXPECT_TRUE(ui.Verify());
}

TEST(BackgroundPaint, EveryKindAgainstIndependentPixels) {
    const CRect region{5, 7, 12, 11};
    // Solid, and anything still waiting for rendering, paints the colour.
    for (bool pending : {false, true}) {
        CBackgroundFill fill = Sized(50, 50);
        fill.SetColour(CColor(200, 100, 50));
        if (pending) fill.SetImagePath("/nowhere.png");
        CTile tile(7, 4);
        PaintBackground(fill, region, tile.bytes.data(), tile.rowStep);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 7; ++x)
                ExpectPixel(tile, x, y, 200, 100, 50);
        tile.ExpectPaddingUntouched();
    }

    // Tiled picture: page pixel (x, y) shows picture pixel (x mod 3, y mod 2).
    for (bool alpha : {false, true}) {
        CBackgroundFill fill = Sized(50, 50);
        fill.SetImage("p.png", Picture(3, 2, alpha));
        CTile tile(7, 4);
        PaintBackground(fill, region, tile.bytes.data(), tile.rowStep);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 7; ++x) {
                const int px = (region.left + x) % 3, py = (region.top + y) % 2;
                ExpectPixel(tile, x, y, Value(px, py, 0), Value(px, py, 1), Value(px, py, 2));
            }
        tile.ExpectPaddingUntouched();
    }

    // Centred on white: a 4 x 3 picture on a 21 x 10 page sits at (8, 3).
    {
        CBackgroundFill fill = Sized(21, 10);
        fill.SetImage("p.png", Picture(4, 3, false));
        fill.SetTiled(false);
        CTile tile(21, 10);
        PaintBackground(fill, {0, 0, 21, 10}, tile.bytes.data(), tile.rowStep);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 21; ++x) {
                const bool inside = x >= 8 && x < 12 && y >= 3 && y < 6;
                if (inside)
                    ExpectPixel(tile, x, y, Value(x - 8, y - 3, 0), Value(x - 8, y - 3, 1),
                                Value(x - 8, y - 3, 2));
                else
                    ExpectPixel(tile, x, y, 255, 255, 255);
            }
        // A region that holds only part of the picture.
        CTile part(3, 3);
        PaintBackground(fill, {10, 4, 13, 7}, part.bytes.data(), part.rowStep);
        ExpectPixel(part, 0, 0, Value(2, 1, 0), Value(2, 1, 1), Value(2, 1, 2));
        ExpectPixel(part, 2, 0, 255, 255, 255);
        ExpectPixel(part, 1, 2, 255, 255, 255);
    }

    // Gradient strips, stretched: a horizontal strip down every row, a
    // vertical one along every column (bottom to top).
    {
        GRADIENTCOLORS colours;
        GetPredefinedGradient(colours, 3);
        CBackgroundFill fill = Sized(40, 30);
        fill.SetGradient(CFillGradient(colours));
        ASSERT_TRUE(fill.Render());
        std::vector<uint8_t> band(40 * 3);
        BuildColorBand(&colours, band.data(), 40);
        CTile tile(30, 5);
        PaintBackground(fill, {10, 20, 40, 25}, tile.bytes.data(), tile.rowStep);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 30; ++x) {
                const uint8_t* b = &band[(10 + x) * 3];
                ExpectPixel(tile, x, y, b[0], b[1], b[2]);
            }

        fill.SetHorizontal(false);
        ASSERT_TRUE(fill.Render());
        std::vector<uint8_t> up(30 * 3);
        BuildColorBand(&colours, up.data(), 30);
        CTile column(4, 30);
        PaintBackground(fill, {0, 0, 4, 30}, column.bytes.data(), column.rowStep);
        for (int y = 0; y < 30; ++y) {
            const uint8_t* b = &up[std::min(30 - y, 29) * 3];
            for (int x = 0; x < 4; ++x)
                ExpectPixel(column, x, y, b[0], b[1], b[2]);
        }
        column.ExpectPaddingUntouched();
    }
}
