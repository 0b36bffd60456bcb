#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Where a freedesktop session keeps things, read from the environment on
// every call (installers and tests change it between calls). The rules are
// those of the XDG base-directory and user-dirs conventions; relative values
// are invalid there and are ignored.
namespace pw::setup {

// $HOME, or empty when it is not set.
std::filesystem::path HomeFolder();
// $XDG_DATA_HOME, else ~/.local/share; empty when neither can be found.
std::filesystem::path DataHome();
// $XDG_CONFIG_HOME, else ~/.config; empty when neither can be found.
std::filesystem::path ConfigHome();
// $XDG_DATA_DIRS, else /usr/local/share and /usr/share.
std::vector<std::filesystem::path> DataDirs();
// $XDG_CONFIG_DIRS, else /etc/xdg.
std::vector<std::filesystem::path> ConfigDirs();

// The user's desktop folder as `xdg-user-dir DESKTOP` gives it: XDG_DESKTOP_DIR
// of user-dirs.dirs, else ~/Desktop. Empty without a home folder.
std::filesystem::path DesktopFolder();

// The folder of Pagewright's applications-menu entries:
// <data home>/applications/Quillmarsh. Empty without a data home.
std::filesystem::path MenuFolder();

// The value of `key` in `[group]` of a desktop-entry style file, or nothing
// when the file, the group or the key is missing.
std::optional<std::string> IniValue(const std::filesystem::path& file, const std::string& group,
                                    const std::string& key);

// "a;b;;c;" -> {"a", "b", "c"}
std::vector<std::string> SplitList(const std::string& value, char separator);

} // namespace pw::setup
