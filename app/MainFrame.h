#pragma once
#include "app/dialogs/AccessReportWindow.h"
#include "app/PreviewWindow.h"
#include "model/Observers.h"
#include "services/Settings.h"
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;
class CEditorContext;
class CInspector;
class CPublisher;
struct CPublishEnvironment;
class CPage;
class CPageFrame;
class CPlumeDoc;
class CPreviewWindow;
class CQtInteraction;
class CRecovery;
class CSite;
class CUserInteraction;

// The designer's main window: page windows in an MDI area, the menu bar, the
// main toolbar, the toolbox, the status bar with its four panes (general
// messages, selection position, page count, download time) and the floating
// inspector window. It owns the settings (read when it is made, written back
// in full when it closes), the document and the tool context.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    enum EPane { kMessagePane, kPositionPane, kPageCountPane, kDownloadPane, kPaneCount };

    // Settings come from `settingsPath` (empty: the user's own file) with
    // defaults for this screen.
    explicit CMainFrame(QWidget* parent = nullptr, const QString& settingsPath = {});
    ~CMainFrame() override;

    QMdiArea* MdiArea() const { return m_mdi; }
    QLabel* Pane(EPane pane) const { return m_panes.at(pane); }
    void SetPaneText(EPane pane, const QString& text);
    // The widest text a pane is sized for; empty for the message pane, which stretches.
    static QString PanePlaceholder(EPane pane);

    // The dialogs the core opens while this window is up belong to it.
    CUserInteraction& Interaction();
    CQtInteraction& QtInteraction() { return *m_ui; }
    CSettings& Settings() { return m_settings; }
    CPlumeDoc& Document() { return *m_doc; }
    CEditorContext& Context() { return *m_context; }
    CSite* Site() const;
    QString SettingsPath() const { return m_settingsPath; }

    // The inspector and the window of it that is (or was last) shown.
    CInspector& Inspector() const { return *m_inspector; }
    QWidget* InspectorWindow() const;
    int InspectorPage() const { return m_inspectorPage; }
    // 0..5 select the first six pages, anything else the seventh.
    void ShowInspectorPage(int index);
    // Moves the inspector to its remembered place and page (after start-up).
    void RestoreInspector();

    // Menu and toolbar commands by their command id; null for unknown ids.
    QAction* Action(int id) const;
    const std::map<int, QAction*>& Actions() const { return m_actions; }
    // Brings every command's enabled state, check mark and text up to date.
    void UpdateCommands();
    QToolBar* Toolbox() const { return m_toolbox; }
    QToolButton* ShowPageButton() const { return m_showPageButton; }

    // Page windows.
    QList<CPageFrame*> PageFrames() const;
    CPageFrame* ActiveFrame() const;
    CPage* ActivePage() const;
    // Activates the page's window, or opens one while fewer than ten are
    // open (the notice otherwise). Null when none could be shown.
    CPageFrame* ShowPage(CPage& page);
    // Opens a window for the page without the ten-window check.
    CPageFrame* OpenPageWindow(CPage& page);

    // Document flows with their windows.
    bool NewSiteWithWizard();
    // Takes a new site (from the wizard) and shows its front page.
    bool OpenNewSite(std::unique_ptr<CSite> site);
    bool OpenSite(const std::filesystem::path& path);
    bool OpenTemplateFile(const std::filesystem::path& path);
    bool ChooseTemplate();
    bool CloseSite();
    // Dropped or forwarded files: one ".pwu" file (case-sensitive) opens;
    // anything else gets the matching notice and opens nothing.
    bool OpenDroppedFiles(const QStringList& files);
    // The HTML manual shipped with the program; empty when it is missing.
    static QString ManualPath();
    // Builds the site and shows it: in the program's own browser window when
    // the settings say so (or `ownWindow`), else in the desktop's browser.
    bool PreviewSite(bool ownWindow = false);
    CPreviewWindow* PreviewWindow() const { return m_preview; }
    // The accessibility report of the last preview, export or publish: shown
    // in its window when it found something, brought up to date when the
    // window is open. Null until a build found something.
    CAccessReportWindow* AccessReport() const { return m_accessReport; }
    void ShowAccessReport(const std::vector<CAccessFinding>& findings);

    // Status panes from the model.
    void RefreshPanes();
    // Every recovery copy of unsaved work (see CRecovery).
    CRecovery& Recovery() { return *m_recovery; }

    // The start-up dialog's choice (new site, open, template); false when
    // the user cancelled.
    bool RunStartupDialog();
    // Opens the copy a crashed session left (see CRecovery) with its windows.
    bool RestoreRecovered();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct SCommand;
    void CreateStatusPanes();
    void SizePanes();
    void CreateInspector();
    void CreateCommands();
    void CreateMenus();
    void CreateToolbars();
    void CreateToolbox();
    QAction* AddCommand(int id, const QString& text, const QKeySequence& key,
                        std::function<void()> run, std::function<bool()> enabled = {});
    void RunCommand(int id);
    void UpdateRecentFiles();
    void FillShowPageMenu(QMenu* menu);
    void UpdateColourSwatches();
    void ApplyPlacement();
    CMainPlacement CurrentPlacement() const;
    void SaveSettings();
    void SiteOpenedWindows();
    void SiteClosedWindows();
    void OnSubWindowActivated(QMdiSubWindow* window);
    void FitToClient(QMdiSubWindow* window) const;
    void OnIdle();
    // Page commands act on the active page and repaint it.
    void PageCommand(const std::function<bool(CPage&)>& command);
    void AddPage();
    void DeleteActivePage();
    void PublishCommand(int which);
    void OpenRecent(int index);

    QString m_settingsPath;
    CSettings m_settings;
    std::unique_ptr<CQtInteraction> m_ui;
    std::unique_ptr<CPlumeDoc> m_doc;
    CDocumentEvents m_docEvents;
    CEditorContext* m_context = nullptr;
    std::unique_ptr<CRecovery> m_recovery;
    QMdiArea* m_mdi = nullptr;
    std::array<QLabel*, kPaneCount> m_panes{};
    std::map<int, QAction*> m_actions;
    std::map<int, std::function<bool()>> m_enableRules;
    std::map<int, std::function<void()>> m_runners;
    QMenu* m_recentMenu = nullptr;
    QMenu* m_showPageMenu = nullptr;
    QMenu* m_contextMenu = nullptr;
    QToolBar* m_mainBar = nullptr;
    QToolBar* m_toolbox = nullptr;
    QToolButton* m_showPageButton = nullptr;
    QToolButton* m_currentSwatch = nullptr;
    QLabel* m_pickedSwatch = nullptr;
    CInspector* m_inspector = nullptr;
    int m_inspectorPage = 0;
    QTimer* m_idle = nullptr;
    QPointer<CPreviewWindow> m_preview;
    QPointer<CAccessReportWindow> m_accessReport;
    // The last preview's build, kept while a browser may show it.
    std::unique_ptr<CPublishEnvironment> m_previewEnv;
    std::unique_ptr<CPublisher> m_previewPublisher;
    bool m_closing = false;
    int m_recoveryMinutes = 3;
};
