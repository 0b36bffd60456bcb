// Every 8-bit RGB colour through each colour space and back, checked against
// a plain per-pixel transcription of the integer formulas (no tables).
#include "image/Color.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <sstream>

namespace {

using Triple = std::array<int, 3>;

// Hue on the 384-step circle, as stored in a byte.
int RefHue(int r, int g, int b) {
    const int mx = std::max({r, g, b}), d = mx - std::min({r, g, b});
    int h = r == mx ? 64 * (g - b) / d : g == mx ? 64 * (b - r) / d + 128 : 64 * (r - g) / d + 256;
    h = (h + 384) % 384;
    return (2 * h + 1) / 3;
}

Triple RefToHls(Triple c) {
    const int mx = std::max({c[0], c[1], c[2]}), mn = std::min({c[0], c[1], c[2]});
    const int l = (mx + mn) / 2;
    if (mx == mn) return {0, l, 0};
    const int s = (mx - mn) * 255 / (l > 128 ? 510 - mx - mn : mx + mn);
    return {s ? RefHue(c[0], c[1], c[2]) : 0, l, s};
}

Triple RefFromHls(Triple c) {
    const int h = (3 * c[0] + 1) / 2, l = c[1], s = c[2];
    if (s == 0) return {l, l, l};
    const int hi = l > 128 ? l + s - l * s / 255 : l * (s + 255) / 255;
    const int lo = 2 * l - hi;
    const auto ramp = [&](int steps) { return lo + (hi - lo) * steps / 64; };
    switch (h / 64) {
    case 0:
        return {hi, ramp(h), lo};
    case 1:
        return {ramp(128 - h), hi, lo};
    case 2:
        return {lo, hi, ramp(h - 128)};
    case 3:
        return {lo, ramp(256 - h), hi};
    case 4:
        return {ramp(h - 256), lo, hi};
    default:
        return {hi, lo, ramp(384 - h)};
    }
}

Triple RefToHsv(Triple c) {
    const int mx = std::max({c[0], c[1], c[2]}), mn = std::min({c[0], c[1], c[2]});
    if (mx == 0) return {0, 0, 0};
    const int s = (mx - mn) * 255 / mx;
    return {s ? RefHue(c[0], c[1], c[2]) : 0, s, mx};
}

Triple RefFromHsv(Triple c) {
    const int h = (3 * c[0] + 1) / 2, s = c[1], v = c[2];
    if (s == 0) return {v, v, v};
    const int f = h % 64;
    const int p = (255 - s) * v / 255;
    const int q = v * (255 - s * f / 64) / 255;
    const int t = v * (255 - s * (64 - f) / 64) / 255;
    const Triple bySector[6] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}};
    return bySector[h / 64];
}

Triple RefToYcc(Triple c) {
    const int r = c[0], g = c[1], b = c[2];
    return {(19595 * r + 38470 * g + 7471 * b + 32768) >> 16,
            (-11059 * r - 21709 * g + 32768 * b + 128 * 65536 + 32767) >> 16,
            (32768 * r - 27439 * g - 5329 * b + 128 * 65536 + 32767) >> 16};
}

Triple RefFromYcc(Triple c) {
    const int y = c[0], cb = c[1] - 128, cr = c[2] - 128;
    const auto clamp = [](int v) { return std::clamp(v, 0, 255); };
    return {clamp(y + ((91881 * cr + 32768) >> 16)),
            clamp(y + ((-22554 * cb - 46802 * cr + 32768) >> 16)),
            clamp(y + ((116130 * cb + 32768) >> 16))};
}

Triple Bytes(const CColor& c) {
    return {c.GetColor()[0], c.GetColor()[1], c.GetColor()[2]};
}

std::string Show(Triple t) {
    std::ostringstream s;
    s << '(' << t[0] << ',' << t[1] << ',' << t[2] << ')';
    return s.str();
}

struct Sweep {
    long mismatches = 0;
    std::string first;
    int maxError = 0; // largest |component - original| after the round trip

    void Check(const char* what, Triple in, Triple got, Triple want) {
        if (got == want) return;
        if (mismatches++ == 0)
            first = std::string(what) + " of " + Show(in) + ": got " + Show(got) + ", want " +
                    Show(want);
    }
};

// Runs every RGB colour to `mode` and back, comparing both legs with the
// reference functions.
Sweep SweepAll(IMAGE_MODE mode, Triple (*to)(Triple), Triple (*from)(Triple)) {
    Sweep sweep;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b) {
                const Triple rgb{r, g, b};
                CColor c(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b));
                c.Convert(mode);
                const Triple want = to(rgb);
                sweep.Check("forward", rgb, Bytes(c), want);
                c.Convert(IMAGE_RGB8);
                const Triple back = Bytes(c);
                sweep.Check("round trip", rgb, back, from(want));
                for (int k = 0; k < 3; ++k)
                    sweep.maxError = std::max(sweep.maxError, std::abs(back[k] - rgb[k]));
            }
    return sweep;
}

} // namespace

// Round-trip bounds. One hue step moves the ramped component by d / 64, up to
// 4 for max - min = 255; the hue loses up to one step when it is truncated
// and one more when squeezed into a byte, hence 8 for HSV. HLS also halves
// max + min and truncates m2 on the way back, which costs up to 2 more. YCC
// loses only the rounding of the two fixed-point matrices. The bounds are
// tight: the sweep reaches each of them.
TEST(ColorExhaustive, RgbToHsvAndBack) {
    const Sweep s = SweepAll(IMAGE_HSV8, RefToHsv, RefFromHsv);
    EXPECT_EQ(s.mismatches, 0) << s.first;
    EXPECT_EQ(s.maxError, 8) << "max round-trip error";
    RecordProperty("maxError", s.maxError);
}

TEST(ColorExhaustive, RgbToHlsAndBack) {
    const Sweep s = SweepAll(IMAGE_HLS8, RefToHls, RefFromHls);
    EXPECT_EQ(s.mismatches, 0) << s.first;
    EXPECT_EQ(s.maxError, 10) << "max round-trip error";
    RecordProperty("maxError", s.maxError);
}

TEST(ColorExhaustive, RgbToYccAndBack) {
    const Sweep s = SweepAll(IMAGE_YCC8, RefToYcc, RefFromYcc);
    EXPECT_EQ(s.mismatches, 0) << s.first;
    EXPECT_EQ(s.maxError, 1) << "max round-trip error";
    RecordProperty("maxError", s.maxError);
}

TEST(ColorExhaustive, RgbToGrey) {
    long mismatches = 0, offByMoreThanOne = 0;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b) {
                CColor c(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b));
                c.Convert(IMAGE_GRAY8);
                // Through 16-bit RGB: each component x 257, weighted, >> 16.
                const int want = (77 * 257 * r + 151 * 257 * g + 28 * 257 * b) >> 16;
                mismatches += c.GetColor()[0] != want;
                // The plain 8-bit weighting differs from it by at most one.
                offByMoreThanOne +=
                    std::abs(c.GetColor()[0] - (77 * r + 151 * g + 28 * b) / 256) > 1;
            }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(offByMoreThanOne, 0);
}

// The inverse conversions also see triples that no RGB colour produces (an
// image of arbitrary bytes relabelled as HLS, HSV or YCC).
TEST(ColorExhaustive, AnyTripleBackToRgb) {
    struct Case {
        IMAGE_MODE mode;
        Triple (*from)(Triple);
        int stride;
    };
    const Case cases[] = {
        {IMAGE_YCC8, RefFromYcc, 1}, {IMAGE_HLS8, RefFromHls, 3}, {IMAGE_HSV8, RefFromHsv, 3}};
    for (const Case& k : cases) {
        Sweep sweep;
        for (int a = 0; a < 256; a += k.stride)
            for (int b = 0; b < 256; b += k.stride)
                for (int c = 0; c < 256; ++c) {
                    CColor rgb(static_cast<uint8_t>(a), static_cast<uint8_t>(b),
                               static_cast<uint8_t>(c));
                    rgb.Convert(IMAGE_DATA8); // relabel the bytes ...
                    rgb.Convert(k.mode);      // ... as a colour of the mode
                    rgb.Convert(IMAGE_RGB8);
                    sweep.Check("to rgb", {a, b, c}, Bytes(rgb), k.from({a, b, c}));
                }
        EXPECT_EQ(sweep.mismatches, 0) << k.mode << ": " << sweep.first;
    }
}
