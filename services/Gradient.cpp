#include "services/Gradient.h"
#include "services/RecordColour.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include <string>

bool IsGradientEqual(const GRADIENTCOLORS& a, const GRADIENTCOLORS& b) {
    const std::size_t n = a.StopCount();
    if (n != b.StopCount() || a.stopColoursBefore.size() != b.stopColoursBefore.size() ||
        a.stopColoursAfter.size() != b.stopColoursAfter.size())
        return false;
    if (!SameRgb(a.startColour, b.startColour) || !SameRgb(a.endColour, b.endColour)) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (!SameRgb(a.stopColoursBefore[i], b.stopColoursBefore[i]) ||
            !SameRgb(a.stopColoursAfter[i], b.stopColoursAfter[i]) ||
            a.stopPositions[i] != b.stopPositions[i])
            return false;
    }
    return true;
}

namespace {
void SetStops(GRADIENTCOLORS& g, std::initializer_list<std::pair<double, CColor>> stops) {
    g.stopColoursBefore.clear();
    g.stopColoursAfter.clear();
    g.stopPositions.clear();
    for (const auto& [position, colour] : stops) {
        g.stopColoursBefore.push_back(colour);
        g.stopColoursAfter.push_back(colour);
        g.stopPositions.push_back(position);
    }
}
} // namespace

void GetPredefinedGradient(GRADIENTCOLORS& g, int no) {
    const CColor white(255, 255, 255), black(0, 0, 0), blue(0, 0, 255), red(255, 0, 0);
    switch (no) {
    case 0:
        g.startColour = white;
        g.endColour = black;
        SetStops(g, {});
        break;
    case 1:
        g.startColour = black;
        g.endColour = white;
        SetStops(g, {});
        break;
    case 2:
        g.startColour = blue;
        g.endColour = white;
        SetStops(g, {{0.1, blue}});
        g.stopColoursAfter[0] = white;
        break;
    case 3:
        // The rainbow's positions are these seven-decimal values, not thirds;
        // stored gradients compare against them exactly.
        g.startColour = red;
        g.endColour = red;
        SetStops(g, {{0.1666666, CColor(255, 0, 255)},
                     {0.3333333, CColor(0, 0, 255)},
                     {0.5, CColor(0, 255, 255)},
                     {0.6666666, CColor(0, 255, 0)},
                     {0.8333333, CColor(255, 255, 0)}});
        break;
    default:
        return;
    }
    g.kind = no;
}

CFillGradient::CFillGradient() {
    GetPredefinedGradient(*this, 0);
}

CFillGradient::CFillGradient(const GRADIENTCOLORS& colours, int32_t angle)
    : GRADIENTCOLORS(colours), angle(angle) {}

void CFillGradient::SetColours(const GRADIENTCOLORS& colours) {
    static_cast<GRADIENTCOLORS&>(*this) = colours;
}

bool CFillGradient::operator==(const CFillGradient& other) const {
    return angle == other.angle && IsGradientEqual(*this, other);
}

void CFillGradient::Save(CByteWriter& writer) const {
    writer.WriteColour(ToRgb(startColour));
    writer.WriteColour(ToRgb(endColour));
    const std::size_t n = StopCount();
    writer.WriteInt32(static_cast<int32_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        writer.WriteColour(ToRgb(stopColoursBefore[i]));
        writer.WriteColour(ToRgb(stopColoursAfter[i]));
        writer.WriteDouble(stopPositions[i]);
    }
    writer.WriteInt32(kind);
    writer.WriteInt32(angle);
}

void CFillGradient::Load(CByteReader& reader) {
    constexpr std::size_t kStopBytes = 14;
    CFillGradient loaded;
    loaded.startColour = FromRgb(reader.ReadColour());
    loaded.endColour = FromRgb(reader.ReadColour());
    const std::size_t countOffset = reader.Tell();
    const int32_t n = reader.ReadInt32();
    // Check the count against what is left before reserving anything, so a
    // damaged count cannot ask for gigabytes.
    if (n < 0 || static_cast<std::size_t>(n) > reader.Remaining() / kStopBytes)
        reader.FailAt("gradient stop count " + std::to_string(n) + " does not fit the data",
                      countOffset);
    loaded.stopColoursBefore.reserve(static_cast<std::size_t>(n));
    loaded.stopColoursAfter.reserve(static_cast<std::size_t>(n));
    loaded.stopPositions.reserve(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        loaded.stopColoursBefore.push_back(FromRgb(reader.ReadColour()));
        loaded.stopColoursAfter.push_back(FromRgb(reader.ReadColour()));
        loaded.stopPositions.push_back(reader.ReadDouble());
    }
    loaded.kind = reader.ReadInt32();
    loaded.angle = reader.ReadInt32();
    *this = std::move(loaded);
}
