#pragma once
#include "services/ByteStream.h"
#include "services/FileFormatException.h"
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Checked little-endian reader over bytes in memory. Every read that would run
// past the end, and every length or range check that fails, throws
// CFileFormatException naming the field and its byte offset; the reader is
// then positioned where it was before the failed read.
//
// The reader either owns its bytes (FromFile, or constructed from a vector) or
// views bytes that the caller keeps alive for the reader's lifetime.
//
// Booleans are one byte; any non-zero value reads as true (older writers were
// not strict about 1), callers that need exactly 0/1 use ReadByteRange(0, 1).
class CByteReader {
public:
    // Views the caller's bytes; they must outlive the reader.
    explicit CByteReader(std::span<const uint8_t> bytes, CStreamVersion version = {});
    // Takes ownership of the bytes.
    explicit CByteReader(std::vector<uint8_t>&& bytes, CStreamVersion version = {});

    CByteReader(CByteReader&& other) noexcept;
    CByteReader& operator=(CByteReader&& other) noexcept;
    CByteReader(const CByteReader&) = delete;
    CByteReader& operator=(const CByteReader&) = delete;

    // Opens a regular file for reading. The file is mapped, not copied: only
    // the bytes the records actually read are ever brought into memory, so a
    // valid file followed by gigabytes of padding costs what the records
    // need. Anything that is not a regular file (a device such as /dev/zero,
    // a FIFO, a folder) is refused before a byte is read, as is a missing or
    // unreadable file: nullopt and, when error is given, a sentence saying
    // why; format errors are reported later, by the reads.
    static std::optional<CByteReader> FromFile(const std::filesystem::path& file,
                                               std::string* error = nullptr);

    // The (source, version) pair that record loaders consult.
    const CStreamVersion& Version() const { return m_version; }
    void SetVersion(CStreamVersion version) { m_version = version; }

    std::size_t Tell() const { return m_pos; }
    std::size_t Size() const { return m_size; }
    std::size_t Remaining() const { return m_size - m_pos; }
    bool AtEnd() const { return m_pos == m_size; }
    // Moves to an absolute position; pos may equal Size().
    void Seek(std::size_t pos);
    void Skip(std::size_t count);

    uint8_t ReadByte() { return Fetch<1>("byte")[0]; }
    int8_t ReadInt8() { return static_cast<int8_t>(ReadByte()); }
    bool ReadBool() { return ReadByte() != 0; }
    uint16_t ReadUInt16() {
        const uint8_t* p = Fetch<2>("uint16");
        return static_cast<uint16_t>(p[0] | p[1] << 8);
    }
    int16_t ReadInt16() { return static_cast<int16_t>(Fetch16("int16")); }
    uint32_t ReadUInt32() { return Fetch32("uint32"); }
    int32_t ReadInt32() { return static_cast<int32_t>(Fetch32("int32")); }
    double ReadDouble() {
        const uint8_t* p = Fetch<8>("double");
        uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = bits << 8 | p[i];
        return std::bit_cast<double>(bits);
    }
    CRgb ReadColour() {
        const uint8_t* p = Fetch<3>("colour");
        return {p[0], p[1], p[2]};
    }

    // Reads a field that must lie in [min, max]; 'what' names it in the error.
    int32_t ReadInt32Range(int32_t min, int32_t max, const char* what = "int32");
    int16_t ReadInt16Range(int16_t min, int16_t max, const char* what = "int16");
    uint16_t ReadUInt16Range(uint16_t min, uint16_t max, const char* what = "uint16");
    uint8_t ReadByteRange(uint8_t min, uint8_t max, const char* what = "byte");

    // Copies the next count bytes.
    std::vector<uint8_t> ReadBytes(std::size_t count);
    void ReadBytes(void* target, std::size_t count);
    // The next count bytes without copying; valid while the reader lives.
    std::span<const uint8_t> ViewBytes(std::size_t count);

    // Strings come back as the stored Windows-1252 bytes.
    std::string ReadString();      // int32 length 0..2048
    std::string ReadLongString();  // int32 length 0..2,000,000
    std::string ReadShortString(); // uint16 length 0..256
    std::string ReadTinyString();  // one-byte length

    StreamTag ReadTag() { return Fetch32("tag"); }
    // The next tag without consuming it.
    StreamTag PeekTag() const;
    // Reads a tag and throws unless it is the expected one.
    void ExpectTag(StreamTag expected);
    // Consumes the tag and returns true when the next four bytes are it;
    // otherwise leaves the position alone (optional records).
    bool TryTag(StreamTag tag);

    // Throws CFileFormatException for a check the caller made itself
    // (a wrong magic, an inconsistent count).
    [[noreturn]] void Fail(const std::string& problem) const { FailAt(problem, m_pos); }
    [[noreturn]] void FailAt(const std::string& problem, std::size_t offset) const;

private:
    template <std::size_t N> const uint8_t* Fetch(const char* what) {
        if (m_size - m_pos < N) ShortRead(what, N);
        const uint8_t* p = m_data + m_pos;
        m_pos += N;
        return p;
    }
    uint16_t Fetch16(const char* what) {
        const uint8_t* p = Fetch<2>(what);
        return static_cast<uint16_t>(p[0] | p[1] << 8);
    }
    uint32_t Fetch32(const char* what) {
        const uint8_t* p = Fetch<4>(what);
        return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    }
    [[noreturn]] void ShortRead(const char* what, std::size_t needed) const;
    std::string ReadCounted(std::size_t start, std::size_t length);

    std::vector<uint8_t> m_owned;
    // Keeps a mapped file alive (FromFile); m_data points into it.
    std::shared_ptr<const void> m_mapping;
    const uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_pos = 0;
    CStreamVersion m_version;
};
