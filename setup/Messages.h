#pragma once

// The fixed texts of the installer helper's messages (caption, text).
namespace pw::setup {

inline constexpr const char* kRightsCaption = "Administrator rights";
inline constexpr const char* kRightsText =
    "To install Pagewright in this folder, you need to log in as a user who may write\n"
    "to it (usually root; run the installation with sudo).";

// Shown for a missing or old web browser and for an old widget toolkit alike:
// both are what a site preview needs.
inline constexpr const char* kBrowserCaption = "Web Browser Version";
inline constexpr const char* kBrowserText =
    "Old version of the web browser or of the Qt libraries detected, or no web browser\n"
    "is set as the default for web pages. You must install a current web browser and\n"
    "Qt 4.7 or newer. Both can be installed with your system's package manager,\n"
    "from https://packages.debian.org.";

inline constexpr const char* kLocateMenuCaption = "Locate menu folder failed!";
inline constexpr const char* kLocateMenuText = "Could not locate the applications menu folder!";

// Text and caption alike.
inline constexpr const char* kMenuFolderText = "Could not create the applications menu folder!";
inline constexpr const char* kSetPathText = "SetPath failed!";
inline constexpr const char* kSaveText = "Could not save the shortcut!";

} // namespace pw::setup
