#include "controls/ButtonControl.h"
#include "controls/ColorControl.h"
#include "controls/ControlCodes.h"
#include "controls/ControlResources.h"
#include <QMouseEvent>
#include <QPainter>

CButtonControl::CButtonControl(QWidget* parent) : CControlBase(parent) {}

void CButtonControl::Init(int resourceId) {
    m_resource = resourceId;
    Redraw();
}

void CButtonControl::SetCheck(bool checked) {
    if (checked == m_checked) return;
    m_checked = checked;
    Redraw();
}

void CButtonControl::mousePressEvent(QMouseEvent* event) {
    BeginClick(event);
}

void CButtonControl::mouseReleaseEvent(QMouseEvent* event) {
    if (!EndClick(event)) return;
    m_checked = !m_checked;
    Redraw();
    NotifyChanged(ctl::kButtonChanged);
}

void CButtonControl::enterEvent(QEnterEvent* event) {
    m_hover = true;
    Redraw();
    CControlBase::enterEvent(event);
}

void CButtonControl::leaveEvent(QEvent* event) {
    m_hover = false;
    Redraw();
    CControlBase::leaveEvent(event);
}

void CButtonControl::Draw(QPainter& p) {
    QRect inner;
    if (m_checked) {
        inner = ctl::DrawSunkenFrame(p, rect());
        // A checked button shows a light dither-like face, as pressed
        // toolbar buttons do.
        p.fillRect(inner, Face().lighter(112));
    } else {
        inner = ctl::DrawRaisedFrame(p, rect());
        if (m_hover && IsEnabled()) p.fillRect(inner, Face().lighter(106));
    }
    const QSize s = ctl::ResourceImageSize(m_resource).boundedTo(inner.size());
    if (s.isEmpty()) return;
    const QImage image = ctl::ResourceImage(m_resource, p.device()->devicePixelRatioF(), s);
    const int shift = m_checked ? 1 : 0;
    p.drawImage(QPoint(inner.x() + (inner.width() - s.width()) / 2 + shift,
                       inner.y() + (inner.height() - s.height()) / 2 + shift),
                image);
}
