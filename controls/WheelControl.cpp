#include "controls/WheelControl.h"
#include "controls/ControlCodes.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

CWheelControl::CWheelControl(QWidget* parent) : CControlBase(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void CWheelControl::Init(int positions, int value, int ringWidth, int style) {
    m_positions = std::max(1, positions);
    m_ringWidth = std::max(1, ringWidth);
    m_style = style;
    WheelSetValue(value);
}

// Screen angles grow clockwise (y points down), so the dial keeps its
// position clockwise and converts at the interface.
void CWheelControl::WheelSetValue(int value) {
    const int v = ((value % m_positions) + m_positions) % m_positions;
    const int stored = m_positions - v;
    if (stored == m_stored) return;
    m_stored = stored;
    Redraw();
}

int CWheelControl::WheelGetValue() const {
    return (m_positions - m_stored) % m_positions;
}

int CWheelControl::Diameter() const {
    int d = std::min(width(), height());
    if (d % 2 == 0) --d;
    return std::max(d, 1);
}

QPointF CWheelControl::Center() const {
    return {width() / 2.0, height() / 2.0};
}

int CWheelControl::StoredAt(QPoint pos) const {
    const double twoPi = 2 * std::numbers::pi;
    const QPointF c = Center();
    double angle = std::atan2(pos.y() + 0.5 - c.y(), pos.x() + 0.5 - c.x());
    if (angle < 0) angle += twoPi;
    if (angle >= twoPi) angle -= twoPi;
    const double step = twoPi / m_positions;
    const int d = std::min(static_cast<int>(std::floor(angle / step)), m_positions - 1);
    // The upper candidate of the last sector is position 0 at 2π; measuring
    // to (d + 1) × step covers it. A tie goes up.
    const double below = angle - d * step;
    const double above = (d + 1) * step - angle;
    return above <= below ? d + 1 : d;
}

int CWheelControl::ValueAt(QPoint pos) const {
    return (m_positions - StoredAt(pos) % m_positions) % m_positions;
}

void CWheelControl::Track(QPoint pos) {
    const int stored = StoredAt(pos);
    if (stored % m_positions == m_stored % m_positions) return;
    m_stored = stored;
    Redraw();
    NotifyChanging(ctl::kWheelChanging);
}

void CWheelControl::mousePressEvent(QMouseEvent* event) {
    if (!IsEnabled() || event->button() != Qt::LeftButton) return;
    const QPointF c = Center();
    const QPointF p = event->position();
    const double dist = std::floor(std::hypot(p.x() - c.x(), p.y() - c.y()));
    // Only the visible dial reacts; on a wide control the corners beside it
    // are not part of the wheel.
    if (dist > Diameter() / 2) return;
    SetTracking(true);
    Track(event->position().toPoint());
}

void CWheelControl::mouseMoveEvent(QMouseEvent* event) {
    if (InTracking()) Track(event->position().toPoint());
}

void CWheelControl::mouseReleaseEvent(QMouseEvent* event) {
    if (!InTracking() || event->button() != Qt::LeftButton) return;
    Track(event->position().toPoint());
    FinishTracking();
}

void CWheelControl::keyPressEvent(QKeyEvent* event) {
    const int big = std::max(1, m_positions / 24);
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        step = -1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        step = 1;
        break;
    case Qt::Key_PageDown:
        step = -big;
        break;
    case Qt::Key_PageUp:
        step = big;
        break;
    default:
        CControlBase::keyPressEvent(event);
        return;
    }
    if (!IsEnabled() || InTracking()) return;
    WheelSetValue(WheelGetValue() + step);
    NotifyChanging(ctl::kWheelChanging);
    NotifyChanged(ctl::kWheelChanged);
}

void CWheelControl::CancelTracking() {
    FinishTracking();
}

void CWheelControl::FinishTracking() {
    SetTracking(false);
    NotifyChanged(ctl::kWheelChanged);
}

void CWheelControl::Draw(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    const int d = Diameter();
    const QPointF c = Center();
    const double r = d / 2.0;
    const double ring = std::min<double>(m_ringWidth, r / 2);

    // Sunken face: dark upper left, light lower right, then the ring.
    QLinearGradient shade(c.x() - r, c.y() - r, c.x() + r, c.y() + r);
    shade.setColorAt(0, QColor(128, 128, 128));
    shade.setColorAt(1, QColor(255, 255, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(64, 64, 64));
    QPainterPath band;
    band.addEllipse(c, r - 1, r - 1);
    band.addEllipse(c, r - 1 - ring, r - 1 - ring);
    p.drawPath(band);
    p.setBrush(Face().lighter(104));
    p.drawEllipse(c, r - 1 - ring, r - 1 - ring);

    const double angle = 2 * std::numbers::pi * WheelGetValue() / m_positions;
    const QPointF dir(std::cos(angle), -std::sin(angle));
    const double knobRadius = std::max(2.0, r / 7);
    const QPointF knob = c + dir * (r - 1 - ring - knobRadius - 1);
    if (m_style == 1) {
        p.setPen(QPen(QColor(0, 0, 0), std::max(1.5, r / 12), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, knob);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0));
        p.drawEllipse(c, 1.5, 1.5);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 0, 0));
    p.drawEllipse(knob, knobRadius, knobRadius);
}
