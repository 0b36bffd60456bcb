#include "sitebuild/ExportedImages.h"
#include "sitebuild/RegionRenderer.h"
#include <cstring>

namespace {
constexpr uint64_t kMul = 0x9E3779B97F4A7C15ull;

inline uint64_t Mix(uint64_t h, uint64_t v) {
    h ^= v + kMul + (h << 6) + (h >> 2);
    return h * 0xBF58476D1CE4E5B9ull;
}

// One lane step: cheap, but every input bit reaches the high bits.
inline uint64_t Step(uint64_t h, uint64_t v) {
    h ^= v;
    h = (h << 29) | (h >> 35);
    return h * kMul;
}
} // namespace

uint64_t CExportedImages::PixelHash(const CRegionPixels& image) {
    uint64_t h = Mix(static_cast<uint64_t>(image.Width()), static_cast<uint64_t>(image.Height()));
    if (!image.Bits()) return h;
    const std::size_t used = static_cast<std::size_t>(image.Width()) * 3;
    // Four independent lanes keep the multiplier busy; every build hashes
    // all of its pictures, so this runs over millions of bytes.
    uint64_t lane[4] = {h, h ^ kMul, h + kMul, ~h};
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* row = image.Bits() + static_cast<std::size_t>(y) * image.RowBytes();
        std::size_t i = 0;
        for (; i + 32 <= used; i += 32)
            for (int k = 0; k < 4; ++k) {
                uint64_t v;
                std::memcpy(&v, row + i + 8 * k, 8);
                lane[k] = Step(lane[k], v);
            }
        for (; i + 8 <= used; i += 8) {
            uint64_t v;
            std::memcpy(&v, row + i, 8);
            lane[0] = Step(lane[0], v);
        }
        uint64_t tail = 0;
        std::memcpy(&tail, row + i, used - i);
        lane[1] = Step(lane[1], tail ^ (static_cast<uint64_t>(y) << 40));
    }
    for (uint64_t v : lane)
        h = Mix(h, v);
    // 0 stands for "no mouse-over state" in a key.
    return h ? h : 1;
}

std::size_t CExportedImages::CKeyHash::operator()(const CKey& key) const {
    return static_cast<std::size_t>(
        Mix(Mix(key.normal, key.mouseOver),
            (static_cast<uint64_t>(key.width) << 32) ^ static_cast<uint64_t>(key.height)));
}

const CExportedImages::CFiles* CExportedImages::Find(const CKey& key) const {
    auto found = m_files.find(key);
    return found == m_files.end() ? nullptr : &found->second;
}

void CExportedImages::Add(const CKey& key, CFiles files) {
    m_files.emplace(key, std::move(files));
}
