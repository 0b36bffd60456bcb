#pragma once
#include <string>
#include <utility>

// What went wrong, returned beside an operation's bool or null result (or
// instead of it): a code the caller can act on and a detail text (the file,
// the library's own words) that a message can show. Exceptions stay inside
// the byte reader; everything that leaves a layer reports through this.
enum class EFailure {
    None = 0,
    Cancelled,   // the user stopped it
    Invalid,     // the input breaks a rule (the detail says which)
    FileFormat,  // a file is damaged or of the wrong kind
    Read,        // a file or folder could not be read
    Write,       // a file or folder could not be written
    NoFolder,    // a folder could not be made
    OutOfMemory, // a buffer could not be had
    Network,     // a server could not be reached or broke off
};

class CFailure {
public:
    CFailure() = default;
    CFailure(EFailure code, std::string detail = {}) : m_code(code), m_detail(std::move(detail)) {}

    EFailure Code() const { return m_code; }
    const std::string& Detail() const { return m_detail; }
    bool Failed() const { return m_code != EFailure::None; }
    explicit operator bool() const { return Failed(); }

private:
    EFailure m_code = EFailure::None;
    std::string m_detail;
};
