#include "controls/Controls.h"

namespace controls {
const char* LibraryName() { return "Controls"; }
} // namespace controls
