#include "app/QtImages.h"
#include "image/Color.h"
#include "image/Image.h"
#include <cstring>

namespace pw {

QImage ToQImage(const CImage& source) {
    if (!source.Bits() || source.Width() <= 0 || source.Height() <= 0) return {};
    CImage rgb(source);
    if (rgb.GetMode() != IMAGE_RGB8 && !rgb.Convert(IMAGE_RGB8)) return {};
    QImage out(rgb.Width(), rgb.Height(), QImage::Format_RGB888);
    if (out.isNull()) return {};
    const size_t rowBytes = static_cast<size_t>(rgb.Width()) * 3;
    for (int y = 0; y < rgb.Height(); ++y)
        std::memcpy(out.scanLine(y), rgb.Bits() + static_cast<size_t>(y) * rgb.RowBytes(), rowBytes);
    return out;
}

QColor ToQColor(const CColor& colour) {
    const COLORREF ref = colour.GetCOLORREF();
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

} // namespace pw
