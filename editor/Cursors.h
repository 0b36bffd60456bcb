#pragma once
#include <QCursor>
#include <QPixmap>

// The view's own mouse cursors (ids of editor/EditorGeometry.h), drawn in code
// at the device pixel ratio of the screen so they stay sharp at 1x and 2x.
namespace pw {

// The cursor's picture at a device pixel ratio (32 x 32 logical pixels) and
// its hot spot in logical pixels. An unknown id gives the default arrow.
QPixmap CursorPixmap(int id, qreal devicePixelRatio, QPoint* hotSpot = nullptr);
// Made once per id and ratio.
const QCursor& EditorCursor(int id, qreal devicePixelRatio);

} // namespace pw
