#pragma once
#include <QMainWindow>
#include <array>
#include <memory>

class QLabel;
class QMdiArea;
class CQtInteraction;
class CUserInteraction;

// The designer's main window: page windows in an MDI area, the menu bar and
// the status bar with its four panes (general messages, cursor position,
// page count, download time).
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    enum EPane { kMessagePane, kPositionPane, kPageCountPane, kDownloadPane, kPaneCount };

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    QMdiArea* MdiArea() const { return m_mdi; }
    QLabel* Pane(EPane pane) const { return m_panes.at(pane); }
    void SetPaneText(EPane pane, const QString& text);
    // The widest text a pane is sized for; empty for the message pane, which stretches.
    static QString PanePlaceholder(EPane pane);

    // The dialogs the core opens while this window is up belong to it.
    CUserInteraction& Interaction();

protected:
    void changeEvent(QEvent* event) override;

private:
    void CreateStatusPanes();
    void SizePanes();

    QMdiArea* m_mdi = nullptr;
    std::array<QLabel*, kPaneCount> m_panes{};
    std::unique_ptr<CQtInteraction> m_ui;
};
