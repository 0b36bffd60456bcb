#include "tests/support/FtpServer.h"
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pwtest {

namespace {

const char* const kScript = PW_SOURCE_DIR "/tests/support/ftp_server.py";

// Runs a program to completion with its output discarded; returns its exit code.
int RunQuietly(const std::vector<std::string>& argv) {
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

} // namespace

FtpServer::FtpServer() : FtpServer(Options{}) {}

FtpServer::FtpServer(const Options& options) : m_options(options), m_home(m_dir / "home") {
    std::filesystem::create_directory(m_home);
    if (m_options.tls) MakeCertificate();
    Start();
}

FtpServer::~FtpServer() {
    Stop();
}

void FtpServer::MakeCertificate() {
    m_caFile = m_dir / "server-cert.pem";
    m_keyFile = m_dir / "server-key.pem";
    // Self-signed, so the certificate is its own CA; the names cover both
    // ways a test may address the server.
    int rc = RunQuietly({"/usr/bin/openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes",
                         "-days", "2", "-subj", "/CN=localhost", "-addext",
                         "subjectAltName=DNS:localhost,IP:127.0.0.1", "-keyout", m_keyFile.string(),
                         "-out", m_caFile.string()});
    if (rc != 0) throw std::runtime_error("openssl could not make a test certificate");
}

void FtpServer::Start() {
    const auto portFile = m_dir / "port";
    std::vector<std::string> argv = {
        PW_PYTHON,      kScript,      "--home",           m_home.string(), "--user",
        m_options.user, "--password", m_options.password, "--port-file",   portFile.string()};
    if (m_options.tls) {
        argv.insert(argv.end(), {"--cert", m_caFile.string(), "--key", m_keyFile.string()});
    }
    if (m_options.dropUploadAfter > 0) {
        argv.insert(argv.end(), {"--drop-upload-after", std::to_string(m_options.dropUploadAfter)});
    }

    m_pid = fork();
    if (m_pid < 0) throw std::runtime_error("fork failed");
    if (m_pid == 0) {
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        std::freopen("/dev/null", "w", stdout);
        execv(args[0], args.data());
        _exit(127);
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            throw std::runtime_error("the test FTP server exited at start");
        }
        std::ifstream in(portFile);
        if (in >> m_port && PortAccepts(m_port)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
    throw std::runtime_error("the test FTP server did not start listening");
}

void FtpServer::Stop() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGKILL);
    while (waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
}

void FtpServer::Freeze() {
    if (m_pid > 0) kill(m_pid, SIGSTOP);
}

int FtpServer::UnusedPort() {
    // Bind to port 0 to get a free one, then close it again; nothing listens
    // there afterwards (the kernel does not hand it out again at once).
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = 0;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(fd);
        throw std::runtime_error("cannot find a free port");
    }
    close(fd);
    return ntohs(addr.sin_port);
}

} // namespace pwtest
