#pragma once
#include <cstdint>

struct LutColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const LutColor&) const = default;
};

// A palette of up to 256 colours; entries beyond the count are black.
class CLut {
public:
    enum lutName {
        cubeAndGrays = 0,
        webCube = 1,
        grayRamp = 2,
        windowsStatic = 3,
        windowsSystem = 4,
        macSystem = 5,
    };

    CLut();
    explicit CLut(lutName name);
    CLut(const CLut& other);
    CLut& operator=(const CLut& other);

    int GetColors() const { return m_count; }
    // Throws std::out_of_range("in CLut::operator []") when index >= count.
    const LutColor& operator[](unsigned index) const;
    // Raises the count to index + 1 when needed; throws for index >= 256.
    LutColor& operator[](unsigned index);

private:
    LutColor m_entries[256];
    int32_t m_count = 0;
};
