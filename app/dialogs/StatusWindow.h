#pragma once
#include "services/UserInteraction.h"
#include <QDialog>
#include <QElapsedTimer>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

// The status windows of long work: building the site ("Status for opbygning
// af hjemmeside", phase and page over a bar, "Annuller"), sending it ("Status
// for opsendelse af hjemmeside", destination and file over a bar, "Afbryd")
// and connecting ("Etablerer forbindelse", the server only: the connection
// cannot be interrupted, so there is no button to press in vain).
//
// The work runs on the GUI thread and polls; every poll lets the event loop
// run (at most every few milliseconds, so a tight poll stays cheap), so the
// window repaints and a press of the button, Escape or the window's close
// button is seen by the next poll. The labels have a fixed width and elide
// long names, so the window never changes size while it counts.
class CStatusWindow : public QDialog {
    Q_OBJECT
public:
    // `id` picks the button from the string table (none: no button, no bar).
    CStatusWindow(int id, const QString& caption, QWidget* parent = nullptr);

    void SetPhase(const QString& text);
    void SetPage(const QString& text);
    void SetRange(long long maximum);
    void SetPos(long long pos);
    // Lets the event loop run (unless it ran a moment ago) and tells whether
    // the user asked to stop.
    bool Poll();
    bool Cancelled() const { return m_cancelled; }

    // For tests and scripts.
    QPushButton* CancelButton() const { return m_cancel; }
    QProgressBar* Bar() const { return m_bar; }
    QString PhaseText() const;
    QString PageText() const;

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowElided(QLabel* label, const QString& text);
    void Flush();

    QLabel* m_phase = nullptr;
    QLabel* m_page = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    QElapsedTimer m_sinceEvents;
    long long m_range = CProgress::kRange;
    bool m_cancelled = false;
};

namespace pw::dialogs {
// A status window as the core's progress object; it closes when released.
std::unique_ptr<CProgress> OpenStatusWindow(QWidget* parent, int id, const QString& caption);
} // namespace pw::dialogs
