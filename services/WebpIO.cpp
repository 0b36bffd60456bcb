#include "services/WebpIO.h"
#include <webp/decode.h>
#include <webp/encode.h>

namespace pw::webp {

namespace {

bool Taken(const CPixMap& map) {
    return map.mode == IMAGE_RGB8 && map.interleaved && map.bitsPerPlane == 8 &&
           map.plane[0].data && map.plane[0].pixelStep == 3 && map.width > 0 && map.height > 0;
}

// The lowest quality the search looks at: below it the pictures of a build
// (text, sharp edges) never come near the error of a quality-98 JPEG, so
// encodes there are wasted.
constexpr int kLowestQuality = 50;

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
    out.clear();
    if (!Taken(map)) return false;
    WebPConfig config;
    if (!WebPConfigPreset(&config, WEBP_PRESET_DEFAULT, float(quality))) return false;
    // Method 4 is libwebp's own default balance of speed and size.
    config.method = 4;
    WebPPicture picture;
    if (!WebPPictureInit(&picture)) return false;
    picture.use_argb = 0;
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
    if (!Taken(map) || targetError < 0) return false;
    // The error falls (nearly) steadily as the quality rises: a binary
    // search over the quality finds the lowest that meets the target.
    int low = kLowestQuality, high = 100, encodes = 0;
    std::vector<uint8_t> candidate;
    while (low <= high && encodes < maxEncodes) {
        const int quality = (low + high + 1) / 2;
        ++encodes;
        if (!Encode(map, quality, candidate)) return false;
        // A file already as big as the limit at this quality only grows
        // with a higher one.
        const std::vector<uint8_t> rgb = DecodeRgb(candidate, map.width, map.height);
        const bool close = !rgb.empty() && MeanSquaredError(map, rgb.data()) <= targetError;
        if (close) {
            out.swap(candidate);
            high = quality - 1;
        } else {
            if (candidate.size() >= sizeLimit) break;
            low = quality + 1;
        }
    }
    if (out.size() >= sizeLimit) out.clear();
    return !out.empty();
}

} // namespace pw::webp
