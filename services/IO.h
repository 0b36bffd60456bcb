#pragma once
#include "image/Image.h"
#include "services/IOError.h"
#include "services/MemFile.h"
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class CUserInteraction;

// Loading and saving whole picture files. Formats are told by content, never
// by the file name: JPEG, PNG, GIF (first frame) and BMP are read; JPEG, PNG
// and BMP are written. Every loaded picture is IMAGE_RGB8, or IMAGE_RGB8 with
// IMAGE_ALPHA when the file has transparency, at the file's resolution or
// 96 dpi. Failures return null/false with an IOErrorCode (services/IOError.h).
class CIO {
public:
    // Loads a picture file. `format` is FORMAT_ANY (or any code: the content
    // decides) and receives the detected IOFormatCode. `message` is accepted
    // for call compatibility and not shown.
    static std::unique_ptr<CImage> LoadImageA(const std::filesystem::path& path, int& format,
                                              int& error, const char* message = nullptr);
    // The same from bytes already in memory.
    static std::unique_ptr<CImage> LoadImageFromMemory(const uint8_t* data, size_t size,
                                                       int& format, int& error);

    // Writes the image to `path` through a temporary file in the same folder
    // that replaces the target only when complete. `format` FORMAT_JPEG (the
    // usual), FORMAT_PNG or FORMAT_BMP; FORMAT_ANY picks by the extension
    // (.png, .bmp, otherwise JPEG) and reports the choice. JPEG drops alpha and
    // stores a non-empty comment; `quality` 1..100 applies to JPEG only.
    static bool SaveImage(const std::filesystem::path& path, const CImage& image, int& format,
                          int quality, int& error, const std::string& comment);

    // Reads a device-independent bitmap (information header first, no file
    // header, as on the clipboard) from the file's position.
    static std::unique_ptr<CImage> LoadDIB(CMemFile& file, int format, int& error);

    // True when the file's content is a picture format that can be loaded.
    // Without `fullCheck` only the signature is looked at (cheap enough while
    // dragging files over a page); with it the picture is decoded as well.
    static bool FileformatSupported(const std::filesystem::path& path, bool fullCheck);

    // Lets the user choose a picture. `inOut` gives the starting folder or file
    // and receives the choice. `open` true asks for an existing file to open,
    // false for a name to save under. False when cancelled.
    static bool GetFileName(std::filesystem::path& inOut, bool open, CUserInteraction& ui);

    // The format the bytes start with, FORMAT_UNKNOWN when none.
    static int DetectFormat(const uint8_t* data, size_t size);

    // A new image of the given size for a decoder, or null with IOERR_NO_MEMORY
    // when the size is beyond kMaxImagePixels or the buffer cannot be had
    // (IOERR_FORMAT for an empty size).
    static std::unique_ptr<CImage> CreateImage(int width, int height, bool alpha, double dpi,
                                               int& error);

    // Reads a whole file; false with IOERR_NOT_FOUND or IOERR_NO_MEMORY.
    static bool ReadFile(const std::filesystem::path& path, std::vector<uint8_t>& data, int& error);
    // Writes bytes through a temporary file beside the target and renames it
    // over the target; false with IOERR_NO_FOLDER or IOERR_WRITE, leaving no
    // temporary file and the old target untouched.
    static bool WriteFileAtomically(const std::filesystem::path& path, const uint8_t* data,
                                    size_t size, int& error);
};
