#pragma once
#include "services/ByteStream.h"
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Little-endian writer into a growable memory buffer, the counterpart of
// CByteReader. Strings longer than their kind allows throw std::length_error
// before anything is written, so a written stream always reads back.
class CByteWriter {
public:
    CByteWriter() = default;

    const std::vector<uint8_t>& Data() const { return m_buffer; }
    std::vector<uint8_t> Take() { return std::move(m_buffer); }
    std::size_t Tell() const { return m_buffer.size(); }
    void Reserve(std::size_t bytes) { m_buffer.reserve(bytes); }

    void WriteByte(uint8_t value) { m_buffer.push_back(value); }
    void WriteInt8(int8_t value) { WriteByte(static_cast<uint8_t>(value)); }
    void WriteBool(bool value) { WriteByte(value ? 1 : 0); }
    void WriteUInt16(uint16_t value) { Put(value, 2); }
    void WriteInt16(int16_t value) { Put(static_cast<uint16_t>(value), 2); }
    void WriteUInt32(uint32_t value) { Put(value, 4); }
    void WriteInt32(int32_t value) { Put(static_cast<uint32_t>(value), 4); }
    void WriteDouble(double value);
    void WriteColour(const CRgb& colour) {
        WriteByte(colour.r);
        WriteByte(colour.g);
        WriteByte(colour.b);
    }
    void WriteTag(StreamTag tag) { Put(tag, 4); }
    void WriteBytes(std::span<const uint8_t> bytes);
    void WriteBytes(const void* data, std::size_t count);

    // The text is written as given (Windows-1252 bytes).
    void WriteString(std::string_view text);      // int32 length, at most 2048
    void WriteLongString(std::string_view text);  // int32 length, at most 2,000,000
    void WriteShortString(std::string_view text); // uint16 length, at most 256
    void WriteTinyString(std::string_view text);  // one-byte length, at most 255

    // Overwrite earlier bytes, for sizes and counts known only later.
    void PatchInt32(std::size_t pos, int32_t value);
    void PatchUInt16(std::size_t pos, uint16_t value);

private:
    void Put(uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) m_buffer.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    void PutAt(std::size_t pos, uint64_t value, int bytes);
    void WriteCounted(std::string_view text, std::size_t max, int lengthBytes, const char* kind);

    std::vector<uint8_t> m_buffer;
};
