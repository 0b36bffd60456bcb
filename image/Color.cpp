#include "image/Color.h"
#include "image/ColorConvert.h"
#include "image/PixMap.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

struct NamedColor {
    uint8_t r, g, b;
};

constexpr NamedColor kNamed[] = {
    {0, 0, 0},   {255, 255, 255}, {64, 64, 64},  {128, 128, 128}, {192, 192, 192}, {255, 0, 0},
    {0, 255, 0}, {0, 0, 255},     {0, 255, 255}, {255, 0, 255},   {255, 255, 0},
};

} // namespace

CColor::CColor(colorName name) {
    const unsigned i = static_cast<unsigned>(name);
    const NamedColor c = i < std::size(kNamed) ? kNamed[i] : kNamed[white];
    m_store[0] = c.r;
    m_store[1] = c.g;
    m_store[2] = c.b;
}

CColor::CColor(uint8_t r, uint8_t g, uint8_t b) {
    m_store[0] = r;
    m_store[1] = g;
    m_store[2] = b;
}

CColor::CColor(COLORREF ref)
    : CColor(static_cast<uint8_t>(ref), static_cast<uint8_t>(ref >> 8),
             static_cast<uint8_t>(ref >> 16)) {}

CColor::CColor(const LutColor& entry) : CColor(entry.red, entry.green, entry.blue) {}

CColor::CColor(const CPixMap& map, int x, int y) : m_mode(map.mode) {
    // A pixel outside the map, or a map without memory, leaves the store zero
    // instead of reading someone else's memory.
    if (x < 0 || y < 0 || x >= map.width || y >= map.height) return;
    const int bytes = map.bitsPerPlane / 8;
    if (bytes <= 0 || map.planes <= 0) return;
    const int planes = map.interleaved ? map.planes : std::min(map.planes, 4);
    for (int k = 0; k < planes && (k + 1) * bytes <= 8; ++k) {
        const uint8_t* sample = map.Sample(x, y, k);
        if (!sample) return;
        std::memcpy(m_store + k * bytes, sample, static_cast<size_t>(bytes));
    }
}

void CColor::Convert(IMAGE_MODE target) {
    if (target == m_mode) return;
    // Modes without a colour meaning of their own (palette indices, data,
    // masks, and modes carrying alpha) only relabel the stored bytes.
    if (pwimage::HasRgb16Path(m_mode) && pwimage::HasRgb16Path(target)) {
        uint16_t rgb[3];
        pwimage::ToRgb16(m_mode, m_store, rgb);
        std::memset(m_store, 0, sizeof m_store);
        pwimage::FromRgb16(target, rgb, m_store);
    }
    m_mode = target;
}

COLORREF CColor::GetCOLORREF() const {
    CColor c(*this);
    c.Convert(IMAGE_RGB8);
    return static_cast<COLORREF>(c.m_store[0]) | static_cast<COLORREF>(c.m_store[1]) << 8 |
           static_cast<COLORREF>(c.m_store[2]) << 16;
}

bool CColor::operator==(const CColor& o) const {
    return m_mode == o.m_mode && std::memcmp(m_store, o.m_store, sizeof m_store) == 0;
}
