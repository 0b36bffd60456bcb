#pragma once
#include <cstddef>
#include <stdexcept>
#include <string>

// Thrown by the byte reader (and by loaders built on it) when a stream is
// shorter than its records say or a field fails its range check. The load
// boundary catches it and reports the file as unreadable; nothing partially
// read is kept.
class CFileFormatException : public std::runtime_error {
public:
    CFileFormatException(const std::string& problem, std::size_t offset)
        : std::runtime_error(problem + " at byte offset " + std::to_string(offset)),
          m_problem(problem), m_offset(offset) {}

    // What was wrong, without the offset.
    const std::string& Problem() const { return m_problem; }
    // Offset of the field that failed, from the start of the stream.
    std::size_t Offset() const { return m_offset; }

private:
    std::string m_problem;
    std::size_t m_offset;
};
