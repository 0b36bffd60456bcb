#pragma once
#include "services/Geometry.h"
#include <cstdint>

// The arithmetic of the editor's gestures, kept apart from the widget so that
// each rule reads as one small function.
namespace pw {

// Cursor resource ids of the view.
enum : int {
    kCursorRotate = 282,
    kCursorGuideVertical = 283, // a guide at an x position (dragged sideways)
    kCursorMove = 284,
    kCursorArrow = 285,
    kCursorSizeWE = 286,   // left-right double arrow
    kCursorSizeNS = 287,   // up-down
    kCursorSizeNESW = 288, // up-right to down-left
    kCursorSizeNWSE = 289, // up-left to down-right
    kCursorGuideHorizontal = 290, // a guide at a y position (dragged up and down)
    kCursorText = 293,
    kCursorPipette = 312,
};

// Inspector notification codes.
enum : int {
    kNotifySelection = 10011,
    kNotifyGeometry = 10012,
    kNotifyTextGeometry = 10015,
    kNotifyTextChanged = 10016,
    kNotifyNothingChanged = 10018,
};

// Angle brought into [0, 2pi).
double NormalAngle(double angle);

// Whether the page point hits the handle: a square of 2 pixels each way
// around the truncated handle point, or from -6 to +5 for the handles of a
// text frame (they are drawn larger).
bool HitsHandle(int x, int y, DPOINT handle, bool textFrame);

// The resize cursor for edge handle 1, 3, 4 or 6 of the eight handles: the
// direction of the handle's edge picks one of the four double arrows, so the
// cursor turns with the object.
int ResizeCursorFor(const DPOINT* handles, int handle);

// A rotation snapped to the nearest multiple of 45 degrees.
double SnapAngle(double angle);

// The rotation angle for a pointer at angle `pointer` when the drag started
// at `pointer0` with the selection at `start`: brought into [0, 2pi] by one
// turn at most.
double DragAngle(double start, double pointer0, double pointer);

// A shape drawn from the anchor to (x, y): centre and size. Zero distances
// count as 1; `square` makes both sides the smaller one.
struct CShapeSpan {
    DPOINT centre;
    int32_t width = 1;
    int32_t height = 1;
};
CShapeSpan SpanShape(DPOINT anchor, int x, int y, bool square);

// Whether the quadrilateral (four corners in order) and the rectangle
// (inclusive page coordinates) overlap.
bool QuadIntersectsRect(const DPOINT quad[4], double left, double top, double right,
                        double bottom);
// Whether the point lies inside the quadrilateral.
bool QuadContains(const DPOINT quad[4], double x, double y);

// The four outline corners of eight handles in drawing order (0, 2, 7, 5).
void OutlineOf(const DPOINT* handles, DPOINT out[4]);

// The edge handle opposite to an edge handle (1 <-> 6, 3 <-> 4).
int OppositeHandle(int handle);

} // namespace pw
