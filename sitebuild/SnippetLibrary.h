#pragma once
#include "sitebuild/Snippet.h"
#include <filesystem>
#include <string>
#include <vector>

// The HTML snippets installed with the program: every ".txt" file (the
// extension in any case) directly in the Snippets folder of the data folder.
class CSnippetLibrary {
public:
    // <data folder>/Snippets/
    static std::filesystem::path DefaultFolder();

    // Replaces the library with the snippets of `folder`, in file-name order
    // (the folder listing itself has no order on this system). A missing
    // folder gives an empty library; files that cannot be read or are not
    // snippets are left out and listed in Problems().
    void Load(const std::filesystem::path& folder);
    void Load() { Load(DefaultFolder()); }

    const std::vector<CSnippet>& Snippets() const { return m_snippets; }
    const std::vector<CSnippetError>& Problems() const { return m_problems; }
    // Category names in order of first appearance.
    std::vector<std::string> Categories() const;
    // Indices into Snippets() of one category's snippets.
    std::vector<std::size_t> InCategory(const std::string& category) const;
    // Null when there is no such snippet.
    const CSnippet* Find(const std::string& category, const std::string& name) const;

private:
    std::vector<CSnippet> m_snippets;
    std::vector<CSnippetError> m_problems;
};
