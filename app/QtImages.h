#pragma once
#include <QColor>
#include <QImage>

class CColor;
class CImage;

namespace pw {
// A copy of the image as a Qt image (RGB, alpha dropped); null for an image
// without pixels or one that cannot be turned into RGB.
QImage ToQImage(const CImage& image);
QColor ToQColor(const CColor& colour);
} // namespace pw
