#include "publish/PrivateFolders.h"
#include "publish/PublishManifest.h"
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    // Relative values are invalid by the base-directory rules.
    if (!value || value[0] != '/') return {};
    return value;
}

} // namespace

fs::path pw::DefaultBuildFolder() {
    if (fs::path runtime = AbsoluteEnv("XDG_RUNTIME_DIR"); !runtime.empty()) {
        std::error_code ec;
        if (fs::is_directory(runtime, ec)) return runtime / "pagewright";
    }
    if (fs::path cache = AbsoluteEnv("XDG_CACHE_HOME"); !cache.empty()) return cache / "pagewright";
    if (fs::path home = AbsoluteEnv("HOME"); !home.empty())
        return home / ".cache" / "pagewright";
    // No home at all: a folder named after the user id, still checked below.
    return fs::temp_directory_path() / ("pagewright-" + std::to_string(::getuid()));
}

bool pw::EnsurePrivateFolder(const fs::path& folder, std::string& error) {
    std::error_code ec;
    if (folder.has_parent_path()) fs::create_directories(folder.parent_path(), ec);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = folder.string() + ": " + std::strerror(errno);
        return false;
    }
    // Opened without following a link, so the checks and the mode change
    // act on the folder itself and not on whatever a link points at.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = folder.string() + ": not a folder of its own (" + std::strerror(errno) + ")";
        return false;
    }
    struct stat info{};
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok) {
        error = folder.string() + ": " + std::strerror(errno);
    } else if (info.st_uid != ::geteuid()) {
        error = folder.string() + ": belongs to another user";
        ok = false;
    } else if ((info.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0) {
        error = folder.string() + ": cannot make it private (" + std::strerror(errno) + ")";
        ok = false;
    }
    ::close(fd);
    return ok;
}

std::optional<fs::path> pw::MakeRunFolder(const fs::path& parent, const std::string& prefix) {
    std::string pattern = (parent / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) return std::nullopt;
    return fs::path(pattern);
}

CRunLock::CRunLock(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    const fs::path file = folder / (pw::Sha256Hex(name) + ".lock");
    m_fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd < 0) return;
    // flock locks belong to the open file, so a second run in the same
    // process (another window) is refused just like one in another process.
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        m_busy = errno == EWOULDBLOCK;
        ::close(m_fd);
        m_fd = -1;
    }
}

CRunLock::~CRunLock() {
    if (m_fd >= 0) ::close(m_fd);
}
