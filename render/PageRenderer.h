#pragma once
#include "services/Geometry.h"
#include <cstdint>
#include <functional>

class CPage;

// Composites a page: the background, then the items back to front, each
// drawn by its object into the page's 256 x 256 tile buffer and laid over
// the result with its alpha.

// Renders `region` (page coordinates, at most 256 x 256) into an ARGB buffer
// whose first pixel is the region's top-left and whose rows are rowStep bytes
// apart. The background paints the region first when drawBackground is set;
// in ghost mode the region starts light grey and every item is drawn in a
// darker grey with its own alpha. The object edited in place is left out,
// and with onlySelected every item outside a selected set. Objects are not
// rendered here: dirty ones draw their quick preview. Returns how many items
// were drawn into the region; 0 for a region that is empty, too large, or
// without a buffer.
int RenderRegion(CPage& page, const CRect& region, uint8_t* buffer, int rowStep,
                 bool drawBackground, bool onlySelected, bool ghost);

// Renders the whole page (every item, nothing skipped) scaled to fit within
// maxWidth x maxHeight, keeping the proportions, and stores it as the page's
// pageImage (RGB, 96 dpi). When no window shows the page, its background and
// items then drop their cached images. False for a size below 1 or when
// memory runs out; the old page image stays then.
bool RenderThumbnail(CPage& page, int maxWidth, int maxHeight);

// The size RenderThumbnail makes: the page divided by
// max(width / maxWidth, height / maxHeight), truncated.
void ThumbnailSize(int pageWidth, int pageHeight, int maxWidth, int maxHeight, int& width,
                   int& height);

// Tells whether a page window shows the page. The designer installs it;
// without it no page counts as shown.
using PageShownQuery = std::function<bool(const CPage& page)>;
PageShownQuery& PageShownHook();
