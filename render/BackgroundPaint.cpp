#include "render/BackgroundPaint.h"
#include "render/BackgroundFill.h"

void PaintBackground(const CBackgroundFill& fill, const CRect& region, uint8_t* argb,
                     int rowStep) {
    if (argb == nullptr || region.IsEmpty()) return;
    const COLORREF ref = fill.GetColour().GetCOLORREF();
    for (int y = 0; y < region.Height(); ++y) {
        uint8_t* p = argb + static_cast<std::ptrdiff_t>(y) * rowStep;
        for (int x = 0; x < region.Width(); ++x, p += 4) {
            p[0] = 255;
            p[1] = static_cast<uint8_t>(ref & 0xFF);
            p[2] = static_cast<uint8_t>((ref >> 8) & 0xFF);
            p[3] = static_cast<uint8_t>((ref >> 16) & 0xFF);
        }
    }
}
