#pragma once
#include "sitebuild/BuildTypes.h"
#include <cstdint>
#include <vector>

struct CBuildTiles;
struct CPixMap;
class CPage;

// The contrast of text against what is drawn below it, measured on the
// build's own rendered pixels.
//
// For every text of a page (HTML text and text drawn as a picture alike) the
// region under it is rendered without the text and without anything above
// it. Each pixel the text covers at least half (its own rendered picture
// tells) is compared with the pixel below it, grouped by the text's colour:
// one group per colour of its words, or one group for a text filled with a
// gradient or picture. A group whose 10th-percentile contrast is under 4.5:1
// is a finding (button labels likewise: the shape is rendered once more
// without its label, and the pixels the label changes in its colour are
// compared with that): one tenth of the glyphs on a ground too close to their
// colour is already hard to read, while a few stray pixels of a busy
// picture under large, clear text are not.

// Lowest contrast ratio of text that readers must be able to read.
inline constexpr double kMinTextContrast = 4.5;

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double RelativeLuminance(uint8_t red, uint8_t green, uint8_t blue);
// (lighter + 0.05) / (darker + 0.05): 1 to 21.
double ContrastRatio(double luminance1, double luminance2);

// Appends a finding for every colour of every text and button label of the
// page that reads under kMinTextContrast. `drawn` is the build's list of items drawn into
// pictures; the ground is rendered through `tiles` and `scratch` (a
// worker's own, so pages are checked while others render). Texts whose
// picture is not up to date are left out.
void CheckPageContrast(CPage& page, const BuildPage& built, const std::vector<bool>& drawn,
                       CBuildTiles& tiles, CPixMap& scratch, std::vector<CAccessFinding>& out);
