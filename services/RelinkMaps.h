#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where the user found picture files that had moved: old file -> new file and
// old folder -> new folder. Keys and values are kept in lower case and looked
// up exactly after lower-casing, so the spelling of a path does not matter.
// The maps live while the program runs and are never stored.
class CRelinkMaps {
public:
    // Adding a key that is already there replaces its value.
    void AddFile(std::string_view oldPath, std::string_view newPath);
    void AddFolder(std::string_view oldFolder, std::string_view newFolder);
    std::optional<std::string> FindFile(std::string_view oldPath) const;
    std::optional<std::string> FindFolder(std::string_view oldFolder) const;
    std::size_t FileCount() const { return m_fileKeys.size(); }
    std::size_t FolderCount() const { return m_folderKeys.size(); }
    void Clear();

    // Lower case of Windows-1252 text: ASCII letters and the accented capitals
    // 0xC0..0xDE except the multiplication sign 0xD7.
    static std::string ToLower(std::string_view text);

private:
    static void Add(std::vector<std::string>& keys, std::vector<std::string>& values,
                    std::string_view key, std::string_view value);
    static std::optional<std::string> Find(const std::vector<std::string>& keys,
                                           const std::vector<std::string>& values,
                                           std::string_view key);

    std::vector<std::string> m_fileKeys, m_fileValues;
    std::vector<std::string> m_folderKeys, m_folderValues;
};
