#include "editor/Cursors.h"
#include "editor/EditorGeometry.h"
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <cmath>
#include <map>
#include <utility>

namespace pw {
namespace {
constexpr int kSize = 32;

// A double arrow along the x axis through the centre: tips at +-tip, heads
// from +-neck, half as wide as `head`, the shaft half as wide as `shaft`.
QPainterPath DoubleArrow(double tip = 11, double neck = 6, double head = 5, double shaft = 2) {
    QPainterPath p;
    p.moveTo(-tip, 0);
    p.lineTo(-neck, -head);
    p.lineTo(-neck, -shaft);
    p.lineTo(neck, -shaft);
    p.lineTo(neck, -head);
    p.lineTo(tip, 0);
    p.lineTo(neck, head);
    p.lineTo(neck, shaft);
    p.lineTo(-neck, shaft);
    p.lineTo(-neck, head);
    p.closeSubpath();
    return p;
}

// The usual pointer: tip at (1, 1).
QPainterPath Pointer() {
    QPainterPath p;
    p.moveTo(1, 1);
    p.lineTo(1, 17);
    p.lineTo(5, 13);
    p.lineTo(8, 20);
    p.lineTo(11, 19);
    p.lineTo(8, 12);
    p.lineTo(13, 12);
    p.closeSubpath();
    return p;
}

void Outlined(QPainter& painter, QPainterPath path) {
    path.setFillRule(Qt::WindingFill);
    // A white rim of one pixel outside the black shape keeps the cursor
    // visible on dark and light pages alike.
    painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::white);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(path);
}

void DrawCursor(QPainter& painter, int id, QPoint& hot) {
    const QPointF centre(kSize / 2.0, kSize / 2.0);
    hot = QPoint(kSize / 2, kSize / 2);
    auto turned = [&](double degrees, QPainterPath arrow = DoubleArrow()) {
        QTransform t;
        t.translate(centre.x(), centre.y());
        t.rotate(degrees);
        return t.map(arrow);
    };
    switch (id) {
    case kCursorSizeWE: Outlined(painter, turned(0)); break;
    case kCursorSizeNS: Outlined(painter, turned(90)); break;
    case kCursorSizeNESW: Outlined(painter, turned(-45)); break;
    case kCursorSizeNWSE: Outlined(painter, turned(45)); break;
    case kCursorGuideVertical:
    case kCursorGuideHorizontal: {
        // Two parallel bars (the guide) with arrows leading away from them.
        const bool vertical = id == kCursorGuideVertical;
        QPainterPath p = turned(vertical ? 0 : 90);
        QPainterPath bar;
        if (vertical)
            bar.addRect(centre.x() - 1.5, centre.y() - 9, 3, 18);
        else
            bar.addRect(centre.x() - 9, centre.y() - 1.5, 18, 3);
        Outlined(painter, p.united(bar));
        break;
    }
    case kCursorMove: {
        // Slimmer arms than the resize arrows, so the four stay apart.
        const QPainterPath arm = DoubleArrow(12, 8, 4, 1.5);
        QPainterPath both = turned(0, arm);
        both.addPath(turned(90, arm));
        Outlined(painter, both);
        break;
    }
    case kCursorRotate: {
        // Three quarters of a circle with an arrow head at its end.
        QPainterPath arc;
        arc.arcMoveTo(QRectF(centre.x() - 8, centre.y() - 8, 16, 16), 90);
        arc.arcTo(QRectF(centre.x() - 8, centre.y() - 8, 16, 16), 90, 270);
        QPainterPathStroker stroker;
        stroker.setWidth(3);
        QPainterPath ring = stroker.createStroke(arc);
        QPainterPath head;
        head.moveTo(centre.x() + 3, centre.y() - 13);
        head.lineTo(centre.x() + 3, centre.y() - 3);
        head.lineTo(centre.x() - 5, centre.y() - 8);
        head.closeSubpath();
        Outlined(painter, ring.united(head));
        break;
    }
    case kCursorText: {
        // An I-beam.
        QPainterPath p;
        p.addRect(centre.x() - 4, centre.y() - 9, 8, 2);
        p.addRect(centre.x() - 1, centre.y() - 8, 2, 16);
        p.addRect(centre.x() - 4, centre.y() + 7, 8, 2);
        Outlined(painter, p.simplified());
        break;
    }
    case kCursorPipette: {
        // A dropper whose tip is the hot spot at the lower left.
        QTransform t;
        t.translate(2, kSize - 2);
        t.rotate(-45);
        QPainterPath p;
        p.moveTo(0, 0);
        p.lineTo(4, -2);
        p.lineTo(18, -2);
        p.lineTo(18, 2);
        p.lineTo(4, 2);
        p.closeSubpath();
        p.addRoundedRect(17, -5, 9, 10, 3, 3);
        Outlined(painter, t.map(p.simplified()));
        hot = QPoint(2, kSize - 2);
        break;
    }
    default:
        Outlined(painter, Pointer());
        hot = QPoint(1, 1);
        break;
    }
}
} // namespace

QPixmap CursorPixmap(int id, qreal dpr, QPoint* hotSpot) {
    QPixmap pixmap(static_cast<int>(std::lround(kSize * dpr)),
                   static_cast<int>(std::lround(kSize * dpr)));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPoint hot;
    DrawCursor(painter, id, hot);
    painter.end();
    if (hotSpot) *hotSpot = hot;
    return pixmap;
}

const QCursor& EditorCursor(int id, qreal dpr) {
    static std::map<std::pair<int, int>, QCursor> made;
    const auto key = std::make_pair(id, static_cast<int>(std::lround(dpr * 100)));
    auto it = made.find(key);
    if (it == made.end()) {
        QPoint hot;
        QPixmap pixmap = CursorPixmap(id, dpr, &hot);
        it = made.emplace(key, QCursor(pixmap, hot.x(), hot.y())).first;
    }
    return it->second;
}

} // namespace pw
