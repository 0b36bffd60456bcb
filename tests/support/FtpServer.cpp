#include "tests/support/FtpServer.h"
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace pwtest {

FtpServer::FtpServer() : FtpServer(Options{}) {}

FtpServer::FtpServer(const Options& options)
    : m_options(options), m_home(options.home.empty() ? m_dir / "home" : options.home) {
    std::filesystem::create_directories(m_home);
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
    std::vector<std::string> argv = {PW_PYTHON,     PW_SOURCE_DIR "/tests/support/ftp_server.py",
                                     "--home",      m_home.string(),
                                     "--user",      m_options.user,
                                     "--password",  m_options.password,
                                     "--port-file", portFile.string()};
    if (m_options.tls) {
        argv.insert(argv.end(), {"--cert", m_caFile.string(), "--key", m_keyFile.string()});
    }
    if (m_options.dropUploadAfter > 0) {
        argv.insert(argv.end(), {"--drop-upload-after", std::to_string(m_options.dropUploadAfter)});
    }
    if (m_options.noMlsd) argv.push_back("--no-mlsd");
    if (m_options.noRename) argv.push_back("--no-rename");
    if (m_options.port > 0) argv.insert(argv.end(), {"--port", std::to_string(m_options.port)});
    if (m_options.replyDelayMs > 0)
        argv.insert(argv.end(), {"--reply-delay-ms", std::to_string(m_options.replyDelayMs)});
    m_process = ChildProcess(argv);
    m_port = m_process.WaitForPort(portFile);
}

void FtpServer::Stop() {
    m_process.Kill();
}

void FtpServer::Freeze() {
    m_process.Freeze();
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
