#pragma once
#include <cstdint>

// Gaussian blur by a fourth-order recursive filter: a causal and an
// anti-causal pass along the rows, then along the columns. The cost per pixel
// does not depend on sigma, so a wide glow costs what a narrow one does.
// Values beyond the edges count as 0.

// Blurs width x height floats stored row after row, in place.
void DericheBlur(float* data, int width, int height, double sigma);

// Blurs a byte plane (pixel step 1) in place; results are rounded and
// clamped to 0..255.
void DericheBlur(uint8_t* plane, int rowStep, int width, int height, double sigma);
