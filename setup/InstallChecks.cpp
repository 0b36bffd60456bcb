#include "setup/InstallChecks.h"
#include "setup/ProgramOutput.h"
#include "setup/XdgPlaces.h"
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pw::setup {

namespace {

bool IsFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// The desktop file of a desktop-file id in the applications folders, the
// user's own first.
fs::path FindDesktopFile(const std::string& id) {
    std::vector<fs::path> roots;
    if (!DataHome().empty()) roots.push_back(DataHome());
    for (const fs::path& dir : DataDirs())
        roots.push_back(dir);
    for (const fs::path& root : roots)
        if (IsFile(root / "applications" / id)) return root / "applications" / id;
    return {};
}

// The first listed id of `key` in `[group]` of `file` that is installed.
fs::path FirstInstalled(const fs::path& file, const std::string& group, const std::string& key) {
    const auto value = IniValue(file, group, key);
    if (!value) return {};
    for (const std::string& id : SplitList(*value, ';')) {
        fs::path found = FindDesktopFile(id);
        if (!found.empty()) return found;
    }
    return {};
}

// The words of an Exec line, with the quoting of the desktop-entry rules
// undone.
std::vector<std::string> ExecWords(const std::string& exec) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < exec.size()) {
        if (exec[i] == ' ' || exec[i] == '\t') {
            ++i;
            continue;
        }
        std::string word;
        if (exec[i] == '"') {
            for (++i; i < exec.size() && exec[i] != '"'; ++i) {
                if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
                word.push_back(exec[i]);
            }
            ++i;
        } else {
            while (i < exec.size() && exec[i] != ' ' && exec[i] != '\t')
                word.push_back(exec[i++]);
        }
        words.push_back(word);
    }
    return words;
}

// The program an Exec line starts: past an "env NAME=VALUE ..." prefix, whose
// own --version would say nothing about the browser.
std::string ExecProgram(const std::string& exec) {
    const std::vector<std::string> words = ExecWords(exec);
    size_t first = 0;
    if (first < words.size() && (words[first] == "env" || words[first] == "/usr/bin/env")) {
        ++first;
        while (first < words.size() && words[first].find('=') != std::string::npos)
            ++first;
    }
    return first < words.size() ? words[first] : std::string();
}

} // namespace

bool ComponentVersionPasses(const std::string& version) {
    int major = 0;
    int minor = 0;
    char rest[64];
    const int read = std::sscanf(version.c_str(), "%d.%d%63s", &major, &minor, rest);
    return read >= 2 && (major > 4 || (major == 4 && minor >= 7));
}

bool BrowserVersionPasses(const std::string& text) {
    size_t digit = 0;
    while (digit < text.size() && !std::isdigit(static_cast<unsigned char>(text[digit])))
        ++digit;
    if (digit == text.size()) return false;
    int major = 0;
    int minor = 0;
    if (std::sscanf(text.c_str() + digit, "%d.%d", &major, &minor) < 1) return false;
    return major >= 5 || minor >= 72;
}

std::string QtWidgetsVersion() {
    const char* name = "libQt6Widgets.so.6";
    void* handle = dlopen(name, RTLD_LAZY | RTLD_NOLOAD);
    const bool loadedHere = handle == nullptr;
    if (loadedHere) handle = dlopen(name, RTLD_LAZY | RTLD_LOCAL);
    if (!handle) return {};

    std::string version;
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name) {
        std::error_code ec;
        const std::string file = fs::canonical(map->l_name, ec).filename().string();
        const size_t so = file.find(".so.");
        if (!ec && so != std::string::npos) version = file.substr(so + 4);
    }
    // NOLOAD took a reference as well; both ways give one back.
    dlclose(handle);
    return version;
}

fs::path DefaultHandler(const std::string& mimeType) {
    std::vector<fs::path> lists;
    if (!ConfigHome().empty()) lists.push_back(ConfigHome() / "mimeapps.list");
    for (const fs::path& dir : ConfigDirs())
        lists.push_back(dir / "mimeapps.list");
    if (!DataHome().empty()) lists.push_back(DataHome() / "applications" / "mimeapps.list");
    for (const fs::path& dir : DataDirs())
        lists.push_back(dir / "applications" / "mimeapps.list");
    for (const fs::path& list : lists) {
        fs::path found = FirstInstalled(list, "Default Applications", mimeType);
        if (!found.empty()) return found;
    }

    std::vector<fs::path> appDirs;
    if (!DataHome().empty()) appDirs.push_back(DataHome() / "applications");
    for (const fs::path& dir : DataDirs())
        appDirs.push_back(dir / "applications");
    const std::pair<const char*, const char*> olderLists[] = {
        {"defaults.list", "Default Applications"}, {"mimeinfo.cache", "MIME Cache"}};
    for (const auto& [file, group] : olderLists)
        for (const fs::path& dir : appDirs) {
            fs::path found = FirstInstalled(dir / file, group, mimeType);
            if (!found.empty()) return found;
        }
    return {};
}

std::string DefaultBrowserVersion() {
    const fs::path handler = DefaultHandler("text/html");
    if (handler.empty()) return {};
    const auto exec = IniValue(handler, "Desktop Entry", "Exec");
    const std::string program = exec ? ExecProgram(*exec) : std::string();
    if (program.empty()) return {};
    return ProgramOutput({program, "--version"}).value_or(std::string());
}

bool MayWriteTo(const fs::path& prefix) {
    if (prefix.empty()) return false;
    std::error_code ec;
    fs::path folder = fs::absolute(prefix, ec);
    if (ec) return false;
    while (!fs::exists(folder, ec) && folder.has_relative_path())
        folder = folder.parent_path();
    std::string name = (folder / ".setupaid-XXXXXX").string();
    const int fd = mkstemp(name.data());
    if (fd < 0) return false;
    close(fd);
    return unlink(name.c_str()) == 0;
}

} // namespace pw::setup
