#include "qtsettings/QtSettingsStore.h"
#include "cli/CommandLine.h"
#include "model/SafeSave.h"
#include "tests/cli/CliTestSupport.h"
#include "tests/publish/PublishTestSupport.h"
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;


// Sets an environment variable for the life of the object.
class CEnvVar {
public:
    CEnvVar(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~CEnvVar() {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

} // namespace

TEST(PublishCommands, PublishRemoveAndExportFromTheCommandLine) {
    publishtest::CPublishFixture f;
    pwtest::FtpServer server;
    fs::path site = f.dir / "cli.pwu";
    pwtest::CScriptedInteraction saving;
    ASSERT_TRUE(SafeSave(f.Site(), site, saving));

    const fs::path ini = f.dir / "settings.conf";
    {
        CQtSettingsStore store(QString::fromStdString(ini.string()));
        store.WriteString("FTP destination server", "127.0.0.1");
        store.WriteInt("FTP destination port", server.Port());
        store.WriteString("FTP destination user", server.User());
        store.WriteString("FTP destination catalog", "web\\pw");
        store.WriteInt("FTP passive mode", 1);
        ASSERT_TRUE(store.Sync());
    }
    CEnvVar data("XDG_DATA_HOME", (f.dir / "xdg").string());
    const std::vector<std::string> publishAll = {"publish", site.string(), "--all", "--settings",
                                                 ini.string()};
    {
        // No password anywhere: nothing is tried.
        CEnvVar noPassword("PAGEWRIGHT_FTP_PASSWORD", "");
        CRun r = RunCli(publishAll);
        EXPECT_EQ(r.status, kExitFailure);
        EXPECT_NE(r.err.find("incomplete"), std::string::npos) << r.err;
    }
    CEnvVar password("PAGEWRIGHT_FTP_PASSWORD", server.Password());
    // A catalog that climbs out of the login folder is refused up front.
    CRun r = RunCli({"publish", site.string(), "--settings", ini.string(), "--catalog", "web/.."});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_NE(r.err.find("--catalog"), std::string::npos) << r.err;
    // Download files go only with --yes.
    r = RunCli(publishAll);
    ASSERT_EQ(r.status, kExitOk) << r.out << r.err;
    EXPECT_NE(r.out.find("[answered Nej]"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(server.Home() / "web/pw/My_Homepage_Files/Download/x0.zip"));
    r = RunCli({"--yes", "publish", site.string(), "--settings", ini.string()});
    ASSERT_EQ(r.status, kExitOk) << r.out << r.err;
    EXPECT_NE(r.out.find("Status for opsendelse af hjemmeside: 127.0.0.1\\web\\pw"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Succesfuld Offentliggørelse"), std::string::npos) << r.out;
    const fs::path catalog = server.Home() / "web" / "pw";
    EXPECT_TRUE(fs::exists(catalog / "index.html"));
    EXPECT_EQ(publishtest::ReadFileBytes(catalog / "My_Homepage_Files/Download/x0.zip"),
              std::string(5000, 'B'));
    CPublishRecord record;
    ASSERT_TRUE(record.Read(f.dir / "xdg/Quillmarsh/Pagewright/ftpfile.dat"));
    EXPECT_EQ(record.sitePath, fs::absolute(site).string());

    // Nothing changed since: the next send leaves the server alone.
    fs::remove(catalog / "index.html");
    r = RunCli({"publish", site.string(), "--settings", ini.string()});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_FALSE(fs::exists(catalog / "index.html"));
    // --verify checks the server's listing: what was deleted or changed there
    // (a size that does not fit) goes again.
    std::ofstream(catalog / "My_Homepage_Files/noscript.html") << "changed by hand";
    r = RunCli({"publish", site.string(), "--verify", "--settings", ini.string()});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_TRUE(fs::exists(catalog / "index.html"));
    EXPECT_NE(publishtest::ReadFileBytes(catalog / "My_Homepage_Files/noscript.html"),
              "changed by hand");
    // A site changed outside the designer: what differs goes.
    f.Site().PageAt(2).Items().front()->Normal().GetFill()->SetColour(CColor(9, 9, 9));
    ASSERT_TRUE(SafeSave(f.Site(), site, saving));
    const auto before = publishtest::Tree(catalog);
    r = RunCli({"publish", site.string(), "--settings", ini.string()});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    const auto after = publishtest::Tree(catalog);
    int changed = 0;
    for (const auto& [name, bytes] : after)
        changed += !before.count(name) || before.at(name) != bytes;
    EXPECT_GE(changed, 1);

    // Removing wants an explicit yes.
    r = RunCli({"remove", "--settings", ini.string()});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_NE(r.err.find("--yes"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(catalog / "default.htm"));
    r = RunCli({"--yes", "remove", "--settings", ini.string(), "--catalog", "web/pw"});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_TRUE(publishtest::Tree(catalog).empty());

    r = RunCli({"export", site.string(), (f.dir / "out").string(), "--settings", ini.string()});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_TRUE(fs::exists(f.dir / "out/My_Homepage_Export/index.html"));
    EXPECT_TRUE(fs::exists(f.dir / "out/My_Homepage_Export/My_Homepage_Files/Download/x.zip"));
    r = RunCli({"export", (f.dir / "missing.pwu").string(), (f.dir / "out").string()});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_NE(r.err.find("cannot read"), std::string::npos) << r.err;
}
