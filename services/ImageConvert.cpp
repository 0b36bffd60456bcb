#include "services/ImageConvert.h"
#include <cstring>

namespace pw {

namespace {
// Reads the pixels of a grey, palette or RGB picture, with or without its
// leading alpha sample, as alpha and RGB.
class CPixelReader {
public:
    explicit CPixelReader(const CImage& source)
        : m_base(WithoutAlpha(source.GetMode())), m_alpha(source.HasAlpha()),
          m_step(source.GetPlanes()), m_lut(source.GetLut()) {}

    static bool Readable(const CImage& source) {
        const IMAGE_MODE base = WithoutAlpha(source.GetMode());
        return (base == IMAGE_GRAY8 || base == IMAGE_INDEX8 || base == IMAGE_RGB8) &&
               source.Width() > 0 && source.Height() > 0 && source.Bits();
    }

    // Pixel x of `row`: argb[0] alpha (255 without alpha), then red, green, blue.
    void Read(const uint8_t* row, int x, uint8_t argb[4]) const {
        const uint8_t* s = row + static_cast<size_t>(x) * static_cast<size_t>(m_step);
        argb[0] = m_alpha ? s[0] : 255;
        const uint8_t* c = s + (m_alpha ? 1 : 0);
        if (m_base == IMAGE_RGB8) {
            std::memcpy(argb + 1, c, 3);
        } else if (m_base == IMAGE_GRAY8) {
            argb[1] = argb[2] = argb[3] = c[0];
        } else if (c[0] < m_lut.GetColors()) {
            const LutColor& e = m_lut[c[0]];
            argb[1] = e.red, argb[2] = e.green, argb[3] = e.blue;
        } else {
            argb[1] = argb[2] = argb[3] = 0;
        }
    }

private:
    IMAGE_MODE m_base;
    bool m_alpha;
    int m_step;
    CLut m_lut;
};
} // namespace

std::unique_ptr<CImage> ToRgb8(const CImage& source, bool keepAlpha) {
    if (!CPixelReader::Readable(source)) return nullptr;
    const int w = source.Width(), h = source.Height();
    const bool alphaOut = source.HasAlpha() && keepAlpha;
    auto out = std::make_unique<CImage>(alphaOut ? WithAlpha(IMAGE_RGB8) : IMAGE_RGB8, w, h,
                                        source.GetDpi());
    if (!out->Bits()) return nullptr;
    const CPixelReader reader(source);
    const int outStep = alphaOut ? 4 : 3;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = source.Bits() + y * source.RowBytes();
        uint8_t* d = out->Bits() + y * out->RowBytes();
        for (int x = 0; x < w; ++x, d += outStep) {
            uint8_t argb[4];
            reader.Read(s, x, argb);
            std::memcpy(d, alphaOut ? argb : argb + 1, static_cast<size_t>(outStep));
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

bool ToArgb32(const CImage& source, uint8_t* out, size_t rowBytes) {
    if (!out || !CPixelReader::Readable(source) ||
        rowBytes < static_cast<size_t>(source.Width()) * 4)
        return false;
    const CPixelReader reader(source);
    for (int y = 0; y < source.Height(); ++y) {
        const uint8_t* s = source.Bits() + y * source.RowBytes();
        uint8_t* d = out + static_cast<size_t>(y) * rowBytes;
        for (int x = 0; x < source.Width(); ++x, d += 4) {
            uint8_t argb[4];
            reader.Read(s, x, argb);
            const uint32_t word = uint32_t{argb[0]} << 24 | uint32_t{argb[1]} << 16 |
                                  uint32_t{argb[2]} << 8 | argb[3];
            std::memcpy(d, &word, 4);
        }
    }
    return true;
}

std::unique_ptr<CImage> Enlarged(const CImage& source, int scale) {
    std::unique_ptr<CImage> rgb = ToRgb8(source, true);
    if (!rgb || scale <= 1) return rgb;
    const int bpp = rgb->HasAlpha() ? 4 : 3;
    auto out = std::make_unique<CImage>(rgb->GetMode(), rgb->Width() * scale,
                                        rgb->Height() * scale, source.GetDpi());
    if (!out->Bits()) return nullptr;
    for (int y = 0; y < out->Height(); ++y) {
        const uint8_t* src = rgb->Bits() + static_cast<std::size_t>(y / scale) * rgb->RowBytes();
        uint8_t* dst = out->Bits() + static_cast<std::size_t>(y) * out->RowBytes();
        for (int x = 0; x < out->Width(); ++x)
            std::memcpy(dst + static_cast<std::size_t>(x) * bpp,
                        src + static_cast<std::size_t>(x / scale) * bpp, bpp);
    }
    return out;
}

} // namespace pw
