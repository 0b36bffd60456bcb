#pragma once
#include <string>
#include <vector>

class CButtonText;
class CImage;

// Draws a shape's label into its unrotated fill texture (RGB8, with or
// without alpha; the alpha is left alone). The lines are aligned by the
// label's alignment and the block of lines is centred vertically; a shadow
// goes first, shifted by its direction and distance. The letters are mixed
// into the texture by their coverage. False for a texture of another mode.
bool DrawButtonText(const CButtonText& label, CImage& texture);

// The lines of a label: split at CR LF, CR or LF.
std::vector<std::string> SplitLabelLines(const std::string& text);

// Whole-pixel shadow shift for a direction in degrees and a distance:
// dx = -cos(d) x distance and dy = sin(d) x distance, each rounded half up.
void LabelShadowOffset(int direction, int distance, int& dx, int& dy);
