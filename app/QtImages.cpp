#include "app/QtImages.h"
#include "image/Color.h"
#include "image/Image.h"
#include "services/ImageConvert.h"

namespace pw {

QImage ToQImage(const CImage& source) {
    if (!source.Bits() || source.Width() <= 0 || source.Height() <= 0) return {};
    // Grey, palette and RGB pictures are converted pixel by pixel; alpha stays,
    // so a transparent part shows what the widget paints below it.
    QImage out(source.Width(), source.Height(),
               source.HasAlpha() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (out.isNull() || !ToArgb32(source, out.bits(), static_cast<size_t>(out.bytesPerLine())))
        return {};
    return out;
}

QColor ToQColor(const CColor& colour) {
    const COLORREF ref = colour.GetCOLORREF();
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

} // namespace pw
