#pragma once
#include <cstdint>

// Why an imaging service failed. The loaders and writers return null or false
// and set one of these codes in their `int& error` out-parameter.
//
//   IOERR_NONE       0  success
//   IOERR_NOT_FOUND  1  the file, or a folder on its path, does not exist or
//                       cannot be opened for reading
//   IOERR_FORMAT     2  not a readable picture: unknown format, damaged or
//                       truncated data, or a variant this program does not read
//   IOERR_NO_FOLDER  3  saving: the target folder does not exist
//   IOERR_NO_MEMORY  4  out of memory, including a picture that claims more
//                       than kMaxImagePixels pixels (refused before allocating)
//   IOERR_WRITE      5  saving: writing or renaming the file failed (disk
//                       full, no permission, target is a folder, ...)
//
// The picture-fill loader tells 1 (missing file) from 2 (bad picture), so the
// readers take care to report truncation and garbage as 2, never as 1.
enum IOErrorCode : int {
    IOERR_NONE = 0,
    IOERR_NOT_FOUND = 1,
    IOERR_FORMAT = 2,
    IOERR_NO_FOLDER = 3,
    IOERR_NO_MEMORY = 4,
    IOERR_WRITE = 5,
};

// Largest picture the readers accept: 2^28 pixels (16384 x 16384), 1 GiB as
// RGB with alpha. A header claiming more is refused with IOERR_NO_MEMORY.
constexpr int64_t kMaxImagePixels = int64_t{1} << 28;

// True when width x height is a picture size the readers accept.
constexpr bool ImageSizeAcceptable(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxImagePixels && height <= kMaxImagePixels &&
           width * height <= kMaxImagePixels;
}

// File format codes used by CIO. FORMAT_ANY asks a loader to detect the
// format from the content; the loaders report the detected format back.
enum IOFormatCode : int {
    FORMAT_UNKNOWN = 0,
    FORMAT_ANY = 7,
    FORMAT_JPEG = 8,
    FORMAT_PNG = 9,
    FORMAT_GIF = 10,
    FORMAT_BMP = 11,
};
