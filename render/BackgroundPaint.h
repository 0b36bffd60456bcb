#pragma once
#include "services/Geometry.h"
#include <cstdint>

class CBackgroundFill;

// Paints the part `region` (page coordinates, right and bottom exclusive) of
// a page's background into a tile buffer of 4 bytes per pixel: byte 0 alpha,
// then red, green, blue. `argb` addresses the region's top-left pixel and
// `rowStep` is the buffer's row length in bytes. Every pixel of the region
// becomes opaque.
//
// A fill that still needs rendering, or a solid fill, paints its colour; a
// tiled picture repeats from the page's top-left corner; an untiled picture
// is centred on the page over white; a gradient strip is stretched across the
// page (a horizontal strip down every row, a vertical one along every
// column). The fill is not rendered here: the caller renders it first.
void PaintBackground(const CBackgroundFill& fill, const CRect& region, uint8_t* argb, int rowStep);
