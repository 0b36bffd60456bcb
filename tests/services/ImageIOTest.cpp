#include "services/BmpIO.h"
#include "services/GifIO.h"
#include "services/IO.h"
#include "services/JpegIO.h"
#include "services/MemFile.h"
#include "services/UserInteraction.h"
#include "tests/services/TestPictures.h"
#include "tests/support/TempDir.h"
#include <gtest/gtest.h>
#include <png.h>

using namespace pwtest;

namespace {

// Pixel (x, y) of an image as {a, r, g, b} (a = 255 without alpha).
std::array<int, 4> Pixel(const CImage& image, int x, int y) {
    const uint8_t* row = image.Bits() + y * image.RowBytes();
    if (image.HasAlpha()) return {row[x * 4], row[x * 4 + 1], row[x * 4 + 2], row[x * 4 + 3]};
    return {255, row[x * 3], row[x * 3 + 1], row[x * 3 + 2]};
}

std::unique_ptr<CImage> Load(const std::filesystem::path& path, int& format, int& error) {
    format = FORMAT_ANY;
    error = -1;
    return CIO::LoadImageA(path, format, error);
}

} // namespace

TEST(ImageIO, PngAndBmpRoundTripsAreExact) {
    TempDir dir;
    // Odd widths exercise the 4-byte row padding of both the image and the BMP.
    for (bool alpha : {false, true})
        for (int width : {1, 5, 7, 64}) {
            SPicture pic = MakeGradient(width, 9, alpha, 40, static_cast<unsigned>(width));
            auto image = ToImage(pic);
            image->SetDpi(150.0);
            for (int fmt : {int(FORMAT_PNG), int(FORMAT_BMP)}) {
                SCOPED_TRACE("alpha " + std::to_string(alpha) + " width " + std::to_string(width) +
                             " format " + std::to_string(fmt));
                // The name says JPEG; the content must decide.
                const auto path = dir / "picture.jpg";
                int format = fmt, error = -1;
                ASSERT_TRUE(CIO::SaveImage(path, *image, format, 90, error, ""));
                EXPECT_EQ(error, IOERR_NONE);
                int loadedFormat = 0;
                auto back = Load(path, loadedFormat, error);
                ASSERT_TRUE(back);
                EXPECT_EQ(loadedFormat, fmt);
                EXPECT_EQ(back->GetMode(), image->GetMode());
                EXPECT_NEAR(back->GetDpi(), 150.0, 0.5);
                const SDiff d = Compare(*back, pic);
                EXPECT_EQ(d.max, 0);
                EXPECT_EQ(d.alphaMismatches, 0);
            }
        }
    // FORMAT_ANY picks by extension and reports the choice.
    auto image = ToImage(MakeGradient(4, 4, false, 0));
    int format = FORMAT_ANY, error = -1;
    ASSERT_TRUE(CIO::SaveImage(dir / "x.PNG", *image, format, 90, error, ""));
    EXPECT_EQ(format, FORMAT_PNG);
    EXPECT_EQ(ReadAll(dir / "x.PNG")[1], 'P');
    // No temporary file is left beside the targets.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        files += e.path().filename().string()[0] == '.';
    EXPECT_EQ(files, 0);
}

TEST(ImageIO, DibThroughMemoryFile) {
    for (bool alpha : {false, true}) {
        SPicture pic = MakeGradient(3, 2, alpha, 0);
        auto image = ToImage(pic);
        CMemFile file;
        file.Write("xyz", 3); // the bitmap goes at the position
        int error = -1;
        ASSERT_TRUE(CBmpIO::Save(file, *image, false, error));
        const std::vector<uint8_t>& b = file.Data();
        // Information header first, no "BM": size, width, height (bottom-up), bits.
        const uint32_t headerSize = alpha ? 124 : 40;
        EXPECT_EQ(b[3] | b[4] << 8, int(headerSize));
        EXPECT_EQ(b[3 + 4], 3);
        EXPECT_EQ(b[3 + 8], 2);
        EXPECT_EQ(b[3 + 14], alpha ? 32 : 24);
        const size_t stride = alpha ? 12 : 12; // 9 bytes padded to 12, or 12 already
        EXPECT_EQ(file.GetLength(), 3 + headerSize + 2 * stride);
        // The first pixel row in the data is the bottom row, blue first.
        const uint8_t* first = b.data() + 3 + headerSize;
        EXPECT_EQ(first[0], pic.At(0, 1)[2]);
        EXPECT_EQ(first[2], pic.At(0, 1)[0]);

        file.Write("tail", 4);
        file.Seek(3);
        auto back = CIO::LoadDIB(file, FORMAT_ANY, error);
        ASSERT_TRUE(back);
        EXPECT_EQ(error, IOERR_NONE);
        EXPECT_EQ(back->HasAlpha(), alpha);
        EXPECT_EQ(Compare(*back, pic).max, 0);
        EXPECT_EQ(file.GetPosition(), 3 + headerSize + 2 * stride);
    }
}

TEST(ImageIO, HandMadeBitmapVariants) {
    auto le32 = [](std::vector<uint8_t>& v, uint32_t x) {
        for (int i = 0; i < 4; ++i)
            v.push_back(static_cast<uint8_t>(x >> (8 * i)));
    };
    // A 40-byte header followed by palette and pixels.
    auto dib = [&](int w, int h, int bpp, uint32_t compression, std::vector<uint8_t> palette,
                   std::vector<uint8_t> pixels) {
        std::vector<uint8_t> v;
        le32(v, 40);
        le32(v, static_cast<uint32_t>(w));
        le32(v, static_cast<uint32_t>(h));
        v.push_back(1), v.push_back(0), v.push_back(static_cast<uint8_t>(bpp)), v.push_back(0);
        le32(v, compression);
        le32(v, static_cast<uint32_t>(pixels.size()));
        le32(v, 3780), le32(v, 3780); // 96 dpi
        le32(v, static_cast<uint32_t>(palette.size() / 4)), le32(v, 0);
        v.insert(v.end(), palette.begin(), palette.end());
        v.insert(v.end(), pixels.begin(), pixels.end());
        return v;
    };
    const std::vector<uint8_t> pal = {0, 0, 255, 0, 0, 255,
                                      0, 0, 255, 0, 0, 0}; // red, green, blue (BGR0)
    auto load = [](const std::vector<uint8_t>& v, int& error) {
        CMemFile f(v);
        return CIO::LoadDIB(f, FORMAT_ANY, error);
    };
    int error = -1;
    // 1 bit, 3 x 2, bottom-up: bottom row 1,0,1; top row 0,1,1.
    auto img = load(dib(3, 2, 1, 0, pal, {0xA0, 0, 0, 0, 0x60, 0, 0, 0}), error);
    ASSERT_TRUE(img);
    EXPECT_EQ(Pixel(*img, 0, 1), (std::array<int, 4>{255, 0, 255, 0}));
    EXPECT_EQ(Pixel(*img, 1, 1), (std::array<int, 4>{255, 255, 0, 0}));
    EXPECT_EQ(Pixel(*img, 0, 0), (std::array<int, 4>{255, 255, 0, 0}));
    EXPECT_EQ(Pixel(*img, 2, 0), (std::array<int, 4>{255, 0, 255, 0}));
    // 4 bit, top-down (negative height), index 2 then 1, and an index past the palette -> black.
    img = load(dib(3, -1, 4, 0, pal, {0x21, 0x90, 0, 0}), error);
    ASSERT_TRUE(img);
    EXPECT_EQ(Pixel(*img, 0, 0), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(*img, 1, 0), (std::array<int, 4>{255, 0, 255, 0}));
    EXPECT_EQ(Pixel(*img, 2, 0), (std::array<int, 4>{255, 0, 0, 0}));
    // 16 bit 5-5-5: pure red 0x7C00 and a mid grey (16,16,16) -> 132 each.
    img = load(dib(2, 1, 16, 0, {}, {0x00, 0x7C, 0x10, 0x42}), error);
    ASSERT_TRUE(img);
    EXPECT_EQ(Pixel(*img, 0, 0), (std::array<int, 4>{255, 255, 0, 0}));
    EXPECT_EQ(Pixel(*img, 1, 0), (std::array<int, 4>{255, 132, 132, 132}));
    // 32 bit with all fourth bytes 0 (the common case): opaque RGB, not transparent.
    img = load(dib(2, 1, 32, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0}), error);
    ASSERT_TRUE(img);
    EXPECT_FALSE(img->HasAlpha());
    EXPECT_EQ(Pixel(*img, 1, 0), (std::array<int, 4>{255, 6, 5, 4}));
    // ... and with varying fourth bytes: alpha.
    img = load(dib(2, 1, 32, 0, {}, {1, 2, 3, 0, 4, 5, 6, 128}), error);
    ASSERT_TRUE(img);
    EXPECT_TRUE(img->HasAlpha());
    EXPECT_EQ(Pixel(*img, 1, 0), (std::array<int, 4>{128, 6, 5, 4}));
    // RLE8, 4 x 2. Bottom row: absolute [1, 2, 0] (padded to 16 bits), run of
    // one 1, end of line. Top row: delta (2, 0), run of two 2s, end of bitmap.
    img = load(dib(4, 2, 8, 1, pal, {0, 3, 1, 2, 0, 0, 1, 1, 0, 0, 0, 2, 2, 0, 2, 2, 0, 1}), error);
    ASSERT_TRUE(img) << error;
    EXPECT_EQ(Pixel(*img, 0, 1), (std::array<int, 4>{255, 0, 255, 0}));
    EXPECT_EQ(Pixel(*img, 1, 1), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(*img, 2, 1), (std::array<int, 4>{255, 255, 0, 0}));
    EXPECT_EQ(Pixel(*img, 3, 1), (std::array<int, 4>{255, 0, 255, 0}));
    EXPECT_EQ(Pixel(*img, 0, 0), (std::array<int, 4>{255, 255, 0, 0})); // skipped: index 0
    EXPECT_EQ(Pixel(*img, 2, 0), (std::array<int, 4>{255, 0, 0, 255}));
    // RLE4, 5 x 1: run of two alternating 1, 2; absolute 2, 1, 0; end of bitmap.
    img = load(dib(5, 1, 4, 2, pal, {2, 0x12, 0, 3, 0x21, 0x00, 0, 1}), error);
    ASSERT_TRUE(img) << error;
    EXPECT_EQ(Pixel(*img, 0, 0), (std::array<int, 4>{255, 0, 255, 0}));
    EXPECT_EQ(Pixel(*img, 1, 0), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(*img, 2, 0), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(*img, 3, 0), (std::array<int, 4>{255, 0, 255, 0}));
    EXPECT_EQ(Pixel(*img, 4, 0), (std::array<int, 4>{255, 255, 0, 0}));
    // Unsupported: JPEG-compressed bitmap, 2 bits per pixel.
    EXPECT_FALSE(load(dib(1, 1, 24, 4, {}, {0, 0, 0, 0}), error));
    EXPECT_EQ(error, IOERR_FORMAT);
    EXPECT_FALSE(load(dib(1, 1, 2, 0, {}, {0, 0, 0, 0}), error));
    EXPECT_EQ(error, IOERR_FORMAT);
}

TEST(ImageIO, JpegMatchesTheLibraryWithFullColourFromQuality90) {
    TempDir dir;
    // Smooth ramps with mild noise, like rendered page graphics.
    const SPicture pic = MakeGradient(123, 77, false, 2);
    auto image = ToImage(pic);
    int format = FORMAT_JPEG, error = -1;
    ASSERT_TRUE(CIO::SaveImage(dir / "a.jpg", *image, format, 98, error, "Lavet med omhu"));
    const auto bytes = ReadAll(dir / "a.jpg");
    const SDecoded ours = DecodeJpeg(bytes);
    ASSERT_EQ(ours.comments.size(), 1u);
    EXPECT_EQ(ours.comments[0], "Lavet med omhu");
    EXPECT_EQ(ours.densityUnit, 1);
    EXPECT_EQ(ours.xDensity, 96);

    // The library's encoder with the colour planes at full resolution:
    // decoded pixels are identical.
    const SDecoded reference =
        DecodeJpeg(EncodeJpeg(pic.px.data(), pic.width, pic.height, 3, 98, true));
    EXPECT_EQ(ours.rgb, reference.rgb);
    // Below quality 90 the library's defaults hold, halved colour included.
    ASSERT_TRUE(CIO::SaveImage(dir / "q89.jpg", *image, format, 89, error, ""));
    EXPECT_EQ(DecodeJpeg(ReadAll(dir / "q89.jpg")).rgb,
              DecodeJpeg(EncodeJpeg(pic.px.data(), pic.width, pic.height, 3, 89)).rgb);

    auto back = Load(dir / "a.jpg", format, error);
    ASSERT_TRUE(back);
    EXPECT_EQ(format, FORMAT_JPEG);
    EXPECT_EQ(back->GetMode(), IMAGE_RGB8);
    const SDiff d = Compare(*back, pic);
    EXPECT_LT(d.mean, 2.0);
    EXPECT_LT(d.max, 24);

    // With alpha the colours are encoded from the same rows; alpha is dropped.
    SPicture withAlpha = MakeGradient(123, 77, true, 2);
    auto alphaImage = ToImage(withAlpha);
    ASSERT_TRUE(CIO::SaveImage(dir / "b.jpg", *alphaImage, format, 98, error, ""));
    const SDecoded fromAlpha = DecodeJpeg(ReadAll(dir / "b.jpg"));
    EXPECT_TRUE(fromAlpha.comments.empty());
    EXPECT_EQ(fromAlpha.rgb, reference.rgb);

    // A comment longer than one marker holds is split, not cut.
    const std::string longComment(70000, 'k');
    ASSERT_TRUE(CIO::SaveImage(dir / "c.jpg", *image, format, 50, error, longComment));
    const SDecoded split = DecodeJpeg(ReadAll(dir / "c.jpg"));
    ASSERT_EQ(split.comments.size(), 2u);
    EXPECT_EQ(split.comments[0].size() + split.comments[1].size(), longComment.size());
}

TEST(ImageIO, JpegThroughMemoryFileAndOtherMaps) {
    const SPicture pic = MakeGradient(40, 30, false, 0);
    auto image = ToImage(pic);
    CMemFile file;
    file.Write("HEAD", 4);
    int error = -1;
    ASSERT_TRUE(CJpegIO::Save(file, CJpegIO::MapOfImage(*image), 40, error, ""));
    const size_t end = file.GetLength();
    file.Write("TAIL", 4);
    file.Seek(4);
    auto back = CJpegIO::Load(file, error);
    ASSERT_TRUE(back);
    EXPECT_EQ(file.GetPosition(), end); // just after the JPEG
    EXPECT_LT(Compare(*back, pic).mean, 4.0);

    // A planar RGB map and an interleaved map with an extra sample per pixel
    // take the row-converting path and must give the same JPEG.
    CPixMap planar = CPixMap::Planar(IMAGE_RGB8, pic.width, pic.height);
    CPixMap padded;
    padded.width = pic.width;
    padded.height = pic.height;
    padded.mode = IMAGE_RGB8;
    padded.planes = 3;
    padded.bitsPerPlane = 8;
    std::vector<uint8_t> paddedBytes(static_cast<size_t>(pic.width) * pic.height * 5);
    padded.plane[0] = {paddedBytes.data(), 5, pic.width * 5};
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x)
            for (int k = 0; k < 3; ++k) {
                *planar.Sample(x, y, k) = pic.At(x, y)[k];
                paddedBytes[(static_cast<size_t>(y) * pic.width + x) * 5 + k] = pic.At(x, y)[k];
            }
    CMemFile direct, viaPlanes, viaPadded;
    ASSERT_TRUE(CJpegIO::Save(direct, *image, 40, error, ""));
    ASSERT_TRUE(CJpegIO::Save(viaPlanes, planar, 40, error, ""));
    ASSERT_TRUE(CJpegIO::Save(viaPadded, padded, 40, error, ""));
    EXPECT_EQ(viaPlanes.Data(), direct.Data());
    EXPECT_EQ(viaPadded.Data(), direct.Data());

    // A map of a mode JPEG cannot hold is refused.
    CPixMap hls(IMAGE_HLS8, 4, 4);
    EXPECT_FALSE(CJpegIO::Save(file, hls, 40, error, ""));
    EXPECT_EQ(error, IOERR_FORMAT);
}

TEST(ImageIO, GreyAndCmykJpegsLoadAsRgb) {
    TempDir dir;
    std::vector<uint8_t> grey(16 * 8);
    for (size_t i = 0; i < grey.size(); ++i)
        grey[i] = static_cast<uint8_t>(i % 16 * 16);
    WriteAll(dir / "grey.jpg", EncodeJpeg(grey.data(), 16, 8, 1, 95));
    int format = 0, error = -1;
    auto img = Load(dir / "grey.jpg", format, error);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->GetMode(), IMAGE_RGB8);
    const auto p = Pixel(*img, 8, 3);
    EXPECT_NEAR(p[1], 128, 4);
    EXPECT_EQ(p[1], p[2]);
    EXPECT_EQ(p[2], p[3]);

    // CMYK as the library writes it (inverted, with the Adobe marker):
    // left half red (no cyan, full magenta and yellow), right half 50 % black.
    std::vector<uint8_t> cmyk(16 * 16 * 4);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* q = &cmyk[(y * 16 + x) * 4];
            if (x < 8) {
                q[0] = 255, q[1] = 0, q[2] = 0, q[3] = 255;
            } else {
                q[0] = 255, q[1] = 255, q[2] = 255, q[3] = 128;
            }
        }
    WriteAll(dir / "cmyk.jpg", EncodeJpeg(cmyk.data(), 16, 16, 4, 95));
    img = Load(dir / "cmyk.jpg", format, error);
    ASSERT_TRUE(img) << error;
    const auto red = Pixel(*img, 2, 8), dark = Pixel(*img, 13, 8);
    EXPECT_GT(red[1], 240);
    EXPECT_LT(red[2], 15);
    EXPECT_LT(red[3], 15);
    EXPECT_NEAR(dark[1], 128, 6);
    EXPECT_NEAR(dark[3], 128, 6);
}

TEST(ImageIO, PngVariantsLoadAsRgbWithAlphaWhereGiven) {
    TempDir dir;
    int format = 0, error = -1;
    auto loadPng = [&](const SPngSpec& spec) {
        WriteAll(dir / "v.png", EncodePng(spec));
        return Load(dir / "v.png", format, error);
    };
    // Palette, 4 bits, with tRNS: index 0 transparent, 1 half, 2 opaque.
    SPngSpec pal;
    pal.width = 3, pal.height = 1, pal.colorType = PNG_COLOR_TYPE_PALETTE, pal.bitDepth = 4;
    pal.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    pal.trns = {0, 128};
    pal.rows = {0x01, 0x20};
    auto img = loadPng(pal);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->GetMode(), WithAlpha(IMAGE_RGB8));
    EXPECT_EQ(Pixel(*img, 0, 0)[0], 0);
    EXPECT_EQ(Pixel(*img, 1, 0), (std::array<int, 4>{128, 0, 255, 0}));
    EXPECT_EQ(Pixel(*img, 2, 0), (std::array<int, 4>{255, 0, 0, 255}));
    // Grey 1 bit: black, white.
    SPngSpec g1;
    g1.width = 2, g1.height = 1, g1.colorType = PNG_COLOR_TYPE_GRAY, g1.bitDepth = 1;
    g1.rows = {0x40};
    img = loadPng(g1);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->GetMode(), IMAGE_RGB8);
    EXPECT_EQ(Pixel(*img, 0, 0), (std::array<int, 4>{255, 0, 0, 0}));
    EXPECT_EQ(Pixel(*img, 1, 0), (std::array<int, 4>{255, 255, 255, 255}));
    // Grey + alpha.
    SPngSpec ga;
    ga.width = 1, ga.height = 1, ga.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    ga.rows = {90, 30};
    img = loadPng(ga);
    ASSERT_TRUE(img);
    EXPECT_EQ(Pixel(*img, 0, 0), (std::array<int, 4>{30, 90, 90, 90}));
    // 16-bit RGB with a tRNS colour key: the keyed pixel is transparent.
    SPngSpec rgb16;
    rgb16.width = 2, rgb16.height = 1, rgb16.colorType = PNG_COLOR_TYPE_RGB, rgb16.bitDepth = 16;
    rgb16.rows = {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
    rgb16.trnsColor = true;
    rgb16.trnsKey[0] = 0x1234, rgb16.trnsKey[1] = 0x5678, rgb16.trnsKey[2] = 0x9ABC;
    img = loadPng(rgb16);
    ASSERT_TRUE(img);
    EXPECT_EQ(Pixel(*img, 0, 0), (std::array<int, 4>{255, 255, 128, 0}));
    EXPECT_EQ(Pixel(*img, 1, 0)[0], 0);
    // Interlaced RGB gives the same pixels as the plain file.
    const SPicture pic = MakeGradient(13, 11, false, 30);
    SPngSpec inter;
    inter.width = 13, inter.height = 11, inter.interlace = true, inter.rows = pic.px;
    img = loadPng(inter);
    ASSERT_TRUE(img);
    EXPECT_EQ(Compare(*img, pic).max, 0);
    EXPECT_EQ(format, FORMAT_PNG);
}

TEST(ImageIO, GifFirstFrameTransparencyAndAnimation) {
    TempDir dir;
    const std::vector<uint8_t> palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    // A 4 x 3 frame at (1, 1) on a 6 x 5 screen; index 3 is transparent.
    SGifFrame frame;
    frame.left = 1, frame.top = 1, frame.width = 4, frame.height = 3, frame.transparent = 3;
    frame.indices = {0, 1, 2, 3, 3, 2, 1, 0, 0, 0, 1, 1};
    ASSERT_TRUE(WriteGif(dir / "t.gif", 6, 5, palette, {frame}));
    int format = 0, error = -1;
    auto img = Load(dir / "t.gif", format, error);
    ASSERT_TRUE(img);
    EXPECT_EQ(format, FORMAT_GIF);
    EXPECT_EQ(img->Width(), 6);
    EXPECT_EQ(img->Height(), 5);
    EXPECT_EQ(img->GetMode(), WithAlpha(IMAGE_RGB8));
    EXPECT_EQ(Pixel(*img, 0, 0)[0], 0); // screen outside the frame
    EXPECT_EQ(Pixel(*img, 1, 1), (std::array<int, 4>{255, 255, 0, 0}));
    EXPECT_EQ(Pixel(*img, 3, 1), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(*img, 4, 1)[0], 0); // transparent index
    EXPECT_EQ(Pixel(*img, 4, 3), (std::array<int, 4>{255, 0, 255, 0}));
    EXPECT_FALSE(CGifIO::IsAnimated(dir / "t.gif"));

    // Three interlaced full-screen frames without transparency: animated; the
    // first frame loads as plain RGB.
    std::vector<SGifFrame> frames;
    for (int i = 0; i < 3; ++i) {
        SGifFrame f;
        f.width = 5, f.height = 9, f.interlace = true;
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 5; ++x)
                f.indices.push_back(static_cast<uint8_t>((y + i) % 3));
        frames.push_back(f);
    }
    ASSERT_TRUE(WriteGif(dir / "a.gif", 5, 9, palette, frames));
    EXPECT_TRUE(CGifIO::IsAnimated(dir / "a.gif"));
    img = Load(dir / "a.gif", format, error);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->GetMode(), IMAGE_RGB8);
    for (int y = 0; y < 9; ++y)
        EXPECT_EQ(Pixel(*img, 2, y)[1 + y % 3], 255) << "row " << y;
    EXPECT_FALSE(CGifIO::IsAnimated(dir / "missing.gif"));
}

TEST(ImageIO, MemFileReadsWritesAndSeeks) {
    CMemFile f;
    f.Write("abc", 3);
    EXPECT_EQ(f.Seek(5), 5u);
    f.Write("Z", 1); // gap filled with zeros
    EXPECT_EQ(f.GetLength(), 6u);
    EXPECT_EQ(f.Data()[3], 0);
    f.Seek(-2, CMemFile::end);
    char buf[8] = {};
    EXPECT_EQ(f.Read(buf, 8), 2u);
    EXPECT_EQ(std::string(buf, 2), std::string("\0Z", 2));
    EXPECT_EQ(f.Read(buf, 8), 0u);
    EXPECT_EQ(f.Seek(-100, CMemFile::current), 0u);
    EXPECT_EQ(f.Remaining(), 6u);
    const auto bytes = f.Detach();
    EXPECT_EQ(bytes.size(), 6u);
    EXPECT_EQ(f.GetLength(), 0u);
    EXPECT_EQ(f.Current(), nullptr);
}

namespace {
class CChooserOnly : public CUserInteraction {
public:
    std::filesystem::path answer;
    CFileRequest seen;
    EAnswer Message(const CMessage&) override { return EAnswer::Cancel; }
    CChoiceResult Choose(const CChoice&) override { return {}; }
    std::filesystem::path ChooseFile(const CFileRequest& r) override {
        seen = r;
        return answer;
    }
    std::filesystem::path ChooseFolder(const std::string&, const std::filesystem::path&) override {
        return {};
    }
    bool AskText(const std::string&, const std::string&, std::string&) override { return false; }
    std::unique_ptr<CProgress> OpenProgress(int, const std::string&) override { return nullptr; }
    bool OpenInBrowser(const std::filesystem::path&) override { return false; }
    void BeginWait() override {}
    void EndWait() override {}
};
} // namespace

TEST(ImageIO, GetFileNameAsksWithPictureFilters) {
    CChooserOnly ui;
    std::filesystem::path path = "/home/billeder";
    EXPECT_FALSE(CIO::GetFileName(path, true, ui)); // cancelled
    EXPECT_EQ(path, "/home/billeder");
    EXPECT_EQ(ui.seen.start, "/home/billeder");
    EXPECT_EQ(ui.seen.mode, CFileRequest::Mode::Open);
    ASSERT_FALSE(ui.seen.filters.empty());
    EXPECT_EQ(ui.seen.filters[0], "Billeder (*.jpg *.jpeg *.gif *.png *.bmp)");
    ui.answer = "/home/billeder/kat.png";
    EXPECT_TRUE(CIO::GetFileName(path, true, ui));
    EXPECT_EQ(path, "/home/billeder/kat.png");
}
