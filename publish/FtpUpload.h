#pragma once
#include "publish/Ftp.h"
#include <cstdint>
#include <cstdio>
#include <filesystem>

// Feeds one local file to an upload: libcurl pulls the bytes through Read.
// In text mode every line end goes out as CR LF, whether the file ends its
// lines with LF or CR LF, which is what FTP's text type carries on the wire.
// The progress callback hears about every piece read from the file, counted
// in file bytes, and can stop the upload by returning 0.
class CFtpUploadSource {
public:
    CFtpUploadSource(const std::filesystem::path& path, bool binary, const FtpProgressFn& progress);
    ~CFtpUploadSource();
    CFtpUploadSource(const CFtpUploadSource&) = delete;
    CFtpUploadSource& operator=(const CFtpUploadSource&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    // Size of the local file in bytes.
    std::int64_t Size() const { return m_size; }
    // Reading the file failed part way.
    bool Failed() const { return m_failed; }
    // The progress callback asked to stop.
    bool Stopped() const { return m_stopped; }

    // libcurl read callback; `self` is the CFtpUploadSource.
    static size_t Read(char* buffer, size_t size, size_t count, void* self);

private:
    size_t Fill(char* buffer, size_t capacity);

    std::FILE* m_file = nullptr;
    std::int64_t m_size = 0;
    bool m_binary;
    const FtpProgressFn& m_progress;
    bool m_heldCR = false;
    bool m_failed = false;
    bool m_stopped = false;
};
