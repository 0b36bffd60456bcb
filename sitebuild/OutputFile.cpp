#include "sitebuild/OutputFile.h"
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::error_code Errno() {
    return {errno, std::generic_category()};
}

// The destination may be absent, a file or a symbolic link (which the
// rename replaces); a folder or a device in its place is not ours to
// replace.
std::error_code CheckDestination(const fs::path& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) return errno == ENOENT ? std::error_code() : Errno();
    if (S_ISDIR(st.st_mode)) return std::make_error_code(std::errc::is_a_directory);
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return std::make_error_code(std::errc::invalid_argument);
    return {};
}

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// A new temporary file beside `file`, open for writing; -1 on failure.
int OpenTemp(const fs::path& file, std::string& tempName) {
    tempName = (file.parent_path() / (std::string(kOutputTempPrefix) + file.filename().string() +
                                      ".XXXXXX"))
                   .string();
    std::vector<char> name(tempName.begin(), tempName.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) {
        tempName.assign(name.data());
        // Pages and pictures are for everybody to read once published.
        ::fchmod(fd, 0644);
    }
    return fd;
}

// Writes what `produce` hands over into a temporary file and renames it
// over `file`. `produce(fd)` returns false with errno set on failure.
template <class Produce> std::error_code WriteVia(const fs::path& file, Produce produce) {
    if (std::error_code ec = CheckDestination(file)) return ec;
    std::string temp;
    const int fd = OpenTemp(file, temp);
    if (fd < 0) return Errno();
    std::error_code ec;
    if (!produce(fd)) ec = Errno();
    // Delayed allocation can report a full disk only at close.
    if (::close(fd) != 0 && !ec) ec = Errno();
    if (!ec && ::rename(temp.c_str(), file.c_str()) != 0) ec = Errno();
    if (ec) ::unlink(temp.c_str());
    return ec;
}

} // namespace

std::error_code WriteOutputFile(const fs::path& file, std::span<const uint8_t> bytes) {
    return WriteVia(file, [&](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

std::error_code WriteOutputFile(const fs::path& file, std::string_view bytes) {
    return WriteOutputFile(
        file, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::error_code CopyOutputFile(const fs::path& from, const fs::path& file, bool& sourceFailed) {
    sourceFailed = false;
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        sourceFailed = true;
        return Errno();
    }
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        const std::error_code ec =
            S_ISDIR(st.st_mode) ? std::make_error_code(std::errc::is_a_directory) : Errno();
        ::close(in);
        sourceFailed = true;
        return ec ? ec : std::make_error_code(std::errc::invalid_argument);
    }
    std::error_code ec = WriteVia(file, [&](int fd) {
        uint8_t buffer[1 << 16];
        for (;;) {
            const ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                sourceFailed = true;
                return false;
            }
            if (n == 0) return true;
            if (!WriteAll(fd, buffer, static_cast<std::size_t>(n))) return false;
        }
    });
    ::close(in);
    return ec;
}

void RemoveStaleOutputTemps(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(folder, ec))) return;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kOutputTempPrefix, 0) == 0) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

bool MakeOutputFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_symlink(folder, ec)) fs::remove(folder, ec);
    if (fs::is_directory(fs::symlink_status(folder, ec))) return true;
    fs::create_directories(folder, ec);
    return fs::is_directory(fs::symlink_status(folder, ec));
}
