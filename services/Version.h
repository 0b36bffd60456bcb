#pragma once

namespace pw {
// The program's version, as set in the build.
const char* Version();
} // namespace pw
