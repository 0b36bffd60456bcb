#include "image/Lut.h"

#include <stdexcept>

namespace {

constexpr LutColor kWindowsStatic[20] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

// Levels of the 10-step ramps that fill the gaps of the 216-colour cube.
constexpr uint8_t kMacRamp[10] = {238, 221, 187, 170, 136, 119, 85, 68, 34, 17};

LutColor Grey(int v) {
    const auto b = static_cast<uint8_t>(v);
    return {b, b, b};
}

// Entry i of the descending cube: white first, black last.
LutColor DescendingCube(int i) {
    const int r = 5 - i / 36, g = 5 - i / 6 % 6, b = 5 - i % 6;
    return {static_cast<uint8_t>(51 * r), static_cast<uint8_t>(51 * g),
            static_cast<uint8_t>(51 * b)};
}

} // namespace

CLut::CLut() = default;

CLut::CLut(lutName name) {
    switch (name) {
    case cubeAndGrays:
        for (int i = 0; i < 216; ++i)
            m_entries[i] = {static_cast<uint8_t>(51 * (i / 36)),
                            static_cast<uint8_t>(51 * (i / 6 % 6)),
                            static_cast<uint8_t>(51 * (i % 6))};
        for (int i = 0; i < 40; ++i)
            m_entries[216 + i] = Grey(i * 255 / 39);
        m_count = 256;
        break;
    case webCube:
        for (int i = 0; i < 216; ++i)
            m_entries[i] = DescendingCube(i);
        m_count = 216;
        break;
    case grayRamp:
        for (int i = 0; i < 256; ++i)
            m_entries[i] = Grey(i);
        m_count = 256;
        break;
    case windowsStatic:
        for (int i = 0; i < 20; ++i)
            m_entries[i] = kWindowsStatic[i];
        m_count = 20;
        break;
    case windowsSystem:
        for (int i = 0; i < 10; ++i)
            m_entries[i] = kWindowsStatic[i];
        for (int i = 0; i < 216; ++i)
            m_entries[10 + i] = DescendingCube(i);
        for (int i = 0; i < 20; ++i)
            m_entries[226 + i] = Grey(i * 255 / 19);
        for (int i = 0; i < 10; ++i)
            m_entries[246 + i] = kWindowsStatic[10 + i];
        m_count = 256;
        break;
    case macSystem:
        for (int i = 0; i < 215; ++i)
            m_entries[i] = DescendingCube(i);
        for (int i = 0; i < 10; ++i) {
            const uint8_t v = kMacRamp[i];
            m_entries[215 + i] = {v, 0, 0};
            m_entries[225 + i] = {0, v, 0};
            m_entries[235 + i] = {0, 0, v};
            m_entries[245 + i] = {v, v, v};
        }
        m_entries[255] = {0, 0, 0};
        m_count = 256;
        break;
    default:
        break; // unknown names give an empty palette
    }
}

CLut::CLut(const CLut& other) : m_count(other.m_count) {
    for (int i = 0; i < m_count; ++i)
        m_entries[i] = other.m_entries[i];
}

CLut& CLut::operator=(const CLut& other) {
    if (this == &other) return *this;
    // Only the used entries travel; entries past the new count keep their old
    // values and become visible again if the count is raised by indexing.
    m_count = other.m_count;
    for (int i = 0; i < m_count; ++i)
        m_entries[i] = other.m_entries[i];
    return *this;
}

const LutColor& CLut::operator[](unsigned index) const {
    if (index >= static_cast<unsigned>(m_count)) throw std::out_of_range("in CLut::operator []");
    return m_entries[index];
}

LutColor& CLut::operator[](unsigned index) {
    if (index >= 256) throw std::out_of_range("in CLut::operator []");
    if (index >= static_cast<unsigned>(m_count)) m_count = static_cast<int32_t>(index) + 1;
    return m_entries[index];
}
