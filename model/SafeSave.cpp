#include "model/SafeSave.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "services/ByteWriter.h"
#include "services/UserInteraction.h"
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace safe_save {

namespace {

std::string ErrnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The rename is durable only once the folder's entry is on disk too.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::function<void(const std::filesystem::path&)>& BeforeRenameHook() {
    static std::function<void(const std::filesystem::path&)> hook;
    return hook;
}

std::filesystem::path TemporaryName(const std::filesystem::path& folder) {
    // Seeding with the clock alone gives the same name twice within a second.
    static std::mt19937 random{std::random_device{}()};
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    std::uniform_int_distribution<int> pick(0, 51);
    std::string name;
    for (int i = 0; i < kTempLetters; ++i)
        name += kLetters[pick(random)];
    return folder / (name + ".pwu");
}

std::filesystem::path ForceExtension(std::filesystem::path path, const std::string& extension) {
    std::string current = path.extension().string();
    std::string wanted = extension;
    auto lower = [](std::string& s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    };
    lower(current);
    lower(wanted);
    if (current != wanted) path.replace_extension(extension);
    return path;
}

bool ReplaceFile(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                 std::string* error) {
    const std::filesystem::path folder = target.parent_path();
    std::filesystem::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 10 && fd < 0; ++attempt) {
        temporary = TemporaryName(folder);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        if (error) *error = ErrnoText("cannot create " + temporary.string());
        return false;
    }
    bool ok = WriteAll(fd, bytes);
    if (!ok && error) *error = ErrnoText("cannot write " + temporary.string());
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        if (error) *error = ErrnoText("cannot flush " + temporary.string());
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        if (error) *error = ErrnoText("cannot close " + temporary.string());
    }
    if (ok && BeforeRenameHook()) BeforeRenameHook()(temporary);
    // rename() replaces the old file in one step: at every moment the path
    // names either the old or the new complete file.
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        if (error) *error = ErrnoText("cannot rename to " + target.string());
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

} // namespace safe_save

bool SafeSave(CSite& site, std::filesystem::path& path, CUserInteraction& ui) {
    for (;;) {
        site.path = path.string();
        CByteWriter writer;
        CSiteSaveOptions options;
        options.targetPath = path.string();
        options.ui = &ui;
        options.markSaved = false;
        if (SaveSite(site, writer, options) && safe_save::ReplaceFile(path, writer.Data())) {
            site.MarkSaved();
            return true;
        }
        ui.Error(safe_save::kFailCaption, safe_save::kFailText, safe_save::kFailId);
        CFileRequest request;
        request.mode = CFileRequest::Mode::Save;
        request.start = path;
        request.filters = {"Pagewright Homepage (*.pwu)"};
        request.defaultSuffix = "pwu";
        std::filesystem::path chosen = ui.ChooseFile(request);
        if (chosen.empty()) return false;
        path = safe_save::ForceExtension(chosen, ".pwu");
    }
}
