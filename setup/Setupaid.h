#pragma once

// Installer helper: browser check and desktop/menu shortcuts.
namespace setupaid {
const char* LibraryName();
}
