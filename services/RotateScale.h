#pragma once
#include "image/Color.h"
#include "image/Image.h"
#include "services/Geometry.h"
#include <memory>

// Stretches and turns an RGB8 image (with or without alpha) with good filtering.
//
// Transform(width, height, angle, centre, smooth, padOutside, background):
//  1. The source is stretched to width × height.
//  2. The stretched picture is turned by `angle` radians about `centre` (given
//     in the stretched width × height frame). A positive angle turns clockwise
//     as seen on screen (y downwards): a point at offset (dx, dy) from the
//     centre moves to (dx·cos a − dy·sin a, dx·sin a + dy·cos a). To turn an
//     object counter-clockwise by φ, pass 2π − φ.
//  3. The result is framed on the centre: the centre lands exactly in the middle
//     of the result, which is just large enough to hold the whole turned
//     rectangle. With the centre at (width/2, height/2) its size is the turned
//     rectangle's bounding box, ⌈|w·cos a| + |h·sin a|⌉ × ⌈|w·sin a| + |h·cos a|⌉,
//     so angle 0 gives exactly width × height. Placing the result over an image
//     at half the size difference per axis therefore centres the turned
//     rectangle on that image.
// The result has the source's mode and resolution. Outside the turned rectangle
// it is transparent (alpha 0) when the mode has alpha, otherwise the background
// colour (white when none is given); the rectangle's edges are antialiased.
// `smooth` selects filtered sampling (false: nearest pixel, hard edges);
// `padOutside` fills the whole result by repeating the source's border pixels
// instead. Null for another source mode, an empty source or size, a non-finite
// angle or centre, a result side above 32767 or when memory is short. The
// caller owns the returned image.
class CRotateScale {
public:
    // The source must outlive this object.
    explicit CRotateScale(const CImage& source) : m_source(&source) {}

    std::unique_ptr<CImage> Transform(int width, int height, double angle, DPOINT centre,
                                      bool smooth = true, bool padOutside = false,
                                      const CColor* background = nullptr) const;

    // The size Transform gives for these arguments; false when they are invalid.
    static bool ResultSize(int width, int height, double angle, DPOINT centre, int& resultWidth,
                           int& resultHeight);

private:
    const CImage* m_source;
};
