#include "services/Version.h"

namespace pw {
const char* Version() { return PW_VERSION; }
} // namespace pw
