#include "controls/SliderControl.h"
#include "controls/ControlCodes.h"
#include "controls/ControlResources.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {
int ClampCount(int count) {
    if (count > 65535) return 65536;
    if (count < 3) return 2;
    return count;
}
} // namespace

CSliderControl::CSliderControl(QWidget* parent) : CControlBase(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void CSliderControl::Init(int count, int value, bool thumbAtTop) {
    m_thumbAtTop = thumbAtTop;
    m_count = ClampCount(count);
    m_value = std::clamp(value, 0, m_count - 1);
    Redraw();
}

void CSliderControl::SetValue(int value) {
    Move(std::clamp(value, 0, m_count - 1));
}

void CSliderControl::SetValue(int count, int value) {
    const int c = ClampCount(count);
    if (c != m_count) {
        m_count = c;
        m_value = std::clamp(value, 0, m_count - 1);
        Redraw();
        return;
    }
    SetValue(value);
}

QSize CSliderControl::ThumbSize() const {
    const QSize s = ctl::ResourceImageSize(m_thumbAtTop ? ctl::kThumbTop : ctl::kThumbBottom);
    return s.isEmpty() ? QSize(11, 12) : s;
}

int CSliderControl::TrackStart() const {
    return ThumbSize().width() / 2;
}

int CSliderControl::TrackEnd() const {
    return width() - ThumbSize().width() / 2;
}

int CSliderControl::ValueAt(int x) const {
    const int start = TrackStart();
    const int end = TrackEnd();
    const int span = end - start - 1;
    if (span <= 0) return 0;
    x = std::clamp(x, start, end - 1);
    return static_cast<int>(static_cast<long long>(x - start) * (m_count - 1) / span);
}

QRect CSliderControl::ThumbRectFor(int value) const {
    const QSize t = ThumbSize();
    const int left =
        static_cast<int>(static_cast<long long>(width() - t.width()) * value / (m_count - 1));
    const int top = m_thumbAtTop ? 0 : height() - t.height();
    return {left, top, t.width(), t.height()};
}

QRect CSliderControl::ThumbRect() const {
    return ThumbRectFor(m_value);
}

bool CSliderControl::Move(int value) {
    if (value == m_value) return false;
    const QRect before = ThumbRect();
    m_value = value;
    Redraw(before);
    Redraw(ThumbRect());
    return true;
}

void CSliderControl::mousePressEvent(QMouseEvent* event) {
    if (!IsEnabled() || event->button() != Qt::LeftButton) return;
    SetTracking(true);
    Move(ValueAt(event->position().toPoint().x()));
    NotifyChanging(ctl::kSliderChanging);
}

void CSliderControl::mouseMoveEvent(QMouseEvent* event) {
    if (!InTracking()) return;
    Move(ValueAt(event->position().toPoint().x()));
    NotifyChanging(ctl::kSliderChanging);
}

void CSliderControl::mouseReleaseEvent(QMouseEvent* event) {
    if (!InTracking() || event->button() != Qt::LeftButton) return;
    Move(ValueAt(event->position().toPoint().x()));
    SetTracking(false);
    NotifyChanged(ctl::kSliderChanged);
}

void CSliderControl::keyPressEvent(QKeyEvent* event) {
    int value = m_value;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        --value;
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        ++value;
        break;
    case Qt::Key_PageDown:
        value -= 10;
        break;
    case Qt::Key_PageUp:
        value += 10;
        break;
    case Qt::Key_Home:
        value = 0;
        break;
    case Qt::Key_End:
        value = m_count - 1;
        break;
    default:
        CControlBase::keyPressEvent(event);
        return;
    }
    if (!IsEnabled() || InTracking() || !Move(std::clamp(value, 0, m_count - 1))) return;
    NotifyChanging(ctl::kSliderChanging);
    NotifyChanged(ctl::kSliderChanged);
}

void CSliderControl::CancelTracking() {
    SetTracking(false);
    NotifyChanged(ctl::kSliderChanged);
}

void CSliderControl::Draw(QPainter& p) {
    const QSize t = ThumbSize();
    // The groove sits beside the thumb, inset by half a thumb at each end so
    // the thumb's point reaches both ends of the track.
    const int grooveY = m_thumbAtTop ? std::min(height() - 4, t.height() + 1)
                                     : std::max(0, height() - t.height() - 5);
    const int x0 = TrackStart();
    const int x1 = TrackEnd() - 1;
    p.fillRect(QRect(x0, grooveY, x1 - x0 + 1, 1), QColor(128, 128, 128));
    p.fillRect(QRect(x0, grooveY + 1, x1 - x0 + 1, 1), QColor(0, 0, 0));
    p.fillRect(QRect(x0, grooveY + 2, x1 - x0 + 1, 1), QColor(223, 223, 223));
    p.fillRect(QRect(x0, grooveY + 3, x1 - x0 + 1, 1), QColor(255, 255, 255));
    const QImage thumb = ctl::ResourceImage(m_thumbAtTop ? ctl::kThumbTop : ctl::kThumbBottom,
                                            p.device()->devicePixelRatioF(), t);
    p.drawImage(ThumbRect().topLeft(), thumb);
}
