#pragma once
#include "image/Image.h"
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

} // namespace pw
