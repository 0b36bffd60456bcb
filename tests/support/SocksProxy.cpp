#include "tests/support/SocksProxy.h"
#include <fstream>

namespace pwtest {

SocksProxy::SocksProxy() {
    const auto portFile = m_dir / "port";
    m_process = ChildProcess({PW_PYTHON, PW_SOURCE_DIR "/tests/support/socks_proxy.py", "--user",
                              m_user, "--password", m_password, "--port-file", portFile.string(),
                              "--log", (m_dir / "relayed.log").string()});
    m_port = m_process.WaitForPort(portFile);
}

std::vector<std::string> SocksProxy::Relayed() const {
    std::vector<std::string> lines;
    std::ifstream in(m_dir / "relayed.log");
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace pwtest
