#include "app/MainFrame.h"
#include "app/QtInteraction.h"
#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<CQtInteraction>(this)) {
    setWindowTitle(QStringLiteral("Pagewright"));
    setObjectName(QStringLiteral("MainFrame"));

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("PageWindows"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);

    menuBar(); // created empty; the commands add their menus
    CreateStatusPanes();
    resize(1024, 720);
}

CMainFrame::~CMainFrame() = default;

QString CMainFrame::PanePlaceholder(EPane pane) {
    switch (pane) {
    case kPositionPane:
        return QStringLiteral("x: 9999  y: 9999");
    case kPageCountPane:
        return QStringLiteral("Antal sider : 10");
    case kDownloadPane:
        return QStringLiteral("9999 sekunder / 9999 sekunder");
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

CUserInteraction& CMainFrame::Interaction() {
    return *m_ui;
}
