#pragma once
#include "image/PixMap.h"
#include <cstddef>
#include <cstdint>
#include <vector>

// Lossy WebP writing on libwebp, and the error measure that decides its
// quality: the browser shows the WebP instead of the JPEG only where it looks
// at least as close to what the designer drew.
//
// Maps of interleaved 8-bit red, green, blue (IMAGE_RGB8, three samples a
// pixel) are taken; other maps are refused.
namespace pw::webp {

// Sum of squared differences per sample between the map and `rgb` (rows
// 3 * width bytes apart, the same size), divided by the number of samples:
// the mean squared error. Negative when the map is not one that is taken.
double MeanSquaredError(const CPixMap& map, const uint8_t* rgb);

// Encodes the map at `quality` (0..100) into `out`; false when the map is
// not taken or the encoder fails.
bool Encode(const CPixMap& map, int quality, std::vector<uint8_t>& out);
// Encodes the map without loss.
bool EncodeLossless(const CPixMap& map, std::vector<uint8_t>& out);
bool EncodeWith(const CPixMap& map, int quality, bool lossless, std::vector<uint8_t>& out);

// Decodes a WebP into rows of red, green, blue (3 * width bytes apart); empty
// on failure or when the size differs from width x height.
std::vector<uint8_t> DecodeRgb(const std::vector<uint8_t>& webp, int width, int height);

// The smallest-quality WebP smaller than `sizeLimit` bytes whose mean
// squared error against the map is no larger than `targetError`, found by a
// short search over the quality with at most `maxEncodes` lossy encodes; a
// lossless WebP (no error at all) is taken instead where it is smaller. False
// (and `out` empty) when neither is smaller than `sizeLimit`.
bool EncodeMatching(const CPixMap& map, double targetError, std::size_t sizeLimit,
                    std::vector<uint8_t>& out, int maxEncodes = 3);

} // namespace pw::webp
