#pragma once
#include <filesystem>
#include <optional>
#include <string>

// Where preview and publish build, and how two runs keep out of each other's
// way. Builds never go to a folder other users can reach: a shared folder
// lets anyone plant links there, block a build, or swap what is published.

namespace pw {

// The per-user folder builds go below: $XDG_RUNTIME_DIR/pagewright when the
// session has one, otherwise $XDG_CACHE_HOME (or ~/.cache)/pagewright.
std::filesystem::path DefaultBuildFolder();

// Makes `folder` (and its missing parents) and checks that it is a real
// folder, not a symbolic link, owned by this user and reachable by nobody
// else; a folder of ours with a wider mode is narrowed to 0700. False with a
// readable reason otherwise.
bool EnsurePrivateFolder(const std::filesystem::path& folder, std::string& error);

// A new, empty folder of its own below `parent` for one run ("prefix-XXXXXX").
std::optional<std::filesystem::path> MakeRunFolder(const std::filesystem::path& parent,
                                                   const std::string& prefix);

} // namespace pw

// An exclusive lock on one name (a site file, a destination) that one
// publish or remove run holds while it works, so that two runs never
// interleave their files. Held by an open lock file in `folder`; the system
// lets it go when the run ends, however it ends.
class CRunLock {
public:
    CRunLock(const std::filesystem::path& folder, const std::string& name);
    ~CRunLock();
    CRunLock(const CRunLock&) = delete;
    CRunLock& operator=(const CRunLock&) = delete;

    // Another run holds the lock. (When no lock file can be made at all the
    // run goes ahead unlocked: the folder beside the publish record is ours.)
    bool Busy() const { return m_busy; }

private:
    int m_fd = -1;
    bool m_busy = false;
};
