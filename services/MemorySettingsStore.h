#pragma once
#include "services/SettingsStore.h"
#include <map>
#include <variant>

// Settings kept in memory, for tests and for runs that must not touch the
// user's settings file. Each value keeps the type it was written with.
class CMemorySettingsStore : public CSettingsStore {
public:
    using Value = std::variant<int32_t, std::string, std::vector<uint8_t>>;

    std::optional<int32_t> ReadInt(std::string_view name) const override;
    std::optional<std::string> ReadString(std::string_view name) const override;
    std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) const override;

    void WriteInt(std::string_view name, int32_t value) override;
    void WriteString(std::string_view name, std::string_view value) override;
    void WriteBinary(std::string_view name, const std::vector<uint8_t>& value) override;

    bool Contains(std::string_view name) const { return m_values.find(name) != m_values.end(); }
    void Remove(std::string_view name);
    size_t Size() const { return m_values.size(); }
    const std::map<std::string, Value, std::less<>>& Values() const { return m_values; }

private:
    template <class T> std::optional<T> Read(std::string_view name) const;

    std::map<std::string, Value, std::less<>> m_values;
};
