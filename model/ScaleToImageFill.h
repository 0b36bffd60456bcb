#pragma once
#include "model/PageObject.h"

class CPage;

// The command "&Scale according to imagefill": gives the selected picture
// object the proportions of its picture by changing one side.
inline constexpr int kCommandScaleToImageFill = 32856;

// Enabled when exactly one item is selected on its own, its object can be
// resized, its fill paints a picture (a file or one held in memory), and it
// is not the text being edited.
bool CanScaleToImageFill(const CPage& page);

// Records a move undo step and changes the object's size; repaints what
// changed. False (and nothing recorded) when the command is not enabled, the
// picture cannot be had, or the proportions already match.
bool ScaleToImageFill(CPage& page);

// With rx = w / iw and ry = h / ih: a larger rx makes the height rx * ih, a
// larger ry makes the width ry * iw (rounded half up, held to min..max); the
// other side stays. Equal ratios leave the size alone.
CObjectSize ScaledToImage(CObjectSize size, int32_t imageWidth, int32_t imageHeight,
                          CObjectSize minSize, CObjectSize maxSize);
