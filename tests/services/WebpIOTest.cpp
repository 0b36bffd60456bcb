#include "services/WebpIO.h"
#include "services/JpegIO.h"
#include "services/MemFile.h"
#include <gtest/gtest.h>
#include <random>

namespace {

// Pictures as a build makes them: flat colour, a soft gradient, text-like
// sharp edges, and a noisy photograph.
CPixMap Picture(int kind) {
    CPixMap map(IMAGE_RGB8, 96, 64);
    std::mt19937 random(7);
    for (int y = 0; y < map.height; ++y)
        for (int x = 0; x < map.width; ++x)
            for (int k = 0; k < 3; ++k) {
                int v = 0;
                switch (kind) {
                case 0:
                    v = 40 + 60 * k;
                    break;
                case 1:
                    v = 30 + 2 * x + y + 20 * k;
                    break;
                case 2:
                    v = ((x / 3 + y / 5) % 4 == 0) ? 20 : 235;
                    break;
                default:
                    v = 60 + x + 40 * ((x / 7 + y / 5) % 3) + int(random() % 33) - 16;
                }
                *map.Sample(x, y, k) = static_cast<uint8_t>(std::clamp(v, 0, 255));
            }
    return map;
}

} // namespace

// The twin of a quality-98 JPEG is smaller and, decoded, at least as close
// to the pixels; a limit nothing can meet gives no twin at all.
TEST(WebpIO, TwinIsSmallerAndAsCloseAsTheJpegOrNotThere) {
    for (int kind = 0; kind < 4; ++kind) {
        SCOPED_TRACE(kind);
        const CPixMap map = Picture(kind);
        CMemFile jpeg;
        int error = 0;
        ASSERT_TRUE(CJpegIO::Save(jpeg, map, 98, error, std::string()));
        const auto decoded = CJpegIO::Load(jpeg.Data().data(), jpeg.GetLength(), error);
        ASSERT_TRUE(decoded);
        std::vector<uint8_t> packed;
        for (int y = 0; y < map.height; ++y)
            packed.insert(packed.end(), decoded->Bits() + y * decoded->RowBytes(),
                          decoded->Bits() + y * decoded->RowBytes() + 3 * map.width);
        const double target = pw::webp::MeanSquaredError(map, packed.data());
        ASSERT_GE(target, 0.0);

        std::vector<uint8_t> webp;
        if (pw::webp::EncodeMatching(map, target, jpeg.GetLength(), webp)) {
            EXPECT_LT(webp.size(), jpeg.GetLength());
            const auto rgb = pw::webp::DecodeRgb(webp, map.width, map.height);
            ASSERT_FALSE(rgb.empty());
            EXPECT_LE(pw::webp::MeanSquaredError(map, rgb.data()), target);
        } else {
            EXPECT_TRUE(webp.empty());
        }
        // Flat and drawn pictures always win (without loss if need be).
        if (kind == 0 || kind == 2) {
            EXPECT_FALSE(webp.empty());
        }
        EXPECT_FALSE(pw::webp::EncodeMatching(map, target, 10, webp));
        EXPECT_TRUE(webp.empty());
    }
}
