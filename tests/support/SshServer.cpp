#include "tests/support/SshServer.h"
#include "tests/support/FtpServer.h"
#include <chrono>
#include <csignal>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pwtest {

namespace {
constexpr const char* kSshd = "/usr/sbin/sshd";
constexpr const char* kKeygen = "/usr/bin/ssh-keygen";

// Every process below `root`: sshd forks a process per connection, and that
// one the process that serves it.
std::vector<pid_t> Descendants(pid_t root) {
    std::vector<pid_t> found{root};
    for (size_t i = 0; i < found.size(); ++i) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator("/proc", ec)) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") != std::string::npos) continue;
            std::ifstream stat(entry.path() / "stat");
            std::string line;
            std::getline(stat, line);
            // "pid (name) state ppid ...": the name may hold spaces.
            const size_t close = line.rfind(')');
            if (close == std::string::npos) continue;
            std::istringstream rest(line.substr(close + 1));
            char state = 0;
            pid_t parent = 0;
            rest >> state >> parent;
            if (parent == found[i]) found.push_back(pid_t(std::stoi(name)));
        }
    }
    found.erase(found.begin());
    return found;
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

std::string MakeSshKey(const fs::path& folder, const std::string& name) {
    const fs::path key = folder / name;
    if (RunQuietly({kKeygen, "-q", "-t", "ed25519", "-N", "", "-C", "", "-f", key.string()}) != 0)
        throw std::runtime_error("ssh-keygen could not make a key");
    std::istringstream line(ReadAll(key.string() + ".pub"));
    std::string type, base64;
    line >> type >> base64;
    return base64;
}

bool SshServer::Available() {
    return access(kSshd, X_OK) == 0 && access(kKeygen, X_OK) == 0;
}

SshServer::SshServer(const Options& options) : m_home(m_dir / "home") {
    fs::create_directories(m_home);
    const passwd* user = getpwuid(getuid());
    if (!user) throw std::runtime_error("no user name for the test sshd");
    m_user = user->pw_name;
    m_hostKeyBase64 = MakeSshKey(m_dir.Path(), "host_key");
    MakeSshKey(m_dir.Path(), "user_key");
    m_keyFile = m_dir / "user_key";
    fs::copy_file(m_dir / "user_key.pub", m_dir / "authorized_keys");
    // Privilege separation wants this folder when sshd runs as root.
    std::error_code ec;
    if (getuid() == 0) fs::create_directories("/run/sshd", ec);

    m_port = FtpServer::UnusedPort();
    std::ofstream config(m_dir / "sshd_config");
    config << "ListenAddress 127.0.0.1\n"
           << "Port " << m_port << "\n"
           << "HostKey " << (m_dir / "host_key").string() << "\n"
           << "PidFile none\n"
           << "AuthorizedKeysFile " << (m_dir / "authorized_keys").string() << "\n"
           << "StrictModes no\nUsePAM no\nPermitRootLogin prohibit-password\n"
           << "PasswordAuthentication no\nKbdInteractiveAuthentication no\n"
           << "Subsystem sftp internal-sftp -d " << m_home.string() << "\n"
           << "ForceCommand internal-sftp -d " << m_home.string() << "\n";
    config.close();
    if (!config) throw std::runtime_error("cannot write the sshd configuration");
    m_process = ChildProcess({kSshd, "-D", "-f", (m_dir / "sshd_config").string(), "-E",
                              (m_dir / "sshd.log").string()});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!PortAccepts(m_port)) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("sshd did not start: " + ReadAll(m_dir / "sshd.log"));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (options.replyDelayMs > 0) {
        const fs::path portFile = m_dir / "relay-port";
        m_relay = ChildProcess({PW_PYTHON, PW_SOURCE_DIR "/tests/support/delay_relay.py",
                                "--target-port", std::to_string(m_port), "--delay-ms",
                                std::to_string(options.replyDelayMs), "--port-file",
                                portFile.string()});
        m_port = m_relay.WaitForPort(portFile);
    }
}

SshServer::~SshServer() {
    Stop();
}

void SshServer::DropConnections() {
    if (m_process.Pid() <= 0) return;
    for (pid_t pid : Descendants(m_process.Pid()))
        kill(pid, SIGKILL);
}

void SshServer::Stop() {
    DropConnections();
    m_process.Kill();
    m_relay.Kill();
}

std::string SshServer::KnownHostsLine() const {
    return "[127.0.0.1]:" + std::to_string(m_port) + " ssh-ed25519 " + m_hostKeyBase64 + "\n";
}

std::string SshServer::Fingerprint() const {
    std::string out;
    // ssh-keygen -l prints "256 SHA256:... comment (ED25519)".
    const fs::path listing = m_dir.Path() / "fingerprint";
    const std::string command = std::string(kKeygen) + " -l -f " + (m_dir / "host_key.pub").string() +
                                " > " + listing.string();
    if (std::system(command.c_str()) != 0) return {};
    std::istringstream line(ReadAll(listing));
    std::string bits;
    line >> bits >> out;
    return out;
}

} // namespace pwtest
