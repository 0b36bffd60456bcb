#include "publish/PrivateFolders.h"
#include "publish/SiteUploader.h"
#include "tests/publish/PublishTestSupport.h"
#include "tests/support/SocksProxy.h"

using namespace publishtest;
using EResult = CPublisher::EResult;
using ESendMode = CPublisher::ESendMode;

namespace {

// The site as it must stand on the server: the front page under four names,
// every page and picture of the build, the notice pages and the downloads.
void ExpectCompleteSite(const CPublishFixture& f, const fs::path& catalog) {
    const auto local = Tree(f.Built());
    const auto remote = Tree(catalog);
    const std::string front = Lf(local.at("default.htm"));
    for (const char* name : {"default.htm", "default.html", "index.htm", "index.html"}) {
        ASSERT_TRUE(remote.count(name)) << name;
        EXPECT_EQ(Lf(remote.at(name)), front) << name;
    }
    for (const auto& [name, bytes] : local) {
        if (name == "default.htm" || name.find("compareimage") != std::string::npos) continue;
        ASSERT_TRUE(remote.count(name)) << name;
        if (name.ends_with(".html"))
            EXPECT_EQ(Lf(remote.at(name)), Lf(bytes)) << name;
        else
            EXPECT_EQ(remote.at(name), bytes) << name; // pictures byte for byte
    }
    EXPECT_EQ(remote.at("My_Homepage_Files/Download/x.zip"), std::string(3000, 'A'));
    EXPECT_EQ(remote.at("My_Homepage_Files/Download/x0.zip"), std::string(5000, 'B'));
}

// Every page of the last build, as the server must hold it: the build's
// files (the front page under its four names) and nothing else of ours; the
// Download folder and the user's own files are left out.
void ExpectServerIsBuild(const CPublishFixture& f, const fs::path& catalog,
                         const std::set<std::string>& usersOwn) {
    std::map<std::string, std::string> expected;
    for (const auto& [name, bytes] : Tree(f.Built())) {
        if (name.find("compareimage") != std::string::npos) continue;
        if (name != "default.htm") expected[name] = bytes;
        if (name == "default.htm")
            for (const char* front : {"default.htm", "default.html", "index.htm", "index.html"})
                expected[front] = bytes;
    }
    std::map<std::string, std::string> remote;
    for (const auto& [name, bytes] : Tree(catalog))
        if (!name.starts_with("My_Homepage_Files/Download/") && !usersOwn.count(name))
            remote[name] = bytes;
    ASSERT_EQ(remote.size(), expected.size());
    for (const auto& [name, bytes] : expected) {
        ASSERT_TRUE(remote.count(name)) << name;
        if (name.ends_with(".html") || name.ends_with(".htm"))
            EXPECT_EQ(Lf(remote.at(name)), Lf(bytes)) << name;
        else
            EXPECT_EQ(remote.at(name), bytes) << name; // pictures byte for byte
    }
    // Each page shows its own pictures: every picture its HTML names is there
    // with the bytes the build made for it.
    for (const auto& [name, bytes] : remote) {
        if (!name.ends_with(".html") && !name.ends_with(".htm")) continue;
        for (const std::string& picture : PicturesOf(catalog / name)) {
            ASSERT_TRUE(remote.count("My_Homepage_Files/" + picture)) << name << " " << picture;
            EXPECT_EQ(remote.at("My_Homepage_Files/" + picture),
                      expected.at("My_Homepage_Files/" + picture))
                << name << " " << picture;
        }
    }
}

// The server paths whose built bytes differ between two builds.
std::set<std::string> Changed(const std::map<std::string, std::string>& before,
                              const std::map<std::string, std::string>& after) {
    std::set<std::string> out;
    for (const auto& [name, bytes] : after) {
        if (name.find("compareimage") != std::string::npos) continue;
        if (before.count(name) && before.at(name) == bytes) continue;
        if (name == "default.htm")
            out.insert({"default.htm", "default.html", "index.htm", "index.html"});
        else
            out.insert(name);
    }
    return out;
}

std::set<std::string> AsSet(const std::vector<std::string>& list) {
    return {list.begin(), list.end()};
}

// Gives the page's first filled shape a new colour, as the inspector does.
void Recolour(CPage& page, const CColor& colour) {
    for (const auto& item : page.Items()) {
        CPageObject& shape = item->Normal();
        if (!shape.GetFill()) continue;
        shape.GetFill()->SetColour(colour);
        shape.Invalidate();
        return;
    }
    ADD_FAILURE() << "no filled shape";
}

struct CKind {
    const char* name;
    bool tls;
    bool sftp = false;
};
constexpr CKind kKinds[] = {{"FTP", false}, {"FTPS", true}};
constexpr CKind kEveryKind[] = {{"FTP", false}, {"FTPS", true}, {"SFTP", false, true}};

void UseKind(CPublishFixture& f, const pwtest::FtpServer& server, const CKind& kind,
             const std::string& catalog = "www/site") {
    f.Connect(server, catalog);
    f.settings.SetFtpTls(kind.tls);
    f.env.ftpOptions.caFile = server.CaFile();
}

// The server of a kind: the FTP test server (plain or TLS), or sshd.
struct CServer {
    std::unique_ptr<pwtest::FtpServer> ftp;
    std::unique_ptr<pwtest::SshServer> ssh;
    fs::path Home() const { return ftp ? ftp->Home() : ssh->Home(); }
};

CServer StartServer(CPublishFixture& f, const CKind& kind) {
    CServer server;
    if (kind.sftp) {
        server.ssh = std::make_unique<pwtest::SshServer>();
        f.Connect(*server.ssh);
        return server;
    }
    pwtest::FtpServer::Options options;
    options.tls = kind.tls;
    server.ftp = std::make_unique<pwtest::FtpServer>(options);
    UseKind(f, *server.ftp, kind);
    return server;
}

} // namespace

// A ten-page site: published whole, then after a change to a picture on one
// page and a colour on another, then after a page was deleted. Each time
// exactly the files that differ go, the files that are no longer part of
// the site are deleted, and what the user put on the server stays.
TEST(PublishFlow, SendsExactlyWhatDiffersAndDeletesOnlyItsOwnLeftovers) {
    for (const CKind& kind : kEveryKind) {
        SCOPED_TRACE(kind.name);
        if (kind.sftp && !pwtest::SshServer::Available()) {
            ADD_FAILURE() << "sshd is missing: run scripts/install-deps";
            continue;
        }
        CPublishFixture f;
        for (int p = 3; p < 10; ++p)
            buildtest::AddRect(f.made.AddPage("Side" + std::to_string(p + 1)),
                               {10 + p, 10, 200, 90 + p}, CColor(20 * p, 100, 255 - 20 * p));
        const CServer server = StartServer(f, kind);
        f.ui.ExpectChoice(IDD_SEND, 0)                 // "&Send ændringer": nothing is there yet
            .ExpectChoice(IDD_SEND_DOWNLOADS, 0, true) // "Ja", and do not ask again
            .ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
        ASSERT_EQ(f.publisher.Send(&f.Site()), EResult::Done);
        EXPECT_TRUE(f.ui.Verify());
        const fs::path catalog = server.Home() / "www" / "site"; // two levels made
        ExpectServerIsBuild(f, catalog, {});
        // Nothing of the replacing is left behind.
        for (const auto& [name, bytes] : Tree(server.Home()))
            EXPECT_EQ(name.find(".pw-"), std::string::npos) << name;
        EXPECT_EQ(ReadFileBytes(catalog / "My_Homepage_Files/Download/x.zip"),
                  std::string(3000, 'A'));
        EXPECT_EQ(ReadFileBytes(catalog / "My_Homepage_Files/Download/x0.zip"),
                  std::string(5000, 'B'));
        EXPECT_EQ(f.Site().lastPublished, (std::array<int16_t, 5>{2026, 12, 8, 6, 30}));
        CPublishRecord stored;
        ASSERT_TRUE(stored.Read(f.env.recordFile));
        EXPECT_EQ(stored.sitePath, f.Site().path);
        EXPECT_TRUE(stored.pendingPages.empty());
        for (const auto& page : f.Site().Pages())
            EXPECT_FALSE(page->PublishPending());
        // The status window named each page while its files went, and each
        // download file.
        const auto& status = *f.ui.Progresses().back();
        EXPECT_EQ(status.id, IDD_UPLOAD_STATUS);
        EXPECT_EQ(status.phases.front(), "127.0.0.1\\www/site");
        EXPECT_TRUE(status.closed);
        for (const char* shown : {"Forside", "Om", "Kontakt", "x.zip", "x0.zip"})
            EXPECT_NE(std::find(status.pages.begin(), status.pages.end(), shown),
                      status.pages.end())
                << shown;

        // A picture on page 1 and a colour on page 3 change: the pending
        // marks show those pages, and the files that differ are what goes.
        auto before = Tree(f.Built());
        Recolour(f.Site().PageAt(0), CColor(1, 2, 3));
        Recolour(f.Site().PageAt(2), CColor(4, 5, 6));
        f.ui.ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
        ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Done);
        EXPECT_TRUE(f.ui.Verify());
        const std::set<std::string> changed = Changed(before, Tree(f.Built()));
        EXPECT_FALSE(changed.empty());
        EXPECT_EQ(AsSet(f.publisher.LastSent()), changed);
        EXPECT_TRUE(f.publisher.LastDeleted().empty());
        ExpectServerIsBuild(f, catalog, {});

        // A page goes, the files of the later pages move up; the user's own
        // files on the server are none of the publish's business.
        buildtest::WriteFileBytes(catalog / "own.txt", "mine");
        buildtest::WriteFileBytes(catalog / "My_Homepage_Files" / "IMG_999.gif", "mine too");
        before = Tree(f.Built());
        f.Site().DeletePage(f.Site().PageAt(5));
        f.ui.ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
        ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Done);
        EXPECT_TRUE(f.ui.Verify());
        const auto after = Tree(f.Built());
        EXPECT_EQ(AsSet(f.publisher.LastSent()), Changed(before, after));
        std::set<std::string> gone;
        for (const auto& [name, bytes] : before)
            if (!after.count(name) && name.find("compareimage") == std::string::npos)
                gone.insert(name);
        EXPECT_FALSE(gone.empty());
        EXPECT_EQ(AsSet(f.publisher.LastDeleted()), gone);
        ExpectServerIsBuild(f, catalog, {"own.txt", "My_Homepage_Files/IMG_999.gif"});
        EXPECT_EQ(ReadFileBytes(catalog / "own.txt"), "mine");
        EXPECT_EQ(ReadFileBytes(catalog / "My_Homepage_Files/IMG_999.gif"), "mine too");

        // Someone else deleted a picture and cut the front page short on the
        // server: the check against the server's listing sends both again.
        std::string picture;
        for (const auto& [name, bytes] : Tree(catalog))
            if (picture.empty() && name.starts_with("My_Homepage_Files/IMG_") &&
                name != "My_Homepage_Files/IMG_999.gif")
                picture = name;
        fs::remove(catalog / picture);
        buildtest::WriteFileBytes(catalog / "index.html", "cut");
        f.ui.ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
        ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Verify), EResult::Done);
        EXPECT_TRUE(f.ui.Verify());
        EXPECT_EQ(AsSet(f.publisher.LastSent()), (std::set<std::string>{picture, "index.html"}));
        ExpectServerIsBuild(f, catalog, {"own.txt", "My_Homepage_Files/IMG_999.gif"});
    }
}

// A connection that breaks in the middle leaves the server half done; the
// next publish to the same place repairs exactly the rest, and the server
// ends as a fresh full publish leaves one.
TEST(PublishFlow, APublishAfterALostConnectionEndsLikeAFreshOne) {
    for (const CKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        CPublishFixture f;
        const fs::path home = f.dir / "server-home";
        pwtest::FtpServer::Options faulty;
        faulty.tls = kind.tls;
        faulty.home = home;
        faulty.dropUploadAfter = 700;
        auto dropping = std::make_unique<pwtest::FtpServer>(faulty);
        UseKind(f, *dropping, kind);
        f.ui.ExpectChoice(IDD_SEND_DOWNLOADS, 0, true)
            .ExpectMessage(IDD_CONNECTION_LOST, EAnswer::Ok);
        EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Failed);
        EXPECT_TRUE(f.ui.Verify());
        EXPECT_FALSE(fs::exists(home / "www/site/index.html"));

        pwtest::FtpServer::Options good = faulty;
        good.dropUploadAfter = 0;
        good.port = dropping->Port();
        dropping.reset();
        pwtest::FtpServer repaired(good); // the same place, the line mended
        UseKind(f, repaired, kind);
        f.ui.ExpectChoice(IDD_SEND_DOWNLOADS, 0, true).ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
        ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Done);
        EXPECT_TRUE(f.ui.Verify());
        ExpectServerIsBuild(f, home / "www" / "site", {});

        pwtest::FtpServer::Options freshOptions;
        freshOptions.tls = kind.tls;
        pwtest::FtpServer fresh(freshOptions);
        UseKind(f, fresh, kind);
        f.ui.ExpectChoice(IDD_SEND_DOWNLOADS, 0, true).ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
        ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Done);
        // Byte for byte, but for the CSS class numbers, which the page writer
        // counts on from build to build within one process.
        auto normal = [](std::map<std::string, std::string> tree) {
            static const std::regex cssClass(R"(Object\d+)");
            for (auto& [name, bytes] : tree)
                if (name.ends_with(".html") || name.ends_with(".htm"))
                    bytes = std::regex_replace(bytes, cssClass, "Object#");
            return tree;
        };
        ExpectServerIsBuild(f, fresh.Home() / "www" / "site", {});
        EXPECT_TRUE(normal(Tree(home)) == normal(Tree(fresh.Home())));
    }
}

// A host that refuses every rename still gets a complete site, and the live
// files are replaced in place, never deleted first.
TEST(PublishFlow, AServerThatRefusesRenameKeepsItsPagesAndGetsTheSite) {
    CPublishFixture f;
    pwtest::FtpServer::Options options;
    options.noRename = true;
    pwtest::FtpServer server(options);
    f.Connect(server);
    f.ui.ExpectChoice(IDD_SEND_DOWNLOADS, 0, true).ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
    ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Done);
    const fs::path catalog = server.Home() / "www" / "site";
    ExpectServerIsBuild(f, catalog, {});

    Recolour(f.Site().PageAt(1), CColor(7, 7, 7));
    f.ui.ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
    ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Done);
    EXPECT_TRUE(f.ui.Verify());
    ExpectServerIsBuild(f, catalog, {});
    for (const auto& [name, bytes] : Tree(server.Home()))
        EXPECT_EQ(name.find(".pw-upload."), std::string::npos) << name;
}

TEST(PublishFlow, RemoveEmptiesTheCatalogAndAMissingCatalogCountsAsRemoved) {
    for (const CKind& kind : kEveryKind) {
        SCOPED_TRACE(kind.name);
        if (kind.sftp && !pwtest::SshServer::Available()) continue;
        CPublishFixture f;
        const CServer server = StartServer(f, kind);
        f.ui.ExpectChoice(IDD_DELETE_SERVER_FILES, 0)
            .ExpectChoice(IDD_SEND_DOWNLOADS, 0, true)
            .ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
        ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Everything), EResult::Done);
        const fs::path catalog = server.Home() / "www" / "site";
        fs::create_directories(catalog / "own"); // the user's own folder stays
        buildtest::WriteFileBytes(catalog / "own" / "keep.txt", "mine");

        f.ui.ExpectChoice(IDD_REMOVE_SITE, 1); // "&Nej"
        EXPECT_EQ(f.publisher.Remove(), EResult::Stopped);
        EXPECT_TRUE(fs::exists(catalog / "index.html"));

        f.ui.ExpectChoice(IDD_REMOVE_SITE, 0).ExpectMessage(IDD_SITE_REMOVED, EAnswer::Ok);
        ASSERT_EQ(f.publisher.Remove(), EResult::Done);
        EXPECT_TRUE(f.ui.Verify());
        EXPECT_EQ(Tree(catalog), (std::map<std::string, std::string>{{"own/keep.txt", "mine"}}));
        EXPECT_FALSE(fs::exists(catalog / "My_Homepage_Files"));
        EXPECT_FALSE(f.record.matches);
        CPublishRecord stored;
        ASSERT_TRUE(stored.Read(f.env.recordFile));
        EXPECT_TRUE(stored.sitePath.empty()); // the next run of the program sends everything

        f.settings.SetFtpCatalog("nowhere\\deeper");
        f.ui.ExpectChoice(IDD_REMOVE_SITE, 0).ExpectMessage(IDD_SITE_REMOVED, EAnswer::Ok);
        EXPECT_EQ(f.publisher.Remove(), EResult::Done);
        EXPECT_FALSE(fs::exists(server.Home() / "nowhere")); // nothing made on the way
        EXPECT_TRUE(f.ui.Verify());
    }
}

TEST(PublishFlow, ALostConnectionKeepsThePendingPagesForTheNextSend) {
    CPublishFixture f;
    pwtest::FtpServer good;
    f.Connect(good, "");
    f.ui.ExpectChoice(IDD_DELETE_SERVER_FILES, 0)
        .ExpectChoice(IDD_SEND_DOWNLOADS, 0, true)
        .ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
    ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Everything), EResult::Done);
    // An empty catalog publishes into the login folder.
    EXPECT_TRUE(fs::exists(good.Home() / "index.htm"));

    Recolour(f.Site().PageAt(2), CColor(9, 9, 9));
    f.Site().PageAt(2).SetPublishPending(true);
    const auto before = Tree(good.Home());

    pwtest::FtpServer::Options faulty;
    faulty.dropUploadAfter = 700;
    pwtest::FtpServer dropping(faulty);
    f.Connect(dropping, "/"); // another server: nothing of the site is known there
    f.ui.ExpectChoice(IDD_SEND_DOWNLOADS, 0, true).ExpectMessage(IDD_CONNECTION_LOST, EAnswer::Ok);
    EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Failed);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_EQ(f.record.pendingPages, (std::vector<int32_t>{2}));
    EXPECT_TRUE(f.Site().PageAt(2).PublishPending());
    CPublishRecord stored;
    ASSERT_TRUE(stored.Read(f.env.recordFile));
    EXPECT_TRUE(stored.pendingPages.empty()); // still the last complete publish

    f.Connect(good, "");
    f.ui.ExpectMessage(IDD_PUBLISHED, EAnswer::Ok); // the downloads are there already
    ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Done);
    const auto after = Tree(good.Home());
    // The page's new picture went; its HTML is the same bytes as before.
    EXPECT_EQ(after.at("My_Homepage_Files/Side2.html"), before.at("My_Homepage_Files/Side2.html"));
    EXPECT_NE(after, before);
    for (const std::string& picture : PicturesOf(f.Built() / "My_Homepage_Files" / "Side2.html"))
        EXPECT_EQ(after.at("My_Homepage_Files/" + picture),
                  ReadFileBytes(f.Built() / "My_Homepage_Files" / picture))
            << picture;
}

TEST(PublishFlow, NothingIsSentWithoutASavedSiteOrCompleteSettings) {
    CPublishFixture f;
    pwtest::FtpServer server;
    f.Site().path.clear();
    f.Connect(server);
    f.ui.ExpectChoice(IDD_SITE_NOT_SAVED, 0); // "&Gem hjemmeside"
    EXPECT_EQ(f.publisher.Send(&f.Site()), EResult::Stopped);
    EXPECT_EQ(f.saveAsCalls, 1);
    f.ui.ExpectChoice(IDD_SITE_NOT_SAVED, 1);
    EXPECT_EQ(f.publisher.Send(&f.Site()), EResult::Stopped);
    EXPECT_EQ(f.saveAsCalls, 1);
    EXPECT_EQ(f.publisher.Send(nullptr), EResult::Stopped);

    f.Site().path = (f.dir / "site.pwu").string();
    f.settings.SetFtpPassword("");
    f.ui.ExpectChoice(IDD_MISSING_INTERNET_SETTINGS, 1);
    EXPECT_EQ(f.publisher.Send(&f.Site()), EResult::Stopped);
    // The settings dialog fills the password in; the send goes on.
    f.env.editInternetSettings = [&] {
        f.settings.SetFtpPassword(server.Password());
        return true;
    };
    f.ui.ExpectChoice(IDD_MISSING_INTERNET_SETTINGS, 0).ExpectChoice(IDD_SEND, 2);
    EXPECT_EQ(f.publisher.Send(&f.Site()), EResult::Stopped);
    // A proxy without its user and password is not complete either.
    f.settings.SetFtpProxyType(2);
    f.settings.SetFtpProxyServer("127.0.0.1");
    f.ui.ExpectChoice(IDD_MISSING_INTERNET_SETTINGS, 1);
    EXPECT_EQ(f.publisher.Remove(), EResult::Stopped);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_TRUE(Tree(server.Home()).empty());
    EXPECT_FALSE(fs::exists(f.Built()));
}

TEST(PublishFlow, ConnectionFailuresOfferTheSettings) {
    CPublishFixture f;
    pwtest::FtpServer server;
    f.Connect(server);
    f.settings.SetFtpPassword("wrong");
    f.ui.ExpectChoice(IDD_DELETE_SERVER_FILES, 0)
        .ExpectChoice(IDD_LOGIN_REFUSED, 0); // "Kontroller"
    EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Everything), EResult::Failed);
    EXPECT_EQ(f.settingsDialogCalls, 1);

    f.settings.SetFtpPort(pwtest::FtpServer::UnusedPort());
    f.ui.ExpectChoice(IDD_REMOVE_SITE, 0).ExpectChoice(IDD_SERVER_UNREACHABLE, 1);
    EXPECT_EQ(f.publisher.Remove(), EResult::Failed);
    EXPECT_EQ(f.settingsDialogCalls, 1);
    EXPECT_TRUE(f.ui.Verify());
    // A catalog that cannot be made is reported as such.
    f.Connect(server, "www/site");
    fs::create_directories(server.Home() / "www");
    buildtest::WriteFileBytes(server.Home() / "www" / "site", "a file in the way");
    f.ui.ExpectChoice(IDD_DELETE_SERVER_FILES, 0)
        .ExpectMessage(IDD_CANNOT_CREATE_FOLDER, EAnswer::Ok);
    EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Everything), EResult::Failed);
    EXPECT_TRUE(f.ui.Verify());
}

TEST(PublishFlow, AnInvalidSiteShowsTheOffendingItemAndSendsNothing) {
    CPublishFixture f;
    pwtest::FtpServer server;
    f.Connect(server);
    // A shape over the mouse-over button: the build refuses the page.
    CPage& front = f.Site().PageAt(0);
    const CPageItem* button = front.Items()[1].get();
    ASSERT_TRUE(button->HasMouseOver());
    buildtest::AddRect(front, {350, 30, 450, 90}, CColor(0, 0, 0));
    const CPage* shownPage = nullptr;
    const CPageItem* shownItem = nullptr;
    f.env.showItem = [&](const CPage& page, const CPageItem* item) {
        shownPage = &page;
        shownItem = item;
    };
    f.ui.ExpectChoice(IDD_DELETE_SERVER_FILES, 0).ExpectMessage(IDD_BUILD_ERROR, EAnswer::Ok);
    EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Everything), EResult::Failed);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_TRUE(f.ui.SawText("Forside"));
    EXPECT_EQ(shownPage, &front);
    EXPECT_EQ(shownItem, button);
    EXPECT_TRUE(Tree(server.Home()).empty());
}

TEST(PublishFlow, ASecureConnectionIsUsedWhenTheSettingsAskForIt) {
    CPublishFixture f;
    pwtest::FtpServer::Options secure;
    secure.tls = true;
    pwtest::FtpServer server(secure);
    f.Connect(server, "\\//"); // separators only: the login folder
    // The server only accepts logins over TLS: a plain connection is turned
    // away (as a refused login or an unusable server, both offer the settings).
    f.ui.ExpectChoice(IDD_DELETE_SERVER_FILES, 0).ExpectChoice("Serveren", 1);
    EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Everything), EResult::Failed);
    EXPECT_TRUE(f.ui.Verify());

    // A certificate nobody vouches for is named as the reason, with the
    // transfer library's words for what is wrong with it.
    f.settings.SetFtpTls(true);
    f.ui.ExpectChoice(IDD_DELETE_SERVER_FILES, 0).ExpectChoice(IDD_CERTIFICATE_REFUSED, 1);
    EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Everything), EResult::Failed);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_TRUE(f.ui.SawText("certifi"));

    f.env.ftpOptions.caFile = server.CaFile();
    f.ui.ExpectChoice(IDD_DELETE_SERVER_FILES, 0)
        .ExpectChoice(IDD_SEND_DOWNLOADS, 0, true)
        .ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
    ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Everything), EResult::Done);
    EXPECT_TRUE(f.ui.Verify());
    ExpectCompleteSite(f, server.Home());
}

TEST(PublishFlow, TheProxyOfTheSettingsCarriesThePublish) {
    CPublishFixture f;
    pwtest::FtpServer server;
    pwtest::SocksProxy proxy;
    f.Connect(server);
    f.settings.SetFtpProxyServer("127.0.0.1");
    f.settings.SetFtpProxyPort(proxy.Port());
    f.settings.SetFtpProxyUser(proxy.User());
    f.settings.SetFtpProxyPassword(proxy.Password());
    const std::string serverAddress = "127.0.0.1 " + std::to_string(server.Port());
    for (int type : {1, 2}) { // Socks4, Socks5
        SCOPED_TRACE(type);
        f.settings.SetFtpProxyType(type);
        const size_t before = proxy.Relayed().size();
        f.ui.ExpectChoice(IDD_DELETE_SERVER_FILES, 0)
            .ExpectChoice(IDD_SEND_DOWNLOADS, 0, true)
            .ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
        ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Everything), EResult::Done);
        EXPECT_TRUE(f.ui.Verify());
        const auto relayed = proxy.Relayed();
        ASSERT_GT(relayed.size(), before);
        EXPECT_EQ(relayed[before], serverAddress);
    }
    ExpectCompleteSite(f, server.Home() / "www" / "site");

    // A proxy that does not answer: no connection could be opened at all.
    f.settings.SetFtpProxyPort(pwtest::FtpServer::UnusedPort());
    f.ui.ExpectChoice(IDD_REMOVE_SITE, 0).ExpectMessage(IDD_NO_NETWORK, EAnswer::Ok);
    EXPECT_EQ(f.publisher.Remove(), EResult::Failed);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_TRUE(fs::exists(server.Home() / "www" / "site" / "index.html"));
}

TEST(PublishFlow, ADownloadThatCannotBeSentEndsTheRunWithTheUploadError) {
    CPublishFixture f;
    pwtest::FtpServer server;
    f.Connect(server);
    // The file goes away while the user is asked about it.
    f.ui.beforeChoice = [&](const CChoice& choice) {
        if (choice.id == IDD_SEND_DOWNLOADS) fs::remove(f.zipA);
    };
    f.ui.ExpectChoice(IDD_DELETE_SERVER_FILES, 0)
        .ExpectChoice(IDD_SEND_DOWNLOADS, 0)
        .ExpectChoice(IDD_SEND_DOWNLOADS, 0)
        .ExpectMessage(IDD_UPLOAD_FAILED, EAnswer::Ok);
    EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Everything), EResult::Failed);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_TRUE(f.ui.SawText("x.zip"));
    // The pictures went before the failure; the pages go last, so no
    // visitor meets a page without its files. The record still says that
    // everything is to be sent.
    EXPECT_TRUE(fs::exists(server.Home() / "www/site/My_Homepage_Files/IMG_1.gif") ||
                fs::exists(server.Home() / "www/site/My_Homepage_Files/IMG_1.jpg"));
    EXPECT_FALSE(fs::exists(server.Home() / "www/site/index.html"));
    EXPECT_EQ(f.record.pendingPages, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_FALSE(fs::exists(f.env.recordFile));
}

// Two runs on one site file or one destination never interleave: while one
// holds it, the other is refused with a message and sends nothing. A catalog
// that climbs out of the login folder is refused before anything is sent.
TEST(PublishFlow, ABusySiteOrServerAndAClimbingCatalogAreRefused) {
    CPublishFixture f;
    pwtest::FtpServer server;
    f.Connect(server);
    const fs::path locks = f.env.recordFile.parent_path() / "locks";
    for (const std::string& name :
         {"site:" + f.Site().path, "server:" + CSiteUploader::ManifestKey(f.env)}) {
        SCOPED_TRACE(name);
        CRunLock other(locks, name);
        ASSERT_FALSE(other.Busy());
        f.ui.ExpectMessage(IDD_PUBLISH_BUSY, EAnswer::Ok);
        EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Failed);
        EXPECT_TRUE(f.ui.Verify());
    }
    {
        CRunLock other(locks, "server:" + CSiteUploader::ManifestKey(f.env));
        f.ui.ExpectMessage(IDD_PUBLISH_BUSY, EAnswer::Ok);
        EXPECT_EQ(f.publisher.Remove(), EResult::Failed);
        EXPECT_TRUE(f.ui.Verify());
    }
    for (const char* catalog : {"www/..", "..\\x", "./www"}) {
        f.settings.SetFtpCatalog(catalog);
        f.ui.ExpectChoice(IDD_INVALID_CATALOG, 1); // "&Fortryd"
        EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Stopped);
        EXPECT_TRUE(f.ui.Verify());
    }
    EXPECT_TRUE(Tree(server.Home()).empty());
}

// Over one connection the files go in the classic order; over several,
// every picture and download has arrived before the first page goes, and
// every page before the front page, so no visitor sees a page without its
// pictures or a front page leading nowhere.
TEST(PublishFlow, PicturesArriveBeforePagesAndPagesBeforeTheFrontPage) {
    for (int connections : {1, 4}) {
        SCOPED_TRACE(connections);
        CPublishFixture f;
        pwtest::FtpServer server;
        f.Connect(server);
        f.settings.SetPublishConnections(connections);
        f.ui.ExpectChoice(IDD_SEND_DOWNLOADS, 0, true).ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
        ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Done);
        const std::vector<std::string>& sent = f.publisher.LastSent(); // as they arrived
        auto stage = [](const std::string& path) {
            if (path.find('/') == std::string::npos) return 2;
            return path.ends_with(".html") ? 1 : 0;
        };
        ASSERT_GT(sent.size(), 10u);
        for (size_t i = 1; i < sent.size(); ++i) {
            EXPECT_LE(stage(sent[i - 1]), stage(sent[i])) << sent[i - 1] << " before " << sent[i];
        }
        if (connections == 1) {
            EXPECT_EQ(std::vector<std::string>(sent.end() - 6, sent.end()),
                      (std::vector<std::string>{"My_Homepage_Files/error.html",
                                                "My_Homepage_Files/noscript.html", "default.htm",
                                                "default.html", "index.htm", "index.html"}));
        }
        ExpectServerIsBuild(f, server.Home() / "www" / "site", {});
    }
}

// With the options for today's screens on, the publish sends the 2x
// pictures and the WebP twins the build wrote, unchanged.
TEST(PublishFlow, TheOptionsForTodaysScreensSendEveryFileTheBuildWrote) {
    CPublishFixture f;
    f.settings.SetBuildHiDpi(true);
    f.settings.SetBuildWebp(true);
    f.settings.SetBuildPhones(true);
    pwtest::FtpServer server;
    f.Connect(server, "");
    f.ui.ExpectChoice(IDD_DELETE_SERVER_FILES, 0)
        .ExpectChoice(IDD_SEND_DOWNLOADS, 0, true)
        .ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
    ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Everything), EResult::Done);
    const auto built = Tree(f.Built());
    const auto sent = Tree(server.Home());
    int twoX = 0, webp = 0;
    for (const auto& [name, bytes] : built) {
        twoX += name.find("@2x.") != std::string::npos;
        webp += name.size() > 5 && name.compare(name.size() - 5, 5, ".webp") == 0;
        ASSERT_TRUE(sent.count(name)) << name;
        // Pages go as text: the server keeps its own line ends.
        EXPECT_EQ(Lf(sent.at(name)), Lf(bytes)) << name;
    }
    EXPECT_GT(twoX, 0);
    EXPECT_GT(webp, 0);
}
