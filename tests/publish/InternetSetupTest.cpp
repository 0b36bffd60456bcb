#include "publish/InternetSetup.h"
#include "services/MemorySettingsStore.h"
#include "services/Settings.h"
#include "services/StringIds.h"
#include "tests/support/ScriptedInteraction.h"
#include <gtest/gtest.h>
#include <tuple>

using pwtest::CScriptedInteraction;

namespace {

CFtpProfile Profile(std::string name, std::string server) {
    CFtpProfile p;
    p.name = std::move(name);
    p.server = std::move(server);
    p.user = "u-" + p.server;
    p.password = "pw";
    p.catalog = "www";
    return p;
}

CSettings WithProfiles() {
    CSettings s;
    s.SetFtpServer("ftp.start.dk");
    s.SetFtpProfiles({Profile("Hjem", "ftp.hjem.dk"), Profile("Arbejde", "ftp.firma.dk"),
                      Profile("Klub", "ftp.klub.dk")});
    return s;
}

std::vector<std::string> Names(const CInternetSetup& setup) {
    std::vector<std::string> out;
    for (const auto& p : setup.Profiles())
        out.push_back(p.name);
    return out;
}

} // namespace

TEST(InternetSetup, SavingUnderAnExistingNameReplacesThatProfileOnly) {
    CScriptedInteraction ui;
    CSettings settings = WithProfiles();
    CInternetSetup setup(settings, ui);
    EXPECT_EQ(setup.InitialFocus(), CInternetSetup::EField::User);

    setup.ChooseProfile(1);
    EXPECT_EQ(setup.values.server, "ftp.firma.dk");
    setup.values.catalog = "ny/mappe";
    ui.ExpectText("Arbejde");
    ASSERT_TRUE(setup.SaveProfile());
    EXPECT_EQ(Names(setup), (std::vector<std::string>{"Hjem", "Arbejde", "Klub"}));
    EXPECT_EQ(setup.Profiles()[1].catalog, "ny/mappe");

    // Names are compared exactly: another case is another profile.
    ui.ExpectText("arbejde");
    ASSERT_TRUE(setup.SaveProfile());
    EXPECT_EQ(Names(setup), (std::vector<std::string>{"Hjem", "Arbejde", "Klub", "arbejde"}));
    EXPECT_EQ(setup.Selected(), std::optional<size_t>(3));

    ui.ExpectTextCancel();
    EXPECT_FALSE(setup.SaveProfile());
    ui.ExpectText("");
    EXPECT_FALSE(setup.SaveProfile());
    EXPECT_EQ(setup.Profiles().size(), 4u);
    // Nothing reaches the settings before OK.
    EXPECT_EQ(settings.GetFtpProfiles().size(), 3u);
    EXPECT_TRUE(ui.Verify());
}

TEST(InternetSetup, DeletingShowsTheProfileThatTakesThePlace) {
    CScriptedInteraction ui;
    CInternetSetup setup(WithProfiles(), ui);
    EXPECT_FALSE(setup.DeleteSelectedProfile()); // nothing chosen: nothing asked

    setup.ChooseProfile(0);
    ui.ExpectChoice(IDD_DELETE_PROFILE, 1); // "&Nej"
    EXPECT_FALSE(setup.DeleteSelectedProfile());
    EXPECT_EQ(setup.Profiles().size(), 3u);

    ui.ExpectChoice(IDD_DELETE_PROFILE, 0);
    ASSERT_TRUE(setup.DeleteSelectedProfile());
    EXPECT_EQ(Names(setup), (std::vector<std::string>{"Arbejde", "Klub"}));
    EXPECT_EQ(setup.values.server, "ftp.firma.dk");

    setup.ChooseProfile(1);
    ui.ExpectChoice(IDD_DELETE_PROFILE, 0);
    ASSERT_TRUE(setup.DeleteSelectedProfile());
    EXPECT_EQ(setup.values.server, "ftp.firma.dk"); // the new last one
    ui.ExpectChoice(IDD_DELETE_PROFILE, 0);
    ASSERT_TRUE(setup.DeleteSelectedProfile());
    EXPECT_TRUE(setup.Profiles().empty());
    EXPECT_FALSE(setup.Selected().has_value());
    EXPECT_TRUE(ui.Verify());
}

TEST(InternetSetup, ProxyFieldsAreDroppedWithoutAProxyAndEverythingIsStoredOnOk) {
    CScriptedInteraction ui;
    CSettings settings = WithProfiles();
    CInternetSetup setup(settings, ui);
    CInternetSetup::CAdvanced advanced = setup.Advanced();
    advanced.port = 2121;
    advanced.passive = true;
    advanced.proxyType = 0;
    advanced.proxyServer = "socks.lan";
    advanced.proxyPort = 1080;
    advanced.proxyUser = "pu";
    advanced.proxyPassword = "pp";
    setup.ApplyAdvanced(advanced);
    EXPECT_EQ(setup.values.proxyServer, "");
    EXPECT_EQ(setup.values.proxyPort, 0);
    EXPECT_EQ(setup.values.proxyPassword, "");
    advanced.proxyType = 2;
    setup.ApplyAdvanced(advanced);
    EXPECT_EQ(setup.values.proxyUser, "pu");
    EXPECT_EQ(setup.Advanced().proxyPort, 1080);

    // "Standard" then OK in the sub-dialog.
    CInternetSetup::CAdvanced standard = CInternetSetup::CAdvanced::Standard();
    EXPECT_EQ(standard.port, 21);
    setup.ApplyAdvanced(standard);
    // The kind: a port at the usual one follows it, a port chosen by hand stays.
    for (const auto& [kind, port, expected] :
         {std::tuple{EConnectionKind::Sftp, 21, 22}, {EConnectionKind::Ftps, 22, 21},
          {EConnectionKind::Sftp, 2121, 2121}, {EConnectionKind::Ftps, 2222, 2222}}) {
        setup.values.port = port;
        setup.values.kind = kind == EConnectionKind::Sftp ? EConnectionKind::Ftp
                                                          : EConnectionKind::Sftp;
        setup.SetKind(kind);
        EXPECT_EQ(setup.values.port, expected) << port;
        EXPECT_EQ(setup.values.kind, kind);
    }
    setup.values.port = 21;
    setup.values.user = "anna";
    setup.values.password = "x";
    setup.values.catalog = "www\\\\site/sub";
    ASSERT_EQ(setup.Ok(settings), CInternetSetup::EOkResult::Stored);

    // Through the store and back: the proxy values are written empty, the
    // secure-connection choice is kept with the connection.
    CMemorySettingsStore store;
    settings.Save(store);
    EXPECT_EQ(store.ReadString("FTP proxy server"), "");
    EXPECT_EQ(store.ReadInt("FTP proxy port number"), 0);
    EXPECT_EQ(store.ReadInt("FTP secure connection"), 1);
    EXPECT_EQ(store.ReadString("FTP connection kind"), "FTPS");
    store.WriteInt("FTP passive mode", 2); // only exactly 1 means passive
    CSettings loaded;
    loaded.Load(store, CSettingsEnvironment());
    EXPECT_FALSE(loaded.GetFtpPassive());
    EXPECT_TRUE(loaded.GetFtpTls());
    EXPECT_EQ(loaded.GetFtpCatalog(), "www\\\\site/sub");
    EXPECT_EQ(loaded.GetFtpProfiles().size(), 3u);
}

TEST(InternetSetup, AnInvalidCatalogAsksToTryAgainOrGiveUp) {
    CScriptedInteraction ui;
    CSettings settings;
    CInternetSetup setup(settings, ui);
    EXPECT_EQ(setup.InitialFocus(), CInternetSetup::EField::Server);
    setup.values.server = "ftp.x.dk";
    setup.values.catalog = "www/2009";
    ui.ExpectChoice(IDD_INVALID_CATALOG, 0); // "&Prøv igen"
    EXPECT_EQ(setup.Ok(settings), CInternetSetup::EOkResult::Retry);
    ui.ExpectChoice(IDD_INVALID_CATALOG, 1); // "&Fortryd"
    EXPECT_EQ(setup.Ok(settings), CInternetSetup::EOkResult::Cancelled);
    EXPECT_EQ(settings.GetFtpServer(), "");
    setup.values.catalog = "/";
    EXPECT_EQ(setup.Ok(settings), CInternetSetup::EOkResult::Stored);
    EXPECT_EQ(settings.GetFtpServer(), "ftp.x.dk");
    EXPECT_TRUE(ui.Verify());
}
