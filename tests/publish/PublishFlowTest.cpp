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

} // namespace

TEST(PublishFlow, SendAllThenOnlyTheChangedPageGoesAgain) {
    CPublishFixture f;
    pwtest::FtpServer server;
    f.Connect(server);
    f.ui.ExpectChoice(IDD_SEND, 1)                 // "&Send alt"
        .ExpectChoice(IDD_DELETE_SERVER_FILES, 0)  // "&Fortsæt"
        .ExpectChoice(IDD_SEND_DOWNLOADS, 0, true) // "Ja", and do not ask again
        .ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
    ASSERT_EQ(f.publisher.Send(&f.Site()), EResult::Done);
    EXPECT_TRUE(f.ui.Verify());

    const fs::path catalog = server.Home() / "www" / "site"; // two levels made
    ExpectCompleteSite(f, catalog);
    EXPECT_EQ(f.Site().lastPublished, (std::array<int16_t, 5>{2026, 12, 8, 6, 30}));
    CPublishRecord stored;
    ASSERT_TRUE(stored.Read(f.env.recordFile));
    EXPECT_EQ(stored.sitePath, f.Site().path);
    EXPECT_TRUE(stored.pendingPages.empty());
    for (const auto& page : f.Site().Pages())
        EXPECT_FALSE(page->PublishPending());

    // The status window counted every byte: the front page four times.
    const auto& status = *f.ui.Progresses().back();
    EXPECT_EQ(status.id, IDD_UPLOAD_STATUS);
    EXPECT_EQ(status.phases.front(), "127.0.0.1\\www/site");
    EXPECT_TRUE(status.closed);
    // It named each page while its file went, and each download file.
    for (const char* shown : {"Forside", "Om", "Kontakt", "x.zip", "x0.zip"})
        EXPECT_NE(std::find(status.pages.begin(), status.pages.end(), shown), status.pages.end())
            << shown;

    // Change the second page, clear the server's files, send the changes:
    // exactly that page's files come back.
    CPage& second = f.Site().PageAt(1);
    second.Items().front()->Normal().GetFill()->SetColour(CColor(1, 2, 3));
    second.SetPublishPending(true);
    for (const auto& e : fs::directory_iterator(catalog / "My_Homepage_Files"))
        if (e.is_regular_file()) fs::remove(e.path());
    for (const char* name : {"default.htm", "default.html", "index.htm", "index.html"})
        fs::remove(catalog / name);
    fs::remove(catalog / "My_Homepage_Files/Download/x0.zip");

    f.ui.ExpectChoice(IDD_SEND, 0)           // "&Send ændringer"
        .ExpectChoice(IDD_SEND_DOWNLOADS, 1) // "Nej": the download stays home
        .ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
    ASSERT_EQ(f.publisher.Send(&f.Site()), EResult::Done);
    EXPECT_TRUE(f.ui.Verify());

    std::set<std::string> expected = PicturesOf(f.Built() / "My_Homepage_Files" / "Side1.html");
    EXPECT_FALSE(expected.empty());
    expected.insert({"Side1.html", "error.html", "noscript.html"});
    std::set<std::string> sent;
    for (const auto& e : fs::directory_iterator(catalog / "My_Homepage_Files"))
        if (e.is_regular_file()) sent.insert(e.path().filename().string());
    EXPECT_EQ(sent, expected);
    EXPECT_FALSE(fs::exists(catalog / "default.htm"));
    EXPECT_FALSE(fs::exists(catalog / "My_Homepage_Files/Download/x0.zip"));
    EXPECT_EQ(ReadFileBytes(catalog / "My_Homepage_Files/Side1.html").empty(), false);
}

TEST(PublishFlow, RemoveEmptiesTheCatalogAndAMissingCatalogCountsAsRemoved) {
    CPublishFixture f;
    pwtest::FtpServer server;
    f.Connect(server);
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

    f.Site().PageAt(2).Items().front()->Normal().GetFill()->SetColour(CColor(9, 9, 9));
    f.Site().PageAt(2).SetPublishPending(true);
    const auto before = Tree(good.Home());

    pwtest::FtpServer::Options faulty;
    faulty.dropUploadAfter = 700;
    pwtest::FtpServer dropping(faulty);
    f.Connect(dropping, "/");
    f.ui.ExpectMessage(IDD_CONNECTION_LOST, EAnswer::Ok);
    EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Failed);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_EQ(f.record.pendingPages, (std::vector<int32_t>{2}));
    EXPECT_TRUE(f.Site().PageAt(2).PublishPending());
    CPublishRecord stored;
    ASSERT_TRUE(stored.Read(f.env.recordFile));
    EXPECT_TRUE(stored.pendingPages.empty()); // still the last complete publish

    f.Connect(good, "");
    f.ui.ExpectChoice(IDD_SEND_DOWNLOADS, 0).ExpectMessage(IDD_PUBLISHED, EAnswer::Ok);
    ASSERT_EQ(f.publisher.Send(&f.Site(), ESendMode::Changes), EResult::Done);
    const auto after = Tree(good.Home());
    EXPECT_NE(after.at("My_Homepage_Files/Side2.html"), before.at("My_Homepage_Files/Side2.html"));
    for (const std::string& picture : PicturesOf(f.Built() / "My_Homepage_Files" / "Side2.html"))
        EXPECT_EQ(after.at("My_Homepage_Files/" + picture),
                  ReadFileBytes(f.Built() / "My_Homepage_Files" / picture))
            << picture;
}

TEST(PublishFlow, AfbrydStopsTheUploadWithoutAMessage) {
    CPublishFixture f;
    pwtest::FtpServer server;
    f.Connect(server);
    f.ui.stopUploadAfter = 2;
    f.ui.ExpectChoice(IDD_DELETE_SERVER_FILES, 0);
    EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Everything), EResult::Stopped);
    EXPECT_TRUE(f.ui.Verify()); // no dialog after the confirmation
    EXPECT_TRUE(f.ui.Progresses().back()->cancelReported);
    EXPECT_EQ(f.record.pendingPages, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_FALSE(fs::exists(f.env.recordFile));
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

    f.settings.SetFtpTls(true);
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
        .ExpectMessage(IDD_UPLOAD_FAILED, EAnswer::Ok);
    EXPECT_EQ(f.publisher.Send(&f.Site(), ESendMode::Everything), EResult::Failed);
    EXPECT_TRUE(f.ui.Verify());
    EXPECT_TRUE(f.ui.SawText("x.zip"));
    // The pages went before the failure and stay; the record still says
    // that everything is to be sent.
    EXPECT_TRUE(fs::exists(server.Home() / "www/site/index.html"));
    EXPECT_EQ(f.record.pendingPages, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_FALSE(fs::exists(f.env.recordFile));
}
