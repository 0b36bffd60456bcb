#pragma once
#include "model/Observers.h"
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class CBackgroundFill;
class CPageObject;
class CSite;
class CUserInteraction;


namespace document_texts {
inline constexpr const char* kUntitled = "Ikke navngivet";
inline constexpr const char* kCloseCaption = "Skal hjemmesiden lukkes";
inline constexpr const char* kCloseText =
    "Du kan kun have en hjemmeside åben ad gangen. Skal den nuværende hjemmeside lukkes?";
inline constexpr const char* kChangesCaption = "Ændringer i hjemmesiden";
inline constexpr const char* kChangesText = "Skal ændringerne i hjemmesiden gemmes?";
inline constexpr const char* kOpenFailCaption = "Hjemmesiden kunne ikke åbnes";
inline constexpr const char* kOpenFailText = "Hjemmesiden kunne ikke åbnes!";
inline constexpr const char* kSaveFailCaption = "Kunne ikke gemmes";
inline constexpr const char* kSaveFailText = "Hjemmesiden kunne ikke gemmes!";
inline constexpr const char* kNamesCaption = "Angiv navne";
inline constexpr const char* kCategoryLabel = "Kategori navn:";
inline constexpr const char* kTemplateLabel = "Skabelon navn:";
inline constexpr int kCloseId = 7300, kChangesId = 7301, kOpenFailId = 7302, kSaveFailId = 7303;
} // namespace document_texts

// The one open site and the flows that create, open, save and close it.
class CPlumeDoc {
public:
    static constexpr int kMaxRecentFiles = 4;
    static constexpr long kIdleCallsBeforeRendering = 5000;

    CPlumeDoc(CUserInteraction& ui, std::string displayName);
    ~CPlumeDoc();
    CPlumeDoc(const CPlumeDoc&) = delete;
    CPlumeDoc& operator=(const CPlumeDoc&) = delete;

    CSite* Site() const { return m_site.get(); }
    // Windows and stores that follow the document (see CDocumentObserver).
    void AddObserver(CDocumentObserver* observer) { m_observers.Add(observer); }
    void RemoveObserver(CDocumentObserver* observer) { m_observers.Remove(observer); }
    // Windows showing pages of the site, as the observers count them.
    int PageWindowCount() const;
    std::filesystem::path lastFolder;

    // Takes a site made by the new-site dialog; false while a site is open.
    bool NewSite(std::unique_ptr<CSite> site);
    // Opens a file, asking first to close (and perhaps save) the open site.
    bool OpenFile(const std::filesystem::path& path);
    // Shows the open dialog in the last folder, then OpenFile.
    bool OpenWithDialog();
    bool OnOpenDocument(const std::filesystem::path& path);
    bool OnSaveDocument(const std::filesystem::path& path);
    bool Save();
    bool SaveAs();
    bool SaveAsTemplate();
    // False when the user kept the site open.
    bool Close();
    // A page window is closing: may it?
    bool CanCloseFrame();
    void DeleteContents();

    // "<display name> - <file name or untitled>*"; the display name alone
    // without a site.
    std::string Title() const;
    void RefreshTitle() const;

    const std::vector<std::filesystem::path>& RecentFiles() const { return m_recent; }
    void AddRecentFile(const std::filesystem::path& path);

    // One idle call: below the threshold it only asks for more idle time;
    // after it renders one dirty background or item. True when more idle
    // calls are wanted.
    bool OnIdle(long idleCount);
    bool RenderOnePiece();

private:
    // Asks to save a modified site; false when the flow must stop.
    bool SaveIfWanted();
    bool SaveWithPrompt(bool alwaysAsk);
    bool AskSavePath(std::filesystem::path& path, bool asTemplate) const;
    void FinishSave(const std::filesystem::path& path, bool newName);

    CUserInteraction& m_ui;
    std::string m_displayName;
    std::unique_ptr<CSite> m_site;
    std::vector<std::filesystem::path> m_recent;
    std::unordered_set<const void*> m_renderFailed;
    CObserverList<CDocumentObserver> m_observers;
    // The title follows the site's modified mark.
    struct CTitleFollower : CSiteObserver {
        explicit CTitleFollower(const CPlumeDoc& doc) : doc(doc) {}
        void OnSiteModified(CSite&) override { doc.RefreshTitle(); }
        void OnSiteSaved(CSite&) override { doc.RefreshTitle(); }
        const CPlumeDoc& doc;
    } m_titleFollower{*this};
};
