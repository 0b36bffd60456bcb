#include "sitebuild/SnippetLibrary.h"
#include "services/DataFolders.h"
#include <algorithm>
#include <cctype>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool IsSnippetFile(const fs::directory_entry& entry) {
    std::error_code ec;
    if (!entry.is_regular_file(ec)) return false;
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".txt";
}

} // namespace

fs::path CSnippetLibrary::DefaultFolder() {
    return CDataFolders::DataFolder() / "Snippets";
}

void CSnippetLibrary::Load(const fs::path& folder) {
    m_snippets.clear();
    m_problems.clear();
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (IsSnippetFile(*it)) files.push_back(it->path());
    std::sort(files.begin(), files.end());

    for (const fs::path& file : files) {
        CSnippet snippet;
        CSnippetError error;
        if (LoadSnippetFile(file, snippet, error))
            m_snippets.push_back(std::move(snippet));
        else
            m_problems.push_back(std::move(error));
    }
}

std::vector<std::string> CSnippetLibrary::Categories() const {
    std::vector<std::string> names;
    for (const CSnippet& s : m_snippets)
        if (std::find(names.begin(), names.end(), s.category) == names.end())
            names.push_back(s.category);
    return names;
}

std::vector<std::size_t> CSnippetLibrary::InCategory(const std::string& category) const {
    std::vector<std::size_t> indices;
    for (std::size_t i = 0; i < m_snippets.size(); ++i)
        if (m_snippets[i].category == category) indices.push_back(i);
    return indices;
}

const CSnippet* CSnippetLibrary::Find(const std::string& category, const std::string& name) const {
    for (const CSnippet& s : m_snippets)
        if (s.category == category && s.name == name) return &s;
    return nullptr;
}
