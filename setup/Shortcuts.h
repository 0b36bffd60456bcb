#pragma once
#include <filesystem>
#include <functional>
#include <string>

// Desktop launchers and applications-menu entries as freedesktop .desktop
// files: one on the desktop for the program, four in the menu folder.
namespace pw::setup {

using MessageFn = std::function<void(const std::string& caption, const std::string& text)>;

struct SShortcut {
    const char* name;        // Name= and, with ".desktop", the file name
    const char* target;      // below the installation folder
    const char* description; // Comment=
    const char* icon;        // icon theme name
    bool program;            // run the target; else open it with xdg-open
};

// The menu entries in the order they are made: the program first.
inline constexpr SShortcut kMenuShortcuts[] = {
    {"Quillmarsh Pagewright", "bin/sitedesk", "Shortcut to Pagewright", "pagewright", true},
    {"Pagewright Help", "share/pagewright/manual/index.html", "Shortcut to Online Help",
     "help-browser", false},
    {"Get Started", "share/pagewright/getting-started/intro.html",
     "Shortcut to Get Started Document", "text-html", false},
    {"Get Started Text", "share/pagewright/getting-started/intro.txt",
     "Shortcut to Get Started Text Document", "text-x-generic", false},
};

// The file name of the desktop launcher: the program entry's name cut at its
// first '.', plus ".desktop". Only the name is cut, never the folder: a home
// folder such as /home/jane.doe must not change where the file goes.
std::string DesktopShortcutFileName();

// `path` as one quoted argument of an Exec line, escaped by the desktop-entry
// rules (quoting, then the string escapes, and "%%" for '%').
std::string ExecArgument(const std::string& path);

// The whole .desktop file for `shortcut` pointing at `target`.
std::string DesktopEntryText(const SShortcut& shortcut, const std::string& target);

// Writes the desktop launcher and the menu entries for the installation in
// `installFolder`; problems go to `message`, nothing stops the others.
void MakeShortcuts(const std::filesystem::path& installFolder, const MessageFn& message);

// Removes every file MakeShortcuts writes and the menu folder when it is
// empty. Failures are ignored.
void RemoveShortcuts();

} // namespace pw::setup
