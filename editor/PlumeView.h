#pragma once
#include "model/Observers.h"
#include "services/Geometry.h"
#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <memory>
#include <vector>

class CEditorContext;
class CObjectSet;
class CPage;
class CPageItem;
class CPlumeDoc;
class CScaledMirror;
class CTextObject;
class QMenu;

// The scrolling window in which one page of the open site is edited. One per
// page window; the page window (app/) owns it. Paints the page through the
// core's region renderer on a grey surround and turns mouse and keys into
// selection, moving, resizing, rotating, creation and in-place text editing.
// The gesture and the text being edited live here, not in the page. It
// listens to its page (repaints, size) and to the document (leave text
// editing before a save).
class CPlumeView : public QAbstractScrollArea, public CPageObserver, public CDocumentObserver {
    Q_OBJECT
public:
    CPlumeView(CPlumeDoc& doc, CPage& page, CEditorContext& context, QWidget* parent = nullptr);
    ~CPlumeView() override;

    CPage& Page() const { return *m_page; }
    CPlumeDoc& Document() const { return *m_doc; }
    CEditorContext& Context() const { return *m_context; }

    // The text edited in place; null when none.
    CTextObject* EditedText() const { return m_editText; }
    // Ends in-place editing (an empty text leaves the page with consistent
    // undo). Safe to call when nothing is edited.
    void EndTextEdit();
    // Starts editing a text of the page, the caret at the page point (or
    // where it was).
    void BeginTextEdit(CPageItem& item, const DPOINT* at = nullptr);
    // The page point of the last context-menu click (guide commands).
    QPoint ContextMenuPoint() const { return m_menuPoint; }
    // The current cursor's resource id (tests; the cursor itself is drawn).
    int CursorId() const { return m_cursorId; }
    // Times the view sounded the system beep.
    int BeepCount() const { return m_beeps; }
    // Page point <-> viewport point.
    QPoint ToPage(QPoint viewportPoint) const;
    QPoint ToViewport(QPoint pagePoint) const;
    // Device pixels to a page pixel: the screen's ratio rounded to 1, 2 or
    // 3. Above 1 the page is drawn from a copy at that scale.
    int DeviceScale() const;
    // The page copy the view draws from on such a screen; null at scale 1.
    const CScaledMirror* Mirror() const { return m_mirror.get(); }

signals:
    // Text for the main window's message pane.
    void statusText(const QString& text);
    // The pointer's page position for the position pane; hidden when outside the page.
    void pointerMoved(int x, int y, bool insidePage);
    // A code the inspector refreshes on (10011, 10012, 10015, 10016, 10018).
    void inspectorNotify(int code);
    // The inspector should open the HTML editor page for the selected HTML
    // object. Without a receiver the view shows its own plain dialog.
    void htmlEditorRequested();

public:
    // CPageObserver, CDocumentObserver
    void OnPageRepaint(CPage& page, const CRect& area) override;
    void OnPageSizeChanged(CPage& page) override;
    void OnItemsChanged(CPage& page) override;
    void OnPagePropertiesChanged(CPage& page) override;
    bool ShowsPage(const CPage& page) const override;
    void OnEndTextEdits() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    enum class EGesture {
        None,
        Move,
        Band,
        Resize,
        Rotate,
        Create,      // rectangle or ellipse spanning anchor to pointer
        Follow,      // counter or form follows the pointer
        PictureBand,
        HtmlBand,
        TextArea,    // width of a new text area
        TextSelect,  // extending the selection of the edited text
        Guide,
    };

    // --- painting (PlumeView.cpp)
    void UpdateScrollRange();
    // Draws the area (viewport pixels) into the buffer at `scale` device
    // pixels to a pixel: from the page itself at 1, else from the mirror.
    void RenderInto(const QRect& viewportArea, int scale);
    // Something is drawn over the page (guides, selection, caret, band).
    bool HasOverlays() const;
    bool IsBandGesture() const;
    // The rectangles one paint renders to cover a region.
    std::vector<QRect> RenderRects(const QRegion& region) const;
    void PaintOverlays(QPainter& painter, const QRect& viewportArea);
    void PaintSelection(QPainter& painter);
    void PaintTextEditing(QPainter& painter);
    // Repaints a page area, with room for handles and markers around it
    // unless told that none are drawn there.
    void RepaintPage(const CRect& area, bool withFeedback = true);
    void RepaintAll();
    void RenderEdited();
    CRect FeedbackArea() const;

    // --- mouse (PlumeViewMouse.cpp)
    void ArrowPress(QPoint p, bool shift, bool ctrl);
    void TextPress(QPoint p);
    void MoveSelection(QPoint p);
    void MoveSelectedBy(int32_t dx, int32_t dy);
    void ResizeSingle(QPoint p, bool shift, bool ctrl);
    void ResizeSet(QPoint p);
    void Rotate(QPoint p, bool ctrl);
    void UpdateBand(QPoint p);
    void EndGesture(QPoint p);
    // The band from the anchor to the pointer; its size is the distance.
    QRect BandRect() const;
    void FinishPicture();
    void FinishHtml();
    void OpenHtmlEditor();
    void UpdateCursor(QPoint p);
    void SetCursorId(int id);
    void SetStatus(const QString& text);
    void Pipette(QPoint p, bool pick);
    void AutoScroll(QPoint viewportPoint);
    // A moved selection leaving the window for another page window (or past
    // an edge the page cannot scroll to) is dragged out as a copy.
    bool LeavesForAnotherWindow(QPoint viewportPoint, QPoint globalPoint) const;
    void DragOut();
    int GuideAt(QPoint p, bool& horizontal) const;
    int HandleAt(QPoint p, bool& textFrame) const;
    CPageItem* ItemAt(QPoint p) const;
    CObjectSet* SingleSet() const;
    const DPOINT* SelectionHandles() const;
    void BeginSetTransform(bool rotating);
    void EndMove();

    // --- keys and text (PlumeViewText.cpp)
    // Where the edited text stood before a key changed it.
    struct CTextMark {
        CRect box;
        CRect marked; // page rows of the caret or the selection
    };
    CTextMark MarkText() const;
    bool TextKey(QKeyEvent* event);
    void InsertTyped(const QString& text);
    void AfterTextChange(bool contentChanged, const CTextMark& before);
    void TakeTextStep();
    void MoveCaretVertically(bool down, bool extend);
    void ArrowKeyMove(int dx, int dy);
    void Beep();
    void PopulateContextMenu(QMenu& menu);

    CPlumeDoc* m_doc;
    CPage* m_page;
    CEditorContext* m_context;
    QImage m_buffer; // the off-screen picture of the viewport, in device pixels
    std::unique_ptr<CScaledMirror> m_mirror; // the page at the device scale, when above 1
    std::vector<uint8_t> m_tile; // one region of the renderer's output
    std::vector<QRect> m_pending; // viewport areas asked to repaint since the last paint

    // Gesture state; one gesture at a time, cleared at button up.
    EGesture m_gesture = EGesture::None;
    QPoint m_anchor;
    QPoint m_last;
    QPoint m_bandEnd;
    int m_textAreaHeight = 0;
    bool m_justSelected = false;
    bool m_moveStepTaken = false;
    int m_handle = -1;          // edge handle of a resize
    bool m_lastCtrl = false;    // Ctrl at the previous resize motion
    double m_ratio = 1.0;       // width / height kept with Ctrl
    double m_pointerAngle0 = 0; // pointer angle at the start of a rotation
    double m_startAngle = 0;    // selection angle at the start of a rotation
    DPOINT m_setCentre0{};      // frame centre at the start of a set transform
    double m_frameW0 = 1, m_frameH0 = 1;
    CPageItem* m_created = nullptr; // the shape, counter or form being placed
    bool m_guideHorizontal = false;
    int m_guideIndex = -1;
    bool m_changed = false; // the gesture changed the page
    CRect m_shownArea;      // what the last repaint of a gesture covered

    // In-place text editing.
    CTextObject* m_editText = nullptr;
    CPageItem* m_editItem = nullptr;
    bool m_textStepTaken = false;
    int m_textFrameHandle = -1; // frame handle being dragged, -1 none

    bool m_keyMoving = false; // an arrow-key run is moving the selection
    QPoint m_menuPoint;
    int m_cursorId = 0;
    int m_beeps = 0;
    QString m_status;
};
