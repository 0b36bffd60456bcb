#pragma once
#include "image/ImageMode.h"
#include "image/Lut.h"
#include <cstdint>

class CPixMap;

// One pixel value tagged with its mode; up to 8 bytes of samples.
class CColor {
public:
    enum colorName {
        black = 0,
        white = 1,
        darkGray = 2,
        gray = 3,
        lightGray = 4,
        red = 5,
        green = 6,
        blue = 7,
        cyan = 8,
        magenta = 9,
        yellow = 10,
    };

    CColor(colorName name = white);
    CColor(uint8_t r, uint8_t g, uint8_t b);
    explicit CColor(COLORREF ref);
    explicit CColor(const LutColor& entry);
    CColor(const CPixMap& map, int x, int y);
    CColor(const CColor&) = default;
    CColor& operator=(const CColor&) = default;

    const uint8_t* GetColor() const { return m_store; }
    IMAGE_MODE GetMode() const { return m_mode; }
    // Converts the store in place through 16-bit RGB and sets the mode.
    void Convert(IMAGE_MODE target);
    COLORREF GetCOLORREF() const;

    bool operator==(const CColor& o) const;

private:
    IMAGE_MODE m_mode = IMAGE_RGB8;
    uint8_t m_store[8] = {};
};
