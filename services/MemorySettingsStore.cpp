#include "services/MemorySettingsStore.h"

template <class T> std::optional<T> CMemorySettingsStore::Read(std::string_view name) const {
    const auto it = m_values.find(name);
    if (it == m_values.end()) return std::nullopt;
    if (const T* value = std::get_if<T>(&it->second)) return *value;
    return std::nullopt;
}

std::optional<int32_t> CMemorySettingsStore::ReadInt(std::string_view name) const {
    return Read<int32_t>(name);
}

std::optional<std::string> CMemorySettingsStore::ReadString(std::string_view name) const {
    return Read<std::string>(name);
}

std::optional<std::vector<uint8_t>> CMemorySettingsStore::ReadBinary(std::string_view name) const {
    return Read<std::vector<uint8_t>>(name);
}

void CMemorySettingsStore::WriteInt(std::string_view name, int32_t value) {
    m_values.insert_or_assign(std::string(name), value);
}

void CMemorySettingsStore::WriteString(std::string_view name, std::string_view value) {
    m_values.insert_or_assign(std::string(name), std::string(value));
}

void CMemorySettingsStore::WriteBinary(std::string_view name, const std::vector<uint8_t>& value) {
    m_values.insert_or_assign(std::string(name), value);
}

void CMemorySettingsStore::Remove(std::string_view name) {
    const auto it = m_values.find(name);
    if (it != m_values.end()) m_values.erase(it);
}
