#include "publish/FtpUpload.h"
#include <curl/curl.h>
#include <system_error>
#include <vector>

CFtpUploadSource::CFtpUploadSource(const std::filesystem::path& path, bool binary,
                                   const FtpProgressFn& progress)
    : m_binary(binary), m_progress(progress) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return;
    m_file = std::fopen(path.c_str(), "rb");
    if (!m_file) return;
    auto size = std::filesystem::file_size(path, ec);
    m_size = ec ? 0 : static_cast<std::int64_t>(size);
}

CFtpUploadSource::~CFtpUploadSource() {
    if (m_file) std::fclose(m_file);
}

size_t CFtpUploadSource::Read(char* buffer, size_t size, size_t count, void* self) {
    return static_cast<CFtpUploadSource*>(self)->Fill(buffer, size * count);
}

size_t CFtpUploadSource::Fill(char* buffer, size_t capacity) {
    size_t fileBytes = 0;
    size_t produced = 0;
    if (m_binary) {
        fileBytes = std::fread(buffer, 1, capacity, m_file);
        produced = fileBytes;
    } else {
        // libcurl turns every LF of a text upload into CR LF, so line ends
        // are handed over as a bare LF: a CR LF pair in the file loses its
        // CR (also when a read splits it), a lone CR is kept. One held-back
        // CR plus the file bytes always fit.
        std::vector<char> chunk(capacity > 1 ? capacity - 1 : 1);
        size_t got = 0;
        do { // a piece that is only a held-back CR gives nothing yet: read on
            got = std::fread(chunk.data(), 1, chunk.size(), m_file);
            fileBytes += got;
            for (size_t i = 0; i < got; ++i) {
                const char c = chunk[i];
                if (m_heldCR && c != '\n') buffer[produced++] = '\r';
                m_heldCR = c == '\r';
                if (!m_heldCR) buffer[produced++] = c;
            }
        } while (produced == 0 && got > 0);
        // At the end of the file a held-back CR is a lone one.
        if (produced == 0 && m_heldCR && !std::ferror(m_file)) {
            m_heldCR = false;
            buffer[produced++] = '\r';
        }
    }
    if (fileBytes == 0 && std::ferror(m_file)) {
        m_failed = true;
        return CURL_READFUNC_ABORT;
    }
    if (fileBytes > 0 && m_progress && m_progress(static_cast<int>(fileBytes)) == 0) {
        m_stopped = true;
        return CURL_READFUNC_ABORT;
    }
    return produced;
}
