#include "setup/XdgPlaces.h"
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace pw::setup {

namespace {

fs::path AbsoluteFromEnv(const char* name) {
    const char* value = std::getenv(name);
    return (value && *value == '/') ? fs::path(value) : fs::path();
}

std::vector<fs::path> DirsFromEnv(const char* name, std::vector<fs::path> fallback) {
    const char* value = std::getenv(name);
    if (!value || !*value) return fallback;
    std::vector<fs::path> dirs;
    for (const std::string& part : SplitList(value, ':'))
        if (part.front() == '/') dirs.emplace_back(part);
    return dirs;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// One line of user-dirs.dirs: XDG_DESKTOP_DIR="$HOME/Desktop". The value is
// "$HOME/..." or an absolute path, as the file's own rules allow.
std::optional<fs::path> ParseDesktopLine(const std::string& line, const fs::path& home) {
    const std::string key = "XDG_DESKTOP_DIR=";
    const std::string text = Trimmed(line);
    if (text.compare(0, key.size(), key) != 0) return std::nullopt;
    std::string value = text.substr(key.size());
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return std::nullopt;
    value = value.substr(1, value.size() - 2);
    const std::string homeVar = "$HOME";
    if (value.compare(0, homeVar.size(), homeVar) == 0) {
        std::string rest = value.substr(homeVar.size());
        if (!rest.empty() && rest.front() != '/') return std::nullopt;
        while (!rest.empty() && rest.front() == '/')
            rest.erase(0, 1);
        return rest.empty() ? home : home / rest;
    }
    if (!value.empty() && value.front() == '/') return fs::path(value);
    return std::nullopt;
}

} // namespace

fs::path HomeFolder() {
    return AbsoluteFromEnv("HOME");
}

fs::path DataHome() {
    fs::path data = AbsoluteFromEnv("XDG_DATA_HOME");
    if (!data.empty()) return data;
    const fs::path home = HomeFolder();
    return home.empty() ? fs::path() : home / ".local" / "share";
}

fs::path ConfigHome() {
    fs::path config = AbsoluteFromEnv("XDG_CONFIG_HOME");
    if (!config.empty()) return config;
    const fs::path home = HomeFolder();
    return home.empty() ? fs::path() : home / ".config";
}

std::vector<fs::path> DataDirs() {
    return DirsFromEnv("XDG_DATA_DIRS", {"/usr/local/share", "/usr/share"});
}

std::vector<fs::path> ConfigDirs() {
    return DirsFromEnv("XDG_CONFIG_DIRS", {"/etc/xdg"});
}

fs::path DesktopFolder() {
    const fs::path home = HomeFolder();
    if (home.empty()) return {};
    std::optional<fs::path> fromFile;
    const fs::path config = ConfigHome();
    if (!config.empty()) {
        std::ifstream in(config / "user-dirs.dirs");
        for (std::string line; std::getline(in, line);)
            if (auto parsed = ParseDesktopLine(line, home)) fromFile = parsed;
    }
    return fromFile ? *fromFile : home / "Desktop";
}

fs::path MenuFolder() {
    const fs::path data = DataHome();
    return data.empty() ? fs::path() : data / "applications" / "Quillmarsh";
}

std::optional<std::string> IniValue(const fs::path& file, const std::string& group,
                                    const std::string& key) {
    std::ifstream in(file);
    bool inGroup = false;
    for (std::string line; std::getline(in, line);) {
        const std::string text = Trimmed(line);
        if (text.empty() || text.front() == '#') continue;
        if (text.front() == '[') {
            inGroup = text == "[" + group + "]";
            continue;
        }
        if (!inGroup) continue;
        const size_t equals = text.find('=');
        if (equals != std::string::npos && Trimmed(text.substr(0, equals)) == key)
            return Trimmed(text.substr(equals + 1));
    }
    return std::nullopt;
}

std::vector<std::string> SplitList(const std::string& value, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find(separator, start);
        if (end == std::string::npos) end = value.size();
        if (end > start) parts.push_back(value.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

} // namespace pw::setup
