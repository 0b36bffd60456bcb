#include "publish/PublishManifest.h"
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <openssl/evp.h>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kHeader = "pagewright publish manifest 1";

class CSha256 {
public:
    CSha256() : m_ctx(EVP_MD_CTX_new()) {
        m_ok = m_ctx && EVP_DigestInit_ex(m_ctx, EVP_sha256(), nullptr) == 1;
    }
    ~CSha256() { EVP_MD_CTX_free(m_ctx); }
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;
    void Add(const void* data, size_t size) {
        m_ok = m_ok && EVP_DigestUpdate(m_ctx, data, size) == 1;
    }
    std::optional<std::string> Hex() {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (!m_ok || EVP_DigestFinal_ex(m_ctx, digest, &length) != 1) return std::nullopt;
        static const char* digits = "0123456789abcdef";
        std::string hex;
        for (unsigned i = 0; i < length; ++i) {
            hex += digits[digest[i] >> 4];
            hex += digits[digest[i] & 15];
        }
        return hex;
    }

private:
    EVP_MD_CTX* m_ctx;
    bool m_ok = false;
};

bool IsHex64(const std::string& text) {
    if (text.size() != 64) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

} // namespace

std::string CPublishManifest::DestinationKey(const std::string& kind, const std::string& server,
                                             int port, const std::string& user,
                                             const std::string& catalog) {
    std::string parts;
    size_t start = 0;
    while (start <= catalog.size()) {
        size_t end = catalog.find_first_of("/\\", start);
        if (end == std::string::npos) end = catalog.size();
        if (end > start) {
            parts += '/';
            parts.append(catalog, start, end - start);
        }
        start = end + 1;
    }
    const size_t first = server.find_first_not_of(" \t");
    const std::string host =
        first == std::string::npos
            ? std::string()
            : server.substr(first, server.find_last_not_of(" \t") - first + 1);
    return kind + "://" + user + "@" + host + ":" + std::to_string(port) + parts;
}

fs::path CPublishManifest::FileFor(const fs::path& folder, const std::string& key) {
    return folder / (pw::Sha256Hex(key) + ".manifest");
}

bool CPublishManifest::Read(const fs::path& file, const std::string& key) {
    files.clear();
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line) || line != kHeader) return false;
    if (!std::getline(in, line) || line != "destination " + key) return false;
    std::map<std::string, CEntry> read;
    while (std::getline(in, line)) {
        // "<hash> <size> <path>": the path is the rest of the line.
        const size_t space1 = line.find(' ');
        const size_t space2 = space1 == std::string::npos ? space1 : line.find(' ', space1 + 1);
        if (space2 == std::string::npos || space2 + 1 >= line.size()) return false;
        CEntry entry;
        entry.sha256 = line.substr(0, space1);
        const std::string size = line.substr(space1 + 1, space2 - space1 - 1);
        if (!IsHex64(entry.sha256) || size.empty() ||
            size.find_first_not_of("0123456789") != std::string::npos || size.size() > 18)
            return false;
        entry.size = std::stoull(size);
        read[line.substr(space2 + 1)] = entry;
    }
    if (in.bad()) return false;
    files = std::move(read);
    return true;
}

bool CPublishManifest::Write(const fs::path& file, const std::string& key) const {
    std::ostringstream text;
    text << kHeader << '\n' << "destination " << key << '\n';
    for (const auto& [path, entry] : files) {
        // A name with a line break could not be read back; no such name can
        // reach a server either.
        if (path.find_first_of("\r\n") != std::string::npos) continue;
        text << entry.sha256 << ' ' << entry.size << ' ' << path << '\n';
    }
    const std::string bytes = text.str();
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    fs::path temp = file;
    temp += ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += size_t(n);
    }
    // The data must be on disk before the rename makes it the manifest.
    const bool written = done == bytes.size() && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written) {
        fs::remove(temp, ec);
        return false;
    }
    fs::rename(temp, file, ec);
    if (ec) fs::remove(temp, ec);
    return !ec;
}

std::optional<CPublishManifest::CEntry> pw::HashFile(const fs::path& file) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return std::nullopt;
    CSha256 hash;
    CPublishManifest::CEntry entry;
    char buffer[64 * 1024];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        hash.Add(buffer, n);
        entry.size += n;
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return std::nullopt;
    auto hex = hash.Hex();
    if (!hex) return std::nullopt;
    entry.sha256 = std::move(*hex);
    return entry;
}

std::string pw::Sha256Hex(const std::string& bytes) {
    CSha256 hash;
    hash.Add(bytes.data(), bytes.size());
    return hash.Hex().value_or(std::string());
}
