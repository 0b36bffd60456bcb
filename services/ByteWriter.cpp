#include "services/ByteWriter.h"
#include <bit>
#include <stdexcept>
#include <string>

void CByteWriter::WriteDouble(double value) { Put(std::bit_cast<uint64_t>(value), 8); }

void CByteWriter::WriteBytes(std::span<const uint8_t> bytes) {
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
}

void CByteWriter::WriteBytes(const void* data, std::size_t count) {
    const auto* p = static_cast<const uint8_t*>(data);
    m_buffer.insert(m_buffer.end(), p, p + count);
}

void CByteWriter::WriteCounted(std::string_view text, std::size_t max, int lengthBytes,
                               const char* kind) {
    if (text.size() > max)
        throw std::length_error(std::string(kind) + " of " + std::to_string(text.size()) +
                                " bytes exceeds the limit of " + std::to_string(max));
    Put(text.size(), lengthBytes);
    m_buffer.insert(m_buffer.end(), text.begin(), text.end());
}

void CByteWriter::WriteString(std::string_view text) {
    WriteCounted(text, kMaxStringLength, 4, "string");
}

void CByteWriter::WriteLongString(std::string_view text) {
    WriteCounted(text, kMaxLongStringLength, 4, "long string");
}

void CByteWriter::WriteShortString(std::string_view text) {
    WriteCounted(text, kMaxShortStringLength, 2, "short string");
}

void CByteWriter::WriteTinyString(std::string_view text) {
    WriteCounted(text, kMaxTinyStringLength, 1, "tiny string");
}

void CByteWriter::PutAt(std::size_t pos, uint64_t value, int bytes) {
    if (pos > m_buffer.size() || m_buffer.size() - pos < static_cast<std::size_t>(bytes))
        throw std::out_of_range("patch at " + std::to_string(pos) + " lies outside the " +
                                std::to_string(m_buffer.size()) + " bytes written");
    for (int i = 0; i < bytes; ++i) m_buffer[pos + i] = static_cast<uint8_t>(value >> (8 * i));
}

void CByteWriter::PatchInt32(std::size_t pos, int32_t value) {
    PutAt(pos, static_cast<uint32_t>(value), 4);
}

void CByteWriter::PatchUInt16(std::size_t pos, uint16_t value) { PutAt(pos, value, 2); }
