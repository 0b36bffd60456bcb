#include "app/dialogs/StatusWindow.h"
#include "app/dialogs/DialogKit.h"
#include "services/StringTable.h"
#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace pw::dialogs;

namespace {

// How long a poll may skip the event loop: short enough that a press shows
// at once, long enough that a poll per sent block costs nothing.
constexpr qint64 kEventSliceMs = 8;

} // namespace

CStatusWindow::CStatusWindow(int id, const QString& caption, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("StatusWindow"));
    setWindowTitle(caption);
    // Other input waits until the work is done; only this window answers.
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    const int width = fontMetrics().averageCharWidth() * 52;
    m_phase = new QLabel(this);
    m_phase->setObjectName(QStringLiteral("StatusPhase"));
    m_page = new QLabel(this);
    m_page->setObjectName(QStringLiteral("StatusPage"));
    for (QLabel* label : {m_phase, m_page}) {
        label->setTextFormat(Qt::PlainText);
        label->setFixedWidth(width);
        label->setMinimumHeight(fontMetrics().height());
        layout->addWidget(label);
    }

    const std::vector<std::string>& buttons = CStringTable::Dialog(id).buttons;
    if (!buttons.empty()) {
        m_bar = new QProgressBar(this);
        m_bar->setRange(0, CProgress::kRange);
        m_bar->setValue(0);
        m_bar->setTextVisible(true);
        m_bar->setFixedWidth(width);
        layout->addWidget(m_bar);
        auto* box = new QDialogButtonBox(this);
        m_cancel = box->addButton(FromUtf8(buttons.front()), QDialogButtonBox::RejectRole);
        m_cancel->setObjectName(QStringLiteral("StatusCancel"));
        connect(m_cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });
        layout->addWidget(box);
    }
    layout->setSizeConstraint(QLayout::SetFixedSize);
    show();
    // A window opened just before a call that blocks (connecting) must be
    // drawn before that call starts.
    Flush();
}

void CStatusWindow::ShowElided(QLabel* label, const QString& text) {
    label->setToolTip(text);
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->width()));
}

void CStatusWindow::SetPhase(const QString& text) {
    ShowElided(m_phase, text);
    Poll();
}

void CStatusWindow::SetPage(const QString& text) {
    ShowElided(m_page, text);
    Poll();
}

QString CStatusWindow::PhaseText() const { return m_phase->toolTip(); }
QString CStatusWindow::PageText() const { return m_page->toolTip(); }

void CStatusWindow::SetRange(long long maximum) { m_range = std::max(1LL, maximum); }

void CStatusWindow::SetPos(long long pos) {
    if (!m_bar) return;
    pos = std::clamp(pos, 0LL, m_range);
    // The bar always runs 0..kRange; ranges longer than an int are scaled onto it.
    m_bar->setValue(int(double(pos) / double(m_range) * CProgress::kRange));
}

bool CStatusWindow::Poll() {
    if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= kEventSliceMs) {
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }
    return m_cancelled;
}

void CStatusWindow::Flush() {
    QCoreApplication::processEvents();
    repaint();
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

void CStatusWindow::reject() {
    // Escape stops the work where there is a button to stop it; the window
    // itself closes only when the work lets go of it.
    if (m_cancel) m_cancelled = true;
}

void CStatusWindow::closeEvent(QCloseEvent* event) {
    if (m_cancel) m_cancelled = true;
    event->ignore();
}

namespace {

class CStatusProgress : public CProgress {
public:
    CStatusProgress(QWidget* parent, int id, const QString& caption)
        : m_window(new CStatusWindow(id, caption, parent)) {}
    ~CStatusProgress() override { delete m_window.data(); }
    CStatusProgress(const CStatusProgress&) = delete;
    CStatusProgress& operator=(const CStatusProgress&) = delete;

    void SetPhase(const std::string& text) override {
        if (m_window) m_window->SetPhase(FromUtf8(text));
    }
    void SetPage(const std::string& text) override {
        if (m_window) m_window->SetPage(FromUtf8(text));
    }
    void SetRange(long long maximum) override {
        if (m_window) m_window->SetRange(maximum);
    }
    void SetPos(long long pos) override {
        if (m_window) m_window->SetPos(pos);
    }
    // A window that is gone can no longer be answered: the work stops.
    bool IsCancelled() override { return !m_window || m_window->Poll(); }
    bool PollWhileWaiting() override { return IsCancelled(); }

private:
    // Guarded: the window goes with its parent if that closes first.
    QPointer<CStatusWindow> m_window;
};

} // namespace

namespace pw::dialogs {

std::unique_ptr<CProgress> OpenStatusWindow(QWidget* parent, int id, const QString& caption) {
    return std::make_unique<CStatusProgress>(parent, id, caption);
}

} // namespace pw::dialogs
