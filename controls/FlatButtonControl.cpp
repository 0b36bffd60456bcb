#include "controls/FlatButtonControl.h"
#include "controls/ControlCodes.h"
#include <QMouseEvent>
#include <QPainter>

CFlatButtonControl::CFlatButtonControl(QWidget* parent) : CControlBase(parent) {
    setMouseTracking(true);
}

bool CFlatButtonControl::Create(const QRect& rect, QWidget* parent, int id, const QImage& normal,
                                const QImage& highlighted, const QString& tooltip) {
    SetPictures(normal, highlighted, tooltip);
    return CControlBase::Create(rect, parent, id);
}

void CFlatButtonControl::SetPictures(const QImage& normal, const QImage& highlighted,
                                     const QString& tooltip) {
    m_normal = normal;
    m_highlighted = highlighted;
    setToolTip(tooltip);
    updateGeometry();
    Redraw();
}

QSize CFlatButtonControl::sizeHint() const {
    if (m_normal.isNull()) return {24, 24};
    return (m_normal.deviceIndependentSize().toSize() + QSize(4, 4));
}

void CFlatButtonControl::SetHighlight(bool on) {
    on = on && IsEnabled();
    if (on == m_highlight) return;
    m_highlight = on;
    Redraw();
}

void CFlatButtonControl::NotifyMouseMove(const QPoint& globalPos) {
    SetHighlight(isVisible() && Inside(mapFromGlobal(globalPos)));
}

void CFlatButtonControl::mousePressEvent(QMouseEvent* event) {
    BeginClick(event);
}

void CFlatButtonControl::mouseMoveEvent(QMouseEvent* event) {
    SetHighlight(Inside(event->position().toPoint()));
}

void CFlatButtonControl::mouseReleaseEvent(QMouseEvent* event) {
    if (EndClick(event)) NotifyChanged(ctl::kFlatButtonChanged);
}

void CFlatButtonControl::enterEvent(QEnterEvent* event) {
    SetHighlight(true);
    CControlBase::enterEvent(event);
}

void CFlatButtonControl::leaveEvent(QEvent* event) {
    SetHighlight(false);
    CControlBase::leaveEvent(event);
}

void CFlatButtonControl::Draw(QPainter& p) {
    const QImage& image = m_highlight && !m_highlighted.isNull() ? m_highlighted : m_normal;
    if (m_highlight) {
        // The flat button gains a thin raised edge under the mouse.
        p.fillRect(QRect(0, 0, width(), 1), QColor(255, 255, 255));
        p.fillRect(QRect(0, 0, 1, height()), QColor(255, 255, 255));
        p.fillRect(QRect(0, height() - 1, width(), 1), QColor(128, 128, 128));
        p.fillRect(QRect(width() - 1, 0, 1, height()), QColor(128, 128, 128));
    }
    if (image.isNull()) return;
    // Whole logical pixels keep the picture's edges on device pixels.
    const QSize s = image.deviceIndependentSize().toSize();
    p.drawImage(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), image);
}
