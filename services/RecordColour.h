#pragma once
#include "image/Color.h"
#include "services/ByteStream.h"

// Records keep colours as CColor but streams store three bytes red, green,
// blue. Going through the COLORREF keeps a colour held in another mode (grey,
// palette) writing the RGB value it shows.
inline CRgb ToRgb(const CColor& colour) {
    return CRgb::FromColorRef(colour.GetCOLORREF());
}
inline CColor FromRgb(const CRgb& rgb) {
    return CColor(rgb.r, rgb.g, rgb.b);
}
inline bool SameRgb(const CColor& a, const CColor& b) {
    return a.GetCOLORREF() == b.GetCOLORREF();
}
