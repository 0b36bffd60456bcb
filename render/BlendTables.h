#pragma once
#include <cstdint>

// The three 256 x 256 byte tables every blend is defined by (row index first).
//   Mul[r][i]    = floor(r * i / 255)            i scaled by r / 255
//   Screen[r][i] = r + floor((255 - r) * i / 255) union of two coverages
//   Weight[r][i] = trunc(255 * i / (r + i - r * i / 255)), 0 for r = i = 0:
//                  the share of a source of alpha i in the result of laying
//                  it over alpha r
// Built once, on first use.
struct CBlendTables {
    uint8_t mul[256][256];
    uint8_t screen[256][256];
    uint8_t weight[256][256];

    static const CBlendTables& Get();
};

// floor(r * i / 255) without a division; exact for every r, i in 0..255
// (the tables are the definition, the blend tests compare the two).
inline constexpr uint32_t MulDiv255(uint32_t r, uint32_t i) {
    const uint32_t t = r * i;
    return (t + 1 + (t >> 8)) >> 8;
}
