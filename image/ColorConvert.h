#pragma once
#include "image/ImageMode.h"
#include <cstdint>

// Per-pixel colour-space conversions used by CColor::Convert. Every
// conversion goes through 16-bit RGB; hue is kept on a circle of 384 steps
// (six sectors of 64) and stored in a byte as (2h + 1) / 3.
namespace pwimage {

// True for the modes that have a defined way to and from 16-bit RGB.
bool HasRgb16Path(IMAGE_MODE mode);
// Reads the samples of `store` (in `mode`) as 16-bit RGB. Only for modes with
// a path.
void ToRgb16(IMAGE_MODE mode, const uint8_t* store, uint16_t rgb[3]);
// Writes the samples of `mode` for the 16-bit RGB colour into `store` (at most
// 6 bytes written). Only for modes with a path.
void FromRgb16(IMAGE_MODE mode, const uint16_t rgb[3], uint8_t* store);

// 8-bit conversions; in and out are three samples in the mode's order.
void RgbToHls(const uint8_t rgb[3], uint8_t hls[3]);
void HlsToRgb(const uint8_t hls[3], uint8_t rgb[3]);
void RgbToHsv(const uint8_t rgb[3], uint8_t hsv[3]);
void HsvToRgb(const uint8_t hsv[3], uint8_t rgb[3]);
void RgbToYcc(const uint8_t rgb[3], uint8_t ycc[3]);
// Y, Cb, Cr triples that no RGB colour produces can land outside 0-255; they
// are clamped rather than wrapped, so a stray value never turns into its
// opposite colour.
void YccToRgb(const uint8_t ycc[3], uint8_t rgb[3]);

} // namespace pwimage
