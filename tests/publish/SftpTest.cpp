// Publishing by SFTP to a real sshd: the server's host key and the ways to
// log in. (The publish itself, for every kind, is in PublishFlowTest.)
#include "publish/Sftp.h"
#include "publish/PublishManifest.h"
#include "publish/SiteUploader.h"
#include "tests/publish/PublishTestSupport.h"
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

using namespace publishtest;
using EResult = CPublisher::EResult;
using ESendMode = CPublisher::ESendMode;

namespace {

#define REQUIRE_SSHD()                                                                        \
    if (!pwtest::SshServer::Available()) GTEST_SKIP() << "sshd is missing: run scripts/install-deps"

std::string Text(const fs::path& file) {
    return fs::exists(file) ? ReadFileBytes(file) : std::string();
}

} // namespace

// An unknown server key is refused with its fingerprint shown; declined,
// nothing is stored and nothing sent. Accepted, it is stored (after what
// the file held) and used, and later publishes go without a question. A key
// other than the stored one is always refused, and the file stays as it was.
TEST(Sftp, AnUnknownHostKeyIsAskedForAStoredOneUsedAndAChangedOneRefused) {
    REQUIRE_SSHD();
    pwtest::SshServer server;
    CPublishFixture f;
    f.Connect(server, "www", false);
    const fs::path knownHosts = f.env.ftpOptions.knownHosts;
    const std::string otherHost = "other.example ssh-ed25519 AAAAC3NzaC1lZDI1NTE5AAAAIOnly\n";
    std::ofstream(knownHosts) << "# mine\n" << otherHost;
    const std::string fingerprint = server.Fingerprint();
    ASSERT_EQ(fingerprint.rfind("SHA256:", 0), 0u);

    f.ui.ExpectChoice(fingerprint, 1); // "&Nej"
    EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Stopped);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_EQ(Text(knownHosts), "# mine\n" + otherHost);
    EXPECT_FALSE(fs::exists(server.Home() / "www"));

    f.ui.ExpectChoice(fingerprint, 0) // "&Ja"
        .ExpectChoice(IDD_SEND_DOWNLOADS, 0, true)
        .ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
    ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Done);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_EQ(Text(knownHosts), "# mine\n" + otherHost + server.KnownHostsLine());
    EXPECT_TRUE(fs::exists(server.Home() / "www" / "index.html"));

    f.ui.ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
    ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Done);
    EXPECT_TRUE(f.ui.Verify());

    // The same name with another key: someone else may be answering.
    const std::string impostor = "[127.0.0.1]:" + std::to_string(server.Port()) +
                                 " ssh-ed25519 " + pwtest::MakeSshKey(f.dir.Path(), "other") + "\n";
    std::ofstream(knownHosts) << impostor;
    f.ui.ExpectMessage(fingerprint, EAnswer::Ok);
    EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Failed);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_EQ(Text(knownHosts), impostor);
}

// Connections cut while files go: libcurl logs in again for the next
// command, or the run fails; either way the next publish repairs exactly
// the rest, and the server ends as the build with nothing of the replacing
// left behind.
TEST(Sftp, CutConnectionsLeaveNothingTornAndTheNextPublishCompletes) {
    REQUIRE_SSHD();
    pwtest::SshServer server;
    CPublishFixture f;
    f.Connect(server);
    // The cuts begin when the user has answered the question before the
    // files go.
    std::atomic<bool> armed{false}, done{false};
    f.ui.beforeChoice = [&](const CChoice& choice) {
        if (choice.id == IDD_SEND_DOWNLOADS) armed = true;
    };
    std::thread cutter([&] {
        for (int cuts = 0; !done && cuts < 3;) {
            if (armed) {
                server.DropConnections();
                ++cuts;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    f.ui.AllowUnscriptedNotices().ExpectChoice(IDD_SEND_DOWNLOADS, 0, true);
    const EResult first = f.publisher.Send(&f.Site(), ESendMode::Changes);
    done = true;
    cutter.join();
    EXPECT_NE(first, EResult::Stopped);
    EXPECT_TRUE(f.ui.Verify());

    // The download files not sent yet are asked about again.
    CPublishManifest manifest;
    manifest.Read(CSiteUploader::ManifestFile(f.env), CSiteUploader::ManifestKey(f.env));
    if (!manifest.files.count("My_Homepage_Files/Download/x.zip") ||
        !manifest.files.count("My_Homepage_Files/Download/x0.zip"))
        f.ui.ExpectChoice(IDD_SEND_DOWNLOADS, 0, true);
    ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Done);
    EXPECT_TRUE(f.ui.Verify());
    const auto local = Tree(f.Built());
    const std::set<std::string> frontNames = {"default.htm", "default.html", "index.htm",
                                              "index.html"};
    size_t count = 0;
    for (const auto& [name, bytes] : Tree(server.Home() / "www" / "site")) {
        EXPECT_EQ(name.find(".pw-"), std::string::npos) << name;
        if (name.starts_with("My_Homepage_Files/Download/")) continue;
        const auto built = local.find(frontNames.count(name) ? "default.htm" : name);
        ASSERT_NE(built, local.end()) << name;
        EXPECT_EQ(bytes, built->second) << name; // SFTP stores the bytes as built
        ++count;
    }
    size_t expected = 3; // the front page's other names
    for (const auto& [name, bytes] : local)
        expected += name.find("compareimage") == std::string::npos;
    EXPECT_EQ(count, expected);
}

// The ways in: the key file, the keys of a running ssh-agent, and a key the
// server does not know (refused as a login, not as a lost server).
TEST(Sftp, LogsInWithAKeyFileOrTheAgentAndReportsARefusedKey) {
    REQUIRE_SSHD();
    pwtest::SshServer server;
    pwtest::TempDir dir;
    pwtest::MakeSshKey(dir.Path(), "stranger");
    // An agent of its own holding the server's key.
    const fs::path socket = dir / "agent.sock";
    pwtest::ChildProcess agent({"/usr/bin/ssh-agent", "-D", "-a", socket.string()});
    for (int i = 0; i < 200 && !fs::exists(socket); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const char* before = std::getenv("SSH_AUTH_SOCK");
    const std::string saved = before ? before : "";
    setenv("SSH_AUTH_SOCK", socket.c_str(), 1);
    ASSERT_EQ(pwtest::RunQuietly({"/usr/bin/ssh-add", server.KeyFile().string()}), 0);

    const struct {
        const char* name;
        fs::path keyFile;
        bool agent;
        int status;
    } cases[] = {
        {"key file", server.KeyFile(), false, FTP_OK},
        {"agent", {}, true, FTP_OK},
        {"unknown key", dir / "stranger", false, FTP_LOGIN},
        {"nothing to log in with", {}, false, FTP_LOGIN},
    };
    std::ofstream(dir / "known_hosts") << server.KnownHostsLine();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.agent)
            setenv("SSH_AUTH_SOCK", socket.c_str(), 1);
        else
            unsetenv("SSH_AUTH_SOCK");
        CFtpOptions options;
        options.sftp = true;
        options.keyFile = c.keyFile;
        options.knownHosts = dir / "known_hosts";
        bool unreachable = false, loginRefused = false, networkOk = true;
        try {
            CFtp ftp(unreachable, loginRefused, networkOk, "127.0.0.1", server.Port(), server.User(),
                     "", true, {}, options);
            EXPECT_EQ(c.status, FTP_OK);
            EXPECT_TRUE(ftp.mkdir("made here"));
            EXPECT_TRUE(fs::is_directory(server.Home() / "made here"));
            EXPECT_TRUE(ftp.rmdir("made here"));
        } catch (const CFtpConnectError& error) {
            EXPECT_EQ(error.GetStatus(), c.status) << error.what();
            EXPECT_TRUE(loginRefused);
            EXPECT_FALSE(unreachable);
        }
    }
    if (before)
        setenv("SSH_AUTH_SOCK", saved.c_str(), 1);
    else
        unsetenv("SSH_AUTH_SOCK");
}

// What the SSH side reads: the long listing's plain files with their sizes,
// a key's type and fingerprint, and quoting for the quote commands.
TEST(Sftp, ListingKeysAndQuoting) {
    const auto files = ParseSftpLongListing(
        "drwxr-xr-x    2 root     root         4096 Dec  8 15:51 .\r\n"
        "-rw-r--r--    1 root     root            6 Dec  8 15:51 f.txt\n"
        "-rw-r--r--    1 anna     web         12345 Jan 1  2025 name with  spaces.html\n"
        "lrwxrwxrwx    1 root     root            4 Dec  8 15:51 link -> f.txt\n"
        "-rw-r--r-- broken\n");
    EXPECT_EQ(files, (std::map<std::string, long long>{{"f.txt", 6},
                                                        {"name with  spaces.html", 12345}}));
    pwtest::TempDir dir;
    const std::string key = pwtest::MakeSshKey(dir.Path(), "k");
    EXPECT_EQ(SshKeyType(key), "ssh-ed25519");
    EXPECT_EQ(SshKeyType("not base64!"), "");
    EXPECT_EQ(SshKeyFingerprint("###"), "");
    EXPECT_EQ(KnownHostsName("h.dk", 22), "h.dk");
    EXPECT_EQ(KnownHostsName("h.dk", 2222), "[h.dk]:2222");
    EXPECT_EQ(SftpQuote("/~/a \"b\"\\c"), "\"/~/a \\\"b\\\"\\\\c\"");
}
