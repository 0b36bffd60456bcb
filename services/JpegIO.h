#pragma once
#include "image/Image.h"
#include "image/PixMap.h"
#include "services/MemFile.h"
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// JPEG reading and writing on libjpeg-turbo.
//
// Reading gives IMAGE_RGB8 at the file's resolution (96 dpi when the file has
// none); grey, CMYK and YCCK pictures are converted to RGB. A file cut short is
// refused (IOERR_FORMAT) rather than shown with a grey lower part; damage that
// the decoder can step over (a bad Huffman code) is tolerated.
//
// Writing uses the library's own defaults for the given quality, exactly as the
// library's command-line encoder does: 4:2:0 chroma subsampling, the accurate
// integer DCT, standard Huffman tables. Rows of an interleaved RGB8 or
// RGB8+alpha map are handed to the encoder where they lie (the alpha sample is
// skipped by the encoder itself); other maps are converted a row at a time.
class CJpegIO {
public:
    // Decodes the JPEG that starts at the file's position and leaves the
    // position just after the data the decoder used. Null on failure, with the
    // IOErrorCode in `error`. `message` is accepted for call compatibility.
    static std::unique_ptr<CImage> Load(CMemFile& file, int& error, const char* message = nullptr);
    static std::unique_ptr<CImage> Load(const uint8_t* data, size_t size, int& error,
                                        size_t* consumed = nullptr);

    // Appends a JPEG of the whole map at the file's position. `quality` is
    // 1..100 (values outside are clamped); a non-empty comment is stored in COM
    // markers. Any alpha sample is dropped. `dpi` goes into the JFIF header.
    static bool Save(CMemFile& file, const CPixMap& map, int quality, int& error,
                     const std::string& comment, double dpi = 96.0);
    static bool Save(CMemFile& file, const CImage& image, int quality, int& error,
                     const std::string& comment);

    // A map that describes the image's own buffer (no copy); valid while the
    // image lives.
    static CPixMap MapOfImage(const CImage& image);
};
