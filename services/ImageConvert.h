#pragma once
#include "image/Image.h"
#include <cstddef>
#include <cstdint>
#include <memory>

namespace pw {

// Explicit conversions of pictures to the colour modes the painters and the
// file writers work in. (CImage::Convert does not convert; nothing relies on it.)

// An RGB copy of a grey (GRAY8), palette (INDEX8) or RGB picture, with or
// without alpha: a grey pixel gives equal channels, a palette index its
// palette colour (black beyond the palette). With `keepAlpha` a picture that
// has alpha keeps it (WithAlpha(IMAGE_RGB8)); otherwise the alpha is dropped
// and the colours stay as they are. Null for any other mode, an empty
// picture or when memory is short.
std::unique_ptr<CImage> ToRgb8(const CImage& source, bool keepAlpha);

// An RGB copy (no alpha) of the same modes, laid over a plain colour: each
// channel is (c x a + under x (255 - a) + 127) / 255, so transparent parts
// show the colour, as where a page paints such a picture. A picture without
// alpha is only converted. Null as for ToRgb8.
std::unique_ptr<CImage> ToRgb8Over(const CImage& source, uint8_t red, uint8_t green,
                                   uint8_t blue);

// The pixels of the same modes as native 32-bit words 0xAARRGGBB (alpha 255
// without alpha, colours not premultiplied), `rowBytes` apart from row 0 on:
// the layout the designer's widgets draw from. False, writing nothing, for
// any other mode, an empty picture or rows shorter than 4 x width bytes.
bool ToArgb32(const CImage& source, uint8_t* out, size_t rowBytes);

// An RGB copy (with the alpha it has) of the same modes in which each pixel
// is a block of scale x scale pixels: a picture drawn larger that has no
// more detail to show. Null as for ToRgb8.
std::unique_ptr<CImage> Enlarged(const CImage& source, int scale);

} // namespace pw
