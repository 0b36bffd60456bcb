#include "services/WebpIO.h"
#include <unordered_set>
#include <webp/decode.h>
#include <webp/encode.h>

namespace pw::webp {

namespace {

bool Taken(const CPixMap& map) {
    return map.mode == IMAGE_RGB8 && map.interleaved && map.bitsPerPlane == 8 &&
           map.plane[0].data && map.plane[0].pixelStep == 3 && map.width > 0 && map.height > 0;
}

// The lowest quality the search looks at: below it a lossy WebP never comes
// near the error of a quality-98 JPEG (measured on photographs, text and
// gradients), so encodes there are wasted.
constexpr int kLowestQuality = 85;

// Pictures with no more colours than this are drawn (text, buttons, flat
// and gradient fills) and come out smallest without loss; with more they are
// photographs, where a lossless encode is only time lost.
constexpr std::size_t kDrawnColours = 2048;

// Whether the map has at most `limit` distinct colours; stops counting as
// soon as it has more.
bool AtMostColours(const CPixMap& map, std::size_t limit) {
    std::unordered_set<uint32_t> seen;
    seen.reserve(limit + 1);
    for (int y = 0; y < map.height; ++y) {
        const uint8_t* p = map.plane[0].data + static_cast<std::size_t>(y) * map.plane[0].rowStep;
        for (int x = 0; x < map.width; ++x, p += 3) {
            seen.insert(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
            if (seen.size() > limit) return false;
        }
    }
    return true;
}

} // namespace

double MeanSquaredError(const CPixMap& map, const uint8_t* rgb) {
    if (!Taken(map) || !rgb) return -1.0;
    const std::size_t row = 3 * static_cast<std::size_t>(map.width);
    unsigned long long sum = 0;
    for (int y = 0; y < map.height; ++y) {
        const uint8_t* a = map.plane[0].data + static_cast<std::size_t>(y) * map.plane[0].rowStep;
        const uint8_t* b = rgb + static_cast<std::size_t>(y) * row;
        for (std::size_t i = 0; i < row; ++i) {
            const int d = int(a[i]) - int(b[i]);
            sum += static_cast<unsigned long long>(d * d);
        }
    }
    return double(sum) / (double(row) * map.height);
}

bool Encode(const CPixMap& map, int quality, std::vector<uint8_t>& out) {
    return EncodeWith(map, quality, false, out);
}

bool EncodeLossless(const CPixMap& map, std::vector<uint8_t>& out) {
    return EncodeWith(map, 0, true, out);
}

bool EncodeWith(const CPixMap& map, int quality, bool lossless, std::vector<uint8_t>& out) {
    out.clear();
    if (!Taken(map)) return false;
    WebPConfig config;
    if (lossless) {
        // Level 1 of 9: most of the size win at a fraction of the time.
        if (!WebPConfigInit(&config) || !WebPConfigLosslessPreset(&config, 1)) return false;
    } else {
        if (!WebPConfigPreset(&config, WEBP_PRESET_DEFAULT, float(quality))) return false;
        // Method 2 rather than libwebp's default 4: on the 50 x 20 benchmark
        // site it cut a build with every option by a quarter and the WebP
        // bytes did not change (photographs mostly end at the first encode,
        // which the JPEG beats anyway).
        config.method = 2;
    }
    WebPPicture picture;
    if (!WebPPictureInit(&picture)) return false;
    // Lossless keeps the pixels as they are; lossy works in YUV.
    picture.use_argb = lossless ? 1 : 0;
    picture.width = map.width;
    picture.height = map.height;
    if (!WebPPictureImportRGB(&picture, map.plane[0].data, map.plane[0].rowStep)) {
        WebPPictureFree(&picture);
        return false;
    }
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &writer;
    const bool ok = WebPEncode(&config, &picture) != 0;
    WebPPictureFree(&picture);
    if (ok) out.assign(writer.mem, writer.mem + writer.size);
    WebPMemoryWriterClear(&writer);
    return ok;
}

std::vector<uint8_t> DecodeRgb(const std::vector<uint8_t>& webp, int width, int height) {
    int w = 0, h = 0;
    uint8_t* pixels = WebPDecodeRGB(webp.data(), webp.size(), &w, &h);
    std::vector<uint8_t> rgb;
    if (pixels && w == width && h == height)
        rgb.assign(pixels, pixels + 3 * static_cast<std::size_t>(w) * h);
    WebPFree(pixels);
    return rgb;
}

bool EncodeMatching(const CPixMap& map, double targetError, std::size_t sizeLimit,
                    std::vector<uint8_t>& out, int maxEncodes) {
    out.clear();
    if (!Taken(map) || targetError < 0 || maxEncodes < 1) return false;
    std::vector<uint8_t> candidate;
    // Every candidate is decoded and measured: what counts is what a
    // browser will show.
    const auto meets = [&](int quality) {
        const bool encoded =
            quality > 100 ? EncodeLossless(map, candidate) : Encode(map, quality, candidate);
        if (!encoded || candidate.size() >= sizeLimit) return false;
        const std::vector<uint8_t> rgb = DecodeRgb(candidate, map.width, map.height);
        return !rgb.empty() && MeanSquaredError(map, rgb.data()) <= targetError;
    };
    if (AtMostColours(map, kDrawnColours) && meets(101)) {
        out.swap(candidate);
        return true;
    }
    // A photograph is mostly settled by one encode: when the highest quality
    // is not as close as the JPEG, or not smaller, no lower one is.
    if (!meets(100)) return false;
    out.swap(candidate);
    // The error falls (nearly) steadily as the quality rises: a binary
    // search below finds the lowest quality that still meets the target.
    int low = kLowestQuality, high = 99;
    for (int encodes = 1; low <= high && encodes < maxEncodes; ++encodes) {
        const int quality = (low + high) / 2;
        if (meets(quality)) {
            out.swap(candidate);
            high = quality - 1;
        } else {
            low = quality + 1;
        }
    }
    return true;
}

} // namespace pw::webp
