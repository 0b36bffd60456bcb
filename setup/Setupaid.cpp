#include "setup/Setupaid.h"

namespace setupaid {
const char* LibraryName() { return "Setupaid"; }
} // namespace setupaid
