#include "services/BmpIO.h"
#include "services/GifIO.h"
#include "services/IO.h"
#include "services/JpegIO.h"
#include "tests/services/TestPictures.h"
#include "tests/support/TempDir.h"
#include <cstring>
#include <gtest/gtest.h>
#include <png.h>
#include <random>

using namespace pwtest;

namespace {

struct SLoadResult {
    bool loaded = false;
    int error = -1;
};

SLoadResult TryLoad(const std::filesystem::path& path) {
    int format = FORMAT_ANY;
    SLoadResult r;
    r.loaded = CIO::LoadImageA(path, format, r.error) != nullptr;
    return r;
}

// One valid file of each format, written by the libraries (BMP by our writer,
// which the round-trip tests check).
std::vector<std::pair<std::string, std::vector<uint8_t>>> ValidFiles(const TempDir& dir) {
    const SPicture pic = MakeGradient(48, 40, false, 60);
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    files.emplace_back("jpg", EncodeJpeg(pic.px.data(), pic.width, pic.height, 3, 90));
    SPngSpec png;
    png.width = pic.width, png.height = pic.height, png.rows = pic.px;
    files.emplace_back("png", EncodePng(png));
    SGifFrame frame;
    frame.width = 48, frame.height = 40;
    std::mt19937 rng(7);
    for (int i = 0; i < 48 * 40; ++i)
        frame.indices.push_back(static_cast<uint8_t>(rng() % 4));
    WriteGif(dir / "src.gif", 48, 40, {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}, {frame});
    files.emplace_back("gif", ReadAll(dir / "src.gif"));
    CMemFile bmp;
    int error = 0;
    CBmpIO::Save(bmp, *ToImage(pic), true, error);
    files.emplace_back("bmp", bmp.Data());
    return files;
}

std::vector<uint8_t> Le32(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

} // namespace

TEST(ImageIODamage, TruncatedFilesAreRefusedAsBadPictures) {
    TempDir dir;
    for (const auto& [ext, bytes] : ValidFiles(dir)) {
        const auto whole = dir / ("whole." + ext);
        WriteAll(whole, bytes);
        ASSERT_TRUE(TryLoad(whole).loaded) << ext;
        ASSERT_TRUE(CIO::FileformatSupported(whole, true)) << ext;
        // Cuts inside the signature, the headers and the picture data.
        const size_t n = bytes.size();
        for (size_t cut : {size_t{2}, size_t{10}, size_t{30}, size_t{60}, n / 3, n / 2, n - 40}) {
            const auto part = dir / ("cut." + ext);
            WriteAll(part, std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
            const SLoadResult r = TryLoad(part);
            EXPECT_FALSE(r.loaded) << ext << " cut at " << cut;
            EXPECT_EQ(r.error, IOERR_FORMAT) << ext << " cut at " << cut;
            EXPECT_FALSE(CIO::FileformatSupported(part, true)) << ext << " cut at " << cut;
        }
    }
}

// A JPEG that lacks only its end marker has all its picture data: it loads,
// with the same pixels as the whole file.
TEST(ImageIODamage, JpegWithoutEndMarkerLoads) {
    TempDir dir;
    for (const int quality : {50, 95}) {
        const SPicture pic = MakeGradient(48, 40, false, 60);
        std::vector<uint8_t> jpg = EncodeJpeg(pic.px.data(), pic.width, pic.height, 3, quality);
        ASSERT_EQ(jpg[jpg.size() - 2], 0xFF);
        ASSERT_EQ(jpg.back(), 0xD9);
        WriteAll(dir / "whole.jpg", jpg);
        jpg.resize(jpg.size() - 2);
        WriteAll(dir / "open.jpg", jpg);
        int format = FORMAT_ANY, error = -1;
        auto whole = CIO::LoadImageA(dir / "whole.jpg", format, error);
        auto open = CIO::LoadImageA(dir / "open.jpg", format, error);
        ASSERT_TRUE(whole && open) << "quality " << quality << " error " << error;
        EXPECT_TRUE(CIO::FileformatSupported(dir / "open.jpg", true));
        ASSERT_EQ(open->Height(), whole->Height());
        for (int y = 0; y < whole->Height(); ++y)
            ASSERT_EQ(0, std::memcmp(open->Bits() + y * open->RowBytes(),
                                     whole->Bits() + y * whole->RowBytes(), 3 * 48))
                << "row " << y;
    }
}

TEST(ImageIODamage, CorruptedBytesNeverCrash) {
    // Random damage may or may not leave a readable picture; it must never
    // crash, leak or report success without an image.
    TempDir dir;
    std::mt19937 rng(42);
    for (const auto& [ext, bytes] : ValidFiles(dir)) {
        for (int round = 0; round < 60; ++round) {
            std::vector<uint8_t> damaged = bytes;
            const int flips = 1 + static_cast<int>(rng() % 8);
            for (int i = 0; i < flips; ++i)
                damaged[8 + rng() % (damaged.size() - 8)] = static_cast<uint8_t>(rng());
            int format = FORMAT_ANY, error = -1;
            auto image = CIO::LoadImageFromMemory(damaged.data(), damaged.size(), format, error);
            if (image) {
                EXPECT_EQ(error, IOERR_NONE);
                EXPECT_NE(image->Bits(), nullptr);
            } else {
                EXPECT_TRUE(error == IOERR_FORMAT || error == IOERR_NO_MEMORY) << ext << error;
            }
            if (ext == "gif") CGifIO::IsAnimated(damaged.data(), damaged.size());
        }
    }
}

TEST(ImageIODamage, MissingEmptyAndForeignFiles) {
    TempDir dir;
    EXPECT_EQ(TryLoad(dir / "none.jpg").error, IOERR_NOT_FOUND);
    EXPECT_EQ(TryLoad(dir / "no-folder" / "none.jpg").error, IOERR_NOT_FOUND);
    EXPECT_EQ(TryLoad(dir.Path()).error, IOERR_NOT_FOUND); // a folder is no picture file
    WriteAll(dir / "empty.png", {});
    EXPECT_EQ(TryLoad(dir / "empty.png").error, IOERR_FORMAT);
    const std::string text = "Dette er ikke et billede.\n";
    WriteAll(dir / "text.jpg", std::vector<uint8_t>(text.begin(), text.end()));
    EXPECT_EQ(TryLoad(dir / "text.jpg").error, IOERR_FORMAT);
    EXPECT_FALSE(CIO::FileformatSupported(dir / "text.jpg", false));
    EXPECT_FALSE(CIO::FileformatSupported(dir / "empty.png", false));
    EXPECT_FALSE(CIO::FileformatSupported(dir / "none.jpg", false));
    // The JPEG signature followed by nonsense.
    WriteAll(dir / "fake.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_TRUE(CIO::FileformatSupported(dir / "fake.jpg", false));
    EXPECT_FALSE(CIO::FileformatSupported(dir / "fake.jpg", true));
    EXPECT_EQ(TryLoad(dir / "fake.jpg").error, IOERR_FORMAT);
    EXPECT_FALSE(CGifIO::IsAnimated(dir / "fake.jpg"));
    // Clipboard bitmaps that are empty or cut short.
    int error = -1;
    CMemFile none;
    EXPECT_FALSE(CIO::LoadDIB(none, FORMAT_ANY, error));
    EXPECT_EQ(error, IOERR_FORMAT);
    CMemFile shortHeader(std::vector<uint8_t>{40, 0, 0, 0, 1, 0});
    EXPECT_FALSE(CIO::LoadDIB(shortHeader, FORMAT_ANY, error));
    EXPECT_EQ(error, IOERR_FORMAT);
    EXPECT_EQ(shortHeader.GetPosition(), 0u);
}

TEST(ImageIODamage, AbsurdSizesAreRefusedBeforeAllocating) {
    TempDir dir;
    // PNG: a valid signature and IHDR of 100000 x 100000, no data.
    SPngSpec png;
    png.width = 100000, png.height = 100000, png.headerOnly = true;
    WriteAll(dir / "huge.png", EncodePng(png));
    EXPECT_EQ(TryLoad(dir / "huge.png").error, IOERR_NO_MEMORY);

    // BMP: file and information header of 100000 x 100000 x 24 bits, no data.
    std::vector<uint8_t> bmp = {'B', 'M'};
    for (uint32_t v : {54u, 0u, 54u, 40u, 100000u, 100000u})
        for (uint8_t b : Le32(v))
            bmp.push_back(b);
    bmp.insert(bmp.end(), {1, 0, 24, 0});
    bmp.resize(54, 0);
    WriteAll(dir / "huge.bmp", bmp);
    EXPECT_EQ(TryLoad(dir / "huge.bmp").error, IOERR_NO_MEMORY);
    // The same as a clipboard bitmap.
    CMemFile dib(std::vector<uint8_t>(bmp.begin() + 14, bmp.end()));
    int error = -1;
    EXPECT_FALSE(CIO::LoadDIB(dib, FORMAT_ANY, error));
    EXPECT_EQ(error, IOERR_NO_MEMORY);

    // JPEG: a real file whose frame header is patched to 60000 x 60000.
    const SPicture pic = MakeGradient(16, 16, false, 0);
    std::vector<uint8_t> jpg = EncodeJpeg(pic.px.data(), 16, 16, 3, 75);
    for (size_t i = 2; i + 8 < jpg.size(); ++i)
        if (jpg[i] == 0xFF && jpg[i + 1] == 0xC0) {
            jpg[i + 5] = 0xEA, jpg[i + 6] = 0x60; // height
            jpg[i + 7] = 0xEA, jpg[i + 8] = 0x60; // width
            break;
        }
    WriteAll(dir / "huge.jpg", jpg);
    EXPECT_EQ(TryLoad(dir / "huge.jpg").error, IOERR_NO_MEMORY);

    // GIF: a real file whose logical screen is patched to 65535 x 65535.
    SGifFrame frame;
    frame.width = 2, frame.height = 2, frame.indices = {0, 1, 1, 0};
    ASSERT_TRUE(WriteGif(dir / "huge.gif", 2, 2, {0, 0, 0, 255, 255, 255}, {frame}));
    std::vector<uint8_t> gif = ReadAll(dir / "huge.gif");
    gif[6] = gif[7] = gif[8] = gif[9] = 0xFF;
    WriteAll(dir / "huge.gif", gif);
    EXPECT_EQ(TryLoad(dir / "huge.gif").error, IOERR_NO_MEMORY);
}

TEST(ImageIODamage, SavingFailuresLeaveNoFiles) {
    TempDir dir;
    auto image = ToImage(MakeGradient(8, 8, false, 0));
    int format = FORMAT_JPEG, error = -1;
    EXPECT_FALSE(CIO::SaveImage(dir / "missing" / "a.jpg", *image, format, 98, error, ""));
    EXPECT_EQ(error, IOERR_NO_FOLDER);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

    // The target is a folder: the rename fails, the temporary file goes away.
    std::filesystem::create_directory(dir / "taken.jpg");
    EXPECT_FALSE(CIO::SaveImage(dir / "taken.jpg", *image, format, 98, error, ""));
    EXPECT_EQ(error, IOERR_WRITE);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 1u);

    // An existing target is replaced only by a complete new file.
    ASSERT_TRUE(CIO::SaveImage(dir / "ok.jpg", *image, format, 98, error, ""));
    const auto before = ReadAll(dir / "ok.jpg");
    CImage empty;
    EXPECT_FALSE(CIO::SaveImage(dir / "ok.jpg", empty, format, 98, error, ""));
    EXPECT_EQ(error, IOERR_FORMAT);
    EXPECT_EQ(ReadAll(dir / "ok.jpg"), before);
    format = FORMAT_GIF; // no GIF writer
    EXPECT_FALSE(CIO::SaveImage(dir / "ok.gif", *image, format, 98, error, ""));
    EXPECT_EQ(error, IOERR_FORMAT);
}
