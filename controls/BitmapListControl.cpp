#include "controls/BitmapListControl.h"
#include "controls/ColorControl.h"
#include "controls/ControlCodes.h"
#include "image/Image.h"
#include "services/ImageConvert.h"
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {
// Thumbnails are kept at a size that stays sharp in cells up to this many
// device pixels.
constexpr int kThumbLimit = 160;
} // namespace

CBitmapListControl::CBitmapListControl(QWidget* parent) : CControlBase(parent) {
    // Held arrows repeat from a timer, so the event loop keeps running while
    // the list scrolls.
    connect(&m_repeat, &QTimer::timeout, this, &CBitmapListControl::Repeat);
}

void CBitmapListControl::Init(int arrowWidth, int firstValue, int rows, int scrollStep) {
    m_arrowWidth = std::max(0, arrowWidth);
    m_firstValue = firstValue;
    m_rows = std::max(1, rows);
    m_step = std::max(1, scrollStep);
    m_scroll = std::clamp(m_scroll, 0, MaxScroll());
    Redraw();
}

int CBitmapListControl::Add(const QImage& picture) {
    CEntry e;
    e.value = static_cast<uint32_t>(m_firstValue + GetCount());
    if (!picture.isNull())
        e.thumb = picture.width() > kThumbLimit || picture.height() > kThumbLimit
                      ? picture.scaled(kThumbLimit, kThumbLimit, Qt::KeepAspectRatio,
                                       Qt::SmoothTransformation)
                      : picture;
    if (e.thumb.isNull()) {
        // An unreadable picture still takes its place in the list, as a blank.
        e.thumb = QImage(1, 1, QImage::Format_RGB888);
        e.thumb.fill(Qt::white);
    }
    m_entries.push_back(std::move(e));
    Redraw();
    return GetCount() - 1;
}

int CBitmapListControl::Add(const CImage& picture) {
    // Grey, palette and RGB pictures become thumbnails pixel by pixel; a
    // transparent part shows the cell below it. Other modes stay blank.
    QImage image(picture.Width(), picture.Height(),
                 picture.HasAlpha() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull() ||
        !pw::ToArgb32(picture, image.bits(), static_cast<size_t>(image.bytesPerLine())))
        return Add(QImage());
    return Add(image);
}

int CBitmapListControl::Add(uint32_t value) {
    m_entries.push_back(CEntry{QImage(), value});
    Redraw();
    return GetCount() - 1;
}

uint32_t CBitmapListControl::GetValue(int index) const {
    if (index < 0 || index >= GetCount()) return 0;
    return m_entries[static_cast<std::size_t>(index)].value;
}

void CBitmapListControl::Remove(int index) {
    if (index < 0 || index >= GetCount()) return;
    m_entries.erase(m_entries.begin() + index);
    if (index == m_selected)
        m_selected = -1;
    else if (index < m_selected)
        --m_selected;
    m_scroll = std::clamp(m_scroll, 0, MaxScroll());
    Redraw();
}

void CBitmapListControl::Select(int index) {
    const int s = index >= 0 && index < GetCount() ? index : -1;
    if (s == m_selected) return;
    m_selected = s;
    Redraw();
}

void CBitmapListControl::Update() {
    m_scroll = std::clamp(m_scroll, 0, MaxScroll());
    Redraw();
}

QRect CBitmapListControl::LeftArrowRect() const {
    return {0, 0, m_arrowWidth, height()};
}

QRect CBitmapListControl::RightArrowRect() const {
    return {width() - m_arrowWidth, 0, m_arrowWidth, height()};
}

QRect CBitmapListControl::ListRect() const {
    return {m_arrowWidth, 0, std::max(0, width() - 2 * m_arrowWidth), height()};
}

int CBitmapListControl::CellSize() const {
    return std::max(1, (height() - (m_rows + 1) * kGap) / m_rows);
}

QRect CBitmapListControl::CellRect(int index) const {
    const int cell = CellSize();
    const int column = index / m_rows;
    const int row = index % m_rows;
    return {ListRect().left() + kGap + column * (cell + kGap) - m_scroll,
            kGap + row * (cell + kGap), cell, cell};
}

int CBitmapListControl::MaxScroll() const {
    const int columns = (GetCount() + m_rows - 1) / m_rows;
    const int content = kGap + columns * (CellSize() + kGap);
    return std::max(0, content - ListRect().width());
}

int CBitmapListControl::IndexAt(QPoint pos) const {
    const QRect list = ListRect();
    if (!list.contains(pos)) return -1;
    const int pitch = CellSize() + kGap;
    const int x = pos.x() - list.left() - kGap + m_scroll;
    const int y = pos.y() - kGap;
    if (x < 0 || y < 0) return -1;
    const int column = x / pitch;
    const int row = y / pitch;
    if (row >= m_rows) return -1;
    const int index = row + column * m_rows;
    return index < GetCount() ? index : -1;
}

void CBitmapListControl::ScrollBy(int delta) {
    const int s = std::clamp(m_scroll + delta, 0, MaxScroll());
    if (s == m_scroll) return;
    m_scroll = s;
    Redraw();
}

void CBitmapListControl::Repeat() {
    m_repeat.setInterval(kRepeatInterval);
    ScrollBy(m_scrollDirection * m_step);
}

void CBitmapListControl::mousePressEvent(QMouseEvent* event) {
    if (!IsEnabled() || event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    SetTracking(true);
    if (LeftArrowRect().contains(pos) || RightArrowRect().contains(pos)) {
        m_scrollDirection = LeftArrowRect().contains(pos) ? -1 : 1;
        ScrollBy(m_scrollDirection * m_step);
        m_repeat.start(kRepeatDelay);
        return;
    }
    const int index = IndexAt(pos);
    m_selectionMoved = index != m_selected;
    if (!m_selectionMoved) return;
    m_selected = index;
    Redraw();
    NotifyChanging(ctl::kBitmapListSelChanging);
}

void CBitmapListControl::mouseReleaseEvent(QMouseEvent* event) {
    if (!InTracking() || event->button() != Qt::LeftButton) return;
    CancelTracking();
}

void CBitmapListControl::CancelTracking() {
    SetTracking(false);
    m_repeat.stop();
    m_scrollDirection = 0;
    if (m_selectionMoved) {
        m_selectionMoved = false;
        NotifyChanged(ctl::kBitmapListUpdated);
    }
}

void CBitmapListControl::resizeEvent(QResizeEvent* event) {
    CControlBase::resizeEvent(event);
    m_scroll = std::clamp(m_scroll, 0, MaxScroll());
}

void CBitmapListControl::Draw(QPainter& p) {
    const QRect list = ListRect();
    p.fillRect(list, QColor(255, 255, 255));
    p.save();
    p.setClipRect(list);
    for (int i = 0; i < GetCount(); ++i) {
        const QRect cell = CellRect(i);
        if (cell.right() < list.left() || cell.left() > list.right()) continue;
        if (i == m_selected)
            p.fillRect(cell.adjusted(-kGap + 1, -kGap + 1, kGap - 1, kGap - 1), QColor(0, 0, 160));
        const CEntry& e = m_entries[static_cast<std::size_t>(i)];
        p.fillRect(cell, QColor(240, 240, 240));
        if (e.thumb.isNull()) continue;
        QSize s = e.thumb.size();
        s.scale(cell.size(), Qt::KeepAspectRatio);
        const QRect target(cell.x() + (cell.width() - s.width()) / 2,
                           cell.y() + (cell.height() - s.height()) / 2, s.width(), s.height());
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(target, e.thumb);
    }
    p.restore();

    const auto arrow = [&](const QRect& r, int direction) {
        if (r.width() <= 0) return;
        const QRect inner = ctl::DrawRaisedFrame(p, r);
        const bool can = direction < 0 ? m_scroll > 0 : m_scroll < MaxScroll();
        const double cx = inner.center().x() + 0.5;
        const double cy = inner.center().y() + 0.5;
        const double a = std::min(inner.width(), inner.height()) * 0.3;
        QPainterPath tri;
        tri.moveTo(cx - direction * a * 0.6, cy - a);
        tri.lineTo(cx + direction * a * 0.6, cy);
        tri.lineTo(cx - direction * a * 0.6, cy + a);
        tri.closeSubpath();
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(tri, can ? QColor(0, 0, 0) : QColor(160, 160, 160));
        p.setRenderHint(QPainter::Antialiasing, false);
    };
    arrow(LeftArrowRect(), -1);
    arrow(RightArrowRect(), 1);
}
