#include "publish/Sftp.h"
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <curl/curl.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool DecodeBase64(const std::string& text, std::vector<unsigned char>& out) {
    if (text.empty() || text.size() % 4 != 0) return false;
    out.assign(text.size() / 4 * 3, 0);
    const int n = EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                  int(text.size()));
    if (n < 0) return false;
    size_t size = size_t(n);
    for (size_t i = text.size(); i > 0 && text[i - 1] == '='; --i)
        --size; // EVP_DecodeBlock counts the padding as bytes
    out.resize(size);
    return true;
}

std::string EncodeBase64(const unsigned char* data, size_t size) {
    std::string out(4 * ((size + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), data, int(size));
    out.resize(n > 0 ? size_t(n) : 0);
    return out;
}

// libcurl hands a key over either as raw bytes or as base64 text.
std::string KeyBase64(const curl_khkey* key) {
    if (!key || !key->key) return {};
    if (key->len == 0) return key->key;
    return EncodeBase64(reinterpret_cast<const unsigned char*>(key->key), key->len);
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

} // namespace

std::string SshKeyFingerprint(const std::string& base64Blob) {
    std::vector<unsigned char> blob;
    if (!DecodeBase64(base64Blob, blob)) return {};
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(blob.data(), blob.size(), digest, &length, EVP_sha256(), nullptr) != 1)
        return {};
    std::string text = EncodeBase64(digest, length);
    while (!text.empty() && text.back() == '=')
        text.pop_back();
    return "SHA256:" + text;
}

std::string SshKeyType(const std::string& base64Blob) {
    std::vector<unsigned char> blob;
    if (!DecodeBase64(base64Blob, blob) || blob.size() < 4) return {};
    const size_t length = size_t(blob[0]) << 24 | size_t(blob[1]) << 16 | size_t(blob[2]) << 8 |
                          size_t(blob[3]);
    if (length == 0 || length > blob.size() - 4 || length > 64) return {};
    std::string type(blob.begin() + 4, blob.begin() + 4 + long(length));
    for (char c : type)
        if (c <= ' ' || c > '~') return {};
    return type;
}

std::string KnownHostsName(const std::string& host, int port) {
    if (port == 22) return host;
    return "[" + host + "]:" + std::to_string(port);
}

bool AddKnownHost(const fs::path& file, const std::string& host, int port,
                  const std::string& base64Blob, std::string& error) {
    const std::string type = SshKeyType(base64Blob);
    if (type.empty() || host.empty()) {
        error = "the server's key cannot be read";
        return false;
    }
    std::error_code ec;
    if (!file.parent_path().empty() && !fs::exists(file.parent_path(), ec)) {
        fs::create_directories(file.parent_path(), ec);
        if (!ec) fs::permissions(file.parent_path(), fs::perms::owner_all, ec);
        if (ec) {
            error = file.parent_path().string() + ": " + ec.message();
            return false;
        }
    }
    // Appending one whole line keeps every line the file had, comments and
    // keys of other programs included.
    const int fd = open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error = file.string() + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    std::string line = KnownHostsName(host, port) + " " + type + " " + base64Blob + "\n";
    // A file whose last line has no line end must not run into the new one.
    if (fstat(fd, &st) == 0 && st.st_size > 0) {
        char last = '\n';
        if (pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n') line.insert(0, "\n");
    }
    const off_t before = st.st_size;
    const bool ok = WriteAll(fd, line) && fsync(fd) == 0;
    if (!ok) {
        error = file.string() + ": " + std::strerror(errno);
        if (ftruncate(fd, before) != 0) error += " (and it could not be mended)";
    }
    close(fd);
    return ok;
}

fs::path DefaultKnownHostsFile() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return {};
    return fs::path(home) / ".ssh" / "known_hosts";
}

int SftpCheckHostKey(void*, const void*, const void* foundKey, int match, void* data) {
    auto& check = *static_cast<CSftpHostKeyCheck*>(data);
    const auto* found = static_cast<const curl_khkey*>(foundKey);
    const std::string blob = KeyBase64(found);
    check.fingerprint = SshKeyFingerprint(blob);
    switch (static_cast<curl_khmatch>(match)) {
    case CURLKHMATCH_OK:
        check.outcome = CSftpHostKeyCheck::EOutcome::Known;
        return CURLKHSTAT_FINE;
    case CURLKHMATCH_MISMATCH:
        // Another key than the one stored: whoever answers is not the
        // server the user knows, or it was reinstalled. Only the user can
        // find out which, outside this program.
        check.outcome = CSftpHostKeyCheck::EOutcome::Changed;
        return CURLKHSTAT_REJECT;
    default:
        break;
    }
    if (check.accept.empty() || check.fingerprint.empty() || check.accept != check.fingerprint) {
        check.outcome = CSftpHostKeyCheck::EOutcome::Unknown;
        return CURLKHSTAT_REJECT;
    }
    // libcurl could write the key itself, but it rewrites the whole file from
    // what libssh2 understood of it; adding one line loses nothing.
    check.outcome = AddKnownHost(check.knownHosts, check.host, check.port, blob, check.error)
                        ? CSftpHostKeyCheck::EOutcome::Accepted
                        : CSftpHostKeyCheck::EOutcome::NotStored;
    return CURLKHSTAT_FINE;
}

std::string SftpQuote(const std::string& path) {
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::map<std::string, long long> ParseSftpLongListing(const std::string& listing) {
    std::map<std::string, long long> files;
    std::istringstream lines(listing);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] != '-') continue;
        // Eight fields, then the name, which may hold spaces.
        size_t pos = 0;
        std::string fields[8];
        bool complete = true;
        for (std::string& field : fields) {
            const size_t start = line.find_first_not_of(' ', pos);
            if (start == std::string::npos) {
                complete = false;
                break;
            }
            pos = line.find(' ', start);
            if (pos == std::string::npos) {
                complete = false;
                break;
            }
            field = line.substr(start, pos - start);
        }
        if (!complete || pos + 1 >= line.size()) continue;
        const std::string name = line.substr(pos + 1);
        char* end = nullptr;
        const long long size = std::strtoll(fields[4].c_str(), &end, 10);
        files[name] = end && *end == 0 && size >= 0 ? size : -1;
    }
    return files;
}
