#pragma once
#include "image/PixMap.h"
#include "services/Geometry.h"
#include <cstdint>
#include <vector>

// Resamples an image of one size to another, a band at a time, so that a large
// source (a whole page) never has to exist in memory at once. Every destination
// pixel is computed from the same source pixels with the same weights whatever
// band it falls in, so a banded result equals an unbanded one.
//
// Smooth filtering averages the covered area of each destination pixel when
// shrinking and interpolates bilinearly when enlarging (per axis); without it
// each destination pixel takes the source pixel under its centre.
//
// Use: GetSrcRect(dstRect, srcRect) names the source pixels a destination
// rectangle needs; fill a source map with exactly those pixels (map pixel
// (0, 0) is srcRect's top-left) and call Transform(src, dst), which writes the
// destination rectangle into dst (map pixel (0, 0) is dstRect's top-left).
// Both maps must hold 8-bit samples, the same number per pixel, and be at least
// the size of their rectangles. When the mode has alpha (sample 0), colours are
// averaged weighted by alpha.
class CScale {
public:
    CScale(int dstWidth, int dstHeight, int srcWidth, int srcHeight, bool smooth = true);

    bool IsValid() const { return m_valid; }
    // A convenient destination block: the full width and a few rows.
    void GetBlockSize(int& width, int& height) const;

    // The source rectangle (clamped to the source) needed for the destination
    // rectangle (clamped to the destination), and remembered for the next
    // Transform. False, with both empty, when nothing of dstRect lies inside.
    bool GetSrcRect(const CRect& dstRect, CRect& srcRect);
    // Scales the band named by the last GetSrcRect.
    bool Transform(const CPixMap& src, CPixMap& dst) const;
    // The same with the rectangles given: srcRect must contain what dstRect needs.
    bool Transform(const CPixMap& src, const CRect& srcRect, CPixMap& dst,
                   const CRect& dstRect) const;

private:
    // Filter of one axis: destination pixel i takes `count[i]` source pixels from
    // `first[i]` with weights (summing to 1 << kWeightBits) at `weights[start[i]]`.
    struct Axis {
        std::vector<int> first;
        std::vector<int> count;
        std::vector<int> start;
        std::vector<int32_t> weights;
    };
    static constexpr int kWeightBits = 14;
    static constexpr int kBlockRows = 16;

    static Axis BuildAxis(int dst, int src, bool smooth);
    CRect Needed(const CRect& clampedDst) const;

    int m_dstWidth, m_dstHeight, m_srcWidth, m_srcHeight;
    bool m_valid;
    Axis m_x, m_y;
    CRect m_lastDst, m_lastSrc;
};
