#pragma once
#include <filesystem>
#include <string>

// The three conditions an installation needs. Each reading is separate from
// its rule so that the rules can be checked against any version text.
namespace pw::setup {

// The widget toolkit rule: "%d.%d%s" reads at least two numbers and the
// version is 4.7 or newer ("4.70" passes, "4.6" does not).
bool ComponentVersionPasses(const std::string& version);

// The browser rule: "%d.%d" read from the first number in `text` (a
// browser's --version line); passes when the major number is at least 5 or
// the minor number at least 72. Nothing read fails.
bool BrowserVersionPasses(const std::string& text);

// The file version of the Qt Widgets library the system loader finds
// ("6.4.2", from the real file behind libQt6Widgets.so.6). Empty when there
// is none. The library is loaded only if it is not loaded already, and then
// unloaded again.
std::string QtWidgetsVersion();

// The desktop file of the default application for `mimeType`, by the
// mime-apps rules (mimeapps.list in the config and data folders, then the
// older defaults.list, then the mimeinfo.cache of installed applications).
// Empty when there is none.
std::filesystem::path DefaultHandler(const std::string& mimeType);

// What the default web browser (the text/html handler) prints for
// --version, or empty when there is no browser or it does not answer.
std::string DefaultBrowserVersion();

// True when a file can be created in `prefix` (a temporary file, removed
// again). A prefix that does not exist yet is judged by the nearest folder
// above it that does, since the installer will create the rest.
bool MayWriteTo(const std::filesystem::path& prefix);

} // namespace pw::setup
