#pragma once
#include <QImage>
#include <QSize>

// The library's own pictures. Each is an SVG file in resources/controls named
// after its id, compiled into the library and rasterised at the device pixel
// ratio it is shown at, so it is sharp on every screen.
namespace ctl {
inline constexpr int kThumbTop = 6088;    // slider thumb along the top edge, pointing down
inline constexpr int kThumbBottom = 6089; // slider thumb along the bottom edge, pointing up
inline constexpr int kIconInfo = 6022;    // icon kind 0
inline constexpr int kIconWarning = 6025; // icon kind 1
inline constexpr int kIconError = 6026;   // icon kind 2
inline constexpr int kIconTip = 6090;     // icon kind 3
inline constexpr int kIconQuestion = 6093; // any other icon kind
// Two-state button faces (text styles and alignment).
inline constexpr int kButtonBold = 6040;
inline constexpr int kButtonItalic = 6041;
inline constexpr int kButtonUnderline = 6042;
inline constexpr int kButtonAlignLeft = 6043;
inline constexpr int kButtonAlignCenter = 6044;
inline constexpr int kButtonAlignRight = 6045;

// True when the library holds a picture with this id.
bool HasResourceImage(int id);
// The picture's own size in logical pixels (empty for an unknown id).
QSize ResourceImageSize(int id);
// The picture drawn at `logical` size (its own size when empty) for the
// device pixel ratio; the image carries that ratio. Null for an unknown id.
QImage ResourceImage(int id, qreal devicePixelRatio, QSize logical = QSize());
} // namespace ctl
