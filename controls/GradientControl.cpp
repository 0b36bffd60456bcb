#include "controls/GradientControl.h"
#include "controls/ColorControl.h"
#include "controls/ControlCodes.h"
#include "controls/GradientDesignerDialog.h"
#include "services/ColorBand.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

CGradientControl::CGradientControl(QWidget* parent) : CControlBase(parent) {
    setFocusPolicy(Qt::StrongFocus);
    ::GetPredefinedGradient(m_gradient, 0);
    setCursor(Qt::PointingHandCursor);
}

void CGradientControl::Init() {
    ::GetPredefinedGradient(m_gradient, 0);
    Redraw();
}

void CGradientControl::ChangeGradient(const GRADIENTCOLORS& gradient) {
    m_gradient = gradient;
    Redraw();
}

void CGradientControl::CopyCurrentGradient(GRADIENTCOLORS& gradient) const {
    gradient = m_gradient;
}

bool CGradientControl::IsGradientEqual(const GRADIENTCOLORS* gradient) const {
    return gradient && ::IsGradientEqual(m_gradient, *gradient);
}

int CGradientControl::BandLength() const {
    return std::max(1, width() - 4);
}

void CGradientControl::BuildColorBand(uint8_t* band, int length) const {
    ::BuildColorBand(&m_gradient, band, length);
}

int CGradientControl::GetPredefinedNo() {
    return ::GetPredefinedNo();
}

void CGradientControl::GetPredefinedGradient(GRADIENTCOLORS& gradient, int no) {
    ::GetPredefinedGradient(gradient, no);
}

void CGradientControl::BuildColorBand(const GRADIENTCOLORS* gradient, uint8_t* band, int length) {
    ::BuildColorBand(gradient, band, length);
}

void CGradientControl::mousePressEvent(QMouseEvent* event) {
    BeginClick(event);
}

void CGradientControl::keyPressEvent(QKeyEvent* event) {
    if (IsActivationKey(event->key()) && IsEnabled())
        Design();
    else
        CControlBase::keyPressEvent(event);
}

void CGradientControl::mouseReleaseEvent(QMouseEvent* event) {
    if (EndClick(event)) Design();
}

void CGradientControl::Design() {
    CGradientDesignerDialog dialog(m_gradient, this);
    if (dialog.exec() != QDialog::Accepted) return;
    m_gradient = dialog.Result();
    Redraw();
    NotifyChanged(ctl::kGradientChanged);
}

void CGradientControl::Draw(QPainter& p) {
    ctl::DrawSunkenFrame(p, rect());
    // The band fills the frame's inside, 2 pixels in from every edge; built
    // at device resolution so it is exact at ratio 1.
    const QRect band(2, 2, BandLength(), std::max(1, height() - 4));
    const qreal dpr = p.device()->devicePixelRatioF();
    const int n = std::max(1, static_cast<int>(std::lround(band.width() * dpr)));
    QImage strip(n, 1, QImage::Format_RGB888);
    ::BuildColorBand(&m_gradient, strip.scanLine(0), n);
    p.drawImage(QRectF(band), strip);
}
