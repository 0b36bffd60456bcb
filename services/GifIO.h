#pragma once
#include "image/Image.h"
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

// GIF reading on giflib.
//
// Load gives the first frame composited onto the logical screen, which starts
// out transparent (as browsers show it). The result is IMAGE_RGB8 with
// IMAGE_ALPHA when any pixel is transparent (the frame's transparent colour, or
// screen area the frame does not cover), else plain IMAGE_RGB8, at 96 dpi.
class CGifIO {
public:
    static std::unique_ptr<CImage> Load(const uint8_t* data, size_t size, int& error);

    // True for a GIF with more than one frame. A file that cannot be read, is
    // not a GIF, or is damaged before its second frame begins gives false.
    static bool IsAnimated(const std::filesystem::path& path);
    static bool IsAnimated(const uint8_t* data, size_t size);
};
