#include "controls/ColorControl.h"
#include "controls/ControlCodes.h"
#include <QColorDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace ctl {
QColor ToQColor(const CColor& colour) {
    const COLORREF ref = colour.GetCOLORREF();
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

CColor FromQColor(const QColor& colour) {
    return CColor(static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
                  static_cast<uint8_t>(colour.blue()));
}

namespace {
QRect Frame(QPainter& p, const QRect& r, QColor lightOuter, QColor darkOuter, QColor lightInner,
            QColor darkInner) {
    // One-pixel lines in logical pixels; at higher ratios they stay one
    // logical pixel wide and sharp because fillRect snaps to device pixels.
    auto ring = [&](const QRect& q, QColor tl, QColor br) {
        p.fillRect(QRect(q.left(), q.top(), q.width(), 1), tl);
        p.fillRect(QRect(q.left(), q.top(), 1, q.height()), tl);
        p.fillRect(QRect(q.left(), q.bottom(), q.width(), 1), br);
        p.fillRect(QRect(q.right(), q.top(), 1, q.height()), br);
    };
    ring(r, lightOuter, darkOuter);
    ring(r.adjusted(1, 1, -1, -1), lightInner, darkInner);
    return r.adjusted(2, 2, -2, -2);
}
} // namespace

QRect DrawRaisedFrame(QPainter& p, const QRect& r) {
    return Frame(p, r, QColor(255, 255, 255), QColor(0, 0, 0), QColor(223, 223, 223),
                 QColor(128, 128, 128));
}

QRect DrawSunkenFrame(QPainter& p, const QRect& r) {
    return Frame(p, r, QColor(128, 128, 128), QColor(255, 255, 255), QColor(0, 0, 0),
                 QColor(223, 223, 223));
}

bool ChooseColour(QWidget* parent, CColor& colour) {
    QColorDialog dialog(ToQColor(colour), parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) return false;
    colour = FromQColor(dialog.currentColor());
    return true;
}
} // namespace ctl

CColorControl::CColorControl(QWidget* parent) : CControlBase(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void CColorControl::Init(const CColor* colour) {
    if (colour) m_colour = *colour;
    Redraw();
}

void CColorControl::SetColor(const CColor& colour) {
    m_colour = colour;
    Redraw();
}

void CColorControl::mousePressEvent(QMouseEvent* event) {
    BeginClick(event);
}

void CColorControl::keyPressEvent(QKeyEvent* event) {
    if (IsActivationKey(event->key()) && IsEnabled())
        Choose();
    else
        CControlBase::keyPressEvent(event);
}

void CColorControl::mouseReleaseEvent(QMouseEvent* event) {
    if (EndClick(event)) Choose();
}

void CColorControl::Choose() {
    CColor chosen = m_colour;
    if (!ctl::ChooseColour(this, chosen)) return;
    m_colour = chosen;
    Redraw();
    NotifyChanged(ctl::kColorChanged);
}

void CColorControl::Draw(QPainter& p) {
    const QRect inner = ctl::DrawRaisedFrame(p, rect());
    p.fillRect(inner.adjusted(1, 1, -1, -1), ctl::ToQColor(m_colour));
}
