#include "services/ColorBand.h"
#include <algorithm>
#include <cmath>
#include <vector>

namespace {
void Put(uint8_t* band, int index, const CColor& colour) {
    const COLORREF ref = colour.GetCOLORREF();
    uint8_t* p = band + static_cast<std::ptrdiff_t>(index) * 3;
    p[0] = static_cast<uint8_t>(ref & 0xFF);
    p[1] = static_cast<uint8_t>((ref >> 8) & 0xFF);
    p[2] = static_cast<uint8_t>((ref >> 16) & 0xFF);
}

// trunc(a * position) with the position held to [0, 1]; a NaN counts as 0.
int KeyOf(double position, int a) {
    if (!(position > 0.0)) return 0;
    if (position >= 1.0) return a;
    return static_cast<int>(std::trunc(a * position));
}
} // namespace

void BuildColorBand(const GRADIENTCOLORS* g, uint8_t* band, int n) {
    if (!g || !band || n < 1) return;
    const int a = n - 1;
    std::vector<int> keys;
    const std::size_t stops = std::min(
        {g->stopPositions.size(), g->stopColoursBefore.size(), g->stopColoursAfter.size()});
    keys.reserve(2 * stops + 2);
    for (std::size_t j = 0; j < stops; ++j) {
        const int k = KeyOf(g->stopPositions[j], a);
        if (k == 0) {
            Put(band, 0, g->stopColoursAfter[j]);
            keys.push_back(0);
        } else if (k == a) {
            Put(band, a, g->stopColoursBefore[j]);
            keys.push_back(a);
        } else {
            Put(band, k, g->stopColoursBefore[j]);
            Put(band, k + 1, g->stopColoursAfter[j]);
            keys.push_back(k);
            keys.push_back(k + 1);
        }
    }
    if (keys.empty()) {
        Put(band, 0, g->startColour);
        Put(band, a, g->endColour);
        keys = {0, a};
    } else {
        if (keys.front() > 0) {
            Put(band, 0, g->startColour);
            keys.insert(keys.begin(), 0);
        }
        if (keys.back() < a) {
            Put(band, a, g->endColour);
            keys.push_back(a);
        }
    }
    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        const int k0 = keys[i], k1 = keys[i + 1];
        if (k0 >= k1) continue;
        const uint8_t* c0 = band + static_cast<std::ptrdiff_t>(k0) * 3;
        const uint8_t* c1 = band + static_cast<std::ptrdiff_t>(k1) * 3;
        const int from[3] = {c0[0], c0[1], c0[2]};
        const int delta[3] = {c1[0] - from[0], c1[1] - from[1], c1[2] - from[2]};
        const int span = k1 - k0;
        for (int j = k0; j < k1; ++j) {
            uint8_t* p = band + static_cast<std::ptrdiff_t>(j) * 3;
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<uint8_t>(from[c] + int64_t{j - k0} * delta[c] / span);
        }
    }
}
