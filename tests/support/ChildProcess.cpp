#include "tests/support/ChildProcess.h"
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace pwtest {

namespace {

pid_t Spawn(const std::vector<std::string>& argv, bool quietErrors) {
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            dup2(devNull, STDOUT_FILENO);
            if (quietErrors) dup2(devNull, STDERR_FILENO);
        }
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

int Reap(pid_t pid, int options) {
    int status = 0;
    pid_t r;
    while ((r = waitpid(pid, &status, options)) < 0 && errno == EINTR) {
    }
    if (r != pid) return -2; // still running (WNOHANG)
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

int RunQuietly(const std::vector<std::string>& argv) {
    return Reap(Spawn(argv, true), 0);
}

bool PortAccepts(int port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv) : m_pid(Spawn(argv, false)) {}

ChildProcess::~ChildProcess() {
    Kill();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : m_pid(std::exchange(other.m_pid, -1)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Kill();
        m_pid = std::exchange(other.m_pid, -1);
    }
    return *this;
}

int ChildProcess::WaitForPort(const std::filesystem::path& portFile) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (m_pid <= 0 || Reap(m_pid, WNOHANG) != -2) {
            m_pid = -1;
            throw std::runtime_error("the helper program exited at start");
        }
        int port = 0;
        std::ifstream in(portFile);
        if (in >> port && PortAccepts(port)) return port;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Kill();
    throw std::runtime_error("the helper program did not start listening");
}

void ChildProcess::Kill() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGKILL);
    Reap(m_pid, 0);
    m_pid = -1;
}

void ChildProcess::Freeze() {
    if (m_pid > 0) kill(m_pid, SIGSTOP);
}

} // namespace pwtest
