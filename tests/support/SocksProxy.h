#pragma once
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include <string>
#include <vector>

namespace pwtest {

// A SOCKS proxy on 127.0.0.1 at a free port, speaking SOCKS4 (and 4a) with
// the user id User() and SOCKS5 with user name and password authentication.
// It records every connection it relays, so a test can tell that traffic
// really went through it. Stopped by the destructor.
class SocksProxy {
public:
    SocksProxy();
    ~SocksProxy() = default;
    SocksProxy(const SocksProxy&) = delete;
    SocksProxy& operator=(const SocksProxy&) = delete;

    int Port() const { return m_port; }
    const std::string& User() const { return m_user; }
    const std::string& Password() const { return m_password; }
    // "host port" of every relayed connection so far, oldest first.
    std::vector<std::string> Relayed() const;

private:
    TempDir m_dir;
    std::string m_user = "proxyuser";
    std::string m_password = "proxy pass";
    int m_port = 0;
    ChildProcess m_process;
};

} // namespace pwtest
