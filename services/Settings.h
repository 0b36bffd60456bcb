#pragma once
#include "image/Color.h"
#include "services/FtpProfile.h"
#include <array>
#include <string>
#include <utility>
#include <vector>

class CSettingsStore;

// What the defaults of the settings depend on: the screen and a few folders.
// The folder texts end with '/'.
struct CSettingsEnvironment {
    int screenWidth = 1024;
    int screenHeight = 768;
    std::string documentsFolder; // default "PWU path"
    std::string dataFolder;      // the program's data folder; pictures and backgrounds below it
    std::string homeFolder;      // default "Export path"

    // The real folders of this machine (see CDataFolders) and the given screen.
    static CSettingsEnvironment FromSystem(int screenWidth, int screenHeight);
};

// The main window's placement as kept between runs ("Main showcmd" ... "Main bottom").
struct CMainPlacement {
    int showCmd = 1;
    int flags = 1;
    int minPosX = 0;
    int minPosY = 0;
    int maxPosX = 0;
    int maxPosY = 0;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // Keeps the normal-position rectangle on a screen of the given size:
    // left and top into 0..size, right and bottom at least one pixel past
    // left and top and at most the screen size.
    void ClampToScreen(int screenWidth, int screenHeight);

    bool operator==(const CMainPlacement&) const = default;
};

// The tools that have a help pop-up with its own "Show ... Tool help" flag.
enum class EToolHelp { Arrow, Text, Rect, Circle, Picture, Html, Counter, Formular, Pipette };
inline constexpr size_t kToolHelpCount = 9;

// Every user preference of the program, the connection values and profiles
// for publishing, and the main window's remembered layout. Loaded once from a
// store when the main window is created and saved back in full when it goes.
//
// Texts are UTF-8, paths included; colours are kept as COLORREF values
// (red in bits 0-7) and handed out as CColor.
class CSettings {
public:
    CSettings();

    // Fills every value from `store`, or with its default where the store has
    // no usable value.
    void Load(const CSettingsStore& store, const CSettingsEnvironment& environment);
    // Writes every value, changed or not.
    void Save(CSettingsStore& store) const;
    // Sets every value to its default.
    void ResetToDefaults(const CSettingsEnvironment& environment);

    // Folders offered by the file choosers.
    const std::string& GetPwuPath() const { return m_pwuPath; }
    void SetPwuPath(std::string v) { m_pwuPath = std::move(v); }
    const std::string& GetImagePath() const { return m_imagePath; }
    void SetImagePath(std::string v) { m_imagePath = std::move(v); }
    const std::string& GetExportPath() const { return m_exportPath; }
    void SetExportPath(std::string v) { m_exportPath = std::move(v); }
    const std::string& GetBackgroundImagePath() const { return m_backgroundImagePath; }
    void SetBackgroundImagePath(std::string v) { m_backgroundImagePath = std::move(v); }

    // Defaults of a new site and page.
    int GetDefaultPageWidth() const { return m_defaultPageWidth; }
    void SetDefaultPageWidth(int v) { m_defaultPageWidth = v; }
    int GetDefaultPageHeight() const { return m_defaultPageHeight; }
    void SetDefaultPageHeight(int v) { m_defaultPageHeight = v; }
    CColor GetDefaultVisitedColor() const { return CColor(m_defaultVisitedColor); }
    void SetDefaultVisitedColor(const CColor& c) { m_defaultVisitedColor = c.GetCOLORREF(); }
    CColor GetDefaultUnvisitedColor() const { return CColor(m_defaultUnvisitedColor); }
    void SetDefaultUnvisitedColor(const CColor& c) { m_defaultUnvisitedColor = c.GetCOLORREF(); }
    bool GetRepeatBackgroundFill() const { return m_repeatBackgroundFill; }
    void SetRepeatBackgroundFill(bool v) { m_repeatBackgroundFill = v; }
    CColor GetSolidBackgroundFill() const { return CColor(m_solidBackgroundFill); }
    void SetSolidBackgroundFill(const CColor& c) { m_solidBackgroundFill = c.GetCOLORREF(); }

    // Default text style.
    const std::string& GetDefaultFont() const { return m_defaultFont; }
    void SetDefaultFont(std::string v) { m_defaultFont = std::move(v); }
    int GetDefaultFontSize() const { return m_defaultFontSize; }
    void SetDefaultFontSize(int v) { m_defaultFontSize = v; }
    CColor GetDefaultFontColor() const { return CColor(m_defaultFontColor); }
    void SetDefaultFontColor(const CColor& c) { m_defaultFontColor = c.GetCOLORREF(); }
    bool GetDefaultFontBold() const { return m_defaultFontBold; }
    void SetDefaultFontBold(bool v) { m_defaultFontBold = v; }
    bool GetDefaultFontItalic() const { return m_defaultFontItalic; }
    void SetDefaultFontItalic(bool v) { m_defaultFontItalic = v; }
    bool GetDefaultFontUnderline() const { return m_defaultFontUnderline; }
    void SetDefaultFontUnderline(bool v) { m_defaultFontUnderline = v; }

    int GetCounterId() const { return m_counterId; }
    void SetCounterId(int v) { m_counterId = v; }

    // Text style of navigation buttons.
    const std::string& GetButtonTextFont() const { return m_buttonTextFont; }
    void SetButtonTextFont(std::string v) { m_buttonTextFont = std::move(v); }
    int GetButtonTextFontSize() const { return m_buttonTextFontSize; }
    void SetButtonTextFontSize(int v) { m_buttonTextFontSize = v; }
    CColor GetButtonTextFontColor() const { return CColor(m_buttonTextFontColor); }
    void SetButtonTextFontColor(const CColor& c) { m_buttonTextFontColor = c.GetCOLORREF(); }
    bool GetButtonTextFontBold() const { return m_buttonTextFontBold; }
    void SetButtonTextFontBold(bool v) { m_buttonTextFontBold = v; }
    bool GetButtonTextFontItalic() const { return m_buttonTextFontItalic; }
    void SetButtonTextFontItalic(bool v) { m_buttonTextFontItalic = v; }
    bool GetButtonTextFontUnderline() const { return m_buttonTextFontUnderline; }
    void SetButtonTextFontUnderline(bool v) { m_buttonTextFontUnderline = v; }
    int GetButtonTextAlignment() const { return m_buttonTextAlignment; }
    void SetButtonTextAlignment(int v) { m_buttonTextAlignment = v; }
    bool GetButtonTextUseShadow() const { return m_buttonTextUseShadow; }
    void SetButtonTextUseShadow(bool v) { m_buttonTextUseShadow = v; }
    int GetButtonTextShadowDistance() const { return m_buttonTextShadowDistance; }
    void SetButtonTextShadowDistance(int v) { m_buttonTextShadowDistance = v; }
    int GetButtonTextShadowDirection() const { return m_buttonTextShadowDirection; }
    void SetButtonTextShadowDirection(int v) { m_buttonTextShadowDirection = v; }
    CColor GetButtonTextShadowColor() const { return CColor(m_buttonTextShadowColor); }
    void SetButtonTextShadowColor(const CColor& c) { m_buttonTextShadowColor = c.GetCOLORREF(); }

    // Preview and the one-time help pop-ups.
    bool GetUseBuiltInBrowser() const { return m_useBuiltInBrowser; }
    void SetUseBuiltInBrowser(bool v) { m_useBuiltInBrowser = v; }
    bool GetShowStartUpDialog() const { return m_showStartUpDialog; }
    void SetShowStartUpDialog(bool v) { m_showStartUpDialog = v; }
    // Cores the site build makes pictures on; 0 means all of them.
    int GetBuildJobs() const { return m_buildJobs; }
    void SetBuildJobs(int v) { m_buildJobs = v < 0 ? 0 : v; }
    // What a build writes beyond the classic site: pictures at scale 2, WebP
    // copies of the JPEGs, and a page that fits a phone's screen.
    bool GetBuildHiDpi() const { return m_buildHiDpi; }
    void SetBuildHiDpi(bool v) { m_buildHiDpi = v; }
    bool GetBuildWebp() const { return m_buildWebp; }
    void SetBuildWebp(bool v) { m_buildWebp = v; }
    bool GetBuildPhones() const { return m_buildPhones; }
    void SetBuildPhones(bool v) { m_buildPhones = v; }
    bool GetShowLargeObjectWarning() const { return m_showLargeObjectWarning; }
    void SetShowLargeObjectWarning(bool v) { m_showLargeObjectWarning = v; }
    bool GetShowAdvancedTextHelp() const { return m_showAdvancedTextHelp; }
    void SetShowAdvancedTextHelp(bool v) { m_showAdvancedTextHelp = v; }
    bool GetShowMouseOverHelp() const { return m_showMouseOverHelp; }
    void SetShowMouseOverHelp(bool v) { m_showMouseOverHelp = v; }
    bool GetShowToolHelp(EToolHelp tool) const { return m_showToolHelp[Index(tool)]; }
    void SetShowToolHelp(EToolHelp tool, bool v) { m_showToolHelp[Index(tool)] = v; }

    // Connection values. While the proxy type is 0 the proxy server, user and
    // password read as empty and the proxy port as 0 (and are saved so).
    const std::string& GetFtpServer() const { return m_ftp.server; }
    void SetFtpServer(std::string v) { m_ftp.server = std::move(v); }
    const std::string& GetFtpUser() const { return m_ftp.user; }
    void SetFtpUser(std::string v) { m_ftp.user = std::move(v); }
    const std::string& GetFtpPassword() const { return m_ftp.password; }
    void SetFtpPassword(std::string v) { m_ftp.password = std::move(v); }
    const std::string& GetFtpCatalog() const { return m_ftp.catalog; }
    void SetFtpCatalog(std::string v) { m_ftp.catalog = std::move(v); }
    int GetFtpPort() const { return m_ftp.port; }
    void SetFtpPort(int v) { m_ftp.port = v; }
    bool GetFtpPassive() const { return m_ftp.passive; }
    void SetFtpPassive(bool v) { m_ftp.passive = v; }
    EConnectionKind GetFtpKind() const { return m_ftp.kind; }
    void SetFtpKind(EConnectionKind v) { m_ftp.kind = v; }
    // FTP over TLS, as the kind says (setting it picks FTPS or plain FTP).
    bool GetFtpTls() const { return m_ftp.kind == EConnectionKind::Ftps; }
    void SetFtpTls(bool v) { m_ftp.kind = v ? EConnectionKind::Ftps : EConnectionKind::Ftp; }
    // SFTP: the private key file to log in with (empty: password or agent).
    const std::string& GetFtpKeyFile() const { return m_ftp.keyFile; }
    void SetFtpKeyFile(std::string v) { m_ftp.keyFile = std::move(v); }
    // Connections a publish sends files over at once (1 to 8); 1 sends them
    // one after another in the classic order.
    int GetPublishConnections() const { return m_publishConnections; }
    void SetPublishConnections(int v) { m_publishConnections = v < 1 ? 1 : v > 8 ? 8 : v; }
    int GetFtpProxyType() const { return m_ftp.proxyType; }
    void SetFtpProxyType(int v) { m_ftp.proxyType = v; }
    std::string GetFtpProxyServer() const { return HasProxy() ? m_ftp.proxyServer : ""; }
    void SetFtpProxyServer(std::string v) { m_ftp.proxyServer = std::move(v); }
    int GetFtpProxyPort() const { return HasProxy() ? m_ftp.proxyPort : 0; }
    void SetFtpProxyPort(int v) { m_ftp.proxyPort = v; }
    std::string GetFtpProxyUser() const { return HasProxy() ? m_ftp.proxyUser : ""; }
    void SetFtpProxyUser(std::string v) { m_ftp.proxyUser = std::move(v); }
    std::string GetFtpProxyPassword() const { return HasProxy() ? m_ftp.proxyPassword : ""; }
    void SetFtpProxyPassword(std::string v) { m_ftp.proxyPassword = std::move(v); }

    // All connection values at once (the name stays empty), with the proxy
    // rule applied; and the reverse, which ignores the profile's name.
    CFtpProfile GetConnection() const;
    void SetConnection(const CFtpProfile& connection);

    const std::vector<CFtpProfile>& GetFtpProfiles() const { return m_ftpProfiles; }
    std::vector<CFtpProfile>& FtpProfiles() { return m_ftpProfiles; }
    void SetFtpProfiles(std::vector<CFtpProfile> v) { m_ftpProfiles = std::move(v); }

    // Main window, toolbox and inspector layout.
    const CMainPlacement& GetMainPlacement() const { return m_mainPlacement; }
    void SetMainPlacement(const CMainPlacement& v) { m_mainPlacement = v; }
    CColor GetToolboxColor() const { return CColor(m_toolboxColor); }
    void SetToolboxColor(const CColor& c) { m_toolboxColor = c.GetCOLORREF(); }
    int GetInspectorCurrent() const { return m_inspectorCurrent; }
    void SetInspectorCurrent(int v) { m_inspectorCurrent = v; }
    int GetInspectorLeft() const { return m_inspectorLeft; }
    void SetInspectorLeft(int v) { m_inspectorLeft = v; }
    int GetInspectorTop() const { return m_inspectorTop; }
    void SetInspectorTop(int v) { m_inspectorTop = v; }

    // Where the next dialog opens; not saved. Each coordinate is kept at most
    // 25 pixels short of the screen's size.
    std::pair<int, int> GetDialogPosition() const;
    void SetDialogPosition(int x, int y);

    // The value names as stored, for tools that list or migrate them.
    static std::vector<std::string> ValueNames();

private:
    struct SStringField;
    struct SIntField;
    struct SColorField;
    struct SBoolField;
    static const SStringField kStringFields[];
    static const SIntField kIntFields[];
    static const SColorField kColorFields[];
    static const SBoolField kBoolFields[];

    void ApplyEnvironmentDefaults(const CSettingsEnvironment& environment);
    void LoadConnection(const CSettingsStore& store);
    void SaveConnection(CSettingsStore& store) const;
    static constexpr size_t Index(EToolHelp tool) { return static_cast<size_t>(tool); }
    bool HasProxy() const { return m_ftp.proxyType != 0; }

    std::string m_pwuPath;
    std::string m_imagePath;
    std::string m_exportPath;
    std::string m_backgroundImagePath;
    int m_defaultPageWidth = 740;
    int m_defaultPageHeight = 600;
    COLORREF m_defaultVisitedColor = 0x800080;
    COLORREF m_defaultUnvisitedColor = 0xFF0000;
    bool m_repeatBackgroundFill = true;
    COLORREF m_solidBackgroundFill = 0xFFFFFF;
    std::string m_defaultFont = "Arial";
    int m_defaultFontSize = 12;
    COLORREF m_defaultFontColor = 0;
    bool m_defaultFontBold = false;
    bool m_defaultFontItalic = false;
    bool m_defaultFontUnderline = false;
    int m_counterId = 0;
    std::string m_buttonTextFont = "Arial";
    int m_buttonTextFontSize = 12;
    COLORREF m_buttonTextFontColor = 0xFFFFFF;
    bool m_buttonTextFontBold = false;
    bool m_buttonTextFontItalic = false;
    bool m_buttonTextFontUnderline = false;
    int m_buttonTextAlignment = 1;
    bool m_buttonTextUseShadow = false;
    int m_buttonTextShadowDistance = 1;
    int m_buttonTextShadowDirection = 120;
    COLORREF m_buttonTextShadowColor = 0;
    bool m_useBuiltInBrowser = true;
    bool m_showStartUpDialog = true;
    bool m_showLargeObjectWarning = true;
    int m_buildJobs = 0;
    bool m_buildHiDpi = true;
    bool m_buildWebp = true;
    bool m_buildPhones = true;
    int m_publishConnections = 4;
    bool m_showAdvancedTextHelp = true;
    bool m_showMouseOverHelp = true;
    std::array<bool, kToolHelpCount> m_showToolHelp{true, true, true, true, true,
                                                    true, true, true, true};

    CFtpProfile m_ftp;
    std::vector<CFtpProfile> m_ftpProfiles;

    CMainPlacement m_mainPlacement;
    COLORREF m_toolboxColor = 0x8000;
    int m_inspectorCurrent = 0;
    int m_inspectorLeft = 0;
    int m_inspectorTop = 0;

    int m_screenWidth = 1024;
    int m_screenHeight = 768;
    int m_dialogX = 512;
    int m_dialogY = 384;
};
