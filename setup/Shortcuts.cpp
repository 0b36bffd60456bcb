#include "setup/Shortcuts.h"
#include "setup/Messages.h"
#include "setup/XdgPlaces.h"
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace pw::setup {

namespace {

bool IsFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// A line break in a target would end the Exec line and start keys of the
// caller's choosing; no control character belongs in a path we link to.
bool IsSafeTarget(const std::string& target) {
    for (unsigned char c : target)
        if (c < 0x20 || c == 0x7f) return false;
    return true;
}

// Written beside the final name and renamed over it, so that a full disk
// leaves the previous launcher rather than half a file. Launchers must be
// executable: desktops refuse to start a .desktop file that is not.
bool WriteLauncher(const fs::path& file, const std::string& text) {
    const fs::path temporary = file.string() + ".part";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    const bool closed = std::fclose(out) == 0;
    std::error_code ec;
    if (written && closed && chmod(temporary.c_str(), 0755) == 0) {
        fs::rename(temporary, file, ec);
        if (!ec) return true;
    }
    fs::remove(temporary, ec);
    return false;
}

// Writes one link; returns after showing the matching message on failure.
void MakeShortcut(const fs::path& file, const SShortcut& shortcut, const fs::path& installFolder,
                  const MessageFn& message) {
    const std::string target = (installFolder / shortcut.target).string();
    if (!IsSafeTarget(target)) {
        message(kSetPathText, kSetPathText);
        return;
    }
    if (!WriteLauncher(file, DesktopEntryText(shortcut, target))) message(kSaveText, kSaveText);
}

} // namespace

std::string DesktopShortcutFileName() {
    const std::string name = kMenuShortcuts[0].name;
    return name.substr(0, name.find('.')) + ".desktop";
}

std::string ExecArgument(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted.push_back('\\');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    // The string escapes apply to the whole value before the quoting is read:
    // every backslash is written twice, and '%' starts a field code.
    std::string value;
    for (char c : quoted) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '%')
            value += "%%";
        else
            value.push_back(c);
    }
    return value;
}

std::string DesktopEntryText(const SShortcut& shortcut, const std::string& target) {
    const std::string exec =
        shortcut.program ? ExecArgument(target) + " %F" : "xdg-open " + ExecArgument(target);
    std::string text = "[Desktop Entry]\nType=Application\nVersion=1.4\n";
    text += "Name=" + std::string(shortcut.name) + "\n";
    text += "Comment=" + std::string(shortcut.description) + "\n";
    text += "Exec=" + exec + "\n";
    text += "Icon=" + std::string(shortcut.icon) + "\n";
    text += "Terminal=false\n";
    text += shortcut.program ? "Categories=Development;WebDevelopment;\n"
                             : "Categories=Development;Documentation;\n";
    return text;
}

void MakeShortcuts(const fs::path& installFolder, const MessageFn& message) {
    // No desktop folder (a server, a user who removed it): nothing to put
    // there, and nothing worth a message.
    const fs::path desktop = DesktopFolder();
    if (!desktop.empty() && IsFolder(desktop))
        MakeShortcut(desktop / DesktopShortcutFileName(), kMenuShortcuts[0], installFolder,
                     message);

    const fs::path menu = MenuFolder();
    if (menu.empty()) {
        // Without a home or data folder there is no menu to add to; writing
        // the entries relative to the working folder would scatter them.
        message(kLocateMenuCaption, kLocateMenuText);
        return;
    }
    std::error_code ec;
    fs::create_directories(menu.parent_path(), ec);
    // Made with mkdir, not "create if missing": an existing folder is worth
    // the message too, it tells the user the entries are being replaced.
    if (mkdir(menu.c_str(), 0755) != 0) message(kMenuFolderText, kMenuFolderText);
    for (const SShortcut& shortcut : kMenuShortcuts)
        MakeShortcut(menu / (std::string(shortcut.name) + ".desktop"), shortcut, installFolder,
                     message);
}

void RemoveShortcuts() {
    std::error_code ec;
    const fs::path desktop = DesktopFolder();
    if (!desktop.empty()) fs::remove(desktop / DesktopShortcutFileName(), ec);
    const fs::path menu = MenuFolder();
    if (menu.empty()) return;
    for (const SShortcut& shortcut : kMenuShortcuts)
        fs::remove(menu / (std::string(shortcut.name) + ".desktop"), ec);
    fs::remove(menu, ec);
}

} // namespace pw::setup
