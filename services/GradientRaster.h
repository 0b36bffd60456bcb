#pragma once
#include "services/Gradient.h"
#include <cstddef>
#include <cstdint>

struct CCubicWeights;

// Where a gradient drawn at an angle starts and which way it runs. The angle
// is in degrees, counter-clockwise on screen; o = 360 - angle picks the start
// corner p0 (the start colour lies there) and the direction u = (cos o,
// sin o) in page coordinates (y down), along which the colours advance.
struct CGradientGeometry {
    double p0x = 0, p0y = 0; // start corner
    double p1x = 0, p1y = 0; // opposite corner
    double ux = 1, uy = 0;   // direction
    int bandLength = 0;      // trunc of the projection of p1 - p0 onto u
};
CGradientGeometry GradientGeometry(int angleDegrees, int width, int height);

// Renders the gradient at the angle into width x height pixels of 3 bytes
// (red, green, blue), rows rowBytes apart. Positions along the direction are
// stepped in 16.16 fixed point and sampled from the colour band with the
// shared cubic weights. False when the arguments make no picture or the band
// cannot be allocated.
//
// Kept free of any toolkit, so the controls library can use it too.
bool RasterizeGradient(const GRADIENTCOLORS& gradient, int angleDegrees, uint8_t* rgb, int width,
                       int height, std::size_t rowBytes, const CCubicWeights& weights);

class CImage;

// Renders the gradient at the angle over the whole of an IMAGE_RGB8 image
// with the shared weights. False for another mode or an image without pixels.
bool RenderGradientImage(const GRADIENTCOLORS& gradient, int angleDegrees, CImage& image);
