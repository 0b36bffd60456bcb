#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A growable file in memory with a read/write position, used where pictures
// travel through memory: JPEG previews inside site files and clipboard bitmaps.
class CMemFile {
public:
    enum SeekFrom { begin = 0, current = 1, end = 2 };

    CMemFile() = default;
    explicit CMemFile(std::vector<uint8_t> data) : m_data(std::move(data)) {}
    CMemFile(const void* data, size_t size);

    // Copies up to `count` bytes from the position and advances it; returns the
    // number copied (0 at or past the end).
    size_t Read(void* dest, size_t count);
    // Writes at the position, growing the file as needed (a gap left by seeking
    // past the end is filled with zeros), and advances the position.
    void Write(const void* src, size_t count);

    // Moves the position; a target before the start goes to the start. Seeking
    // past the end is allowed (as with a disk file). Returns the new position.
    size_t Seek(int64_t offset, SeekFrom from = begin);
    size_t SeekToEnd() { return Seek(0, end); }
    void SeekToBegin() { m_pos = 0; }
    size_t GetPosition() const { return m_pos; }
    size_t GetLength() const { return m_data.size(); }
    // Truncates or zero-extends; the position is kept.
    void SetLength(size_t length) { m_data.resize(length); }

    // The bytes from the position to the end (null when none).
    const uint8_t* Current() const {
        return m_pos < m_data.size() ? m_data.data() + m_pos : nullptr;
    }
    size_t Remaining() const { return m_pos < m_data.size() ? m_data.size() - m_pos : 0; }

    const std::vector<uint8_t>& Data() const { return m_data; }
    // Hands over the contents and leaves the file empty at position 0.
    std::vector<uint8_t> Detach();

private:
    std::vector<uint8_t> m_data;
    size_t m_pos = 0;
};
