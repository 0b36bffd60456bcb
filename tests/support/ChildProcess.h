#pragma once
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace pwtest {

// Runs a program to completion with its output discarded; returns its exit
// code (-1 when it did not exit normally).
int RunQuietly(const std::vector<std::string>& argv);

// A helper program running beside a test (a server, a proxy). It is killed
// when the object goes, so a failing test never leaves one behind.
class ChildProcess {
public:
    ChildProcess() = default;
    // Starts argv[0] (a full path) with its standard output discarded.
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits until the program has written its port number to `portFile` and
    // the port on 127.0.0.1 accepts connections. Throws when the program
    // exits first or nothing happens within 20 seconds.
    int WaitForPort(const std::filesystem::path& portFile);

    // Ends the program at once (SIGKILL) and reaps it. Idempotent.
    void Kill();
    // Stops the program without ending it (SIGSTOP); Kill still works.
    void Freeze();
    // Its process id; -1 when it is not running.
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
};

// True when something accepts TCP connections on 127.0.0.1 at `port`.
bool PortAccepts(int port);

} // namespace pwtest
