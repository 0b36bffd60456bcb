#pragma once
#include "controls/ControlBase.h"

// A flat toolbar-like button: a normal and a highlighted picture and a
// tooltip. It shows the highlighted picture while the mouse is over it, and a
// press followed by a release inside sends changed(id, kFlatButtonChanged).
class CFlatButtonControl : public CControlBase {
    Q_OBJECT
public:
    explicit CFlatButtonControl(QWidget* parent = nullptr);

    // Like CControlBase::Create, with the two pictures (their device pixel
    // ratio says how large they are drawn) and the tooltip text.
    bool Create(const QRect& rect, QWidget* parent, int id, const QImage& normal,
                const QImage& highlighted, const QString& tooltip);
    using CControlBase::Create;
    // For a control placed by a layout: the pictures and tooltip alone.
    void SetPictures(const QImage& normal, const QImage& highlighted, const QString& tooltip);
    void Init() { Redraw(); }

    void Enable(bool enable) { CControlBase::Enable(enable); }
    bool GetEnable() const { return IsEnabled(); }
    // Lets the owner report mouse moves it sees (global coordinates), so
    // the highlight also follows moves that reach the owner first.
    void NotifyMouseMove(const QPoint& globalPos);
    bool Inside(const QPoint& localPos) const { return rect().contains(localPos); }
    bool IsHighlighted() const { return m_highlight; }

    QSize sizeHint() const override;

protected:
    void Draw(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetHighlight(bool on);

    QImage m_normal;
    QImage m_highlighted;
    bool m_highlight = false;
};
