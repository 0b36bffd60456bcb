#include "app/PreviewWindow.h"
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWebEngineView>

CPreviewWindow::CPreviewWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), m_view(new QWebEngineView(this)) {
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QStringLiteral("Aftest hjemmesiden"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        m_loaded = ok;
        emit loaded(ok);
        if (!ok && onFailure) onFailure(m_url);
    });
    connect(m_view, &QWebEngineView::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status == QWebEnginePage::NormalTerminationStatus) return;
                m_loaded = false;
                hide();
                if (onFailure) onFailure(m_url);
            });
}

CPreviewWindow::~CPreviewWindow() = default;

void CPreviewWindow::ShowPage(const QUrl& url, QSize pageSize) {
    m_url = url;
    m_loaded = false;
    QSize size = pageSize + QSize(25, 25);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize());
    resize(size);
    // The same address again would come from the cache: reload then.
    if (m_view->url() == url)
        m_view->reload();
    else
        m_view->load(url);
    show();
    raise();
    activateWindow();
}
