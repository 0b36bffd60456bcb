#pragma once
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include <cstdint>
#include <filesystem>
#include <string>

namespace pwtest {

// A real FTP server (pyftpdlib under /usr/bin/python3) on 127.0.0.1 at a free
// port, serving one user whose home is a fresh temporary folder. The
// constructor returns once the port accepts connections; the destructor
// always stops the server.
class FtpServer {
public:
    struct Options {
        std::string user = "webmaster";
        std::string password = "s3cret pass";
        // Explicit FTPS: AUTH TLS is offered and required for login, with a
        // throw-away self-signed certificate for "localhost" and 127.0.0.1
        // made for this server (CaFile() trusts it).
        bool tls = false;
        // Fault: every upload's data connection is cut (reset) once this many
        // bytes have arrived; 0 for never.
        std::uint64_t dropUploadAfter = 0;
        // Behave like an older server without MLSD (listings only by NLST/LIST).
        bool noMlsd = false;
        // Refuse every rename (RNFR/RNTO), as some hosts do.
        bool noRename = false;
        // Hold every reply this long, like a distant server. Each
        // connection then has a thread of its own and waits on its own.
        int replyDelayMs = 0;
        // Serve this existing folder instead of a fresh one, and listen at
        // this port instead of a free one: a second server standing in for
        // the first after it was stopped.
        std::filesystem::path home;
        int port = 0;
    };

    FtpServer();
    explicit FtpServer(const Options& options);
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    int Port() const { return m_port; }
    const std::string& User() const { return m_options.user; }
    const std::string& Password() const { return m_options.password; }
    // The user's home folder on disk: what the server shows as its root.
    const std::filesystem::path& Home() const { return m_home; }
    // The certificate to trust for a TLS server (empty otherwise).
    const std::filesystem::path& CaFile() const { return m_caFile; }

    // Stops the server at once, as a crash or a pulled cable would: open
    // connections are dropped. Idempotent; the destructor calls it.
    void Stop();
    // Freezes the server process: connections stay open but nothing answers
    // (for time-out tests). Stop() still ends it.
    void Freeze();

    // A port on 127.0.0.1 where nothing listens (for "cannot reach" tests).
    static int UnusedPort();

private:
    void MakeCertificate();
    void Start();

    Options m_options;
    TempDir m_dir;
    std::filesystem::path m_home;
    std::filesystem::path m_caFile;
    std::filesystem::path m_keyFile;
    int m_port = 0;
    ChildProcess m_process;
};

} // namespace pwtest
