#pragma once
#include "image/Image.h"
#include "services/Geometry.h"
#include <string>
#include <vector>

namespace pwtest {

// How far two pictures of one page lie apart: the mean absolute difference
// per colour channel over every compared pixel, and the worst mean of any
// 16 x 16 block (edge blocks are smaller), so a small local fault is not
// averaged away by a large page.
struct CImageDiff {
    double mean = 0.0;
    double worstBlock = 0.0;
    int worstBlockX = 0, worstBlockY = 0; // top-left of that block
    long long pixels = 0;                 // pixels compared
    std::string Describe() const;
};

// Compares `a` and `b` (IMAGE_RGB8, or with alpha first) over `area` (both
// images' coordinates, clipped to them), leaving out the pixels inside any of
// `excluded`. Blocks whose pixels are all left out do not count.
CImageDiff CompareImages(const CImage& a, const CImage& b, const CRect& area,
                         const std::vector<CRect>& excluded = {});

// The colour of one pixel as red, green, blue.
void PixelAt(const CImage& image, int x, int y, uint8_t rgb[3]);

} // namespace pwtest
