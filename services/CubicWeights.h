#pragma once
#include <cstdint>

// Weights of the cubic interpolation kernel k(x) = x^3 - 2x^2 + 1 for |x| < 1,
// -x^3 + 5x^2 - 8x + 4 for 1 <= |x| < 2, and 0 beyond, scaled by 4096 and
// truncated. Entry i is the fractional position t = i / 256 and holds the
// weights of the four neighbours at distances 1 + t, t, 1 - t and 2 - t (the
// samples at floor - 1, floor, floor + 1, floor + 2).
//
// Made once and shared by every gradient. Kept free of any toolkit, so the
// controls library can use the same table.
struct CCubicWeights {
    static constexpr int kPhases = 256;
    static constexpr int kShift = 12; // weights are scaled by 1 << kShift
    int32_t weights[kPhases][4];
    // The same weights two per 32-bit word (low half first) for a loop that
    // multiplies pairs of 16-bit samples at a time; the halves are signed.
    uint32_t packed[kPhases][2];
};

// The one shared table.
const CCubicWeights& GetCubicWeights();

// The kernel itself, for whoever wants to check the table.
double CubicKernel(double x);
