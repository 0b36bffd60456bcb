#pragma once
#include "image/Color.h"
#include <cstdint>
#include <vector>

class CByteReader;
class CByteWriter;

// A multi-stop colour gradient. The three stop arrays always have the same
// length; positions lie in [0, 1] in ascending order.
struct GRADIENTCOLORS {
    CColor startColour{255, 255, 255};
    CColor endColour{0, 0, 0};
    std::vector<CColor> stopColoursBefore; // colour ending the segment left of the stop
    std::vector<CColor> stopColoursAfter;  // colour starting the segment right of it
    std::vector<double> stopPositions;
    // 0..3 the predefined gradient it was made from, 4 custom. Style presets
    // use -1, so readers take any value.
    int32_t kind = 0;

    std::size_t StopCount() const { return stopPositions.size(); }
};

// Same stop count, same start/end COLORREFs, and per stop the same two
// COLORREFs and a position that compares equal as a double. kind is ignored.
bool IsGradientEqual(const GRADIENTCOLORS& a, const GRADIENTCOLORS& b);

inline constexpr int kPredefinedGradientCount = 4;
inline constexpr int GetPredefinedNo() {
    return kPredefinedGradientCount;
}
// Replaces g by predefined gradient no (0..3); other numbers leave g alone.
void GetPredefinedGradient(GRADIENTCOLORS& g, int no);

// The gradient a fill carries: the colours plus the angle it is drawn at
// (degrees; 0 when made). The shared interpolation weights arrive with the
// rasteriser.
class CFillGradient : public GRADIENTCOLORS {
public:
    int32_t angle = 0;

    // Starts as predefined gradient 0, angle 0.
    CFillGradient();
    explicit CFillGradient(const GRADIENTCOLORS& colours, int32_t angle = 0);

    // Replaces colours, stops and kind; keeps the angle.
    void SetColours(const GRADIENTCOLORS& colours);

    // IsGradientEqual plus equal angles.
    bool operator==(const CFillGradient& other) const;

    // The gradient record: start and end colour, int32 stop count, per stop
    // before colour, after colour and double position, int32 kind, int32
    // angle. Load throws CFileFormatException on a negative stop count or one
    // the remaining bytes cannot hold, and leaves the gradient unchanged.
    // Stop positions are taken as stored: whoever turns them into pixel
    // indices clamps them to [0, 1] first.
    void Save(CByteWriter& writer) const;
    void Load(CByteReader& reader);
};
