#pragma once
#include "image/Image.h"
#include "services/MemFile.h"
#include <cstddef>
#include <cstdint>
#include <memory>

// PNG reading and writing on libpng, used by CIO.
//
// Every PNG variant is read as IMAGE_RGB8: palettes are expanded, grey is
// spread to RGB, 16-bit samples are scaled to 8 bits, interlacing is undone.
// A picture with an alpha channel or a tRNS chunk becomes IMAGE_RGB8 with
// IMAGE_ALPHA (alpha first). The resolution comes from pHYs when it is given
// in metres, else 96 dpi.
class CPngIO {
public:
    static std::unique_ptr<CImage> Load(const uint8_t* data, size_t size, int& error);
    // Appends a PNG of an IMAGE_RGB8 image, with or without alpha, at the
    // file's position; alpha is kept (RGBA) and the resolution stored in pHYs.
    static bool Save(CMemFile& file, const CImage& image, int& error);
};
