#include "publish/Ftp.h"
#include "publish/FtpReplies.h"
#include "tests/support/FtpServer.h"
#include "tests/support/SocksProxy.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <numeric>
#include <random>

namespace fs = std::filesystem;
using pwtest::FtpServer;

namespace {

std::unique_ptr<CFtp> Connect(const FtpServer& server, bool passive = true,
                              FtpProgressFn progress = {}, const CFtpOptions& options = {}) {
    bool a = false, b = false, c = false;
    return std::make_unique<CFtp>(a, b, c, "127.0.0.1", server.Port(), server.User(),
                                  server.Password(), passive, std::move(progress), options);
}

struct CFailedConnect {
    bool unreachable = false, loginRefused = false, networkOk = false;
    int status = FTP_OK;
};

CFailedConnect ConnectViaProxyExpectingFailure(int port, const std::string& password,
                                               const pwtest::SocksProxy& proxy, int proxyPort,
                                               const std::string& proxyPassword) {
    CFailedConnect f;
    try {
        CFtp ftp(f.unreachable, f.loginRefused, f.networkOk, "127.0.0.1", port, "webmaster",
                 password, true, "127.0.0.1", proxyPort, proxy.User(), proxyPassword, CFtp::Socks5,
                 {});
        ADD_FAILURE() << "connected through the proxy";
    } catch (const CFtpConnectError& e) {
        f.status = e.GetStatus();
    }
    return f;
}

CFailedConnect ConnectExpectingFailure(const std::string& host, int port, const std::string& user,
                                       const std::string& password,
                                       const CFtpOptions& options = {}) {
    CFailedConnect f;
    try {
        CFtp ftp(f.unreachable, f.loginRefused, f.networkOk, host, port, user, password, true, {},
                 options);
        ADD_FAILURE() << "connected to " << host << ":" << port;
    } catch (const CFtpConnectError& e) {
        f.status = e.GetStatus();
    }
    return f;
}

std::string WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return bytes;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Compares a stored file with the bytes sent without dumping megabytes.
testing::AssertionResult Holds(const fs::path& path, const std::string& expected) {
    const std::string actual = ReadFile(path);
    if (actual == expected) return testing::AssertionSuccess();
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return testing::AssertionFailure()
           << path << " holds " << actual.size() << " bytes, " << expected.size()
           << " expected; first difference at " << at;
}

std::string RandomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (auto& c : s)
        c = static_cast<char>(rng() & 0xff);
    return s;
}

std::vector<std::string> Entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(FtpTest, ConnectionFailuresSetTheRightFlag) {
    FtpServer server;
    {
        auto ftp = Connect(server);
        EXPECT_EQ(ftp->GetStatus(), FTP_OK);
        EXPECT_EQ(ftp->GetCurrentDir(), "");
        bool a = false, b = false, c = false;
        CFtp typed(a, b, c, " 127.0.0.1 ", server.Port(), server.User(), server.Password(), true,
                   {});
    }

    auto wrong = ConnectExpectingFailure("127.0.0.1", server.Port(), server.User(), "nope");
    EXPECT_FALSE(wrong.unreachable);
    EXPECT_TRUE(wrong.loginRefused);
    EXPECT_TRUE(wrong.networkOk);
    EXPECT_EQ(wrong.status, FTP_LOGIN);

    auto closed = ConnectExpectingFailure("127.0.0.1", FtpServer::UnusedPort(), "u", "p");
    EXPECT_TRUE(closed.unreachable);
    EXPECT_FALSE(closed.loginRefused);
    EXPECT_EQ(closed.status, FTP_UNREACHABLE);

    // A host name that would smuggle a second line never reaches a socket.
    auto bad = ConnectExpectingFailure("127.0.0.1\r\nQUIT", server.Port(), "u", "p");
    EXPECT_TRUE(bad.unreachable);
    EXPECT_FALSE(bad.loginRefused);
}

TEST(FtpTest, DirectoriesAreMadeEnteredAndRemoved) {
    FtpServer server;
    auto ftp = Connect(server);

    EXPECT_FALSE(ftp->chdir("site"));
    EXPECT_EQ(ftp->GetStatus(), FTP_NO_DIRECTORY);

    ASSERT_TRUE(ftp->mkdir("site"));
    ASSERT_TRUE(ftp->chdir("site"));
    ASSERT_TRUE(ftp->mkdir("My Files"));
    ASSERT_TRUE(ftp->chdir("My Files"));
    EXPECT_EQ(ftp->GetCurrentDir(), "site/My Files");
    EXPECT_TRUE(fs::is_directory(server.Home() / "site" / "My Files"));

    // Creating what exists fails and leaves the session where it was.
    ASSERT_TRUE(ftp->chdir(".."));
    EXPECT_FALSE(ftp->mkdir("My Files"));
    EXPECT_EQ(ftp->GetStatus(), FTP_REFUSED);
    EXPECT_EQ(ftp->GetCurrentDir(), "site");
    ASSERT_TRUE(ftp->chdir(".."));
    EXPECT_EQ(ftp->GetCurrentDir(), "");

    // Names that are not one component are refused before anything is sent.
    WriteFile(server.Home() / "victim.htm", "x");
    EXPECT_FALSE(ftp->chdir("site/My Files"));
    EXPECT_EQ(ftp->GetStatus(), FTP_BAD_NAME);
    EXPECT_FALSE(ftp->mkdir("x\r\nDELE victim.htm"));
    EXPECT_EQ(ftp->GetStatus(), FTP_BAD_NAME);
    EXPECT_FALSE(ftp->remove("../victim.htm"));
    EXPECT_TRUE(fs::exists(server.Home() / "victim.htm"));

    ASSERT_TRUE(ftp->chdir("site"));
    EXPECT_TRUE(ftp->rmdir("My Files"));
    EXPECT_FALSE(fs::exists(server.Home() / "site" / "My Files"));
    EXPECT_FALSE(ftp->rmdir("My Files"));
    EXPECT_NE(ftp->GetStatus(), FTP_OK);
}

TEST(FtpTest, PutStoresBinaryExactlyAndTextWithServerLineEnds) {
    FtpServer server;
    pwtest::TempDir local;
    auto ftp = Connect(server);
    ASSERT_TRUE(ftp->mkdir("www"));
    ASSERT_TRUE(ftp->chdir("www"));

    std::string every(256, '\0');
    std::iota(every.begin(), every.end(), 0);
    const auto binary = WriteFile(local / "pic.jpg", every + "\r\n\n\r" + RandomBytes(200000, 1));
    ASSERT_TRUE(ftp->put(local / "pic.jpg", "pic.jpg", true)) << ftp->GetLastError();
    EXPECT_TRUE(Holds(server.Home() / "www" / "pic.jpg", binary));

    // Text goes out with CR LF line ends; this server stores LF.
    WriteFile(local / "page.html", "<p>a</p>\n<p>b</p>\r\n\r\nend\n");
    ASSERT_TRUE(ftp->put(local / "page.html", "page.html", false)) << ftp->GetLastError();
    EXPECT_EQ(ReadFile(server.Home() / "www" / "page.html"), "<p>a</p>\n<p>b</p>\n\nend\n");

    // Replacing keeps one file with the new content and no leftovers.
    WriteFile(local / "page2.html", "new\n");
    ASSERT_TRUE(ftp->put(local / "page2.html", "page.html", false));
    EXPECT_EQ(ReadFile(server.Home() / "www" / "page.html"), "new\n");
    ASSERT_TRUE(ftp->put(local / "page2.html", "with space.htm", true));
    EXPECT_EQ(Entries(server.Home() / "www"),
              (std::vector<std::string>{"page.html", "pic.jpg", "with space.htm"}));

    EXPECT_FALSE(ftp->put(local / "missing.jpg", "missing.jpg", true));
    EXPECT_EQ(ftp->GetStatus(), FTP_LOCAL_FILE);
    WriteFile(local / "empty.txt", "");
    ASSERT_TRUE(ftp->put(local / "empty.txt", "empty.txt", false));
    EXPECT_EQ(fs::file_size(server.Home() / "www" / "empty.txt"), 0u);
}

TEST(FtpTest, RemoveAndMdelKeepExcludedNamesAndDirectories) {
    FtpServer server;
    const auto files = server.Home() / "My_Homepage_Files";
    fs::create_directories(files / "Download");
    for (auto name : {"a.jpg", "b.gif", "page.html", "README", "keep.jpg", "Download.txt"}) {
        WriteFile(files / name, name);
    }
    WriteFile(files / "Download" / "x.zip", "zip");
    WriteFile(server.Home() / "default.htm", "home");

    auto ftp = Connect(server);
    EXPECT_TRUE(ftp->remove("default.htm"));
    EXPECT_FALSE(fs::exists(server.Home() / "default.htm"));
    EXPECT_FALSE(ftp->remove("default.htm"));

    ASSERT_TRUE(ftp->chdir("My_Homepage_Files"));
    ASSERT_TRUE(ftp->mdel_excludefiles("*.jpg", {"keep.jpg"}));
    EXPECT_EQ(Entries(files), (std::vector<std::string>{"Download", "Download.txt", "README",
                                                        "b.gif", "keep.jpg", "page.html"}));
    ASSERT_TRUE(ftp->mdel_excludefiles("*.*", {"Download", "..", ".", "keep.jpg"}));
    EXPECT_EQ(Entries(files), (std::vector<std::string>{"Download", "keep.jpg"}));
    EXPECT_TRUE(fs::exists(files / "Download" / "x.zip"));

    ASSERT_TRUE(ftp->chdir("Download"));
    ASSERT_TRUE(ftp->mdel_excludefiles("*.*", {"..", "."}));
    ASSERT_TRUE(ftp->chdir(".."));
    EXPECT_TRUE(ftp->rmdir("Download"));
    EXPECT_EQ(Entries(files), (std::vector<std::string>{"keep.jpg"}));
}

TEST(FtpTest, MdelWorksOnServersWithoutMlsd) {
    FtpServer::Options options;
    options.noMlsd = true;
    FtpServer server(options);
    fs::create_directories(server.Home() / "Download");
    for (auto name : {"a.jpg", "page.html", "keep.gif"})
        WriteFile(server.Home() / name, name);

    auto ftp = Connect(server);
    ASSERT_TRUE(ftp->mdel_excludefiles("*.*", {"Download", ".", "..", "keep.gif"}))
        << ftp->GetLastError();
    EXPECT_EQ(ftp->GetStatus(), FTP_OK);
    EXPECT_EQ(Entries(server.Home()), (std::vector<std::string>{"Download", "keep.gif"}));
    // Without MLSD a directory cannot be told from a file before DELE fails.
    EXPECT_FALSE(ftp->mdel_excludefiles("*.*", {"keep.gif"}));
    EXPECT_EQ(ftp->GetStatus(), FTP_REFUSED);
    EXPECT_TRUE(fs::exists(server.Home() / "keep.gif"));
}

TEST(FtpTest, ListingsAndPatterns) {
    const std::string mlsd = "type=cdir;modify=20240101000000; .\r\n"
                             "type=pdir;modify=20240101000000; ..\r\n"
                             "type=dir;size=0; Download\r\n"
                             "Type=File;Size=12; my page.htm\r\n"
                             "size=3;type=file;perm=r; a.jpg\r\n"
                             "type=OS.unix=symlink; link\r\n"
                             "broken-line-without-name\r\n";
    EXPECT_EQ(ParseMlsdFiles(mlsd), (std::vector<std::string>{"my page.htm", "a.jpg"}));
    EXPECT_EQ(ParseMlsdFileSizes(mlsd + "type=file;size=x1; odd\r\ntype=file; none\r\n"),
              (std::map<std::string, long long>{
                  {"my page.htm", 12}, {"a.jpg", 3}, {"odd", -1}, {"none", -1}}));
    EXPECT_EQ(ParseNlstNames("a.jpg\r\n/www/b.gif\nc d.htm"),
              (std::vector<std::string>{"a.jpg", "b.gif", "c d.htm"}));

    EXPECT_TRUE(CFtp::MatchesPattern("*.*", "README"));
    EXPECT_TRUE(CFtp::MatchesPattern("*.jpg", "a.b.jpg"));
    EXPECT_FALSE(CFtp::MatchesPattern("*.jpg", "a.jpg.gif"));
    EXPECT_TRUE(CFtp::MatchesPattern("pic?.gif", "pic1.gif"));
    EXPECT_FALSE(CFtp::MatchesPattern("pic?.gif", "pic12.gif"));
    EXPECT_TRUE(CFtp::MatchesPattern("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(CFtp::MatchesPattern("a*b*c", "aXbYcZ"));
}

TEST(FtpTest, ProgressCountsFileBytesAndCanStop) {
    FtpServer server;
    pwtest::TempDir local;
    const auto big = WriteFile(local / "big.bin", RandomBytes(700000, 2));
    WriteFile(local / "lines.html", std::string(50000, '\n'));

    long long total = 0;
    int calls = 0;
    int stopAt = 0; // stop at this call, 0 for never
    auto ftp = Connect(server, true, [&](int bytes) {
        if (bytes == 0) return 1; // asked between the pieces: go on
        total += bytes;
        return ++calls == stopAt ? 0 : 1;
    });

    ASSERT_TRUE(ftp->put(local / "big.bin", "big.bin", true));
    EXPECT_EQ(total, 700000);
    EXPECT_GT(calls, 1);
    total = 0;
    ASSERT_TRUE(ftp->put(local / "lines.html", "lines.html", false));
    EXPECT_EQ(total, 50000); // file bytes, not the CR LF pairs on the wire

    // Stopping: status 5, and the file already there stays whole.
    WriteFile(local / "other.bin", RandomBytes(700000, 3));
    calls = 0;
    stopAt = 2;
    EXPECT_FALSE(ftp->put(local / "other.bin", "big.bin", true));
    EXPECT_EQ(ftp->GetStatus(), FTP_STOPPED);
    EXPECT_TRUE(Holds(server.Home() / "big.bin", big));
    EXPECT_EQ(Entries(server.Home()), (std::vector<std::string>{"big.bin", "lines.html"}));

    // The session goes on after a stop.
    stopAt = 0;
    ASSERT_TRUE(ftp->put(local / "other.bin", "other.bin", true)) << ftp->GetLastError();
    EXPECT_EQ(fs::file_size(server.Home() / "other.bin"), 700000u);
}

TEST(FtpTest, BrokenConnectionsReportTheServerWentAway) {
    FtpServer::Options options;
    options.dropUploadAfter = 100000;
    FtpServer server(options);
    pwtest::TempDir local;
    const auto small = WriteFile(local / "small.htm", "small");
    WriteFile(local / "big.bin", RandomBytes(2000000, 4));

    auto ftp = Connect(server);
    ASSERT_TRUE(ftp->put(local / "small.htm", "page.htm", true));
    EXPECT_FALSE(ftp->put(local / "big.bin", "page.htm", true));
    EXPECT_EQ(ftp->GetStatus(), FTP_DATA_LOST) << ftp->GetLastError();
    EXPECT_EQ(ReadFile(server.Home() / "page.htm"), small);
    ASSERT_TRUE(ftp->put(local / "small.htm", "again.htm", true)) << ftp->GetLastError();

    server.Stop();
    EXPECT_FALSE(ftp->chdir(".."));
    EXPECT_EQ(ftp->GetStatus(), FTP_CLOSED) << ftp->GetLastError();
    EXPECT_FALSE(ftp->put(local / "small.htm", "x.htm", true));
    EXPECT_EQ(ftp->GetStatus(), FTP_CLOSED) << ftp->GetLastError();
}

TEST(FtpTest, SilentServerTimesOut) {
    FtpServer server;
    CFtpOptions options;
    options.idleTimeoutSeconds = 1;
    auto ftp = Connect(server, true, {}, options);
    server.Freeze();
    EXPECT_FALSE(ftp->mkdir("x"));
    EXPECT_EQ(ftp->GetStatus(), FTP_TIMEOUT) << ftp->GetLastError();
}

TEST(FtpTest, PassiveAndActiveTransfersOverPlainAndTls) {
    FtpServer plain;
    FtpServer::Options tlsOptions;
    tlsOptions.tls = true;
    FtpServer secure(tlsOptions);
    pwtest::TempDir local;
    const auto bytes = WriteFile(local / "f.bin", RandomBytes(300000, 5));

    CFtpOptions tls;
    tls.tls = true;
    tls.caFile = secure.CaFile();
    for (bool passive : {true, false}) {
        for (const FtpServer* server : {&plain, &secure}) {
            SCOPED_TRACE(std::string(passive ? "passive" : "active") +
                         (server == &secure ? " tls" : " plain"));
            auto ftp = Connect(*server, passive, {}, server == &secure ? tls : CFtpOptions{});
            const std::string name = passive ? "passive.bin" : "active.bin";
            // Repeated: an upload cut short when the data connection closes
            // shows only now and then.
            for (int i = 0; i < (server == &secure ? 10 : 1); ++i) {
                ASSERT_TRUE(ftp->put(local / "f.bin", name, true)) << ftp->GetLastError();
                ASSERT_TRUE(Holds(server->Home() / name, bytes)) << "upload " << i;
            }
            ASSERT_TRUE(ftp->mdel_excludefiles("*.*", {name})) << ftp->GetLastError();
        }
    }

    // A certificate nobody vouches for is refused before the password goes
    // out, and said to be the reason: the network itself is fine.
    CFtpOptions untrusted;
    untrusted.tls = true;
    untrusted.caFile = plain.Home() / "none.pem";
    WriteFile(untrusted.caFile, "");
    auto refused = ConnectExpectingFailure("127.0.0.1", secure.Port(), secure.User(),
                                           secure.Password(), untrusted);
    EXPECT_FALSE(refused.unreachable);
    EXPECT_TRUE(refused.networkOk);
    EXPECT_EQ(refused.status, FTP_CERTIFICATE);
    CFtpOptions systemStore;
    systemStore.tls = true;
    refused = ConnectExpectingFailure("127.0.0.1", secure.Port(), secure.User(), secure.Password(),
                                      systemStore);
    EXPECT_EQ(refused.status, FTP_CERTIFICATE);
    // A plain server cannot be talked into sending the password in clear.
    refused =
        ConnectExpectingFailure("127.0.0.1", plain.Port(), plain.User(), plain.Password(), tls);
    EXPECT_EQ(refused.status, FTP_TLS);
}

TEST(FtpTest, SocksProxiesCarryTheSessionAndTheirFailuresClearTheNetworkFlag) {
    FtpServer server;
    pwtest::SocksProxy proxy;
    pwtest::TempDir local;
    const auto bytes = WriteFile(local / "f.bin", RandomBytes(100000, 6));

    for (auto type : {CFtp::Socks4, CFtp::Socks5}) {
        SCOPED_TRACE(type == CFtp::Socks4 ? "socks4" : "socks5");
        const size_t before = proxy.Relayed().size();
        bool a = false, b = false, c = false;
        // Active mode cannot work through a proxy; the client goes passive.
        CFtp ftp(a, b, c, "127.0.0.1", server.Port(), server.User(), server.Password(), false,
                 "127.0.0.1", proxy.Port(), proxy.User(), proxy.Password(), type, {});
        const std::string name = type == CFtp::Socks4 ? "four.bin" : "five.bin";
        ASSERT_TRUE(ftp.put(local / "f.bin", name, true)) << ftp.GetLastError();
        EXPECT_TRUE(Holds(server.Home() / name, bytes));
        // The control connection and at least one data connection went through it.
        const auto relayed = proxy.Relayed();
        ASSERT_GE(relayed.size(), before + 2);
        EXPECT_EQ(relayed[before], "127.0.0.1 " + std::to_string(server.Port()));
    }

    auto f = ConnectViaProxyExpectingFailure(server.Port(), server.Password(), proxy, proxy.Port(),
                                             "wrong");
    EXPECT_FALSE(f.unreachable);
    EXPECT_FALSE(f.loginRefused);
    EXPECT_FALSE(f.networkOk);
    f = ConnectViaProxyExpectingFailure(server.Port(), server.Password(), proxy,
                                        FtpServer::UnusedPort(), proxy.Password());
    EXPECT_FALSE(f.unreachable);
    EXPECT_FALSE(f.networkOk);
    // The proxy works but the server does not answer, or refuses the login.
    f = ConnectViaProxyExpectingFailure(FtpServer::UnusedPort(), server.Password(), proxy,
                                        proxy.Port(), proxy.Password());
    EXPECT_TRUE(f.unreachable);
    EXPECT_TRUE(f.networkOk);
    f = ConnectViaProxyExpectingFailure(server.Port(), "wrong", proxy, proxy.Port(),
                                        proxy.Password());
    EXPECT_FALSE(f.unreachable);
    EXPECT_TRUE(f.loginRefused);
}

// A server that refuses renames: the first upload finds out, the temporary
// copy is removed again, and every upload then replaces the live file in
// place, never deleting it first.
TEST(FtpTest, UploadsGoInPlaceWhenTheServerRefusesRename) {
    FtpServer::Options options;
    options.noRename = true;
    FtpServer server(options);
    pwtest::TempDir local;
    auto ftp = Connect(server);
    EXPECT_FALSE(ftp->UploadsInPlace());
    for (const std::string& bytes : {std::string(5000, 'a'), std::string(300, 'b')}) {
        WriteFile(local / "f.bin", bytes);
        ASSERT_TRUE(ftp->put(local / "f.bin", "page.gif", true)) << ftp->GetLastError();
        EXPECT_TRUE(ftp->UploadsInPlace());
        EXPECT_TRUE(Holds(server.Home() / "page.gif", bytes));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(server.Home()), fs::directory_iterator()), 1);
}

// The protocol trace (PW_FTP_TRACE) never shows the password.
TEST(FtpTest, TheTraceHidesThePassword) {
    for (const auto& [in, out] : std::vector<std::pair<std::string, std::string>>{
             {"PASS s3cret pass\r\n", "PASS ****\r\n"},
             {"pass x\n", "PASS ****\n"},
             {"USER webmaster\r\nPASS a b\r\n", "USER webmaster\r\nPASS ****\r\n"},
             {"PASV\r\n", "PASV\r\n"},
             {"PASSWORD-FREE", "PASSWORD-FREE"}})
        EXPECT_EQ(RedactFtpTrace(in), out) << in;

    FtpServer server;
    setenv("PW_FTP_TRACE", "1", 1);
    testing::internal::CaptureStderr();
    {
        auto ftp = Connect(server);
        EXPECT_TRUE(ftp->chdir("."));
    }
    const std::string trace = testing::internal::GetCapturedStderr();
    unsetenv("PW_FTP_TRACE");
    EXPECT_NE(trace.find("PASS ****"), std::string::npos) << trace;
    EXPECT_EQ(trace.find(server.Password()), std::string::npos) << trace;
}
