#pragma once
#include <QAbstractScrollArea>

class CEditorContext;
class CPage;
class CPlumeDoc;

// The scrolling window in which one page of the open site is edited. One per
// page window; the page window (app/) owns it. Paints the page through the
// core's region renderer on a grey surround.
class CPlumeView : public QAbstractScrollArea {
    Q_OBJECT
public:
    CPlumeView(CPlumeDoc& doc, CPage& page, CEditorContext& context, QWidget* parent = nullptr);
    ~CPlumeView() override;

    CPage& Page() const { return *m_page; }
    CPlumeDoc& Document() const { return *m_doc; }
    CEditorContext& Context() const { return *m_context; }

signals:
    // Text for the main window's message pane.
    void statusText(const QString& text);
    // The pointer's page position for the position pane; hidden when outside the page.
    void pointerMoved(int x, int y, bool insidePage);
    // A code the inspector refreshes on (10011, 10012, 10015, 10016, 10018).
    void inspectorNotify(int code);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollRange();

    CPlumeDoc* m_doc;
    CPage* m_page;
    CEditorContext* m_context;
};
