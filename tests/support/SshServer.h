#pragma once
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include <filesystem>
#include <string>

namespace pwtest {

// A real OpenSSH server (/usr/sbin/sshd) on 127.0.0.1 at a free port that
// only speaks SFTP (internal-sftp), with a host key made for it. It lets the
// current user in with a key pair made for it (KeyFile()), and SFTP's login
// folder is a fresh temporary folder (Home()). The constructor returns once
// the port accepts connections; the destructor always stops the server.
class SshServer {
public:
    struct Options {
        // Hold everything the server sends this long, like a distant
        // server: a relay in front of sshd (Port() is then the relay's).
        int replyDelayMs = 0;
    };
    SshServer() : SshServer(Options{}) {}
    explicit SshServer(const Options& options);
    ~SshServer();
    SshServer(const SshServer&) = delete;
    SshServer& operator=(const SshServer&) = delete;

    // Whether sshd and ssh-keygen are installed (tests skip without them).
    static bool Available();

    int Port() const { return m_port; }
    const std::string& User() const { return m_user; }
    const std::filesystem::path& Home() const { return m_home; }
    // The private key the server accepts (no passphrase).
    const std::filesystem::path& KeyFile() const { return m_keyFile; }
    // The host key as a known-hosts line for 127.0.0.1 at this port, and its
    // fingerprint as ssh shows it.
    std::string KnownHostsLine() const;
    std::string Fingerprint() const;

    // Cuts every open connection at once, as a broken line would; the
    // server goes on accepting new ones.
    void DropConnections();
    // Stops the server and its connections. Idempotent.
    void Stop();

private:
    TempDir m_dir;
    std::filesystem::path m_home;
    std::filesystem::path m_keyFile;
    std::string m_user;
    std::string m_hostKeyBase64;
    int m_port = 0;
    ChildProcess m_process;
    ChildProcess m_relay;
};

// A fresh key pair in `folder`/`name` (ed25519, no passphrase); returns the
// public key's base64 part.
std::string MakeSshKey(const std::filesystem::path& folder, const std::string& name);

} // namespace pwtest
