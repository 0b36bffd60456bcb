#pragma once
#include "image/Image.h"

class CPage;

namespace pwtest {

// The page's own rendering, background and every item in its current state,
// composited through the page's 256 x 256 tiles as the editor shows it.
CImage RenderPageReference(CPage& page);

} // namespace pwtest
