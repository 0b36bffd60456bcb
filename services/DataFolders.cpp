#include "services/DataFolders.h"
#include <cstdlib>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace {

bool IsFolder(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

// One line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents". The value
// is either "$HOME/..." or an absolute path; anything else is ignored.
std::optional<fs::path> ParseDocumentsLine(const std::string& line, const fs::path& home) {
    const std::string key = "XDG_DOCUMENTS_DIR=";
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0)
        return std::nullopt;
    std::string value = line.substr(start + key.size());
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ' || value.back() == '\t'))
        value.pop_back();
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

fs::path CDataFolders::DataFolder() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return DataFolder(ec ? fs::path() : program.parent_path());
}

fs::path CDataFolders::DataFolder(const fs::path& programFolder) {
    // Looked up beside the program rather than at the configured prefix, so
    // that a package unpacked into another root, or an installation moved
    // elsewhere, still finds its own data and not another version's.
    if (!programFolder.empty()) {
        const fs::path installed = programFolder.parent_path() / "share" / "pagewright";
        if (IsFolder(installed)) return installed;
    }
    if (IsFolder(PW_SOURCE_DATA_DIR)) return fs::path(PW_SOURCE_DATA_DIR);
    return fs::path(PW_INSTALL_DATA_DIR);
}

fs::path CDataFolders::HomeFolder() {
    const char* home = std::getenv("HOME");
    return (home && *home) ? fs::path(home) : fs::path("/");
}

fs::path CDataFolders::DocumentsFolder() {
    const fs::path home = HomeFolder();
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const fs::path configHome = (config && *config) ? fs::path(config) : home / ".config";
    return DocumentsFolder(home, configHome);
}

fs::path CDataFolders::DocumentsFolder(const fs::path& home, const fs::path& configHome) {
    std::ifstream in(configHome / "user-dirs.dirs");
    std::optional<fs::path> fromFile;
    for (std::string line; std::getline(in, line);)
        if (auto parsed = ParseDocumentsLine(line, home)) fromFile = parsed;
    if (fromFile) return *fromFile;

    if (IsFolder(home / "Documents")) return home / "Documents";
    return home;
}

fs::path CDataFolders::AppDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    // A relative XDG value is invalid by the base-directory rules and is ignored.
    const fs::path base =
        (data && *data == '/') ? fs::path(data) : HomeFolder() / ".local" / "share";
    return base / "Quillmarsh" / "Pagewright";
}

std::string CDataFolders::WithTrailingSlash(const fs::path& folder) {
    std::string text = folder.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    if (text != "/") text.push_back('/');
    return text;
}
