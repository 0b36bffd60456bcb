#include "app/MainFrame.h"
#include "app/inspector/Inspector.h"
#include "editor/Clipboard.h"
#include "publish/PublishEnvironment.h"
#include "publish/Publisher.h"
#include <QClipboard>
#include <QGuiApplication>
#include "app/PageFrame.h"
#include "app/PreviewWindow.h"
#include "app/QtInteraction.h"
#include "app/Recovery.h"
#include "app/SettingsFile.h"
#include "app/StatusTexts.h"
#include "editor/EditorContext.h"
#include "editor/PlumeView.h"
#include "model/Document.h"
#include "model/Page.h"
#include "model/PageProperties.h"
#include "model/Site.h"
#include "services/CurrentSettings.h"
#include "services/StringTable.h"
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QSize ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

QString U(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

const QString kRecentGroup = QStringLiteral("Recent File List/File%1");
// Minutes between copies of unsaved work (see CRecovery).
const QString kRecoveryKey = QStringLiteral("Settings/Recovery minutes");

} // namespace

CMainFrame::CMainFrame(QWidget* parent, const QString& settingsPath)
    : QMainWindow(parent),
      m_settingsPath(settingsPath.isEmpty() ? pw::settingsfile::DefaultPath() : settingsPath),
      m_ui(std::make_unique<CQtInteraction>(this)) {
    setWindowTitle(QStringLiteral("Pagewright"));
    setObjectName(QStringLiteral("MainFrame"));
    setAcceptDrops(true);

    // Settings first: the placement, the toolbox colour and the inspector
    // below all come from them.
    const QSize screen = ScreenSize();
    pw::settingsfile::Load(m_settings, m_settingsPath,
                           CSettingsEnvironment::FromSystem(screen.width(), screen.height()));
    SetCurrentSettings(m_settings);

    m_context = new CEditorContext(this);
    m_context->SetCurrentColor(m_settings.GetToolboxColor());
    m_doc = std::make_unique<CPlumeDoc>(*m_ui, "Pagewright");
    m_doc->lastFolder = m_settings.GetPwuPath();
    m_docEvents.titleChanged = [this](const std::string& title) {
        setWindowTitle(U(title));
        UpdateCommands();
        RefreshPanes();
    };
    m_docEvents.pageWindowCount = [this] { return static_cast<int>(PageFrames().size()); };
    m_docEvents.siteClosed = [this] { SiteClosedWindows(); };
    m_docEvents.writeProfiles = [this] { pw::settingsfile::Save(m_settings, m_settingsPath); };
    m_doc->AddObserver(&m_docEvents);
    {
        QSettings recent(m_settingsPath, QSettings::IniFormat);
        for (int i = CPlumeDoc::kMaxRecentFiles; i >= 1; --i) {
            const QString file = recent.value(kRecentGroup.arg(i)).toString();
            if (!file.isEmpty()) m_doc->AddRecentFile(ToPath(file));
        }
    }
    m_recovery = std::make_unique<CRecovery>(*m_doc, this);
    m_recoveryMinutes = QSettings(m_settingsPath, QSettings::IniFormat)
                            .value(kRecoveryKey, CRecovery::kDefaultMinutes)
                            .toInt();
    m_recovery->SetIntervalMinutes(m_recoveryMinutes);

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("PageWindows"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setBackground(QColor(128, 128, 128));
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    CreateStatusPanes();
    CreateCommands();
    CreateMenus();
    CreateToolbars();
    CreateToolbox();
    CreateInspector();
    ApplyPlacement();
    restoreState(QSettings(m_settingsPath, QSettings::IniFormat)
                     .value(QStringLiteral("Settings/NewBarState"))
                     .toByteArray());

    m_idle = new QTimer(this);
    m_idle->setInterval(0);
    connect(m_idle, &QTimer::timeout, this, &CMainFrame::OnIdle);
    // Paste follows what any program puts on the clipboard.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &CMainFrame::UpdateCommands);

    UpdateCommands();
    RefreshPanes();
}

CMainFrame::~CMainFrame() {
    if (!m_closing) SaveSettings();
    // The inspector listens to the document and its pages: it goes first.
    delete m_inspector;
    m_inspector = nullptr;
    // Page windows hold views of the site; they go before the document.
    // Closed windows not yet deleted are not listed but still watch their pages.
    if (m_mdi)
        for (CPageFrame* frame : m_mdi->findChildren<CPageFrame*>()) delete frame;
}

CSite* CMainFrame::Site() const {
    return m_doc->Site();
}

// ---------------------------------------------------------------- settings

void CMainFrame::ApplyPlacement() {
    CMainPlacement placement = m_settings.GetMainPlacement();
    const QSize screen = ScreenSize();
    placement.ClampToScreen(screen.width(), screen.height());
    setGeometry(placement.left, placement.top, placement.right - placement.left,
                placement.bottom - placement.top);
    if (placement.showCmd == 3) setWindowState(windowState() | Qt::WindowMaximized);
}

CMainPlacement CMainFrame::CurrentPlacement() const {
    CMainPlacement placement = m_settings.GetMainPlacement();
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    placement.left = normal.left();
    placement.top = normal.top();
    placement.right = normal.left() + normal.width();
    placement.bottom = normal.top() + normal.height();
    placement.showCmd = isMaximized() ? 3 : (isMinimized() ? 2 : 1);
    return placement;
}

void CMainFrame::SaveSettings() {
    m_settings.SetMainPlacement(CurrentPlacement());
    m_settings.SetToolboxColor(m_context->CurrentColor());
    m_settings.SetInspectorCurrent(m_inspectorPage);
    if (m_inspector) {
        m_settings.SetInspectorLeft(m_inspector->Position().x());
        m_settings.SetInspectorTop(m_inspector->Position().y());
    }
    if (!m_doc->lastFolder.empty()) {
        std::string folder = m_doc->lastFolder.string();
        if (folder.back() != '/') folder += '/';
        m_settings.SetPwuPath(folder);
    }
    pw::settingsfile::Save(m_settings, m_settingsPath);
    QSettings extra(m_settingsPath, QSettings::IniFormat);
    extra.setValue(QStringLiteral("Settings/NewBarState"), saveState());
    extra.setValue(kRecoveryKey, m_recoveryMinutes);
    extra.remove(QStringLiteral("Recent File List"));
    const auto& recent = m_doc->RecentFiles();
    for (size_t i = 0; i < recent.size(); ++i)
        extra.setValue(kRecentGroup.arg(i + 1), ToQString(recent[i]));
    extra.sync();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_doc->Close()) {
        event->ignore();
        return;
    }
    m_closing = true;
    if (m_preview) m_preview->close();
    SaveSettings();
    m_recovery->Discard();
    if (m_inspector) m_inspector->Hide();
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------- status panes

QString CMainFrame::PanePlaceholder(EPane pane) {
    switch (pane) {
    case kPositionPane:
        return U(CStringTable::Get(IDS_PANE_POSITION));
    case kPageCountPane:
        return U(CStringTable::Get(IDS_PANE_PAGE_COUNT));
    case kDownloadPane:
        return U(CStringTable::Get(IDS_PANE_DOWNLOAD_TIME));
    default:
        return {};
    }
}

void CMainFrame::CreateStatusPanes() {
    static const char* const kNames[kPaneCount] = {"MessagePane", "PositionPane", "PageCountPane",
                                                   "DownloadPane"};
    QStatusBar* bar = statusBar();
    for (int i = 0; i < kPaneCount; ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(QLatin1String(kNames[i]));
        label->setTextFormat(Qt::PlainText);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken); // pane edges show even when empty
        m_panes[i] = label;
        if (i == kMessagePane) {
            bar->addWidget(label, 1);
        } else {
            label->setAlignment(Qt::AlignCenter);
            bar->addPermanentWidget(label);
        }
    }
    SizePanes();
}

void CMainFrame::SizePanes() {
    for (int i = kPositionPane; i < kPaneCount; ++i) {
        QLabel* label = m_panes[i];
        QString placeholder = PanePlaceholder(static_cast<EPane>(i));
        // Room for the placeholder plus a little air, so the pane does not
        // jump in width while the numbers in it change.
        QFontMetrics metrics(label->font());
        int margins = label->contentsMargins().left() + label->contentsMargins().right() +
                      2 * label->margin();
        label->setMinimumWidth(metrics.horizontalAdvance(placeholder) + margins +
                               metrics.averageCharWidth() * 2);
    }
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) SizePanes();
}

void CMainFrame::SetPaneText(EPane pane, const QString& text) {
    m_panes.at(pane)->setText(text);
}

void CMainFrame::RefreshPanes() {
    const CSite* site = Site();
    const CPage* page = site ? ActivePage() : nullptr;
    SetPaneText(kPositionPane, U(pw::status::PositionText(page)));
    SetPaneText(kPageCountPane, U(pw::status::PageCountText(site)));
    SetPaneText(kDownloadPane, U(pw::status::DownloadText(site, page)));
}

CUserInteraction& CMainFrame::Interaction() {
    return *m_ui;
}

// ---------------------------------------------------------------- inspector

void CMainFrame::CreateInspector() {
    m_inspector = new CInspector(*m_context, m_settings, *m_ui, m_doc.get(), this);
    connect(m_inspector, &CInspector::visibilityChanged, this, &CMainFrame::UpdateCommands);
}

QWidget* CMainFrame::InspectorWindow() const {
    return m_inspector->Window(m_inspector->Current());
}

void CMainFrame::ShowInspectorPage(int index) {
    m_inspectorPage = (index >= 0 && index <= 5) ? index : 6;
    m_inspector->Show(m_inspectorPage);
    UpdateCommands();
}

void CMainFrame::RestoreInspector() {
    m_inspector->MoveTo(QPoint(m_settings.GetInspectorLeft(), m_settings.GetInspectorTop()));
    ShowInspectorPage(m_settings.GetInspectorCurrent());
}

// ---------------------------------------------------------------- page windows

QList<CPageFrame*> CMainFrame::PageFrames() const {
    QList<CPageFrame*> frames;
    if (!m_mdi) return frames;
    for (QMdiSubWindow* window : m_mdi->subWindowList())
        if (auto* frame = qobject_cast<CPageFrame*>(window)) frames << frame;
    return frames;
}

CPageFrame* CMainFrame::ActiveFrame() const {
    auto* frame = qobject_cast<CPageFrame*>(m_mdi->activeSubWindow());
    if (frame) return frame;
    // With the main window in the background no child is active; the
    // commands still act on the page in front.
    const auto frames = PageFrames();
    return frames.isEmpty() ? nullptr : qobject_cast<CPageFrame*>(m_mdi->currentSubWindow());
}

CPage* CMainFrame::ActivePage() const {
    CPageFrame* frame = ActiveFrame();
    return frame ? &frame->Page() : nullptr;
}

void CMainFrame::FitToClient(QMdiSubWindow* window) const {
    const QSize client = m_mdi->viewport()->size();
    QSize wanted = window->sizeHint();
    if (auto* frame = qobject_cast<CPageFrame*>(window)) {
        // Everything around the page's viewport (title bar, borders, the
        // view's frame) plus the page itself: no grey margin, no scroll bars
        // while the page fits.
        if (window->layout()) window->layout()->activate();
        const QSize chrome = window->size() - frame->View()->viewport()->size();
        wanted = QSize(frame->Page().Width(), frame->Page().Height()) + chrome;
    }
    window->resize(std::min(wanted.width(), client.width() - 4),
                   std::min(wanted.height(), client.height() - 4));
}

CPageFrame* CMainFrame::OpenPageWindow(CPage& page) {
    auto* frame = new CPageFrame(*m_doc, page, *m_context, m_mdi);
    CPlumeView* view = frame->View();
    connect(view, &CPlumeView::statusText, this,
            [this](const QString& text) { SetPaneText(kMessagePane, text); });
    connect(view, &CPlumeView::pointerMoved, this, [this](int, int, bool) { RefreshPanes(); });
    connect(view, &CPlumeView::inspectorNotify, this, [this](int code) {
        if (m_inspector) m_inspector->OnViewNotify(code);
        UpdateCommands();
        RefreshPanes();
    });
    connect(view, &CPlumeView::htmlEditorRequested, m_inspector, &CInspector::EditHtml);
    connect(frame, &CPageFrame::closing, this, [this](CPageFrame*) {
        QTimer::singleShot(0, this, [this] {
            if (m_inspector) m_inspector->SetPage(ActivePage());
            UpdateCommands();
            RefreshPanes();
        });
    });
    m_mdi->addSubWindow(frame);
    frame->show();
    FitToClient(frame);
    // Once laid out the window knows its borders exactly; fit it again then.
    QTimer::singleShot(0, frame, [this, frame] { FitToClient(frame); });
    m_mdi->setActiveSubWindow(frame);
    m_idle->start();
    return frame;
}

CPageFrame* CMainFrame::ShowPage(CPage& page) {
    for (CPageFrame* frame : PageFrames()) {
        if (&frame->Page() == &page) {
            if (frame->isMinimized()) frame->showNormal();
            m_mdi->setActiveSubWindow(frame);
            return frame;
        }
    }
    if (!CheckPageWindowLimit(static_cast<int>(PageFrames().size()), false, *m_ui)) return nullptr;
    return OpenPageWindow(page);
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
    if (auto* frame = qobject_cast<CPageFrame*>(window); frame && Site())
        Site()->SetCurrentPage(&frame->Page());
    // While another window has the focus no page window is active; the
    // inspector keeps showing the page in front.
    if (m_inspector) m_inspector->SetPage(ActivePage());
    UpdateCommands();
    RefreshPanes();
}

void CMainFrame::SiteOpenedWindows() {
    // Page links in objects copied before now point into another site.
    pw::editor_clipboard::ForeignData() = true;
    CSite* site = Site();
    if (!site || site->PageCount() == 0) return;
    CPage* front = site->FrontPage();
    OpenPageWindow(front ? *front : site->PageAt(0));
    m_recovery->Start();
    UpdateCommands();
    RefreshPanes();
}

void CMainFrame::SiteClosedWindows() {
    // Closed windows not yet deleted are not listed but still watch their pages.
    for (CPageFrame* frame : m_mdi->findChildren<CPageFrame*>()) {
        frame->CloseQuietly();
        delete frame;
    }
    m_idle->stop();
    m_recovery->Discard();
    QTimer::singleShot(0, this, [this] {
        UpdateCommands();
        RefreshPanes();
    });
}

void CMainFrame::OnIdle() {
    if (!Site() || !m_doc->RenderOnePiece()) m_idle->stop();
}

// ---------------------------------------------------------------- dropped files

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    event->acceptProposedAction();
    // The drop's own event must end before dialogs open.
    QTimer::singleShot(0, this, [this, files] { OpenDroppedFiles(files); });
}

bool CMainFrame::OpenDroppedFiles(const QStringList& files) {
    if (files.isEmpty()) return false;
    if (files.size() > 1) {
        m_ui->Inform("Pagewright", CStringTable::Get(IDS_DROP_ONE_FILE_ONLY), IDS_DROP_ONE_FILE_ONLY);
        return false;
    }
    if (!files.front().endsWith(QStringLiteral(".pwu"), Qt::CaseSensitive)) {
        m_ui->Inform("Pagewright", CStringTable::Get(IDS_DROP_SITE_FILES_ONLY),
                     IDS_DROP_SITE_FILES_ONLY);
        return false;
    }
    return OpenSite(ToPath(files.front()));
}
