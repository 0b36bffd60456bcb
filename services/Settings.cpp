#include "services/Settings.h"
#include "services/DataFolders.h"
#include "services/SettingsStore.h"
#include <algorithm>
#include <stdexcept>

namespace {

// How a stored integer becomes a flag. The pop-up, browser and passive
// switches are always written as exactly 0 or 1, and anything else counts as
// "off"; the style flags count any non-zero value as set.
constexpr bool kExactlyOne = true;
constexpr bool kNonZero = false;

bool ReadBool(const CSettingsStore& store, const char* name, bool exactlyOne, bool fallback) {
    const auto v = store.ReadInt(name);
    if (!v) return fallback;
    return exactlyOne ? *v == 1 : *v != 0;
}

void ReadString(const CSettingsStore& store, const char* name, std::string& out) {
    if (auto v = store.ReadString(name)) out = std::move(*v);
}

void ReadInt(const CSettingsStore& store, const char* name, int& out) {
    if (auto v = store.ReadInt(name)) out = *v;
}

// A COLORREF keeps its colour in the low 24 bits; the top byte is not part of it.
void ReadColor(const CSettingsStore& store, const char* name, COLORREF& out) {
    if (auto v = store.ReadInt(name)) out = static_cast<COLORREF>(*v) & 0xFFFFFF;
}

void WriteColor(CSettingsStore& store, const char* name, COLORREF value) {
    store.WriteInt(name, static_cast<int32_t>(value & 0xFFFFFF));
}

constexpr const char* kToolHelpNames[kToolHelpCount] = {
    "Show Arrow Tool help",   "Show Text Tool help",     "Show Rect Tool help",
    "Show Circle Tool help",  "Show Picture Tool help",  "Show Html Tool help",
    "Show Counter Tool help", "Show Formular Tool help", "Show Pipette Tool help",
};

struct SPlacementField {
    const char* name;
    int CMainPlacement::*member;
};

constexpr SPlacementField kPlacementFields[] = {
    {"Main showcmd", &CMainPlacement::showCmd}, {"Main flags", &CMainPlacement::flags},
    {"Main minposx", &CMainPlacement::minPosX}, {"Main minposy", &CMainPlacement::minPosY},
    {"Main maxposx", &CMainPlacement::maxPosX}, {"Main maxposy", &CMainPlacement::maxPosY},
    {"Main left", &CMainPlacement::left},       {"Main top", &CMainPlacement::top},
    {"Main right", &CMainPlacement::right},     {"Main bottom", &CMainPlacement::bottom},
};

constexpr const char* kFtpServer = "FTP destination server";
constexpr const char* kFtpUser = "FTP destination user";
constexpr const char* kFtpPassword = "FTP destination password";
constexpr const char* kFtpCatalog = "FTP destination catalog";
constexpr const char* kFtpPort = "FTP destination port";
constexpr const char* kFtpPassive = "FTP passive mode";
constexpr const char* kFtpProxyType = "FTP proxy type";
constexpr const char* kFtpTls = "FTP secure connection";
constexpr const char* kFtpProxyServer = "FTP proxy server";
constexpr const char* kFtpProxyPort = "FTP proxy port number";
constexpr const char* kFtpProxyUser = "FTP proxy username";
constexpr const char* kFtpProxyPassword = "FTP proxy password";
constexpr const char* kFtpProfiles = "FTP profiles";
// Beside the classic values: the connection kind ("FTP", "FTPS", "SFTP"), the
// SFTP key file, and the profiles' kinds and key files.
constexpr const char* kFtpKind = "FTP connection kind";
constexpr const char* kFtpKeyFile = "FTP key file";
constexpr const char* kFtpProfileKinds = "FTP profile kinds";

constexpr int kDialogMargin = 25;

} // namespace

struct CSettings::SStringField {
    const char* name;
    std::string CSettings::*member;
};
struct CSettings::SIntField {
    const char* name;
    int CSettings::*member;
};
struct CSettings::SColorField {
    const char* name;
    COLORREF CSettings::*member;
};
struct CSettings::SBoolField {
    const char* name;
    bool CSettings::*member;
    bool exactlyOne;
};

const CSettings::SStringField CSettings::kStringFields[] = {
    {"PWU path", &CSettings::m_pwuPath},
    {"Image path", &CSettings::m_imagePath},
    {"Export path", &CSettings::m_exportPath},
    {"Background Image path", &CSettings::m_backgroundImagePath},
    {"Default font", &CSettings::m_defaultFont},
    {"Default ButtonText font", &CSettings::m_buttonTextFont},
    {nullptr, nullptr},
};

const CSettings::SIntField CSettings::kIntFields[] = {
    {"Default page width", &CSettings::m_defaultPageWidth},
    {"Default page height", &CSettings::m_defaultPageHeight},
    {"Default font size", &CSettings::m_defaultFontSize},
    {"CounterID", &CSettings::m_counterId},
    {"Default ButtonText font size", &CSettings::m_buttonTextFontSize},
    {"Default ButtonText alignment", &CSettings::m_buttonTextAlignment},
    {"Default ButtonText shadow distance", &CSettings::m_buttonTextShadowDistance},
    {"Default ButtonText shadowdirection", &CSettings::m_buttonTextShadowDirection},
    {"Inspector current", &CSettings::m_inspectorCurrent},
    {"Inspector left", &CSettings::m_inspectorLeft},
    {"Inspector top", &CSettings::m_inspectorTop},
    {"Build jobs", &CSettings::m_buildJobs},
    {"Publish connections", &CSettings::m_publishConnections},
    {nullptr, nullptr},
};

const CSettings::SColorField CSettings::kColorFields[] = {
    {"Default visited color", &CSettings::m_defaultVisitedColor},
    {"Default unvisited color", &CSettings::m_defaultUnvisitedColor},
    {"Default font color", &CSettings::m_defaultFontColor},
    {"Default ButtonText font color", &CSettings::m_buttonTextFontColor},
    {"Default ButtonText shadow color", &CSettings::m_buttonTextShadowColor},
    {"Solid background fill", &CSettings::m_solidBackgroundFill},
    {"Toolbox color", &CSettings::m_toolboxColor},
    {nullptr, nullptr},
};

const CSettings::SBoolField CSettings::kBoolFields[] = {
    {"Default font bold", &CSettings::m_defaultFontBold, kNonZero},
    {"Default font italic", &CSettings::m_defaultFontItalic, kNonZero},
    {"Default font underline", &CSettings::m_defaultFontUnderline, kNonZero},
    {"Default ButtonText font bold", &CSettings::m_buttonTextFontBold, kNonZero},
    {"Default ButtonText font italic", &CSettings::m_buttonTextFontItalic, kNonZero},
    {"Default ButtonText font underline", &CSettings::m_buttonTextFontUnderline, kNonZero},
    {"Default ButtonText use shadow", &CSettings::m_buttonTextUseShadow, kNonZero},
    {"Repeat background fill", &CSettings::m_repeatBackgroundFill, kNonZero},
    {"Use Built In Browser", &CSettings::m_useBuiltInBrowser, kExactlyOne},
    {"Show StartUp dialog", &CSettings::m_showStartUpDialog, kExactlyOne},
    {"Show Large Object Warning", &CSettings::m_showLargeObjectWarning, kExactlyOne},
    {"Show Advanced Text help", &CSettings::m_showAdvancedTextHelp, kExactlyOne},
    {"Show MouseOver help", &CSettings::m_showMouseOverHelp, kExactlyOne},
    {"Build HiDPI pictures", &CSettings::m_buildHiDpi, kExactlyOne},
    {"Build WebP pictures", &CSettings::m_buildWebp, kExactlyOne},
    {"Build for phones", &CSettings::m_buildPhones, kExactlyOne},
    {nullptr, nullptr, kNonZero},
};

CSettingsEnvironment CSettingsEnvironment::FromSystem(int screenWidth, int screenHeight) {
    CSettingsEnvironment env;
    env.screenWidth = screenWidth;
    env.screenHeight = screenHeight;
    env.documentsFolder = CDataFolders::WithTrailingSlash(CDataFolders::DocumentsFolder());
    env.dataFolder = CDataFolders::WithTrailingSlash(CDataFolders::DataFolder());
    env.homeFolder = CDataFolders::WithTrailingSlash(CDataFolders::HomeFolder());
    return env;
}

void CMainPlacement::ClampToScreen(int screenWidth, int screenHeight) {
    left = std::clamp(left, 0, std::max(0, screenWidth));
    top = std::clamp(top, 0, std::max(0, screenHeight));
    if (std::min(screenWidth, right) < left + 1)
        right = left + 1;
    else if (right > screenWidth)
        right = screenWidth;
    if (std::min(screenHeight, bottom) < top + 1)
        bottom = top + 1;
    else if (bottom > screenHeight)
        bottom = screenHeight;
}

CSettings::CSettings() {
    ApplyEnvironmentDefaults(CSettingsEnvironment{});
}

void CSettings::ResetToDefaults(const CSettingsEnvironment& environment) {
    *this = CSettings();
    ApplyEnvironmentDefaults(environment);
}

void CSettings::ApplyEnvironmentDefaults(const CSettingsEnvironment& env) {
    m_pwuPath = env.documentsFolder;
    m_imagePath = env.dataFolder + "Animations/";
    m_backgroundImagePath = env.dataFolder + "Backgrounds/";
    m_exportPath = env.homeFolder;

    m_mainPlacement = CMainPlacement{};
    m_mainPlacement.right = env.screenWidth;
    m_mainPlacement.bottom = env.screenHeight;
    m_inspectorLeft = env.screenWidth - 300;
    m_inspectorTop = env.screenHeight - 200;

    m_screenWidth = env.screenWidth;
    m_screenHeight = env.screenHeight;
    SetDialogPosition(env.screenWidth / 2, env.screenHeight / 2);
}

void CSettings::Load(const CSettingsStore& store, const CSettingsEnvironment& environment) {
    ResetToDefaults(environment);
    for (const SStringField* f = kStringFields; f->name; ++f)
        ReadString(store, f->name, this->*(f->member));
    for (const SIntField* f = kIntFields; f->name; ++f)
        ReadInt(store, f->name, this->*(f->member));
    for (const SColorField* f = kColorFields; f->name; ++f)
        ReadColor(store, f->name, this->*(f->member));
    for (const SBoolField* f = kBoolFields; f->name; ++f)
        this->*(f->member) = ReadBool(store, f->name, f->exactlyOne, this->*(f->member));
    for (size_t i = 0; i < kToolHelpCount; ++i)
        m_showToolHelp[i] = ReadBool(store, kToolHelpNames[i], kExactlyOne, m_showToolHelp[i]);
    for (const SPlacementField& f : kPlacementFields)
        ReadInt(store, f.name, m_mainPlacement.*(f.member));
    LoadConnection(store);
}

void CSettings::Save(CSettingsStore& store) const {
    for (const SStringField* f = kStringFields; f->name; ++f)
        store.WriteString(f->name, this->*(f->member));
    for (const SIntField* f = kIntFields; f->name; ++f)
        store.WriteInt(f->name, this->*(f->member));
    for (const SColorField* f = kColorFields; f->name; ++f)
        WriteColor(store, f->name, this->*(f->member));
    for (const SBoolField* f = kBoolFields; f->name; ++f)
        store.WriteInt(f->name, this->*(f->member) ? 1 : 0);
    for (size_t i = 0; i < kToolHelpCount; ++i)
        store.WriteInt(kToolHelpNames[i], m_showToolHelp[i] ? 1 : 0);
    for (const SPlacementField& f : kPlacementFields)
        store.WriteInt(f.name, m_mainPlacement.*(f.member));
    SaveConnection(store);
}

void CSettings::LoadConnection(const CSettingsStore& store) {
    ReadString(store, kFtpServer, m_ftp.server);
    ReadString(store, kFtpUser, m_ftp.user);
    ReadString(store, kFtpPassword, m_ftp.password);
    ReadString(store, kFtpCatalog, m_ftp.catalog);
    ReadInt(store, kFtpPort, m_ftp.port);
    m_ftp.passive = ReadBool(store, kFtpPassive, kExactlyOne, false);
    // Settings from before the kind was stored know only the secure flag.
    if (auto kind = store.ReadString(kFtpKind))
        m_ftp.kind = ParseConnectionKind(*kind);
    else
        m_ftp.kind = ReadBool(store, kFtpTls, kExactlyOne, false) ? EConnectionKind::Ftps
                                                                   : EConnectionKind::Ftp;
    ReadString(store, kFtpKeyFile, m_ftp.keyFile);
    ReadInt(store, kFtpProxyType, m_ftp.proxyType);
    if (HasProxy()) {
        ReadString(store, kFtpProxyServer, m_ftp.proxyServer);
        ReadInt(store, kFtpProxyPort, m_ftp.proxyPort);
        ReadString(store, kFtpProxyUser, m_ftp.proxyUser);
        ReadString(store, kFtpProxyPassword, m_ftp.proxyPassword);
    }
    if (auto bytes = store.ReadBinary(kFtpProfiles)) m_ftpProfiles = DecodeProfiles(*bytes);
    if (auto bytes = store.ReadBinary(kFtpProfileKinds)) ApplyProfileKinds(m_ftpProfiles, *bytes);
}

void CSettings::SaveConnection(CSettingsStore& store) const {
    const CFtpProfile c = GetConnection();
    store.WriteString(kFtpServer, c.server);
    store.WriteString(kFtpUser, c.user);
    store.WriteString(kFtpPassword, c.password);
    store.WriteString(kFtpCatalog, c.catalog);
    store.WriteInt(kFtpPort, c.port);
    store.WriteInt(kFtpPassive, c.passive ? 1 : 0);
    store.WriteInt(kFtpTls, c.kind == EConnectionKind::Ftps ? 1 : 0);
    store.WriteString(kFtpKind, ConnectionKindName(c.kind));
    store.WriteString(kFtpKeyFile, c.keyFile);
    store.WriteInt(kFtpProxyType, c.proxyType);
    store.WriteString(kFtpProxyServer, c.proxyServer);
    store.WriteInt(kFtpProxyPort, c.proxyPort);
    store.WriteString(kFtpProxyUser, c.proxyUser);
    store.WriteString(kFtpProxyPassword, c.proxyPassword);
    try {
        store.WriteBinary(kFtpProfiles, EncodeProfiles(m_ftpProfiles));
        store.WriteBinary(kFtpProfileKinds, EncodeProfileKinds(m_ftpProfiles));
    } catch (const std::length_error&) {
        // A list that cannot be stored so that it reads back is not written
        // at all: the stored value keeps the last list that could.
    }
}

CFtpProfile CSettings::GetConnection() const {
    CFtpProfile c = m_ftp;
    c.name.clear();
    c.proxyServer = GetFtpProxyServer();
    c.proxyPort = GetFtpProxyPort();
    c.proxyUser = GetFtpProxyUser();
    c.proxyPassword = GetFtpProxyPassword();
    return c;
}

void CSettings::SetConnection(const CFtpProfile& connection) {
    m_ftp = connection;
    m_ftp.name.clear();
}

std::pair<int, int> CSettings::GetDialogPosition() const {
    return {std::min(m_dialogX, m_screenWidth - kDialogMargin),
            std::min(m_dialogY, m_screenHeight - kDialogMargin)};
}

void CSettings::SetDialogPosition(int x, int y) {
    m_dialogX = std::min(x, m_screenWidth - kDialogMargin);
    m_dialogY = std::min(y, m_screenHeight - kDialogMargin);
}

std::vector<std::string> CSettings::ValueNames() {
    std::vector<std::string> names;
    for (const SStringField* f = kStringFields; f->name; ++f)
        names.emplace_back(f->name);
    for (const SIntField* f = kIntFields; f->name; ++f)
        names.emplace_back(f->name);
    for (const SColorField* f = kColorFields; f->name; ++f)
        names.emplace_back(f->name);
    for (const SBoolField* f = kBoolFields; f->name; ++f)
        names.emplace_back(f->name);
    for (const char* name : kToolHelpNames)
        names.emplace_back(name);
    for (const SPlacementField& f : kPlacementFields)
        names.emplace_back(f.name);
    for (const char* name : {kFtpServer, kFtpUser, kFtpPassword, kFtpCatalog, kFtpPort, kFtpPassive,
                             kFtpTls, kFtpProxyType, kFtpProxyServer, kFtpProxyPort, kFtpProxyUser,
                             kFtpProxyPassword, kFtpProfiles, kFtpKind, kFtpKeyFile,
                             kFtpProfileKinds})
        names.emplace_back(name);
    return names;
}
