#pragma once
#include "controls/ControlBase.h"

// A two-state picture button (bold on/off, say). A click toggles the state
// and sends changed(id, kButtonChanged). Hovering highlights it.
class CButtonControl : public CControlBase {
    Q_OBJECT
public:
    explicit CButtonControl(QWidget* parent = nullptr);

    // The picture's resource id (ControlResources.h).
    void Init(int resourceId);
    void SetCheck(bool checked);
    bool GetCheck() const { return m_checked; }

    QSize sizeHint() const override { return {26, 26}; }

protected:
    void Draw(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int m_resource = 0;
    bool m_checked = false;
    bool m_hover = false;
};
