#include "controls/GradientDesignerControl.h"
#include "controls/ColorControl.h"
#include "controls/ControlCodes.h"
#include "services/ColorBand.h"
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kSide = 18;       // room left and right of the band for the end markers
constexpr int kMarker = 12;     // end marker square
constexpr int kHandleHalf = 5;  // handle body: 2 × 5 + 1 pixels wide
constexpr int kHandleTall = 14; // tip to bottom
constexpr int kDragSlack = 2;   // pixels a press may wander and still be a click
constexpr int kRemoveBelow = 12; // a handle dropped this far below the control goes

int BandHeight(int height) {
    return std::max(6, height - kHandleTall - 3);
}
} // namespace

CGradientDesignerControl::CGradientDesignerControl(QWidget* parent) : CControlBase(parent) {
    GetPredefinedGradient(m_gradient, 0);
}

void CGradientDesignerControl::Init(const GRADIENTCOLORS& gradient) {
    m_gradient = gradient;
    m_selected = kNoMarker;
    InsertColors();
}

int CGradientDesignerControl::BandWidth() const {
    return std::max(2, width() - 2 * kSide);
}

QRect CGradientDesignerControl::BandRect() const {
    return {kSide, 1, BandWidth(), BandHeight(height())};
}

QRect CGradientDesignerControl::MarkerRect(int marker) const {
    const QRect band = BandRect();
    const int y = band.center().y() - kMarker / 2;
    if (marker == kStartMarker) return {kSide - kMarker - 4, y, kMarker, kMarker};
    if (marker == kEndMarker) return {band.right() + 5, y, kMarker, kMarker};
    const QPoint tip = HandlePoint(marker);
    return {tip.x() - kHandleHalf, tip.y() + 4, 2 * kHandleHalf + 1, kHandleTall - 4};
}

QPoint CGradientDesignerControl::HandlePoint(int index) const {
    const QRect band = BandRect();
    // An offset of a full band width (position 1) points at the last pixel.
    const int x = band.left() + std::min(HandleOffset(index), band.width() - 1);
    return {x, band.bottom() + 1};
}

void CGradientDesignerControl::InsertColors() {
    const std::size_t n = m_gradient.StopCount();
    m_gradient.stopColoursBefore.resize(n, m_gradient.startColour);
    m_gradient.stopColoursAfter.resize(n, m_gradient.endColour);
    m_bandWidth = BandWidth();
    m_offsets.clear();
    for (std::size_t i = 0; i < n; ++i) {
        const double p = std::clamp(m_gradient.stopPositions[i], 0.0, 1.0);
        m_gradient.stopPositions[i] = p;
        m_offsets.push_back(static_cast<int>(std::trunc(m_bandWidth * p)));
    }
    KeepIncreasing();
    Redraw();
}

void CGradientDesignerControl::KeepIncreasing() {
    const int w = m_bandWidth;
    const auto moved = [&](std::size_t i) {
        m_gradient.stopPositions[i] = static_cast<double>(m_offsets[i]) / w;
    };
    for (std::size_t i = 1; i < m_offsets.size(); ++i) {
        if (m_offsets[i] <= m_offsets[i - 1]) {
            m_offsets[i] = m_offsets[i - 1] + 1;
            moved(i);
        }
    }
    for (std::size_t i = m_offsets.size(); i-- > 0;) {
        const int limit = i + 1 < m_offsets.size() ? m_offsets[i + 1] - 1 : w;
        if (m_offsets[i] > limit) {
            m_offsets[i] = std::max(0, limit);
            moved(i);
        }
    }
}

int CGradientDesignerControl::NewHandle(int offset, const CColor& before, const CColor& after) {
    offset = std::clamp(offset, 0, m_bandWidth);
    const auto at = std::upper_bound(m_offsets.begin(), m_offsets.end(), offset);
    const auto i = static_cast<std::size_t>(at - m_offsets.begin());
    m_offsets.insert(at, offset);
    const auto pos = static_cast<std::ptrdiff_t>(i);
    m_gradient.stopColoursBefore.insert(m_gradient.stopColoursBefore.begin() + pos, before);
    m_gradient.stopColoursAfter.insert(m_gradient.stopColoursAfter.begin() + pos, after);
    m_gradient.stopPositions.insert(m_gradient.stopPositions.begin() + pos,
                                    static_cast<double>(offset) / m_bandWidth);
    KeepIncreasing();
    m_gradient.kind = 4;
    Redraw();
    return static_cast<int>(i);
}

void CGradientDesignerControl::Mirror() {
    std::swap(m_gradient.startColour, m_gradient.endColour);
    const std::size_t n = m_gradient.StopCount();
    for (std::size_t i = 0; i < n; ++i)
        std::swap(m_gradient.stopColoursBefore[i], m_gradient.stopColoursAfter[i]);
    std::reverse(m_gradient.stopColoursBefore.begin(), m_gradient.stopColoursBefore.end());
    std::reverse(m_gradient.stopColoursAfter.begin(), m_gradient.stopColoursAfter.end());
    std::reverse(m_gradient.stopPositions.begin(), m_gradient.stopPositions.end());
    for (double& p : m_gradient.stopPositions) p = 1.0 - p;
    // A handle at offset o reflects to w - o: position p becomes 1 - p.
    std::reverse(m_offsets.begin(), m_offsets.end());
    for (int& o : m_offsets) o = m_bandWidth - o;
    if (m_selected == kStartMarker)
        m_selected = kEndMarker;
    else if (m_selected == kEndMarker)
        m_selected = kStartMarker;
    else if (m_selected >= 0)
        m_selected = static_cast<int>(n) - m_selected - 1;
    m_gradient.kind = 4;
    Changed();
}

void CGradientDesignerControl::UpdateHandleColors(int) {
    Redraw();
}

void CGradientDesignerControl::Changed() {
    Redraw();
    NotifyChanged(ctl::kGradientDesignerChanged);
}

bool CGradientDesignerControl::EditColour(CColor& colour) {
    if (!ctl::ChooseColour(this, colour)) return false;
    m_gradient.kind = 4;
    return true;
}

int CGradientDesignerControl::MarkerAt(QPoint pos, bool* leftHalf) const {
    for (int i = HandleCount(); i-- > 0;) {
        const QRect body = MarkerRect(i);
        const QRect hit(body.left(), HandlePoint(i).y(), body.width(), body.bottom() - HandlePoint(i).y() + 1);
        if (hit.contains(pos)) {
            if (leftHalf) *leftHalf = pos.x() <= HandlePoint(i).x();
            return i;
        }
    }
    if (MarkerRect(kStartMarker).adjusted(-1, -1, 1, 1).contains(pos)) return kStartMarker;
    if (MarkerRect(kEndMarker).adjusted(-1, -1, 1, 1).contains(pos)) return kEndMarker;
    return kNoMarker;
}

void CGradientDesignerControl::mousePressEvent(QMouseEvent* event) {
    if (!IsEnabled() || event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    m_pressed = MarkerAt(pos, &m_pressedLeft);
    m_pressPos = pos;
    m_dragging = false;
    if (m_pressed != kNoMarker) {
        m_selected = m_pressed;
        SetTracking(true);
        Redraw();
        return;
    }
    const QRect band = BandRect();
    if (!band.contains(pos)) return;
    // A new stop takes the colour the band already shows there, so inserting
    // changes nothing until the user recolours or moves it.
    const int offset = pos.x() - band.left();
    std::vector<uint8_t> pixels(static_cast<std::size_t>(m_bandWidth) * 3);
    BuildColorBand(&m_gradient, pixels.data(), m_bandWidth);
    const int k = std::clamp(offset, 0, m_bandWidth - 1) * 3;
    const CColor here(pixels[static_cast<std::size_t>(k)], pixels[static_cast<std::size_t>(k) + 1],
                      pixels[static_cast<std::size_t>(k) + 2]);
    m_selected = NewHandle(offset, here, here);
    Changed();
}

void CGradientDesignerControl::mouseMoveEvent(QMouseEvent* event) {
    if (!InTracking() || m_pressed < 0) return;
    const QPoint pos = event->position().toPoint();
    if (!m_dragging && std::abs(pos.x() - m_pressPos.x()) <= kDragSlack &&
        std::abs(pos.y() - m_pressPos.y()) <= kDragSlack)
        return;
    m_dragging = true;
    const auto i = static_cast<std::size_t>(m_pressed);
    const int low = i > 0 ? m_offsets[i - 1] + 1 : 0;
    const int high = i + 1 < m_offsets.size() ? m_offsets[i + 1] - 1 : m_bandWidth;
    const int offset = std::clamp(pos.x() - BandRect().left(), low, std::max(low, high));
    if (offset == m_offsets[i]) return;
    m_offsets[i] = offset;
    m_gradient.stopPositions[i] = static_cast<double>(offset) / m_bandWidth;
    m_gradient.kind = 4;
    Redraw();
}

void CGradientDesignerControl::mouseReleaseEvent(QMouseEvent* event) {
    if (!InTracking() || event->button() != Qt::LeftButton) return;
    SetTracking(false);
    const int marker = m_pressed;
    m_pressed = kNoMarker;
    if (m_dragging) {
        m_dragging = false;
        if (marker >= 0 && event->position().y() > height() + kRemoveBelow) {
            const auto at = static_cast<std::ptrdiff_t>(marker);
            m_offsets.erase(m_offsets.begin() + at);
            m_gradient.stopColoursBefore.erase(m_gradient.stopColoursBefore.begin() + at);
            m_gradient.stopColoursAfter.erase(m_gradient.stopColoursAfter.begin() + at);
            m_gradient.stopPositions.erase(m_gradient.stopPositions.begin() + at);
            m_selected = kNoMarker;
        }
        Changed();
        return;
    }
    bool edited = false;
    if (marker == kStartMarker)
        edited = EditColour(m_gradient.startColour);
    else if (marker == kEndMarker)
        edited = EditColour(m_gradient.endColour);
    else if (marker >= 0) {
        auto& colours = m_pressedLeft ? m_gradient.stopColoursBefore : m_gradient.stopColoursAfter;
        edited = EditColour(colours[static_cast<std::size_t>(marker)]);
        if (edited) UpdateHandleColors(marker);
    }
    if (edited) Changed();
}

void CGradientDesignerControl::CancelTracking() {
    SetTracking(false);
    if (m_dragging) Changed();
    m_dragging = false;
    m_pressed = kNoMarker;
}

void CGradientDesignerControl::resizeEvent(QResizeEvent* event) {
    CControlBase::resizeEvent(event);
    if (BandWidth() != m_bandWidth) InsertColors();
}

void CGradientDesignerControl::Draw(QPainter& p) {
    const QRect band = BandRect();
    const qreal dpr = p.device()->devicePixelRatioF();
    ctl::DrawSunkenFrame(p, band.adjusted(-2, -1, 2, 1).intersected(rect().adjusted(0, 0, 0, 0)));
    // The band is built at device resolution, so it is exact at ratio 1 and
    // as smooth as the screen allows above it.
    const int n = std::max(1, static_cast<int>(std::lround(band.width() * dpr)));
    QImage strip(n, 1, QImage::Format_RGB888);
    BuildColorBand(&m_gradient, strip.scanLine(0), n);
    p.drawImage(QRectF(band), strip);

    const auto swatch = [&](const QRect& r, const CColor& c, bool selected) {
        p.fillRect(r, selected ? QColor(0, 0, 200) : QColor(0, 0, 0));
        p.fillRect(r.adjusted(1, 1, -1, -1), QColor(255, 255, 255));
        p.fillRect(r.adjusted(2, 2, -2, -2), ctl::ToQColor(c));
    };
    swatch(MarkerRect(kStartMarker), m_gradient.startColour, m_selected == kStartMarker);
    swatch(MarkerRect(kEndMarker), m_gradient.endColour, m_selected == kEndMarker);

    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < HandleCount(); ++i) {
        const QPoint tip = HandlePoint(i);
        const QRect body = MarkerRect(i);
        const bool selected = m_selected == i;
        QPainterPath arrow;
        arrow.moveTo(tip.x() + 0.5, tip.y());
        arrow.lineTo(tip.x() + 0.5 + 4.5, tip.y() + 4.5);
        arrow.lineTo(tip.x() + 0.5 - 4.5, tip.y() + 4.5);
        arrow.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(selected ? QColor(0, 0, 200) : QColor(0, 0, 0));
        p.drawPath(arrow);
        p.fillRect(body, selected ? QColor(0, 0, 200) : QColor(0, 0, 0));
        const QRect inner = body.adjusted(1, 1, -1, -1);
        const int half = inner.width() / 2;
        p.fillRect(QRect(inner.left(), inner.top(), half, inner.height()),
                   ctl::ToQColor(m_gradient.stopColoursBefore[static_cast<std::size_t>(i)]));
        p.fillRect(QRect(inner.left() + half, inner.top(), inner.width() - half, inner.height()),
                   ctl::ToQColor(m_gradient.stopColoursAfter[static_cast<std::size_t>(i)]));
    }
}
