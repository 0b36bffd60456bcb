// The view's gestures while the button is held and at button up: moving,
// resizing, rotating, bands, guides and the shapes being drawn.
#include "editor/Clipboard.h"
#include "editor/EditorContext.h"
#include "editor/EditorGeometry.h"
#include "editor/PlumeView.h"
#include "model/Guides.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/TextObject.h"
#include "model/UndoCommands.h"
#include "services/StringIds.h"
#include "services/StringTable.h"
#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kWiggle = 2; // motion ignored right after a click selected something
constexpr int kMinTextWidth = 100;

double Dot(DPOINT a, DPOINT b) {
    return a.x * b.x + a.y * b.y;
}

DPOINT Unit(DPOINT from, DPOINT to) {
    const double dx = to.x - from.x, dy = to.y - from.y;
    const double len = std::sqrt(dx * dx + dy * dy);
    return len > 0 ? DPOINT{dx / len, dy / len} : DPOINT{1, 0};
}

int RoundHalfUp(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

// Every selected item, in stacking order.
std::vector<CPageItem*> SelectedItems(const CPage& page) {
    std::vector<CPageItem*> out;
    for (const auto& set : page.Sets())
        if (set->IsSelected()) out.insert(out.end(), set->Items().begin(), set->Items().end());
    return out;
}
} // namespace

void CPlumeView::mouseMoveEvent(QMouseEvent* event) {
    QPoint p = ToPage(event->position().toPoint());
    const bool inside = p.x() >= 0 && p.y() >= 0 && p.x() < m_page->Width() &&
                        p.y() < m_page->Height();
    emit pointerMoved(p.x(), p.y(), inside);
    if (m_context->Tool() == ETool::Pipette && m_gesture == EGesture::None) {
        SetCursorId(pw::kCursorPipette);
        Pipette(p, false);
        return;
    }
    switch (m_gesture) {
    case EGesture::None: UpdateCursor(p); return;
    case EGesture::Move:
        if (LeavesForAnotherWindow(event->position().toPoint(), event->globalPosition().toPoint())) {
            DragOut();
            return;
        }
        AutoScroll(event->position().toPoint());
        MoveSelection(p);
        return;
    case EGesture::Band: UpdateBand(p); return;
    case EGesture::Guide: {
        const int32_t at = m_guideHorizontal ? p.y() : p.x();
        const int32_t old = m_page->GuideAt(m_guideHorizontal, m_guideIndex);
        if (at == old) return;
        m_page->SetGuideAt(m_guideHorizontal, m_guideIndex, at);
        m_page->MarkModified();
        const CRect strip = m_guideHorizontal
                                ? CRect{0, std::min(at, old) - 3, m_page->Width(), std::max(at, old) + 4}
                                : CRect{std::min(at, old) - 3, 0, std::max(at, old) + 4, m_page->Height()};
        RepaintPage(strip);
        m_changed = true;
        return;
    }
    default: break;
    }
    // The rest works on a point inside the page.
    p.setX(std::clamp(p.x(), 0, m_page->Width() - 1));
    p.setY(std::clamp(p.y(), 0, m_page->Height() - 1));
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (m_gesture) {
    case EGesture::Resize:
        if (!m_editText && !SingleSet()) break;
        SetStatus(QString::fromStdString(CStringTable::Get(IDS_HINT_RESIZE_KEYS)));
        if (m_editText || SingleSet()->Count() == 1)
            ResizeSingle(p, shift, ctrl);
        else
            ResizeSet(p);
        break;
    case EGesture::Rotate:
        if (SingleSet()) Rotate(p, ctrl);
        break;
    case EGesture::Create: {
        const CRect before = m_created->GetRect();
        const pw::CShapeSpan span =
            pw::SpanShape(DPOINT{1.0 * m_anchor.x(), 1.0 * m_anchor.y()}, p.x(), p.y(), shift);
        m_created->Current().SetCenter(span.centre);
        if (CPageObject* twin = m_created->Other()) twin->SetCenter(span.centre);
        m_created->Current().SetSize(span.width, span.height);
        RepaintPage(UnionRect(before, m_created->GetRect()));
        emit inspectorNotify(pw::kNotifyGeometry);
        break;
    }
    case EGesture::Follow: {
        const CRect before = m_created->GetRect();
        m_created->Current().SetCenter(DPOINT{1.0 * p.x(), 1.0 * p.y()});
        RepaintPage(UnionRect(before, m_created->GetRect()));
        break;
    }
    case EGesture::PictureBand:
    case EGesture::HtmlBand:
    case EGesture::TextArea: {
        const QRect old = QRect(m_anchor, m_bandEnd).normalized();
        m_bandEnd = p;
        const QRect now = QRect(m_anchor, m_bandEnd).normalized();
        QRect both = old.united(now);
        if (m_gesture == EGesture::TextArea)
            both.setBottom(std::max(both.bottom(), m_anchor.y() + m_textAreaHeight));
        RepaintPage(CRect{both.left(), both.top(), both.right() + 1, both.bottom() + 1});
        break;
    }
    case EGesture::TextSelect: {
        const CRect box = m_editText->BoxRect();
        CTextLayout& layout = m_editText->Layout();
        m_editText->Editing().MoveTo(layout, layout.HitTest(p.x() - box.left, p.y() - box.top),
                                     true);
        RepaintPage(box);
        break;
    }
    default: break;
    }
}

bool CPlumeView::LeavesForAnotherWindow(QPoint v, QPoint global) const {
    const QRect r = viewport()->rect();
    if (r.contains(v) || m_editText) return false;
    // Over another page window: the selection goes there.
    for (QWidget* w = QApplication::widgetAt(global); w; w = w->parentWidget())
        if (auto* other = qobject_cast<CPlumeView*>(w)) return other != this;
    // Past an edge the page cannot scroll towards: automatic scrolling has
    // nothing to bring, so the selection leaves the window.
    const QScrollBar* h = horizontalScrollBar();
    const QScrollBar* vb = verticalScrollBar();
    return (v.x() < r.left() && h->value() == h->minimum()) ||
           (v.x() > r.right() && h->value() == h->maximum()) ||
           (v.y() < r.top() && vb->value() == vb->minimum()) ||
           (v.y() > r.bottom() && vb->value() == vb->maximum());
}

void CPlumeView::DragOut() {
    // A copy leaves; the selection here goes back to where it was.
    m_gesture = EGesture::None;
    if (m_moveStepTaken) UndoCommand(m_page);
    m_moveStepTaken = false;
    m_changed = false;
    m_justSelected = false;
    std::unique_ptr<QMimeData> data = pw::editor_clipboard::DragData(*m_page);
    RepaintAll();
    if (!data) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data.release());
    drag->exec(Qt::CopyAction);
    SetCursorId(pw::kCursorArrow);
}

void CPlumeView::AutoScroll(QPoint v) {
    // Dragging past the window edge scrolls the page towards the pointer and
    // keeps the pointer on the edge.
    const QRect r = viewport()->rect();
    const int dx = v.x() < r.left() ? v.x() - r.left() : v.x() > r.right() ? v.x() - r.right() : 0;
    const int dy = v.y() < r.top() ? v.y() - r.top() : v.y() > r.bottom() ? v.y() - r.bottom() : 0;
    if (!dx && !dy) return;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + dx);
    verticalScrollBar()->setValue(verticalScrollBar()->value() + dy);
    const QPoint edge(std::clamp(v.x(), r.left(), r.right()), std::clamp(v.y(), r.top(), r.bottom()));
    QCursor::setPos(viewport()->mapToGlobal(edge));
}

void CPlumeView::MoveSelection(QPoint p) {
    if (m_justSelected) {
        if (std::abs(p.x() - m_anchor.x()) <= kWiggle && std::abs(p.y() - m_anchor.y()) <= kWiggle)
            return;
        m_justSelected = false;
    }
    int32_t dx = p.x() - m_last.x(), dy = p.y() - m_last.y();
    if (!dx && !dy) return;
    if (!m_moveStepTaken) {
        m_page->RecordUndo(EUndoKind::Move);
        m_moveStepTaken = true;
    }
    SnapToGuides(*m_page, dx, dy);
    m_last = p;
    if (!dx && !dy) return;
    MoveSelectedBy(dx, dy);
    m_changed = true;
    if (m_editText) RepaintPage(m_editText->BoxRect());
    emit inspectorNotify(m_editText ? pw::kNotifyTextGeometry : pw::kNotifyGeometry);
}

void CPlumeView::MoveSelectedBy(int32_t dx, int32_t dy) {
    // Each item repaints where it was and where it is now: a selection
    // spread over the page leaves the rest alone.
    const std::vector<CPageItem*> moved = SelectedItems(*m_page);
    std::vector<CRect> before;
    before.reserve(moved.size());
    for (CPageItem* item : moved)
        before.push_back(item->GetRect());
    for (const auto& set : m_page->Sets())
        if (set->IsSelected()) set->MoveBy(dx, dy);
    m_page->MarkModified();
    // While the mouse drags them no handles are drawn (they went at the
    // button-down): the items' own areas are all that change.
    const bool feedback = m_gesture != EGesture::Move;
    for (std::size_t i = 0; i < moved.size(); ++i)
        RepaintPage(UnionRect(before[i], moved[i]->GetRect()), feedback);
}

void CPlumeView::ResizeSingle(QPoint p, bool shift, bool ctrl) {
    CObjectSet* set = SingleSet();
    CPageItem* item = m_editText ? m_editItem : set->Items().front();
    CPageObject& object = item->Current();
    const bool frameMode = m_editText && &object == m_editText;
    const CRect before = UnionRect(FeedbackArea(), object.GetRect());
    const DPOINT* h = object.GetHandles();
    const DPOINT anchor = h[pw::OppositeHandle(m_handle)];
    const DPOINT n = Unit(anchor, h[m_handle]);
    CObjectSize size = object.GetSize();
    if (!m_lastCtrl) m_ratio = static_cast<double>(size.width) / std::max(1, size.height);
    m_lastCtrl = ctrl;

    double length = Dot(DPOINT{p.x() - anchor.x, p.y() - anchor.y}, n);
    bool flipped = false;
    if (length < 0) {
        if (frameMode)
            length = 1;
        else
            flipped = true;
    }
    const int magnitude = std::max(1, static_cast<int>(std::abs(length)));
    const bool vertical = m_handle == 1 || m_handle == 6;
    if (vertical)
        size.height = magnitude;
    else
        size.width = magnitude;
    if (shift) {
        if (vertical)
            size.width = size.height;
        else
            size.height = size.width;
    } else if (ctrl) {
        if (vertical)
            size.width = static_cast<int32_t>(size.height * m_ratio);
        else
            size.height = static_cast<int32_t>(size.width / m_ratio);
    }
    const CObjectSize lo = object.GetMinSize(), hi = object.GetMaxSize();
    size.width = std::clamp(size.width, lo.width, std::max(lo.width, hi.width));
    size.height = std::clamp(size.height, lo.height, std::max(lo.height, hi.height));
    const double dragged = (vertical ? size.height : size.width) * (flipped ? -1.0 : 1.0);
    DPOINT centre{anchor.x + n.x * dragged / 2, anchor.y + n.y * dragged / 2};
    if (item->IsEditingMouseOver()) {
        centre.x -= object.GetOffsetX();
        centre.y -= object.GetOffsetY();
    }
    item->Normal().SetCenter(centre);
    if (CPageObject* twin = item->MouseOver()) twin->SetCenter(centre);
    object.SetSize(size);
    if (flipped) m_handle = pw::OppositeHandle(m_handle);
    if (frameMode) RenderEdited();
    if (CObjectSet* own = item->Set()) own->Recompute();
    m_changed = true;
    RepaintPage(UnionRect(before, UnionRect(FeedbackArea(), object.GetRect())));
    emit inspectorNotify(object.GetKind() == KIND_TEXT ? pw::kNotifyTextGeometry
                                                       : pw::kNotifyGeometry);
}

void CPlumeView::ResizeSet(QPoint p) {
    // The frame keeps its proportions; every member keeps its place and size
    // relative to the frame as they were when the drag started.
    CObjectSet* set = SingleSet();
    const CRect before = FeedbackArea();
    const DPOINT* h = set->Handles();
    const DPOINT anchor = h[pw::OppositeHandle(m_handle)];
    const DPOINT n = Unit(anchor, h[m_handle]);
    const double length = std::max(1.0, Dot(DPOINT{p.x() - anchor.x, p.y() - anchor.y}, n));
    const bool vertical = m_handle == 1 || m_handle == 6;
    const double aspect = m_frameW0 / m_frameH0;
    const int dragged = static_cast<int>(length);
    const int other = std::max(1, RoundHalfUp(vertical ? dragged * aspect : dragged / aspect));
    const double w = vertical ? other : dragged, hgt = vertical ? dragged : other;
    const DPOINT centre{anchor.x + n.x * dragged / 2.0, anchor.y + n.y * dragged / 2.0};
    const double sx = w / m_frameW0, sy = hgt / m_frameH0;
    const double angle = set->IsGroup() ? set->Angle() : 0.0;
    const CSetTransformState& t = set->transform;
    for (std::size_t i = 0; i < set->Items().size() && i < t.startCentres.size(); ++i) {
        CPageItem* item = set->Items()[i];
        const DPOINT rel = RotateAbout(DPOINT{}, t.startCentres[i].x - m_setCentre0.x,
                                       t.startCentres[i].y - m_setCentre0.y, -angle);
        const DPOINT turned = RotateAbout(DPOINT{}, rel.x * sx, rel.y * sy, angle);
        const DPOINT c{centre.x + turned.x, centre.y + turned.y};
        item->Current().SetSize(std::max(1, RoundHalfUp(t.startSizes[i].x * sx)),
                                std::max(1, RoundHalfUp(t.startSizes[i].y * sy)));
        item->Current().SetCenter(c);
        if (CPageObject* twin = item->Other()) twin->SetCenter(c);
    }
    set->Recompute();
    m_changed = true;
    RepaintPage(UnionRect(before, FeedbackArea()));
    emit inspectorNotify(pw::kNotifyGeometry);
}

void CPlumeView::Rotate(QPoint p, bool ctrl) {
    CObjectSet* set = SingleSet();
    const CRect before = FeedbackArea();
    const double pointer =
        pw::NormalAngle(std::atan2(p.y() - m_setCentre0.y, p.x() - m_setCentre0.x));
    double angle = pw::DragAngle(m_startAngle, m_pointerAngle0, pointer);
    if (ctrl) angle = pw::SnapAngle(angle);
    const CSetTransformState& t = set->transform;
    const bool single = set->Count() == 1 && !set->IsGroup();
    bool text = false;
    for (std::size_t i = 0; i < set->Items().size() && i < t.startCentres.size(); ++i) {
        CPageItem* item = set->Items()[i];
        text = text || item->Current().GetKind() == KIND_TEXT;
        if (single) {
            item->Current().SetAngle(angle);
            if (CPageObject* twin = item->Other()) twin->SetAngle(angle);
            continue;
        }
        // A set turns about its frame's centre, each member with it.
        const double delta = angle - m_startAngle;
        const DPOINT c = RotateAbout(m_setCentre0, t.startCentres[i].x, t.startCentres[i].y, delta);
        item->Current().SetCenter(c);
        if (item->Current().CanRotate())
            item->Current().SetAngle(pw::NormalAngle(t.startAngles[i] + delta));
    }
    if (single)
        set->Recompute();
    else
        set->SetAngle(angle);
    m_changed = true;
    RepaintPage(UnionRect(before, FeedbackArea()));
    emit inspectorNotify(text ? pw::kNotifyTextGeometry : pw::kNotifyGeometry);
}

QRect CPlumeView::BandRect() const {
    return QRect(std::min(m_anchor.x(), m_bandEnd.x()), std::min(m_anchor.y(), m_bandEnd.y()),
                 std::abs(m_bandEnd.x() - m_anchor.x()), std::abs(m_bandEnd.y() - m_anchor.y()));
}

void CPlumeView::UpdateBand(QPoint p) {
    const QRect old = QRect(m_anchor, m_bandEnd).normalized();
    m_bandEnd = p;
    const QRect band = QRect(m_anchor, m_bandEnd).normalized();
    // Every group with a member whose outline meets the band, and every
    // loose item that does, is selected; all others are not.
    std::vector<CPageItem*> loose;
    std::vector<CObjectSet*> groups;
    for (const auto& holder : m_page->Items()) {
        DPOINT quad[4];
        pw::OutlineOf(holder->Current().GetHandles(), quad);
        if (!pw::QuadIntersectsRect(quad, band.left(), band.top(), band.right(), band.bottom()))
            continue;
        CObjectSet* set = holder->Set();
        if (set && set->IsGroup())
            groups.push_back(set);
        else
            loose.push_back(holder.get());
    }
    m_page->DeselectAll();
    for (CObjectSet* group : groups)
        group->SetSelected(true);
    if (!loose.empty()) m_page->AppendSet(std::make_unique<CObjectSet>(loose));
    const QRect both = old.united(band);
    RepaintPage(CRect{both.left(), both.top(), both.right() + 1, both.bottom() + 1});
}

// ------------------------------------------------------------ button up

void CPlumeView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_gesture == EGesture::None) return;
    EndGesture(ToPage(event->position().toPoint()));
    UpdateCursor(ToPage(event->position().toPoint()));
}

void CPlumeView::EndMove() {
    // Moved, resized or turned items draw their final picture now.
    for (CPageItem* item : SelectedItems(*m_page)) {
        if (&item->Current() == m_editText) continue;
        const CRect before = item->GetRect();
        item->Current().PrepareAndRender(m_page->TileBuffer());
        RepaintPage(UnionRect(before, item->GetRect()));
    }
    for (const auto& set : m_page->Sets())
        if (set->IsSelected()) set->transform = {};
}

void CPlumeView::EndGesture(QPoint p) {
    const EGesture gesture = m_gesture;
    const CRect bandArea = [&] {
        const QRect r = QRect(m_anchor, m_bandEnd).normalized();
        return CRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1 + m_textAreaHeight};
    }();
    m_gesture = EGesture::None;
    bool keepTool = false;
    switch (gesture) {
    case EGesture::Move:
    case EGesture::Resize:
    case EGesture::Rotate:
        EndMove();
        keepTool = m_editText != nullptr;
        if (m_editText) RenderEdited();
        break;
    case EGesture::Create:
    case EGesture::Follow:
        m_created->Current().PrepareAndRender(m_page->TileBuffer());
        m_created = nullptr;
        break;
    case EGesture::PictureBand: FinishPicture(); break;
    case EGesture::HtmlBand: FinishHtml(); break;
    case EGesture::TextArea: {
        keepTool = true;
        const int width = std::max(kMinTextWidth, m_bandEnd.x() - m_anchor.x());
        const int height = m_textAreaHeight;
        auto made = std::make_unique<CTextObject>(
            DPOINT{m_anchor.x() + width / 2.0, m_anchor.y() + height / 2.0},
            CObjectSize{width, height});
        CTextObject* text = made.get();
        text->SetNew(true);
        text->BeginEditing();
        text->SetSize(width, height);
        CPageItem& item = m_page->InsertItem(std::move(made));
        m_page->SelectOnly(item);
        BeginTextEdit(item);
        m_changed = true;
        emit inspectorNotify(pw::kNotifySelection);
        break;
    }
    case EGesture::TextSelect: keepTool = true; break;
    case EGesture::Guide: {
        keepTool = true;
        const int32_t at = m_guideHorizontal ? p.y() : p.x();
        const int32_t extent = m_guideHorizontal ? m_page->Height() : m_page->Width();
        // A guide let go outside the page is removed.
        if (at < 0 || at >= extent)
            m_page->RemoveGuide(m_guideHorizontal, m_guideIndex);
        else
            m_page->SetGuideAt(m_guideHorizontal, m_guideIndex, at);
        m_page->SortGuides();
        m_page->MarkModified();
        RepaintAll();
        m_changed = true;
        break;
    }
    default: break;
    }
    m_justSelected = false;
    m_textFrameHandle = -1;
    m_handle = -1;
    if (bandArea.Width() > 0) RepaintPage(bandArea);
    RepaintPage(FeedbackArea());
    if (!keepTool) m_context->SetTool(ETool::Arrow);
    if (!m_changed) emit inspectorNotify(pw::kNotifyNothingChanged);
}

void CPlumeView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_context->Tool() != ETool::Arrow) {
        mousePressEvent(event);
        return;
    }
    const QPoint p = ToPage(event->position().toPoint());
    CPageItem* item = ItemAt(p);
    if (!item) {
        mousePressEvent(event);
        return;
    }
    if (item->Current().GetKind() == KIND_TEXT) {
        if (m_gesture != EGesture::None) EndGesture(p);
        const DPOINT at{1.0 * p.x(), 1.0 * p.y()};
        if (&item->Current() != m_editText) BeginTextEdit(*item, &at);
        return;
    }
    if (item->Current().GetKind() == KIND_HTML) {
        if (m_gesture != EGesture::None) EndGesture(p);
        m_page->SelectOnly(*item);
        OpenHtmlEditor();
        return;
    }
    mousePressEvent(event);
}
