// The page view: scrolling, the off-screen picture and what is drawn over the
// page (guides, selection feedback, bands, the caret of the edited text).
#include "editor/PlumeView.h"
#include "editor/ScaledMirror.h"
#include "editor/ClipboardCommands.h"
#include "editor/EditorContext.h"
#include "editor/EditorGeometry.h"
#include "model/Document.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/TextObject.h"
#include "render/PageRenderer.h"
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {
const QColor kSurround(190, 190, 190);
const QColor kHandleBlue(0, 128, 255);
const QColor kTwinGreen(64, 192, 64);
const QColor kGuideMarker(255, 64, 0);
constexpr int kFeedbackMargin = 7; // handle squares and text frame handles reach this far
constexpr int kGuideMarkerSize = 5;
constexpr std::size_t kMaxPending = 400;

QRect ToQRect(const CRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// A dotted line along one axis, one pixel in three, the dots placed by page
// position: a repaint of part of the line draws the same dots as a repaint of
// all of it (a dash pattern restarts where the clip cuts the line).
void DottedLine(QPainter& painter, QPoint from, QPoint to, const QColor& colour) {
    std::vector<QPoint> dots;
    const bool vertical = from.x() == to.x();
    const int a = vertical ? std::min(from.y(), to.y()) : std::min(from.x(), to.x());
    const int b = vertical ? std::max(from.y(), to.y()) : std::max(from.x(), to.x());
    for (int k = a + ((3 - a % 3) % 3); k <= b; k += 3)
        dots.push_back(vertical ? QPoint(from.x(), k) : QPoint(k, from.y()));
    painter.setPen(QPen(colour, 1));
    painter.drawPoints(dots.data(), static_cast<int>(dots.size()));
}

QPointF Point(DPOINT p) {
    return QPointF(static_cast<int>(p.x) + 0.5, static_cast<int>(p.y) + 0.5);
}
} // namespace

CPlumeView::CPlumeView(CPlumeDoc& doc, CPage& page, CEditorContext& context, QWidget* parent)
    : QAbstractScrollArea(parent), m_doc(&doc), m_page(&page), m_context(&context) {
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_page->AddObserver(this);
    m_doc->AddObserver(this);
    UpdateScrollRange();
    SetCursorId(pw::kCursorArrow);
    pw::editor_clipboard::AcceptDroppedPictures(*this);
}

CPlumeView::~CPlumeView() {
    // A view closing with a text open leaves the page as the edit would.
    if (m_editText) EndTextEdit();
    m_page->RemoveObserver(this);
    m_doc->RemoveObserver(this);
}

QPoint CPlumeView::ToPage(QPoint p) const {
    return p + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

QPoint CPlumeView::ToViewport(QPoint p) const {
    return p - QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void CPlumeView::UpdateScrollRange() {
    // The scroll range is the page; the page step the smaller of page and
    // window, the line step a tenth of the page.
    const QSize client = viewport()->size();
    const int w = m_page->Width(), h = m_page->Height();
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

void CPlumeView::scrollContentsBy(int, int) {
    viewport()->update();
}

void CPlumeView::OnPageRepaint(CPage&, const CRect& area) {
    if (area.IsEmpty())
        RepaintAll();
    else
        RepaintPage(area);
}

void CPlumeView::OnPageSizeChanged(CPage&) {
    if (m_mirror) m_mirror->Invalidate();
    UpdateScrollRange();
    RepaintAll();
}

void CPlumeView::OnItemsChanged(CPage&) {
    if (m_mirror) m_mirror->Invalidate();
}

void CPlumeView::OnPagePropertiesChanged(CPage&) {
    // The background may have changed; the page itself repaints for it.
    if (m_mirror) m_mirror->Invalidate();
}

bool CPlumeView::ShowsPage(const CPage& page) const {
    return &page == m_page;
}

void CPlumeView::OnEndTextEdits() {
    EndTextEdit();
}

void CPlumeView::RepaintAll() {
    viewport()->update();
}

void CPlumeView::RepaintPage(const CRect& area, bool withFeedback) {
    if (area.IsEmpty()) return;
    const int m = withFeedback ? kFeedbackMargin : 0;
    QRect r = ToQRect(area).adjusted(-m, -m, m, m);
    r.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    r = r.intersected(viewport()->rect());
    if (r.isEmpty()) return;
    // Past a few hundred the list is no help (RenderRects): stop growing it.
    if (m_pending.size() < kMaxPending) m_pending.push_back(r);
    viewport()->update(r);
}

CRect CPlumeView::FeedbackArea() const {
    CRect area = m_page->SelectionArea();
    for (const auto& set : m_page->Sets())
        if (set->IsSelected()) area = UnionRect(area, set->Bounds());
    if (m_editText) area = UnionRect(area, m_editText->BoxRect());
    return area;
}

void CPlumeView::RenderEdited() {
    if (!m_editText) return;
    m_editText->PrepareAndRender(m_page->TileBuffer());
}

int CPlumeView::DeviceScale() const {
    return std::clamp(qRound(viewport()->devicePixelRatioF()), 1, 3);
}

void CPlumeView::paintEvent(QPaintEvent* event) {
    QRegion region = event->region().intersected(viewport()->rect());
    if (region.isEmpty()) {
        m_pending.clear();
        return;
    }
    const std::vector<QRect> rects = RenderRects(region);
    // On a screen with more device pixels the page comes from a copy at that
    // scale, brought up to date for what is drawn; without memory for it the
    // page is drawn at 1 and the window system enlarges it.
    int scale = DeviceScale();
    if (scale > 1) {
        if (!m_mirror || m_mirror->Scale() != scale)
            m_mirror = std::make_unique<CScaledMirror>(*m_page, scale);
        QRect bounds;
        for (const QRect& r : rects)
            bounds |= r;
        const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
        const QRect area = bounds.translated(scroll);
        if (!m_mirror->Sync(CRect{area.left(), area.top(), area.right() + 1, area.bottom() + 1}))
            scale = 1;
    } else {
        m_mirror.reset();
    }
    if (m_buffer.size() != viewport()->size() * scale ||
        qRound(m_buffer.devicePixelRatio()) != scale) {
        // A new picture has nothing in it yet: all of it is drawn.
        m_buffer = QImage(viewport()->size() * scale, QImage::Format_RGB32);
        m_buffer.setDevicePixelRatio(scale);
        region = viewport()->rect();
        if (scale > 1) m_mirror->Sync(CRect{0, 0, m_page->Width(), m_page->Height()});
        RenderInto(viewport()->rect(), scale);
    } else {
        // Each dirty rectangle is drawn on its own (a drag of items spread
        // over the page dirties several small ones), the overlays over all.
        for (const QRect& r : rects)
            RenderInto(r, scale);
    }
    m_pending.clear();
    if (HasOverlays()) {
        QPainter overlay(&m_buffer);
        // One rectangle needs no clip path (far cheaper to set up).
        if (region.rectCount() == 1)
            overlay.setClipRect(region.boundingRect());
        else
            overlay.setClipRegion(region);
        PaintOverlays(overlay, region.boundingRect());
    }
    // The finished picture goes to the window rectangle by rectangle: the
    // bounding box of a selection spread over the page is nearly all of it,
    // and what lies between the dirty rectangles is still the last picture.
    QPainter painter(viewport());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : region)
        painter.drawImage(QRectF(r), m_buffer,
                          QRectF(r.x() * scale, r.y() * scale, r.width() * scale,
                                 r.height() * scale));
}

std::vector<QRect> CPlumeView::RenderRects(const QRegion& region) const {
    // The page areas asked for since the last paint, when they cover what is
    // to be painted: a few dozen item rectangles cut into disjoint bands
    // become hundreds of slivers, and each costs a walk over every item. An
    // overlap is drawn twice, with the same pixels; too much overlap and the
    // bands are cheaper.
    if (!m_pending.empty() && m_pending.size() < kMaxPending) {
        QRegion asked;
        long long askedArea = 0;
        for (const QRect& r : m_pending) {
            asked += r;
            askedArea += 1LL * r.width() * r.height();
        }
        long long area = 0;
        for (const QRect& r : region)
            area += 1LL * r.width() * r.height();
        if (region.subtracted(asked).isEmpty() && askedArea <= area + area / 2)
            return m_pending;
    }
    return std::vector<QRect>(region.begin(), region.end());
}

bool CPlumeView::IsBandGesture() const {
    return m_gesture == EGesture::Band || m_gesture == EGesture::PictureBand ||
           m_gesture == EGesture::HtmlBand || m_gesture == EGesture::TextArea;
}

bool CPlumeView::HasOverlays() const {
    if (m_editText || IsBandGesture()) return true;
    if (!m_page->guidesHidden && (m_page->GuideCount(true) || m_page->GuideCount(false)))
        return true;
    // The selection is drawn only while no gesture runs.
    if (m_gesture != EGesture::None) return false;
    for (const auto& set : m_page->Sets())
        if (set->IsSelected()) return true;
    return false;
}

void CPlumeView::RenderInto(const QRect& area, int scale) {
    const int sx = horizontalScrollBar()->value(), sy = verticalScrollBar()->value();
    const QRect page =
        QRect(0, 0, m_page->Width(), m_page->Height()).intersected(area.translated(sx, sy));
    // From here on device pixels: the buffer's, and the scaled page's.
    const QRect device(area.topLeft() * scale, area.size() * scale);
    const QRect inner = page.isEmpty() ? QRect()
                                       : QRect((page.topLeft() - QPoint(sx, sy)) * scale,
                                               page.size() * scale);
    // The surround is filled only where the page does not cover the area.
    const QRgb grey = kSurround.rgb();
    for (int y = device.top(); y <= device.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(m_buffer.scanLine(y));
        if (page.isEmpty() || y < inner.top() || y > inner.bottom()) {
            std::fill(row + device.left(), row + device.right() + 1, grey);
            continue;
        }
        std::fill(row + device.left(), row + inner.left(), grey);
        std::fill(row + inner.right() + 1, row + device.right() + 1, grey);
    }
    if (page.isEmpty()) return;
    // The edited text is drawn in its place in the stacking order (the
    // default options leave nothing out): the view keeps its picture current
    // after every key.
    CPage& source = scale > 1 ? *m_mirror->Copy() : *m_page;
    const QRect drawn(page.topLeft() * scale, page.size() * scale);
    const int ox = sx * scale, oy = sy * scale;
    constexpr int kTile = CPage::kTileSize;
    std::vector<uint8_t>& argb = m_tile;
    argb.resize(static_cast<std::size_t>(kTile) * kTile * 4);
    for (int y = drawn.top(); y <= drawn.bottom(); y += kTile) {
        for (int x = drawn.left(); x <= drawn.right(); x += kTile) {
            const int w = std::min(kTile, drawn.right() + 1 - x);
            const int h = std::min(kTile, drawn.bottom() + 1 - y);
            RenderRegion(source, CRect{x, y, x + w, y + h}, argb.data(), w * 4);
            // The renderer's pixels are alpha, red, green, blue bytes.
            for (int r = 0; r < h; ++r) {
                const uint8_t* s = argb.data() + static_cast<std::size_t>(r) * w * 4;
                auto* d = reinterpret_cast<QRgb*>(m_buffer.scanLine(y + r - oy)) + (x - ox);
                for (int c = 0; c < w; ++c, s += 4)
                    d[c] = qRgb(s[1], s[2], s[3]);
            }
        }
    }
}

void CPlumeView::PaintOverlays(QPainter& painter, const QRect&) {
    painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    const int w = m_page->Width(), h = m_page->Height();
    if (!m_page->guidesHidden) {
        // The guide itself is a dotted line; solid markers at both ends make
        // it easy to find on a busy page.
        for (int horizontal = 0; horizontal < 2; ++horizontal) {
            for (int32_t at : m_page->Guides(horizontal != 0)) {
                const int m = kGuideMarkerSize;
                if (horizontal) {
                    DottedLine(painter, QPoint(0, at), QPoint(w - 1, at), kGuideMarker);
                    painter.fillRect(QRect(0, at - m / 2, m, m), kGuideMarker);
                    painter.fillRect(QRect(w - m, at - m / 2, m, m), kGuideMarker);
                } else {
                    DottedLine(painter, QPoint(at, 0), QPoint(at, h - 1), kGuideMarker);
                    painter.fillRect(QRect(at - m / 2, 0, m, m), kGuideMarker);
                    painter.fillRect(QRect(at - m / 2, h - m, m, m), kGuideMarker);
                }
            }
        }
    }
    if (m_gesture == EGesture::None && !m_editText) PaintSelection(painter);
    if (m_editText) PaintTextEditing(painter);

    // Bands are drawn inverted so they show on any colour.
    if (IsBandGesture()) {
        QRect r = QRect(m_anchor, m_bandEnd).normalized();
        if (m_gesture == EGesture::TextArea)
            r = QRect(m_anchor.x(), m_anchor.y(), std::max(1, m_bandEnd.x() - m_anchor.x()),
                      m_textAreaHeight);
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

void CPlumeView::PaintSelection(QPainter& painter) {
    painter.setBrush(Qt::NoBrush);
    auto frame = [&](const DPOINT* h, const QColor& colour) {
        painter.setPen(QPen(colour, 1));
        const QPointF outline[4] = {Point(h[0]), Point(h[2]), Point(h[7]), Point(h[5])};
        painter.drawPolygon(outline, 4);
        for (int k = 0; k < 8; ++k) {
            // 5 x 5 squares centred on the (truncated) handle points.
            const int x = static_cast<int>(h[k].x), y = static_cast<int>(h[k].y);
            painter.drawRect(QRect(x - 2, y - 2, 4, 4));
        }
    };
    for (const auto& set : m_page->Sets()) {
        if (!set->IsSelected()) continue;
        if (set->IsGroup()) {
            frame(set->Handles(), kHandleBlue);
            continue;
        }
        for (CPageItem* item : set->Items())
            frame(item->Current().GetHandles(), item->HasMouseOver() ? kTwinGreen : kHandleBlue);
    }
}

void CPlumeView::PaintTextEditing(QPainter& painter) {
    const CRect box = m_editText->BoxRect();
    const CTextLayout& layout = m_editText->Layout();
    const CTextEditing& editing = m_editText->Editing();
    // The frame and its four edge handles (move with top or bottom, widen
    // with left or right).
    const QColor frameGrey(128, 128, 128);
    const int l = box.left - 1, t = box.top - 1, r = box.right, b = box.bottom;
    DottedLine(painter, QPoint(l, t), QPoint(r, t), frameGrey);
    DottedLine(painter, QPoint(l, b), QPoint(r, b), frameGrey);
    DottedLine(painter, QPoint(l, t), QPoint(l, b), frameGrey);
    DottedLine(painter, QPoint(r, t), QPoint(r, b), frameGrey);
    painter.setBrush(Qt::NoBrush);
    const DPOINT* h = m_editText->GetHandles();
    painter.setPen(QPen(kHandleBlue, 1));
    painter.setBrush(Qt::white);
    for (int k : {1, 3, 4, 6}) {
        const int x = static_cast<int>(h[k].x), y = static_cast<int>(h[k].y);
        painter.drawRect(QRect(x - 3, y - 3, 6, 6));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    if (editing.HasSelection()) {
        const CTextPos from = editing.SelectionStart(), to = editing.SelectionEnd();
        for (int p = from.para; p <= to.para && p < layout.ParagraphCount(); ++p) {
            const CParagraph& para = layout.Paragraph(p);
            for (const CTextRow& row : para.rows) {
                const int a = std::max(row.first, p == from.para ? from.index : 0);
                const int b = std::min(row.end, p == to.para ? to.index
                                                             : static_cast<int>(para.text.size()));
                if (a >= b) continue;
                const CRect ca = layout.CaretRect({p, a}), cb = layout.CaretRect({p, b});
                const int right = b == row.end ? row.left + row.width : cb.left;
                painter.fillRect(QRect(box.left + ca.left, box.top + ca.top, right - ca.left,
                                       ca.Height()),
                                 Qt::white);
            }
        }
    } else if (editing.caretVisible) {
        const CRect c = layout.CaretRect(editing.caret);
        painter.fillRect(QRect(box.left + c.left, box.top + c.top, 1, std::max(1, c.Height())),
                         Qt::white);
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}
