#pragma once
#include <cstdint>

// Pixel layout of an image or pixel map. The top bit marks a mode whose pixels
// carry an alpha sample in front of the colour samples, so a mode with alpha is
// negative.
enum IMAGE_MODE : int32_t {
    IMAGE_ALPHA = static_cast<int32_t>(0x80000000u),
    IMAGE_GRAY8 = 1,
    IMAGE_INDEX8 = 2,
    IMAGE_RGB8 = 3,
    IMAGE_NOMODE = 4,
    IMAGE_HLS8 = 5,
    IMAGE_HSV8 = 6,
    IMAGE_GRAY16 = 10,
    IMAGE_RGB16 = 11,
    IMAGE_YCC8 = 256,
    IMAGE_DATA8 = 384,
    IMAGE_DATA16 = 385,
    IMAGE_DATA32 = 386,
    IMAGE_DATA64 = 387,
    IMAGE_MASK8 = 510,
    IMAGE_MASK16 = 511,
};

// Windows-style colour word: red in bits 0-7, green 8-15, blue 16-23.
using COLORREF = uint32_t;

constexpr IMAGE_MODE WithAlpha(IMAGE_MODE m) {
    return static_cast<IMAGE_MODE>(static_cast<uint32_t>(m) | 0x80000000u);
}
constexpr IMAGE_MODE WithoutAlpha(IMAGE_MODE m) {
    return static_cast<IMAGE_MODE>(static_cast<uint32_t>(m) & 0x7fffffffu);
}
constexpr bool ModeHasAlpha(IMAGE_MODE m) { return static_cast<int32_t>(m) < 0; }

// Samples per pixel, alpha included; 0 for values not in the mode table.
int PlanesOfMode(IMAGE_MODE mode);
// Bits per sample; 0 for values not in the mode table and for DATA modes with alpha.
int BitsPerPlaneOfMode(IMAGE_MODE mode);
