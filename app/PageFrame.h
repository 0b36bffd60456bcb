#pragma once
#include "model/Observers.h"
#include <QMdiSubWindow>

class CEditorContext;
class CPage;
class CPlumeDoc;
class CPlumeView;
class QMenu;

// A page window: one page of the open site in an MDI child window, titled
// with the page's identifier. Closing it leaves the page in the site; closing
// the last one asks the document whether the site may go (save prompt).
class CPageFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    CPageFrame(CPlumeDoc& doc, CPage& page, CEditorContext& context, QWidget* parent = nullptr);
    ~CPageFrame() override;

    CPage& Page() const { return *m_page; }
    CPlumeView* View() const { return m_view; }
    // Refreshes the title after the page's identifier changed.
    void UpdateTitle();
    // Closes without asking (the site is going anyway).
    void CloseQuietly();
    // Stops (and starts again) listening to the page, for a page about to
    // be destroyed before its window.
    void Detach();
    void Attach();
    // A menu to show on a right click in the page instead of the view's own.
    void SetContextMenu(QMenu* menu) { m_contextMenu = menu; }
    // The page point of the last right click (for inserting guides there).
    bool HasContextPoint() const { return m_hasContextPoint; }
    QPoint ContextPoint() const { return m_contextPoint; }
    void ClearContextPoint() { m_hasContextPoint = false; }

signals:
    void closing(CPageFrame* frame);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The title follows the page's identifier (the view repaints itself).
    struct CWatcher : CPageObserver {
        explicit CWatcher(CPageFrame& frame) : frame(frame) {}
        void OnPagePropertiesChanged(CPage&) override { frame.UpdateTitle(); }
        CPageFrame& frame;
    } m_watcher{*this};
    bool m_attached = false;
    CPlumeDoc* m_doc;
    CPage* m_page;
    CPlumeView* m_view;
    QMenu* m_contextMenu = nullptr;
    QPoint m_contextPoint;
    bool m_hasContextPoint = false;
    bool m_quiet = false;
};
