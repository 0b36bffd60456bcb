#include "services/CubicWeights.h"
#include <cmath>

double CubicKernel(double x) {
    const double a = std::fabs(x);
    if (a < 1.0) return a * a * a - 2.0 * a * a + 1.0;
    if (a < 2.0) return -a * a * a + 5.0 * a * a - 8.0 * a + 4.0;
    return 0.0;
}

namespace {
CCubicWeights MakeTable() {
    CCubicWeights table{};
    for (int i = 0; i < CCubicWeights::kPhases; ++i) {
        const double t = i / 256.0;
        const double distances[4] = {1.0 + t, t, 1.0 - t, 2.0 - t};
        for (int m = 0; m < 4; ++m) {
            // Truncation toward zero, as the scaled weights were always made.
            table.weights[i][m] =
                static_cast<int32_t>(std::trunc(4096.0 * CubicKernel(distances[m])));
        }
        for (int pair = 0; pair < 2; ++pair) {
            const auto lo = static_cast<uint16_t>(static_cast<int16_t>(table.weights[i][2 * pair]));
            const auto hi =
                static_cast<uint16_t>(static_cast<int16_t>(table.weights[i][2 * pair + 1]));
            table.packed[i][pair] = uint32_t{lo} | uint32_t{hi} << 16;
        }
    }
    return table;
}
} // namespace

const CCubicWeights& GetCubicWeights() {
    static const CCubicWeights table = MakeTable();
    return table;
}
