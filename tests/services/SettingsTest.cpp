#include "services/Settings.h"
#include "services/DataFolders.h"
#include "services/MemorySettingsStore.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <tuple>

namespace {

CSettingsEnvironment TestEnvironment() {
    CSettingsEnvironment env;
    env.screenWidth = 1280;
    env.screenHeight = 1024;
    env.documentsFolder = "/home/anna/Dokumenter/";
    env.dataFolder = "/usr/share/pagewright/";
    env.homeFolder = "/home/anna/";
    return env;
}

COLORREF Ref(const CColor& c) {
    return c.GetCOLORREF();
}

// A value different from every default, for every setting.
CSettings CustomSettings() {
    CSettings s;
    s.SetBuildJobs(3);
    s.SetPwuPath("/data/sites/");
    s.SetImagePath("/data/billeder/");
    s.SetExportPath("/data/ud/");
    s.SetBackgroundImagePath("/data/baggrunde/");
    s.SetDefaultPageWidth(800);
    s.SetDefaultPageHeight(1200);
    s.SetDefaultVisitedColor(CColor(COLORREF{0x112233}));
    s.SetDefaultUnvisitedColor(CColor(COLORREF{0x445566}));
    s.SetRepeatBackgroundFill(false);
    s.SetSolidBackgroundFill(CColor(COLORREF{0x778899}));
    s.SetDefaultFont("Times New Roman");
    s.SetDefaultFontSize(14);
    s.SetDefaultFontColor(CColor(COLORREF{0x0000FF}));
    s.SetDefaultFontBold(true);
    s.SetDefaultFontItalic(true);
    s.SetDefaultFontUnderline(true);
    s.SetCounterId(4711);
    s.SetButtonTextFont("Courier New");
    s.SetButtonTextFontSize(9);
    s.SetButtonTextFontColor(CColor(COLORREF{0x00FF00}));
    s.SetButtonTextFontBold(true);
    s.SetButtonTextFontItalic(true);
    s.SetButtonTextFontUnderline(true);
    s.SetButtonTextAlignment(2);
    s.SetButtonTextUseShadow(true);
    s.SetButtonTextShadowDistance(3);
    s.SetButtonTextShadowDirection(45);
    s.SetButtonTextShadowColor(CColor(COLORREF{0x808080}));
    s.SetUseBuiltInBrowser(false);
    s.SetShowStartUpDialog(false);
    s.SetShowLargeObjectWarning(false);
    s.SetShowAdvancedTextHelp(false);
    s.SetShowMouseOverHelp(false);
    s.SetBuildHiDpi(false);
    s.SetBuildWebp(false);
    s.SetBuildPhones(false);
    for (size_t i = 0; i < kToolHelpCount; ++i)
        s.SetShowToolHelp(static_cast<EToolHelp>(i), false);
    s.SetFtpServer("ftp.eksempel.dk");
    s.SetFtpUser("anna");
    s.SetFtpPassword("kodeord");
    s.SetFtpCatalog("www/mit");
    s.SetFtpPort(2121);
    s.SetFtpPassive(true);
    s.SetFtpTls(true);
    s.SetFtpKeyFile("/home/anna/.ssh/id_ed25519");
    s.SetPublishConnections(2);
    s.SetFtpProxyType(2);
    s.SetFtpProxyServer("socks.lan");
    s.SetFtpProxyPort(1080);
    s.SetFtpProxyUser("pu");
    s.SetFtpProxyPassword("pp");
    CFtpProfile profile;
    profile.name = "Hjem";
    profile.server = "ftp.hjem.dk";
    profile.kind = EConnectionKind::Sftp;
    profile.keyFile = "/home/anna/.ssh/hjem";
    CFtpProfile plain;
    plain.name = "Arbejde";
    s.SetFtpProfiles({profile, plain});
    s.SetMainPlacement({3, 2, -1, -2, 5, 6, 10, 20, 700, 500});
    s.SetToolboxColor(CColor(COLORREF{0x123456}));
    s.SetInspectorCurrent(4);
    s.SetInspectorLeft(17);
    s.SetInspectorTop(19);
    return s;
}

} // namespace

TEST(Settings, EmptyStoreGivesTheDefaults) {
    CMemorySettingsStore store;
    CSettings s;
    s.Load(store, TestEnvironment());

    EXPECT_EQ(s.GetPwuPath(), "/home/anna/Dokumenter/");
    EXPECT_EQ(s.GetImagePath(), "/usr/share/pagewright/Animations/");
    EXPECT_EQ(s.GetBackgroundImagePath(), "/usr/share/pagewright/Backgrounds/");
    EXPECT_EQ(s.GetExportPath(), "/home/anna/");
    EXPECT_EQ(s.GetDefaultPageWidth(), 740);
    EXPECT_EQ(s.GetDefaultPageHeight(), 600);
    EXPECT_EQ(Ref(s.GetDefaultVisitedColor()), 0x800080u);
    EXPECT_EQ(Ref(s.GetDefaultUnvisitedColor()), 0xFF0000u);
    EXPECT_EQ(s.GetDefaultFont(), "Arial");
    EXPECT_EQ(s.GetDefaultFontSize(), 12);
    EXPECT_EQ(Ref(s.GetDefaultFontColor()), 0u);
    EXPECT_FALSE(s.GetDefaultFontBold() || s.GetDefaultFontItalic() || s.GetDefaultFontUnderline());
    EXPECT_EQ(s.GetCounterId(), 0);
    EXPECT_EQ(s.GetButtonTextFont(), "Arial");
    EXPECT_EQ(s.GetButtonTextFontSize(), 12);
    EXPECT_EQ(Ref(s.GetButtonTextFontColor()), 0xFFFFFFu);
    EXPECT_FALSE(s.GetButtonTextFontBold() || s.GetButtonTextFontItalic() ||
                 s.GetButtonTextFontUnderline() || s.GetButtonTextUseShadow());
    EXPECT_EQ(s.GetButtonTextAlignment(), 1);
    EXPECT_EQ(s.GetButtonTextShadowDistance(), 1);
    EXPECT_EQ(s.GetButtonTextShadowDirection(), 120);
    EXPECT_EQ(Ref(s.GetButtonTextShadowColor()), 0u);
    EXPECT_TRUE(s.GetUseBuiltInBrowser());
    EXPECT_TRUE(s.GetShowStartUpDialog());
    EXPECT_TRUE(s.GetShowLargeObjectWarning());
    EXPECT_TRUE(s.GetShowAdvancedTextHelp());
    EXPECT_TRUE(s.GetShowMouseOverHelp());
    EXPECT_EQ(s.GetBuildJobs(), 0); // every core
    EXPECT_TRUE(s.GetBuildHiDpi() && s.GetBuildWebp() && s.GetBuildPhones());
    EXPECT_EQ(s.GetPublishConnections(), 4);
    for (size_t i = 0; i < kToolHelpCount; ++i)
        EXPECT_TRUE(s.GetShowToolHelp(static_cast<EToolHelp>(i))) << i;
    EXPECT_TRUE(s.GetRepeatBackgroundFill());
    EXPECT_EQ(Ref(s.GetSolidBackgroundFill()), 0xFFFFFFu);

    EXPECT_EQ(s.GetFtpServer(), "");
    EXPECT_EQ(s.GetFtpCatalog(), "");
    EXPECT_EQ(s.GetFtpPort(), 21);
    EXPECT_EQ(s.GetFtpKind(), EConnectionKind::Ftp);
    EXPECT_FALSE(s.GetFtpPassive());
    EXPECT_EQ(s.GetFtpProxyType(), 0);
    EXPECT_EQ(s.GetFtpProxyPort(), 0);
    EXPECT_TRUE(s.GetFtpProfiles().empty());

    const CMainPlacement p = s.GetMainPlacement();
    EXPECT_EQ(p, (CMainPlacement{1, 1, 0, 0, 0, 0, 0, 0, 1280, 1024}));
    EXPECT_EQ(Ref(s.GetToolboxColor()), 0x8000u);
    EXPECT_EQ(s.GetInspectorCurrent(), 0);
    EXPECT_EQ(s.GetInspectorLeft(), 1280 - 300);
    EXPECT_EQ(s.GetInspectorTop(), 1024 - 200);
    EXPECT_EQ(s.GetDialogPosition(), std::make_pair(640, 512));

    // Saving writes every value, the defaults included.
    s.Save(store);
    const auto names = CSettings::ValueNames();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    EXPECT_EQ(store.Size(), names.size());
    for (const auto& name : names)
        EXPECT_TRUE(store.Contains(name)) << name;
    EXPECT_EQ(store.ReadInt("Show StartUp dialog"), 1);
    EXPECT_EQ(store.ReadInt("Default unvisited color"), 0xFF0000);
    EXPECT_EQ(store.ReadBinary("FTP profiles"), (std::vector<uint8_t>{0, 0}));
}

TEST(Settings, FlagsFollowTheirReadRules) {
    CMemorySettingsStore store;
    store.WriteInt("Show StartUp dialog", 2);
    store.WriteInt("Use Built In Browser", -1);
    store.WriteInt("Show Pipette Tool help", 7);
    store.WriteInt("Repeat background fill", 2);
    store.WriteInt("Default font italic", -3);
    store.WriteInt("Default ButtonText use shadow", 5);
    store.WriteInt("FTP passive mode", 2);
    CSettings s;
    s.Load(store, TestEnvironment());
    EXPECT_FALSE(s.GetShowStartUpDialog());
    EXPECT_FALSE(s.GetUseBuiltInBrowser());
    EXPECT_FALSE(s.GetShowToolHelp(EToolHelp::Pipette));
    EXPECT_TRUE(s.GetShowToolHelp(EToolHelp::Arrow));
    EXPECT_TRUE(s.GetRepeatBackgroundFill());
    EXPECT_TRUE(s.GetDefaultFontItalic());
    EXPECT_TRUE(s.GetButtonTextUseShadow());
    EXPECT_FALSE(s.GetFtpPassive());

    // Flags are written back as exactly 0 or 1.
    s.Save(store);
    EXPECT_EQ(store.ReadInt("Show StartUp dialog"), 0);
    EXPECT_EQ(store.ReadInt("Repeat background fill"), 1);
    EXPECT_EQ(store.ReadInt("Default font italic"), 1);
    EXPECT_EQ(store.ReadInt("FTP passive mode"), 0);

    store.WriteInt("FTP passive mode", 1);
    s.Load(store, TestEnvironment());
    EXPECT_TRUE(s.GetFtpPassive());

    // The kind: settings from before it was stored have only the secure
    // flag; an unknown name is plain FTP.
    for (const auto& [kind, secure, expected] :
         {std::tuple<const char*, int, EConnectionKind>{nullptr, 1, EConnectionKind::Ftps},
          {nullptr, 0, EConnectionKind::Ftp},
          {"SFTP", 0, EConnectionKind::Sftp},
          {"FTPS", 0, EConnectionKind::Ftps},
          {"Gopher", 1, EConnectionKind::Ftp}}) {
        CMemorySettingsStore old;
        old.WriteInt("FTP secure connection", secure);
        if (kind) old.WriteString("FTP connection kind", kind);
        s.Load(old, TestEnvironment());
        EXPECT_EQ(s.GetFtpKind(), expected) << (kind ? kind : "none") << secure;
    }
}

TEST(Settings, ValuesOfTheWrongTypeOrUnreadableProfilesFallBackToDefaults) {
    CMemorySettingsStore store;
    store.WriteString("Default page width", "800");
    store.WriteInt("Default font", 5);
    store.WriteString("Show StartUp dialog", "0");
    store.WriteString("FTP profiles", "Hjem");
    CSettings s;
    s.Load(store, TestEnvironment());
    EXPECT_EQ(s.GetDefaultPageWidth(), 740);
    EXPECT_EQ(s.GetDefaultFont(), "Arial");
    EXPECT_TRUE(s.GetShowStartUpDialog());
    EXPECT_TRUE(s.GetFtpProfiles().empty());

    store.WriteBinary("FTP profiles", {0x01, 0x00, 0x04, 0x00, 'H'});
    s.Load(store, TestEnvironment());
    EXPECT_TRUE(s.GetFtpProfiles().empty());
}

TEST(Settings, EveryValueSurvivesSaveAndLoad) {
    const CSettings custom = CustomSettings();
    CMemorySettingsStore first;
    custom.Save(first);

    // Every value differs from its saved default, so each one reaches the store.
    CMemorySettingsStore defaults;
    CSettings().Save(defaults);
    for (const auto& [name, value] : defaults.Values()) {
        ASSERT_TRUE(first.Contains(name)) << name;
        EXPECT_NE(first.Values().at(name), value) << name;
    }

    CSettings loaded;
    loaded.Load(first, TestEnvironment());
    CMemorySettingsStore second;
    loaded.Save(second);
    EXPECT_EQ(second.Values(), first.Values());

    EXPECT_EQ(loaded.GetBackgroundImagePath(), "/data/baggrunde/");
    EXPECT_EQ(Ref(loaded.GetDefaultUnvisitedColor()), 0x445566u);
    EXPECT_EQ(Ref(loaded.GetButtonTextShadowColor()), 0x808080u);
    EXPECT_EQ(loaded.GetButtonTextShadowDirection(), 45);
    EXPECT_FALSE(loaded.GetShowToolHelp(EToolHelp::Formular));
    EXPECT_EQ(loaded.GetConnection(), custom.GetConnection());
    EXPECT_EQ(loaded.GetFtpProxyServer(), "socks.lan");
    EXPECT_EQ(loaded.GetFtpProfiles(), custom.GetFtpProfiles());
    EXPECT_EQ(loaded.GetMainPlacement(), custom.GetMainPlacement());
    EXPECT_EQ(Ref(loaded.GetToolboxColor()), 0x123456u);

    // Loading again from a store without values brings back the defaults.
    loaded.Load(CMemorySettingsStore(), TestEnvironment());
    EXPECT_EQ(loaded.GetDefaultFont(), "Arial");
    EXPECT_TRUE(loaded.GetFtpProfiles().empty());
}

TEST(Settings, ProxyValuesAreEmptyWhileThereIsNoProxy) {
    CSettings s = CustomSettings();
    s.SetFtpProxyType(0);
    EXPECT_EQ(s.GetFtpProxyServer(), "");
    EXPECT_EQ(s.GetFtpProxyPort(), 0);
    EXPECT_EQ(s.GetFtpProxyUser(), "");
    EXPECT_EQ(s.GetFtpProxyPassword(), "");
    const CFtpProfile c = s.GetConnection();
    EXPECT_TRUE(c.proxyServer.empty() && c.proxyUser.empty() && c.proxyPassword.empty());
    EXPECT_EQ(c.proxyPort, 0);
    EXPECT_EQ(c.server, "ftp.eksempel.dk");

    CMemorySettingsStore store;
    s.Save(store);
    EXPECT_EQ(store.ReadString("FTP proxy server"), "");
    EXPECT_EQ(store.ReadInt("FTP proxy port number"), 0);
    EXPECT_EQ(store.ReadString("FTP proxy username"), "");
    EXPECT_EQ(store.ReadString("FTP proxy password"), "");

    // Values left in the store from elsewhere are not read while the type is 0.
    store.WriteString("FTP proxy server", "stale");
    store.WriteInt("FTP proxy port number", 99);
    CSettings loaded;
    loaded.Load(store, TestEnvironment());
    loaded.SetFtpProxyType(1);
    EXPECT_EQ(loaded.GetFtpProxyServer(), "");
    EXPECT_EQ(loaded.GetFtpProxyPort(), 0);
}

TEST(Settings, ProfilesThatCannotBeStoredKeepTheOldValue) {
    CMemorySettingsStore store;
    CSettings s = CustomSettings();
    s.Save(store);
    const auto before = store.ReadBinary("FTP profiles");

    CFtpProfile huge;
    huge.name = "stor";
    huge.catalog.assign(70000, 'a');
    s.FtpProfiles().push_back(huge);
    s.SetFtpServer("ny.server");
    s.Save(store);
    EXPECT_EQ(store.ReadBinary("FTP profiles"), before);
    EXPECT_EQ(store.ReadString("FTP destination server"), "ny.server");
}

TEST(Settings, PlacementAndDialogPositionStayOnScreen) {
    CMainPlacement p;
    p.left = -50;
    p.right = -10;
    p.top = 20;
    p.bottom = 5000;
    p.ClampToScreen(1280, 1024);
    EXPECT_EQ(p.left, 0);
    EXPECT_EQ(p.right, 1);
    EXPECT_EQ(p.top, 20);
    EXPECT_EQ(p.bottom, 1024);

    p.left = 2000;
    p.right = 2100;
    p.top = 100;
    p.bottom = 300;
    p.ClampToScreen(1280, 1024);
    EXPECT_EQ(p.left, 1280);
    EXPECT_EQ(p.right, 1281);
    EXPECT_EQ(p.bottom, 300);

    CSettings s;
    s.Load(CMemorySettingsStore(), TestEnvironment());
    s.SetDialogPosition(5000, 100);
    EXPECT_EQ(s.GetDialogPosition(), std::make_pair(1280 - 25, 100));
}

TEST(DataFolders, DocumentsFolderComesFromUserDirsThenDocumentsThenHome) {
    pwtest::TempDir dir;
    const auto home = dir / "home";
    const auto config = dir / "config";
    std::filesystem::create_directories(home);
    std::filesystem::create_directories(config);

    EXPECT_EQ(CDataFolders::DocumentsFolder(home, config), home);
    std::filesystem::create_directories(home / "Documents");
    EXPECT_EQ(CDataFolders::DocumentsFolder(home, config), home / "Documents");

    {
        std::ofstream out(config / "user-dirs.dirs");
        out << "# written by xdg-user-dirs-update\n"
            << "XDG_DESKTOP_DIR=\"$HOME/Skrivebord\"\n"
            << "XDG_DOCUMENTS_DIR=\"$HOME/Dokumenter\"\n";
    }
    EXPECT_EQ(CDataFolders::DocumentsFolder(home, config), home / "Dokumenter");
    {
        std::ofstream out(config / "user-dirs.dirs");
        out << "XDG_DOCUMENTS_DIR=\"/srv/docs\"\n";
    }
    EXPECT_EQ(CDataFolders::DocumentsFolder(home, config), std::filesystem::path("/srv/docs"));
    {
        std::ofstream out(config / "user-dirs.dirs");
        out << "XDG_DOCUMENTS_DIR=\"$HOME/\"\n";
    }
    EXPECT_EQ(CDataFolders::DocumentsFolder(home, config), home);

    EXPECT_EQ(CDataFolders::WithTrailingSlash("/a/b"), "/a/b/");
    EXPECT_EQ(CDataFolders::WithTrailingSlash("/a/b//"), "/a/b/");
    EXPECT_EQ(CDataFolders::WithTrailingSlash("/"), "/");
}

TEST(DataFolders, DataFolderIsBesideAnInstalledProgramElseTheSourceTree) {
    pwtest::TempDir root;
    const auto source = std::filesystem::path(PW_SOURCE_DIR) / "resources";
    std::filesystem::create_directories(root / "usr/bin");
    const std::pair<std::filesystem::path, std::filesystem::path> cases[] = {
        {root / "usr/bin", source},                         // bin without share: a build tree
        {{}, source},                                       // the program's folder is unknown
        {root / "usr/bin", root / "usr/share/pagewright"}}; // installed
    for (const auto& [program, expected] : cases) {
        if (expected.string().find(root.Path().string()) == 0)
            std::filesystem::create_directories(expected);
        EXPECT_EQ(CDataFolders::DataFolder(program), expected) << program;
    }
    // This test program runs from the build tree.
    EXPECT_EQ(CDataFolders::DataFolder(), source);
}
