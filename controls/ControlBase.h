#pragma once
#include <QImage>
#include <QWidget>

class QMouseEvent;

// The common ground of the owner-drawn controls. Each control draws itself
// into its own 24-bit buffer of the client size (QImage RGB888: 3 bytes per
// pixel, rows padded to 4 bytes; at a device pixel ratio above 1 the buffer
// holds device pixels so drawings stay crisp) and blits it on paint. A
// disabled control ignores the mouse and blits a dimmed copy.
//
// Changes reach the owner as signals carrying the control's identifier and
// the codes of ControlCodes.h:
//   changing(id, code) while the mouse is held and the value moves,
//   changed(id, code)  once a change is complete.
//
// Use: construct, then Create (rectangle, parent, id) — or place the widget in
// a layout and SetId — then Init with the control's own arguments.
class CControlBase : public QWidget {
    Q_OBJECT
public:
    explicit CControlBase(QWidget* parent = nullptr);
    ~CControlBase() override;

    // Makes the control a visible child of `parent` at `rect` with identifier
    // `id`. True on success (a null parent fails and changes nothing).
    bool Create(const QRect& rect, QWidget* parent, int id);

    int Id() const { return m_id; }
    void SetId(int id) { m_id = id; }

    // A disabled control ignores mouse input and paints dimmed. Same state as
    // QWidget::setEnabled, so either call keeps them in step.
    void Enable(bool enable);
    bool IsEnabled() const { return isEnabled(); }
    // Shows or hides the control.
    void ShowHide(bool show);
    // True between a press that the control took and its release.
    bool InTracking() const { return m_tracking; }

    // The undimmed drawing at device resolution; for tests and screenshots.
    QImage Buffer();

signals:
    void changing(int id, int code);
    void changed(int id, int code);

protected:
    // Draws the whole control in logical coordinates; the painter's target is
    // the buffer, already filled with the button-face colour.
    virtual void Draw(QPainter& painter) = 0;
    // Asks for a fresh drawing; repaints the whole control, or only `area`.
    void Redraw();
    void Redraw(const QRect& area);

    void SetTracking(bool on) { m_tracking = on; }
    // For controls that act on a click: a left press on an enabled control
    // starts tracking; the matching release ends it and is true when it
    // happened inside the control.
    void BeginClick(QMouseEvent* event);
    bool EndClick(QMouseEvent* event);
    void NotifyChanging(int code) { emit changing(m_id, code); }
    void NotifyChanged(int code) { emit changed(m_id, code); }

    // The button-face colour the buffer starts from.
    QColor Face() const;

    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Space and Enter act like a click on controls that open a chooser.
    static bool IsActivationKey(int key);
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Called when tracking stops without a release (hidden, disabled).
    virtual void CancelTracking() { m_tracking = false; }

private:
    void EnsureBuffer();

    int m_id = 0;
    bool m_tracking = false;
    bool m_dirty = true;
    QImage m_buffer;
    QImage m_dimmed;
};
