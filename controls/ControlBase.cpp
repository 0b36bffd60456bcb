#include "controls/ControlBase.h"
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

CControlBase::CControlBase(QWidget* parent) : QWidget(parent) {
    // The buffer covers every pixel: Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CControlBase::~CControlBase() = default;

bool CControlBase::Create(const QRect& rect, QWidget* parent, int id) {
    if (!parent) return false;
    setParent(parent);
    setGeometry(rect);
    m_id = id;
    m_dirty = true;
    show();
    return true;
}

void CControlBase::Enable(bool enable) {
    setEnabled(enable);
}

void CControlBase::ShowHide(bool show) {
    if (show == isVisible()) return;
    setVisible(show);
}

QColor CControlBase::Face() const {
    return palette().color(QPalette::Button);
}

void CControlBase::BeginClick(QMouseEvent* event) {
    if (isEnabled() && event->button() == Qt::LeftButton) m_tracking = true;
}

bool CControlBase::EndClick(QMouseEvent* event) {
    if (!m_tracking || event->button() != Qt::LeftButton) return false;
    m_tracking = false;
    return rect().contains(event->position().toPoint());
}

void CControlBase::Redraw() {
    m_dirty = true;
    update();
}

void CControlBase::Redraw(const QRect& area) {
    m_dirty = true;
    update(area);
}

QImage CControlBase::Buffer() {
    EnsureBuffer();
    return m_buffer;
}

void CControlBase::EnsureBuffer() {
    const qreal dpr = devicePixelRatioF();
    const QSize device = (QSizeF(size()) * dpr).toSize();
    if (m_buffer.size() != device || m_buffer.devicePixelRatio() != dpr) {
        m_buffer = QImage(device.expandedTo(QSize(1, 1)), QImage::Format_RGB888);
        m_buffer.setDevicePixelRatio(dpr);
        m_dirty = true;
    }
    if (!m_dirty) return;
    m_dirty = false;
    m_buffer.fill(Face());
    {
        QPainter p(&m_buffer);
        Draw(p);
    }
    // Dimming: grey the drawing and pull it halfway to the face colour, so a
    // disabled control keeps its shape but reads as inactive.
    m_dimmed = m_buffer.copy();
    const QColor face = Face();
    for (int y = 0; y < m_dimmed.height(); ++y) {
        uchar* row = m_dimmed.scanLine(y);
        for (int x = 0; x < m_dimmed.width(); ++x) {
            uchar* px = row + 3 * x;
            const int grey = (px[0] * 299 + px[1] * 587 + px[2] * 114) / 1000;
            px[0] = static_cast<uchar>((grey + face.red()) / 2);
            px[1] = static_cast<uchar>((grey + face.green()) / 2);
            px[2] = static_cast<uchar>((grey + face.blue()) / 2);
        }
    }
}

void CControlBase::paintEvent(QPaintEvent* event) {
    EnsureBuffer();
    QPainter p(this);
    const QImage& source = isEnabled() ? m_buffer : m_dimmed;
    const QRect r = event->rect();
    const qreal dpr = source.devicePixelRatio();
    p.drawImage(r, source,
                QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr));
    // Keyboard users see where they are; the picture itself stays as drawn.
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

void CControlBase::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void CControlBase::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

bool CControlBase::IsActivationKey(int key) {
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

void CControlBase::resizeEvent(QResizeEvent* event) {
    m_dirty = true;
    QWidget::resizeEvent(event);
}

void CControlBase::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled() && m_tracking) CancelTracking();
        update();
    } else if (event->type() == QEvent::PaletteChange) {
        Redraw();
    }
    QWidget::changeEvent(event);
}

void CControlBase::hideEvent(QHideEvent* event) {
    if (m_tracking) CancelTracking();
    QWidget::hideEvent(event);
}
