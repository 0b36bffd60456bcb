#include "app/PageFrame.h"
#include "editor/PlumeView.h"
#include "model/Document.h"
#include "model/Page.h"
#include "services/Cp1252.h"
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>

CPageFrame::CPageFrame(CPlumeDoc& doc, CPage& page, CEditorContext& context, QWidget* parent)
    : QMdiSubWindow(parent), m_doc(&doc), m_page(&page) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("PageFrame"));
    m_view = new CPlumeView(doc, page, context, this);
    m_view->setObjectName(QStringLiteral("PlumeView"));
    m_view->viewport()->installEventFilter(this);
    setWidget(m_view);
    UpdateTitle();
    Attach();
}

CPageFrame::~CPageFrame() {
    Detach();
}

void CPageFrame::Attach() {
    if (m_attached) return;
    m_page->AddObserver(&m_watcher);
    m_attached = true;
}

void CPageFrame::Detach() {
    if (!m_attached) return;
    m_page->RemoveObserver(&m_watcher);
    m_attached = false;
}

void CPageFrame::UpdateTitle() {
    setWindowTitle(QString::fromStdString(cp1252::ToUtf8(m_page->Identifier())));
}

void CPageFrame::CloseQuietly() {
    m_quiet = true;
    close();
}

void CPageFrame::closeEvent(QCloseEvent* event) {
    if (!m_quiet && !m_doc->CanCloseFrame()) {
        event->ignore();
        return;
    }
    emit closing(this);
    QMdiSubWindow::closeEvent(event);
}

bool CPageFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view->viewport() && event->type() == QEvent::ContextMenu && m_contextMenu) {
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        const QPoint page = menuEvent->pos() + QPoint(m_view->horizontalScrollBar()->value(),
                                                      m_view->verticalScrollBar()->value());
        // Only inside the page; the grey surround has no commands.
        if (page.x() < 0 || page.y() < 0 || page.x() >= m_page->Width() ||
            page.y() >= m_page->Height())
            return false;
        m_contextPoint = page;
        m_hasContextPoint = true;
        m_contextMenu->exec(menuEvent->globalPos());
        m_hasContextPoint = false;
        return true;
    }
    return QMdiSubWindow::eventFilter(watched, event);
}
