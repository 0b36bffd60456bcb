#include "services/RelinkMaps.h"
#include "services/Growable.h"

std::string CRelinkMaps::ToLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
            c = static_cast<char>(b + 0x20);
    }
    return out;
}

void CRelinkMaps::Add(std::vector<std::string>& keys, std::vector<std::string>& values,
                      std::string_view key, std::string_view value) {
    std::string k = ToLower(key);
    std::string v = ToLower(value);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == k) {
            values[i] = std::move(v);
            return;
        }
    }
    ReserveOneMore(keys);
    ReserveOneMore(values);
    keys.push_back(std::move(k));
    values.push_back(std::move(v));
}

std::optional<std::string> CRelinkMaps::Find(const std::vector<std::string>& keys,
                                             const std::vector<std::string>& values,
                                             std::string_view key) {
    const std::string k = ToLower(key);
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i] == k) return values[i];
    return std::nullopt;
}

void CRelinkMaps::AddFile(std::string_view oldPath, std::string_view newPath) {
    Add(m_fileKeys, m_fileValues, oldPath, newPath);
}

void CRelinkMaps::AddFolder(std::string_view oldFolder, std::string_view newFolder) {
    Add(m_folderKeys, m_folderValues, oldFolder, newFolder);
}

std::optional<std::string> CRelinkMaps::FindFile(std::string_view oldPath) const {
    return Find(m_fileKeys, m_fileValues, oldPath);
}

std::optional<std::string> CRelinkMaps::FindFolder(std::string_view oldFolder) const {
    return Find(m_folderKeys, m_folderValues, oldFolder);
}

void CRelinkMaps::Clear() {
    m_fileKeys.clear();
    m_fileValues.clear();
    m_folderKeys.clear();
    m_folderValues.clear();
}
