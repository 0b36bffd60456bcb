#pragma once
#include <QColor>
#include <QImage>

class CColor;
class CImage;

namespace pw {
// A copy of a grey, palette or RGB image as a Qt image (ARGB32 keeping the
// alpha, RGB32 without); null for an image without pixels or of another mode.
QImage ToQImage(const CImage& image);
QColor ToQColor(const CColor& colour);
} // namespace pw
