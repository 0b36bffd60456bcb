#pragma once
#include "image/Image.h"
#include "services/MemFile.h"
#include <cstddef>
#include <cstdint>
#include <memory>

// Windows bitmaps: BMP files and device-independent bitmaps (the clipboard's
// form: information header first, no 14-byte file header).
//
// Reading takes the 12-byte core header and the 40/52/56/64/108/124-byte
// information headers; 1, 4 and 8 bits with a palette, 16 and 32 bits with
// default or explicit channel masks, 24 bits; bottom-up and top-down rows; RLE8
// and RLE4. The result is IMAGE_RGB8, or IMAGE_RGB8 with IMAGE_ALPHA when the
// header declares an alpha mask, or when a plain 32-bit bitmap carries fourth
// bytes that are neither all 0 nor all 255 (many writers leave them 0).
//
// Writing: an IMAGE_RGB8 image becomes a 24-bit bitmap with a 40-byte header;
// an image with alpha becomes a 32-bit bitmap with a 124-byte header that
// declares the alpha mask, so alpha survives the round trip. Rows bottom-up.
class CBmpIO {
public:
    // `fileHeader` says whether the data starts with the 14-byte "BM" header.
    static std::unique_ptr<CImage> Load(const uint8_t* data, size_t size, bool fileHeader,
                                        int& error, size_t* consumed = nullptr);
    // Reads from the file's position and leaves the position after the bitmap.
    static std::unique_ptr<CImage> Load(CMemFile& file, bool fileHeader, int& error);

    // Appends the image at the file's position, with the file header when
    // `fileHeader` is true (a .bmp file) and without it when false (a DIB).
    static bool Save(CMemFile& file, const CImage& image, bool fileHeader, int& error);
};
