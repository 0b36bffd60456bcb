#pragma once
// Writers of test pictures straight on the imaging libraries, independent of
// the code under test, and small pixel helpers.
#include "image/Image.h"
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pwtest {

// An RGB or RGB+alpha picture as packed rows (3 or 4 bytes per pixel, alpha
// last as the files store it), for writing and comparing.
struct SPicture {
    int width = 0;
    int height = 0;
    bool alpha = false;
    std::vector<uint8_t> px; // RGB(A), packed

    uint8_t* At(int x, int y) {
        return &px[(static_cast<size_t>(y) * width + x) * (alpha ? 4 : 3)];
    }
    const uint8_t* At(int x, int y) const {
        return &px[(static_cast<size_t>(y) * width + x) * (alpha ? 4 : 3)];
    }
};

// Smooth colour ramps plus deterministic noise of the given amplitude.
SPicture MakeGradient(int width, int height, bool alpha, int noise, unsigned seed = 1);
// The same pixels in a CImage (alpha first, as the image keeps it).
std::unique_ptr<CImage> ToImage(const SPicture& pic);
// Compares an image with a picture; returns the mean absolute colour error and
// the largest one, and counts alpha mismatches.
struct SDiff {
    double mean = 0;
    int max = 0;
    int alphaMismatches = 0;
    bool sizeOk = false;
};
SDiff Compare(const CImage& image, const SPicture& pic);

std::vector<uint8_t> ReadAll(const std::filesystem::path& path);
void WriteAll(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// JPEG with the library's defaults for the quality (what its command-line
// encoder does). Components: 1 grey, 3 RGB, 4 CMYK (stored inverted with the
// Adobe marker, as the library writes it).
std::vector<uint8_t> EncodeJpeg(const uint8_t* rows, int width, int height, int components,
                                int quality, bool fullColour = false);
// Decodes any JPEG to packed RGB with the library alone; reads COM markers.
struct SDecoded {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    std::vector<std::string> comments;
    int densityUnit = 0;
    int xDensity = 0;
};
SDecoded DecodeJpeg(const std::vector<uint8_t>& jpeg);

// PNG with explicit colour type, bit depth, interlacing and tRNS.
struct SPngSpec {
    int width = 0;
    int height = 0;
    int colorType = 2; // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlace = false;
    std::vector<uint8_t> rows;    // packed rows in file order, 16-bit samples big-endian
    std::vector<uint8_t> palette; // RGB triples
    std::vector<uint8_t> trns;    // palette alpha
    bool trnsColor = false;       // tRNS with one grey/RGB key
    uint16_t trnsKey[3] = {0, 0, 0};
    bool headerOnly = false; // stop after IHDR (no picture data)
};
std::vector<uint8_t> EncodePng(const SPngSpec& spec);

// GIF frames on one logical screen with one global palette.
struct SGifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlace = false;
    int transparent = -1;
    std::vector<uint8_t> indices; // width x height, top row first
};
bool WriteGif(const std::filesystem::path& path, int screenWidth, int screenHeight,
              const std::vector<uint8_t>& paletteRgb, const std::vector<SGifFrame>& frames);

} // namespace pwtest
