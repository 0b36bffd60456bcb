// "Afbryd" while a publish sends its files to a distant server.
#include "tests/publish/PublishTestSupport.h"
#include <memory>

using namespace publishtest;
using namespace std::chrono_literals;
using EResult = CPublisher::EResult;
using ESendMode = CPublisher::ESendMode;
using Clock = CCancelAt::Clock;

namespace {

// Every live file on the server is whole: the file the build made (pages
// may have the server's line ends). Upload files left by the stop do not
// count; the next publish sweeps them away.
void ExpectNothingTorn(const CPublishFixture& f, const fs::path& catalog) {
    const auto local = Tree(f.Built());
    const std::set<std::string> frontNames = {"default.html", "index.htm", "index.html"};
    for (const auto& [name, bytes] : Tree(catalog)) {
        if (name.find("/.pw-") != std::string::npos || name.starts_with(".pw-")) continue;
        if (name.ends_with("x.zip")) {
            EXPECT_EQ(bytes, std::string(3000, 'A')) << name;
        } else if (name.ends_with("x0.zip")) {
            EXPECT_EQ(bytes, std::string(5000, 'B')) << name;
        } else {
            const auto built = local.find(frontNames.count(name) ? "default.htm" : name);
            ASSERT_NE(built, local.end()) << name;
            EXPECT_EQ(Lf(bytes), Lf(built->second)) << name;
        }
    }
}

} // namespace

// Pressed at any moment of the upload, over one connection or several, by
// FTP or SFTP to a server 20 ms away: the publish ends within 100 ms,
// without a message after the questions, with no live file torn, and with
// the pages still marked as not sent and no publish recorded.
TEST(PublishCancel, AfbrydStopsTheUploadWithin100MsAndTearsNothing) {
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    // Sanitized code runs several times slower; the bound scales with it.
    const auto bound = 1000ms;
#else
    const auto bound = 100ms;
#endif
    const struct {
        const char* name;
        bool sftp;
        int connections;
        std::chrono::milliseconds after; // from the opening of the status window
    } cases[] = {
        {"FTP, one connection", false, 1, 450ms},
        {"FTP, four connections", false, 4, 350ms},
        {"SFTP, one connection", true, 1, 450ms},
        {"SFTP, four connections", true, 4, 500ms},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.sftp && !pwtest::SshServer::Available()) {
            ADD_FAILURE() << "sshd is missing: run scripts/install-deps";
            continue;
        }
        std::unique_ptr<pwtest::FtpServer> ftp;
        std::unique_ptr<pwtest::SshServer> ssh;
        if (c.sftp) {
            ssh = std::make_unique<pwtest::SshServer>(pwtest::SshServer::Options{20});
        } else {
            pwtest::FtpServer::Options far;
            far.replyDelayMs = 20;
            ftp = std::make_unique<pwtest::FtpServer>(far);
        }
        const fs::path home = c.sftp ? ssh->Home() : ftp->Home();
        // The machine is shared: the best of three tries counts, and an
        // upload that ends before the press tries again with half the delay.
        auto best = Clock::duration::max();
        auto after = c.after;
        for (int attempt = 0; attempt < 3 && best >= bound; ++attempt) {
            const std::string catalog = "try" + std::to_string(attempt);
            CPublishFixture f;
            if (c.sftp)
                f.Connect(*ssh, catalog);
            else
                f.Connect(*ftp, catalog);
            f.settings.SetPublishConnections(c.connections);
            f.ui.cancelUploadAfter = after;
            // Every question comes before the first byte goes.
            f.ui.ExpectChoice(IDD_DELETE_SERVER_FILES, 0).ExpectChoice(IDD_SEND_DOWNLOADS, 0, true);
            const EResult result = f.publisher.Send(&f.Site(), ESendMode::Everything);
            const Clock::time_point ended = Clock::now();
            if (result == EResult::Done) {
                after /= 2;
                f.ui.Verify(); // the "published" message was not scripted
                continue;
            }
            ASSERT_EQ(result, EResult::Stopped);
            EXPECT_TRUE(f.ui.cancelSeen);
            EXPECT_TRUE(f.ui.Verify()); // no dialog after the questions
            best = std::min(best, ended - f.ui.cancelledAt);
            ExpectNothingTorn(f, home / catalog);
            EXPECT_EQ(f.record.pendingPages, (std::vector<int32_t>{0, 1, 2}));
            EXPECT_FALSE(fs::exists(f.env.recordFile));
        }
        EXPECT_LT(best, bound) << std::chrono::duration_cast<std::chrono::milliseconds>(best).count()
                               << " ms";
    }
}
