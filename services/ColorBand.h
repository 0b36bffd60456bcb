#pragma once
#include "services/Gradient.h"
#include <cstdint>

// Draws the gradient into a band of n pixels of 3 bytes (red, green, blue).
// The stops set key pixels (a stop at the very start or end sets one pixel,
// any other stop the two pixels around it); the start and end colours fill
// the ends that no stop claims; the pixels between two keys are interpolated
// per channel with integer division truncating toward zero. Stop positions
// outside [0, 1] are taken as the nearest end. n < 1 or a null pointer does
// nothing.
//
// Kept free of any toolkit: the controls library uses it for its pickers.
void BuildColorBand(const GRADIENTCOLORS* gradient, uint8_t* band, int n);
