#include "editor/PlumeView.h"
#include "model/Page.h"
#include "render/PageRenderer.h"
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <vector>

CPlumeView::CPlumeView(CPlumeDoc& doc, CPage& page, CEditorContext& context, QWidget* parent)
    : QAbstractScrollArea(parent), m_doc(&doc), m_page(&page), m_context(&context) {
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    UpdateScrollRange();
}

CPlumeView::~CPlumeView() = default;

void CPlumeView::UpdateScrollRange() {
    QSize client = viewport()->size();
    int w = m_page->Width(), h = m_page->Height();
    horizontalScrollBar()->setRange(0, std::max(0, w - client.width()));
    verticalScrollBar()->setRange(0, std::max(0, h - client.height()));
    horizontalScrollBar()->setPageStep(std::min(w, client.width()));
    verticalScrollBar()->setPageStep(std::min(h, client.height()));
    horizontalScrollBar()->setSingleStep(std::max(1, w / 10));
    verticalScrollBar()->setSingleStep(std::max(1, h / 10));
}

void CPlumeView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

void CPlumeView::scrollContentsBy(int, int) { viewport()->update(); }

void CPlumeView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    const int sx = horizontalScrollBar()->value(), sy = verticalScrollBar()->value();
    painter.fillRect(dirty, QColor(190, 190, 190));
    // Page area of the dirty rectangle, in page coordinates, tile by tile.
    QRect page = QRect(0, 0, m_page->Width(), m_page->Height()).intersected(dirty.translated(sx, sy));
    constexpr int kTile = 256;
    std::vector<uint8_t> argb(kTile * kTile * 4);
    for (int y = page.top(); y <= page.bottom(); y += kTile) {
        for (int x = page.left(); x <= page.right(); x += kTile) {
            int w = std::min(kTile, page.right() + 1 - x), h = std::min(kTile, page.bottom() + 1 - y);
            RenderRegion(*m_page, CRect{x, y, x + w, y + h}, argb.data(), w * 4);
            // The renderer's pixels are alpha, red, green, blue bytes.
            QImage tile(w, h, QImage::Format_RGB888);
            for (int r = 0; r < h; ++r) {
                const uint8_t* s = argb.data() + static_cast<std::size_t>(r) * w * 4;
                uint8_t* d = tile.scanLine(r);
                for (int c = 0; c < w; ++c, s += 4, d += 3) d[0] = s[1], d[1] = s[2], d[2] = s[3];
            }
            painter.drawImage(x - sx, y - sy, tile);
        }
    }
}
