#include "image/ColorConvert.h"

#include <algorithm>

namespace pwimage {
namespace {

// Fixed-point products of the YCbCr conversion, one entry per sample value,
// built the first time a YCC colour is converted.
struct YccTables {
    int32_t yR[256], yG[256], yB[256];
    int32_t cbR[256], cbG[256]; // blue's weight in Cb equals red's in Cr: 32768
    int32_t crG[256], crB[256];
    int32_t half[256];          // 32768 * v
    int32_t rCr[256], bCb[256]; // already shifted
    int32_t gCb[256], gCr[256]; // unshifted, summed before the shift
    YccTables() {
        for (int32_t v = 0; v < 256; ++v) {
            yR[v] = 19595 * v;
            yG[v] = 38470 * v;
            yB[v] = 7471 * v;
            cbR[v] = -11059 * v;
            cbG[v] = -21709 * v;
            crG[v] = -27439 * v;
            crB[v] = -5329 * v;
            half[v] = 32768 * v;
            const int32_t c = v - 128;
            rCr[v] = (91881 * c + 32768) >> 16;
            bCb[v] = (116130 * c + 32768) >> 16;
            gCb[v] = -22554 * c;
            gCr[v] = -46802 * c;
        }
    }
};

const YccTables& Ycc() {
    static const YccTables tables;
    return tables;
}

uint8_t Clamp8(int32_t v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

// Hue of a colour with max != min, on the 384-step circle, stored as a byte.
uint8_t StoredHue(int r, int g, int b, int max, int d) {
    int h;
    if (r == max)
        h = 64 * (g - b) / d;
    else if (g == max)
        h = 64 * (b - r) / d + 128;
    else
        h = 64 * (r - g) / d + 256;
    if (h < 0) h += 384;
    if (h >= 384) h -= 384;
    return static_cast<uint8_t>((2 * h + 1) / 3);
}

int HueStep(uint8_t stored) {
    return (3 * stored + 1) / 2;
}

uint16_t Grey16(const uint16_t rgb[3], int shift) {
    const uint32_t sum = 77u * rgb[0] + 151u * rgb[1] + 28u * rgb[2];
    return static_cast<uint16_t>(sum >> shift);
}

} // namespace

void RgbToHls(const uint8_t rgb[3], uint8_t hls[3]) {
    const int r = rgb[0], g = rgb[1], b = rgb[2];
    const int max = std::max({r, g, b}), min = std::min({r, g, b});
    const int l = (max + min) / 2;
    int s = 0, h = 0;
    if (max != min) {
        const int d = max - min;
        s = l > 128 ? d * 255 / (510 - max - min) : d * 255 / (max + min);
        if (s != 0) h = StoredHue(r, g, b, max, d);
    }
    hls[0] = static_cast<uint8_t>(h);
    hls[1] = static_cast<uint8_t>(l);
    hls[2] = static_cast<uint8_t>(s);
}

void HlsToRgb(const uint8_t hls[3], uint8_t rgb[3]) {
    const int h = HueStep(hls[0]), l = hls[1], s = hls[2];
    if (s == 0) {
        rgb[0] = rgb[1] = rgb[2] = static_cast<uint8_t>(l);
        return;
    }
    const int m2 = l > 128 ? l + s - l * s / 255 : l * (s + 255) / 255;
    const int m1 = 2 * l - m2;
    const int d = m2 - m1;
    int r, g, b;
    switch (h / 64) {
    case 0:
        r = m2, g = m1 + d * h / 64, b = m1;
        break;
    case 1:
        r = m1 + d * (128 - h) / 64, g = m2, b = m1;
        break;
    case 2:
        r = m1, g = m2, b = m1 + d * (h - 128) / 64;
        break;
    case 3:
        r = m1, g = m1 + d * (256 - h) / 64, b = m2;
        break;
    case 4:
        r = m1 + d * (h - 256) / 64, g = m1, b = m2;
        break;
    default:
        r = m2, g = m1, b = m1 + d * (384 - h) / 64;
        break;
    }
    rgb[0] = static_cast<uint8_t>(r);
    rgb[1] = static_cast<uint8_t>(g);
    rgb[2] = static_cast<uint8_t>(b);
}

void RgbToHsv(const uint8_t rgb[3], uint8_t hsv[3]) {
    const int r = rgb[0], g = rgb[1], b = rgb[2];
    const int max = std::max({r, g, b}), min = std::min({r, g, b});
    int s = 0, h = 0;
    if (max != 0) {
        const int d = max - min;
        s = d * 255 / max;
        if (s != 0) h = StoredHue(r, g, b, max, d);
    }
    hsv[0] = static_cast<uint8_t>(h);
    hsv[1] = static_cast<uint8_t>(s);
    hsv[2] = static_cast<uint8_t>(max);
}

void HsvToRgb(const uint8_t hsv[3], uint8_t rgb[3]) {
    const int h = HueStep(hsv[0]), s = hsv[1], v = hsv[2];
    if (s == 0) {
        rgb[0] = rgb[1] = rgb[2] = static_cast<uint8_t>(v);
        return;
    }
    const int f = h % 64;
    const int p = (255 - s) * v / 255;
    const int q = v * (255 - s * f / 64) / 255;
    const int t = v * (255 - s * (64 - f) / 64) / 255;
    int r, g, b;
    switch (h / 64) {
    case 0:
        r = v, g = t, b = p;
        break;
    case 1:
        r = q, g = v, b = p;
        break;
    case 2:
        r = p, g = v, b = t;
        break;
    case 3:
        r = p, g = q, b = v;
        break;
    case 4:
        r = t, g = p, b = v;
        break;
    default:
        r = v, g = p, b = q;
        break;
    }
    rgb[0] = static_cast<uint8_t>(r);
    rgb[1] = static_cast<uint8_t>(g);
    rgb[2] = static_cast<uint8_t>(b);
}

void RgbToYcc(const uint8_t rgb[3], uint8_t ycc[3]) {
    const YccTables& t = Ycc();
    const int r = rgb[0], g = rgb[1], b = rgb[2];
    constexpr int32_t kBias = 128 * 65536 + 32767;
    ycc[0] = static_cast<uint8_t>((t.yR[r] + t.yG[g] + t.yB[b] + 32768) >> 16);
    ycc[1] = static_cast<uint8_t>((t.cbR[r] + t.cbG[g] + t.half[b] + kBias) >> 16);
    ycc[2] = static_cast<uint8_t>((t.half[r] + t.crG[g] + t.crB[b] + kBias) >> 16);
}

void YccToRgb(const uint8_t ycc[3], uint8_t rgb[3]) {
    const YccTables& t = Ycc();
    const int y = ycc[0], cb = ycc[1], cr = ycc[2];
    rgb[0] = Clamp8(y + t.rCr[cr]);
    rgb[1] = Clamp8(y + ((t.gCb[cb] + t.gCr[cr] + 32768) >> 16));
    rgb[2] = Clamp8(y + t.bCb[cb]);
}

bool HasRgb16Path(IMAGE_MODE mode) {
    switch (mode) {
    case IMAGE_GRAY8:
    case IMAGE_RGB8:
    case IMAGE_HLS8:
    case IMAGE_HSV8:
    case IMAGE_GRAY16:
    case IMAGE_RGB16:
    case IMAGE_YCC8:
        return true;
    default:
        return false;
    }
}

void ToRgb16(IMAGE_MODE mode, const uint8_t* store, uint16_t rgb[3]) {
    uint8_t rgb8[3] = {store[0], store[1], store[2]};
    switch (mode) {
    case IMAGE_GRAY8:
        rgb[0] = rgb[1] = rgb[2] = static_cast<uint16_t>(store[0] * 257);
        return;
    case IMAGE_GRAY16:
        rgb[0] = rgb[1] = rgb[2] = static_cast<uint16_t>(store[0] | store[1] << 8);
        return;
    case IMAGE_RGB16:
        for (int k = 0; k < 3; ++k)
            rgb[k] = static_cast<uint16_t>(store[2 * k] | store[2 * k + 1] << 8);
        return;
    case IMAGE_HLS8:
        HlsToRgb(store, rgb8);
        break;
    case IMAGE_HSV8:
        HsvToRgb(store, rgb8);
        break;
    case IMAGE_YCC8:
        YccToRgb(store, rgb8);
        break;
    default:
        break; // IMAGE_RGB8
    }
    for (int k = 0; k < 3; ++k)
        rgb[k] = static_cast<uint16_t>(rgb8[k] * 257);
}

void FromRgb16(IMAGE_MODE mode, const uint16_t rgb[3], uint8_t* store) {
    const uint8_t rgb8[3] = {static_cast<uint8_t>(rgb[0] >> 8), static_cast<uint8_t>(rgb[1] >> 8),
                             static_cast<uint8_t>(rgb[2] >> 8)};
    switch (mode) {
    case IMAGE_GRAY8:
        store[0] = static_cast<uint8_t>(Grey16(rgb, 16));
        return;
    case IMAGE_GRAY16: {
        const uint16_t grey = Grey16(rgb, 8);
        store[0] = static_cast<uint8_t>(grey);
        store[1] = static_cast<uint8_t>(grey >> 8);
        return;
    }
    case IMAGE_RGB16:
        for (int k = 0; k < 3; ++k) {
            store[2 * k] = static_cast<uint8_t>(rgb[k]);
            store[2 * k + 1] = static_cast<uint8_t>(rgb[k] >> 8);
        }
        return;
    case IMAGE_HLS8:
        RgbToHls(rgb8, store);
        return;
    case IMAGE_HSV8:
        RgbToHsv(rgb8, store);
        return;
    case IMAGE_YCC8:
        RgbToYcc(rgb8, store);
        return;
    default: // IMAGE_RGB8
        store[0] = rgb8[0], store[1] = rgb8[1], store[2] = rgb8[2];
        return;
    }
}

} // namespace pwimage
