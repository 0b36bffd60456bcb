#pragma once

// The owner-drawn widgets and gradient helpers of the designer live in this library.
namespace controls {
const char* LibraryName();
}
