#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A typed key-value store over the one "Settings" section of the per-user
// preferences. Strings are UTF-8. A value that is missing, unreadable or of
// another type than asked for reads as nothing, and the caller uses its
// default; writes never fail loudly (a store that cannot be written simply
// keeps its old values).
class CSettingsStore {
public:
    virtual ~CSettingsStore() = default;

    virtual std::optional<int32_t> ReadInt(std::string_view name) const = 0;
    virtual std::optional<std::string> ReadString(std::string_view name) const = 0;
    virtual std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) const = 0;

    virtual void WriteInt(std::string_view name, int32_t value) = 0;
    virtual void WriteString(std::string_view name, std::string_view value) = 0;
    virtual void WriteBinary(std::string_view name, const std::vector<uint8_t>& value) = 0;
};
