#include "services/ByteReader.h"
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

std::string TagToString(StreamTag tag) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((tag >> (8 * i)) & 0xFF);
        if (c < 0x20 || c > 0x7E) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(tag));
            return hex;
        }
        text += c;
    }
    return "'" + text + "'";
}

CByteReader::CByteReader(std::span<const uint8_t> bytes, CStreamVersion version)
    : m_data(bytes.data()), m_size(bytes.size()), m_version(version) {}

CByteReader::CByteReader(std::vector<uint8_t>&& bytes, CStreamVersion version)
    : m_owned(std::move(bytes)), m_data(m_owned.data()), m_size(m_owned.size()),
      m_version(version) {}

CByteReader::CByteReader(CByteReader&& other) noexcept {
    *this = std::move(other);
}

CByteReader& CByteReader::operator=(CByteReader&& other) noexcept {
    if (this == &other) return *this;
    const bool owned = other.m_data == other.m_owned.data() && !other.m_owned.empty();
    m_owned = std::move(other.m_owned);
    m_mapping = std::move(other.m_mapping);
    // A moved vector keeps its buffer, but do not rely on the moved-from
    // pointer when the bytes were owned.
    m_data = owned ? m_owned.data() : other.m_data;
    m_size = other.m_size;
    m_pos = other.m_pos;
    m_version = other.m_version;
    other.m_owned.clear();
    other.m_data = nullptr;
    other.m_size = 0;
    other.m_pos = 0;
    return *this;
}

std::optional<CByteReader> CByteReader::FromFile(const std::filesystem::path& file,
                                                 std::string* error) {
    auto fail = [&](const char* what, int err) -> std::optional<CByteReader> {
        if (error) *error = std::string(what) + " \"" + file.string() + "\": " + std::strerror(err);
        return std::nullopt;
    };
    // O_NONBLOCK: opening a FIFO for reading must not wait for a writer; the
    // type check below refuses it right after.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return fail("Cannot open", errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return fail("Cannot read", err);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        if (error)
            *error = "Cannot read \"" + file.string() + "\": " +
                     (S_ISDIR(st.st_mode) ? std::string(std::strerror(EISDIR))
                                          : std::string("not a regular file"));
        return std::nullopt;
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    if (size == 0) {
        ::close(fd);
        return CByteReader(std::vector<uint8_t>{});
    }
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    const int mapErr = errno;
    ::close(fd);
    if (map == MAP_FAILED) return fail("Cannot read", mapErr);
    // Records are read front to back.
    ::madvise(map, size, MADV_SEQUENTIAL);
    CByteReader reader(std::span<const uint8_t>(static_cast<const uint8_t*>(map), size));
    reader.m_mapping = std::shared_ptr<const void>(
        map, [size](const void* p) { ::munmap(const_cast<void*>(p), size); });
    return reader;
}

void CByteReader::Seek(std::size_t pos) {
    if (pos > m_size)
        FailAt("seek to " + std::to_string(pos) + " beyond the end (size " +
                   std::to_string(m_size) + ")",
               m_pos);
    m_pos = pos;
}

void CByteReader::Skip(std::size_t count) {
    if (count > Remaining()) ShortRead("skipped bytes", count);
    m_pos += count;
}

void CByteReader::FailAt(const std::string& problem, std::size_t offset) const {
    throw CFileFormatException(problem, offset);
}

void CByteReader::ShortRead(const char* what, std::size_t needed) const {
    FailAt("unexpected end of data: " + std::string(what) + " needs " + std::to_string(needed) +
               " byte(s), " + std::to_string(Remaining()) + " left",
           m_pos);
}

namespace {
std::string RangeProblem(const char* what, long long value, long long min, long long max) {
    return std::string(what) + " " + std::to_string(value) + " outside " + std::to_string(min) +
           ".." + std::to_string(max);
}
} // namespace

int32_t CByteReader::ReadInt32Range(int32_t min, int32_t max, const char* what) {
    const std::size_t start = m_pos;
    const int32_t value = static_cast<int32_t>(Fetch32(what));
    if (value < min || value > max) {
        m_pos = start;
        FailAt(RangeProblem(what, value, min, max), start);
    }
    return value;
}

int16_t CByteReader::ReadInt16Range(int16_t min, int16_t max, const char* what) {
    const std::size_t start = m_pos;
    const int16_t value = static_cast<int16_t>(Fetch16(what));
    if (value < min || value > max) {
        m_pos = start;
        FailAt(RangeProblem(what, value, min, max), start);
    }
    return value;
}

uint16_t CByteReader::ReadUInt16Range(uint16_t min, uint16_t max, const char* what) {
    const std::size_t start = m_pos;
    const uint16_t value = Fetch16(what);
    if (value < min || value > max) {
        m_pos = start;
        FailAt(RangeProblem(what, value, min, max), start);
    }
    return value;
}

uint8_t CByteReader::ReadByteRange(uint8_t min, uint8_t max, const char* what) {
    const std::size_t start = m_pos;
    const uint8_t value = Fetch<1>(what)[0];
    if (value < min || value > max) {
        m_pos = start;
        FailAt(RangeProblem(what, value, min, max), start);
    }
    return value;
}

std::vector<uint8_t> CByteReader::ReadBytes(std::size_t count) {
    const auto view = ViewBytes(count);
    return {view.begin(), view.end()};
}

void CByteReader::ReadBytes(void* target, std::size_t count) {
    const auto view = ViewBytes(count);
    if (count) std::memcpy(target, view.data(), count);
}

std::span<const uint8_t> CByteReader::ViewBytes(std::size_t count) {
    if (count > Remaining()) ShortRead("byte block", count);
    const uint8_t* p = m_data + m_pos;
    m_pos += count;
    return {p, count};
}

std::string CByteReader::ReadCounted(std::size_t start, std::size_t length) {
    if (length > Remaining()) {
        const std::size_t left = Remaining();
        m_pos = start;
        FailAt("unexpected end of data: string of " + std::to_string(length) + " byte(s), " +
                   std::to_string(left) + " left",
               start);
    }
    std::string text(reinterpret_cast<const char*>(m_data + m_pos), length);
    m_pos += length;
    return text;
}

std::string CByteReader::ReadString() {
    const std::size_t start = m_pos;
    const int32_t length = ReadInt32Range(0, kMaxStringLength, "string length");
    return ReadCounted(start, static_cast<std::size_t>(length));
}

std::string CByteReader::ReadLongString() {
    const std::size_t start = m_pos;
    const int32_t length = ReadInt32Range(0, kMaxLongStringLength, "long string length");
    return ReadCounted(start, static_cast<std::size_t>(length));
}

std::string CByteReader::ReadShortString() {
    const std::size_t start = m_pos;
    const uint16_t length = ReadUInt16Range(0, kMaxShortStringLength, "short string length");
    return ReadCounted(start, length);
}

std::string CByteReader::ReadTinyString() {
    const std::size_t start = m_pos;
    const uint8_t length = Fetch<1>("tiny string length")[0];
    return ReadCounted(start, length);
}

StreamTag CByteReader::PeekTag() const {
    if (Remaining() < 4) ShortRead("tag", 4);
    const uint8_t* p = m_data + m_pos;
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

void CByteReader::ExpectTag(StreamTag expected) {
    const std::size_t start = m_pos;
    const StreamTag tag = ReadTag();
    if (tag != expected) {
        m_pos = start;
        FailAt("expected tag " + TagToString(expected) + ", found " + TagToString(tag), start);
    }
}

bool CByteReader::TryTag(StreamTag tag) {
    if (Remaining() < 4 || PeekTag() != tag) return false;
    m_pos += 4;
    return true;
}
