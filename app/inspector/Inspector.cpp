#include "app/inspector/Inspector.h"
#include "app/ToolWindowMnemonics.h"
#include "app/inspector/EffectsTabs.h"
#include "app/inspector/FillTab.h"
#include "app/inspector/LinkTab.h"
#include "app/inspector/MouseOverTab.h"
#include "app/inspector/ObjectTabs.h"
#include "app/inspector/PageTabs.h"
#include "app/inspector/StylesTab.h"
#include "editor/EditorDialogs.h"
#include "model/Document.h"
#include "model/HtmlObject.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

CInspector::CInspector(CEditorContext& editor, CSettings& settings, CUserInteraction& ui,
                       CPlumeDoc* doc, QWidget* owner)
    : QObject(owner), m_context{nullptr, editor, settings, ui, owner}, m_doc(doc),
      m_mnemonics(new CToolWindowMnemonics(this)) {
    auto& c = m_context;
    auto* objectInfo = new CObjectInfoTab(c);
    connect(objectInfo, &CObjectInfoTab::editHtmlRequested, this, &CInspector::EditHtml);
    AddWindow(kPage, "Page window",
              {{new CPageInfoTab(c), QStringLiteral("Info")},
               {new CBackgroundTab(c), QStringLiteral("Baggrund")}});
    AddWindow(kObject, "Object window",
              {{objectInfo, QStringLiteral("Info")},
               {new CButtonTextTab(c), QStringLiteral("Knap Tekst")},
               {new CAltTextTab(c), QStringLiteral("Alternativ tekst")}});
    AddWindow(kLink, "Link window", {{new CLinkTab(c), QStringLiteral("Web")}});
    AddWindow(kFill, "Fill window", {{new CFillTab(c), QStringLiteral("Fyld")}});
    AddWindow(kEffects, "Effects window",
              {{new CShadowTab(c), QStringLiteral("Kast skygge")},
               {new CEdgesTab(c), QStringLiteral("Kanter")},
               {new CGlowTab(c), QStringLiteral("Glød")}});
    AddWindow(kStyles, "Styles window", {{new CStylesTab(c), QStringLiteral("Stilarter")}});
    AddWindow(kMouseOver, "MouseOver window", {{new CMouseOverTab(c), QStringLiteral("MusOver")}});

    // One size for all seven, so switching windows never makes the frame jump.
    QSize size(280, 0);
    for (QWidget* window : m_windows) size = size.expandedTo(window->sizeHint());
    for (QWidget* window : m_windows) window->resize(size);
    if (m_doc) m_doc->AddObserver(this);
    Refresh();
}

CInspector::~CInspector() {
    SetPage(nullptr);
    if (m_doc) m_doc->RemoveObserver(this);
    // The windows belong to the main window but their pages use this context.
    for (QWidget* window : m_windows) delete window;
}

void CInspector::AddWindow(EWindow window, const char* title,
                           std::vector<std::pair<CInspectorTab*, QString>> pages) {
    auto* frame = new QWidget(m_context.dialogParent, Qt::Tool);
    frame->setObjectName(QStringLiteral("InspectorWindow%1").arg(int(window)));
    frame->setWindowTitle(QString::fromUtf8(title));
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* tabs = new QTabWidget(frame);
    layout->addWidget(tabs);
    for (auto& [page, caption] : pages) {
        tabs->addTab(page, caption);
        connect(page, &CInspectorTab::applied, this, &CInspector::Refresh);
        m_pages.push_back(page);
    }
    frame->installEventFilter(this);
    m_mnemonics->Add(frame);
    m_windows[static_cast<std::size_t>(window)] = frame;
    m_tabs[static_cast<std::size_t>(window)] = tabs;
}

bool CInspector::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close || event->type() == QEvent::Hide ||
        event->type() == QEvent::Show)
        if (watched == Window(m_current)) QMetaObject::invokeMethod(this, &CInspector::visibilityChanged, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void CInspector::SetPage(CPage* page) {
    if (page == m_context.page) return;
    if (m_context.page) m_context.page->RemoveObserver(this);
    if (m_site) m_site->RemoveObserver(this);
    m_context.page = page;
    m_site = page ? &page->Site() : nullptr;
    if (page) page->AddObserver(this);
    if (m_site) m_site->AddObserver(this);
    Refresh();
}

void CInspector::OnPageRemoved(CSite&, CPage& page, int) {
    if (&page == m_context.page) SetPage(nullptr);
    else Refresh();
}

void CInspector::Show(int window) {
    const int next = window >= 0 && window < kWindowCount ? window : kWindowCount - 1;
    const QPoint at = Position();
    if (next != m_current) Window(m_current)->hide();
    m_current = next;
    QWidget* shown = Window(m_current);
    shown->move(at);
    shown->show();
    shown->raise();
}

void CInspector::Hide() {
    Window(m_current)->hide();
}

bool CInspector::IsVisible() const {
    return Window(m_current)->isVisible();
}

QPoint CInspector::Position() const {
    return Window(m_current)->pos();
}

void CInspector::MoveTo(QPoint position) {
    // A place remembered on a larger screen (or for a smaller window) must
    // not leave the window out of reach.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        const QSize size = Window(m_current)->frameGeometry().size();
        position.setX(std::clamp(position.x(), free.left(), std::max(free.left(), free.right() - size.width())));
        position.setY(std::clamp(position.y(), free.top(), std::max(free.top(), free.bottom() - size.height())));
    }
    for (QWidget* window : m_windows) window->move(position);
}

void CInspector::Refresh() {
    // A page's change notifies while it is applied; one reload afterwards
    // (the page calls Applied) is enough.
    if (m_refreshing) return;
    m_refreshing = true;
    for (CInspectorTab* page : m_pages) page->Refresh();
    m_refreshing = false;
}

void CInspector::OnViewNotify(int) {
    Refresh();
}

void CInspector::EditHtml() {
    CPage* page = m_context.page;
    CPageItem* item = page ? InspectedItem(*page) : nullptr;
    auto* html = item ? dynamic_cast<CHtmlObject*>(&item->Current()) : nullptr;
    if (!html) return;
    Show(kObject);
    pw::EditorDialogs().editHtml(Window(kObject), *html);
    page->MarkModified();
    page->Repaint(item->GetRect());
}
