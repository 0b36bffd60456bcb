#include "services/ImageConvert.h"
#include <cstring>

namespace pw {

std::unique_ptr<CImage> ToRgb8(const CImage& source, bool keepAlpha) {
    const IMAGE_MODE base = WithoutAlpha(source.GetMode());
    if (base != IMAGE_GRAY8 && base != IMAGE_INDEX8 && base != IMAGE_RGB8) return nullptr;
    const int w = source.Width(), h = source.Height();
    if (w <= 0 || h <= 0 || !source.Bits()) return nullptr;
    const bool alphaIn = source.HasAlpha();
    const bool alphaOut = alphaIn && keepAlpha;
    auto out = std::make_unique<CImage>(alphaOut ? WithAlpha(IMAGE_RGB8) : IMAGE_RGB8, w, h,
                                        source.GetDpi());
    if (!out->Bits()) return nullptr;
    const int inStep = source.GetPlanes();
    const int outStep = alphaOut ? 4 : 3;
    const int colourAt = alphaIn ? 1 : 0;
    const CLut lut = source.GetLut();
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = source.Bits() + y * source.RowBytes();
        uint8_t* d = out->Bits() + y * out->RowBytes();
        for (int x = 0; x < w; ++x, s += inStep, d += outStep) {
            if (alphaOut) *d = s[0];
            uint8_t* rgb = d + (alphaOut ? 1 : 0);
            const uint8_t* c = s + colourAt;
            if (base == IMAGE_RGB8) {
                std::memcpy(rgb, c, 3);
            } else if (base == IMAGE_GRAY8) {
                rgb[0] = rgb[1] = rgb[2] = c[0];
            } else if (c[0] < lut.GetColors()) {
                const LutColor& e = lut[c[0]];
                rgb[0] = e.red, rgb[1] = e.green, rgb[2] = e.blue;
            } else {
                rgb[0] = rgb[1] = rgb[2] = 0;
            }
        }
    }
    return out;
}

std::unique_ptr<CImage> ToRgb8Over(const CImage& source, uint8_t red, uint8_t green,
                                   uint8_t blue) {
    std::unique_ptr<CImage> withAlpha = ToRgb8(source, true);
    if (!withAlpha || !withAlpha->HasAlpha()) return withAlpha;
    const int w = withAlpha->Width(), h = withAlpha->Height();
    auto out = std::make_unique<CImage>(IMAGE_RGB8, w, h, source.GetDpi());
    if (!out->Bits()) return nullptr;
    const unsigned under[3] = {red, green, blue};
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = withAlpha->Bits() + y * withAlpha->RowBytes();
        uint8_t* d = out->Bits() + y * out->RowBytes();
        for (int x = 0; x < w; ++x, s += 4, d += 3) {
            const unsigned a = s[0];
            for (int k = 0; k < 3; ++k)
                d[k] = static_cast<uint8_t>((s[1 + k] * a + under[k] * (255 - a) + 127) / 255);
        }
    }
    return out;
}

} // namespace pw
