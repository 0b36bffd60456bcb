#include "setup/ProgramOutput.h"
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pw::setup {

namespace {

class CPipe {
public:
    CPipe() {
        if (pipe2(fds_, O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
    }
    ~CPipe() {
        CloseRead();
        CloseWrite();
    }
    CPipe(const CPipe&) = delete;
    CPipe& operator=(const CPipe&) = delete;
    bool Ok() const { return fds_[0] >= 0; }
    int Read() const { return fds_[0]; }
    int Write() const { return fds_[1]; }
    void CloseRead() { CloseOne(fds_[0]); }
    void CloseWrite() { CloseOne(fds_[1]); }

private:
    static void CloseOne(int& fd) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    int fds_[2];
};

// Waits for the child; kills it first when `kill` is set. The exit status,
// or -1 when it did not exit normally.
int Reap(pid_t pid, bool kill) {
    if (kill) ::kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

std::optional<std::string> ProgramOutput(const std::vector<std::string>& arguments, int timeoutMs,
                                         size_t maxBytes) {
    if (arguments.empty() || arguments[0].empty()) return std::nullopt;
    CPipe out;
    if (!out.Ok()) return std::nullopt;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.Write(), 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    out.CloseWrite();
    if (spawned != 0) return std::nullopt;

    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            Reap(pid, true);
            return std::nullopt;
        }
        pollfd fd{out.Read(), POLLIN, 0};
        const int ready = poll(&fd, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;
        char buffer[1024];
        const ssize_t got = read(out.Read(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        output.append(buffer, std::min(static_cast<size_t>(got), maxBytes - output.size()));
        // Enough read: the rest of the output does not matter, and the
        // program must not block on a full pipe.
        if (output.size() >= maxBytes) {
            Reap(pid, true);
            return output;
        }
    }
    if (Reap(pid, false) != 0) return std::nullopt;
    return output;
}

} // namespace pw::setup
