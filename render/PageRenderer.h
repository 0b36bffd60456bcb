#pragma once
#include "model/Page.h"
#include "services/Geometry.h"
#include <cstdint>


// Composites a page: the background, then the items back to front, each
// drawn by its object into the page's 256 x 256 tile buffer and laid over
// the result with its alpha.

// How RenderRegion draws.
struct CRegionOptions {
    // The background paints the region first.
    bool drawBackground = true;
    // Every item outside a selected set is left out.
    bool onlySelected = false;
    // The region starts light grey and every item is drawn in a darker grey
    // with its own alpha.
    bool ghost = false;
    // What the editor is doing: the text it edits in place (and, while it
    // drags, the selection) is left out; the view draws those itself.
    CEditState edit;
};

// Renders `region` (page coordinates, at most 256 x 256) into an ARGB buffer
// whose first pixel is the region's top-left and whose rows are rowStep bytes
// apart. Objects are not rendered here: dirty ones draw their quick preview.
// Returns how many items were drawn into the region; 0 for a region that is
// empty, too large, or without a buffer.
int RenderRegion(CPage& page, const CRect& region, uint8_t* buffer, int rowStep,
                 const CRegionOptions& options = {});

// Renders the whole page (every item, nothing skipped) scaled to fit within
// maxWidth x maxHeight, keeping the proportions, and stores it as the page's
// pageImage (RGB, 96 dpi). When no window shows the page (CPage::IsShown), its
// background and items then drop their cached images. False for a size below 1 or when
// memory runs out; the old page image stays then.
bool RenderThumbnail(CPage& page, int maxWidth, int maxHeight);

// The size RenderThumbnail makes: the page divided by
// max(width / maxWidth, height / maxHeight), truncated.
void ThumbnailSize(int pageWidth, int pageHeight, int maxWidth, int maxHeight, int& width,
                   int& height);

// The site file's preview picture: the page scaled to fit the box, as
// RenderThumbnail makes it. Programs hand it to the site file at start-up
// (InstallRendering).
std::unique_ptr<CImage> RenderPreview(CPage& page, int maxWidth, int maxHeight);
