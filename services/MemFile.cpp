#include "services/MemFile.h"
#include <cstring>

CMemFile::CMemFile(const void* data, size_t size)
    : m_data(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size) {}

size_t CMemFile::Read(void* dest, size_t count) {
    const size_t n = count < Remaining() ? count : Remaining();
    if (n > 0) {
        std::memcpy(dest, m_data.data() + m_pos, n);
        m_pos += n;
    }
    return n;
}

void CMemFile::Write(const void* src, size_t count) {
    if (count == 0) return;
    if (m_data.size() < m_pos + count) m_data.resize(m_pos + count);
    std::memcpy(m_data.data() + m_pos, src, count);
    m_pos += count;
}

size_t CMemFile::Seek(int64_t offset, SeekFrom from) {
    int64_t base = 0;
    if (from == current)
        base = static_cast<int64_t>(m_pos);
    else if (from == end)
        base = static_cast<int64_t>(m_data.size());
    const int64_t target = base + offset;
    m_pos = target < 0 ? 0 : static_cast<size_t>(target);
    return m_pos;
}

std::vector<uint8_t> CMemFile::Detach() {
    std::vector<uint8_t> out;
    out.swap(m_data);
    m_pos = 0;
    return out;
}
