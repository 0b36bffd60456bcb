// Compiled into every test and benchmark program (not through the support
// library, whose unreferenced objects the linker would drop): the start-up
// wiring a program's main does, as far as the tests rely on it everywhere.
// Effects and text rendering stay off unless a test installs them.
#include "image/Image.h"
#include "model/SiteFile.h"
#include "render/PageRenderer.h"

namespace {
const bool g_installed = [] {
    DefaultPreviewMaker() = RenderPreview;
    return true;
}();
} // namespace
