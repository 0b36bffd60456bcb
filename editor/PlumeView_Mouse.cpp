// The view's mouse gestures: which tool does what at button down, while
// dragging and at button up.
#include "editor/Cursors.h"
#include "editor/EditorContext.h"
#include "editor/EditorGeometry.h"
#include "editor/PlumeView.h"
#include "model/CounterObject.h"
#include "model/FormObject.h"
#include "model/Guides.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/TextObject.h"
#include "render/PageRenderer.h"
#include "services/CurrentSettings.h"
#include "services/Settings.h"
#include "services/StringIds.h"
#include "services/StringTable.h"
#include <QCursor>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kGuideReach = 2;   // pixels either side of a guide that pick it

QString Text(int id) {
    return QString::fromStdString(CStringTable::Get(id));
}

double Length(DPOINT v) {
    return std::sqrt(v.x * v.x + v.y * v.y);
}

bool IsText(const CPageObject& object) {
    return object.GetKind() == KIND_TEXT;
}
} // namespace

// ------------------------------------------------------------ look-ups

CObjectSet* CPlumeView::SingleSet() const {
    return m_page->SingleSelectedSet();
}

const DPOINT* CPlumeView::SelectionHandles() const {
    CObjectSet* set = SingleSet();
    if (!set) return nullptr;
    // A lone item shows (and is dragged by) its own, turned handles.
    if (set->Count() == 1 && !set->IsGroup()) return set->Items().front()->Current().GetHandles();
    return set->Handles();
}

CPageItem* CPlumeView::ItemAt(QPoint p) const {
    // Front to back: the topmost item under the pointer.
    const auto& items = m_page->Items();
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        DPOINT quad[4];
        pw::OutlineOf((*it)->Current().GetHandles(), quad);
        if (pw::QuadContains(quad, p.x(), p.y())) return it->get();
    }
    return nullptr;
}

int CPlumeView::GuideAt(QPoint p, bool& horizontal) const {
    // Hidden or locked guides cannot be picked: the click goes to what lies
    // under them.
    if (m_page->guidesHidden || m_context->GuidesLocked()) return -1;
    for (int h = 1; h >= 0; --h) {
        const auto& guides = m_page->Guides(h != 0);
        for (int i = 0; i < static_cast<int>(guides.size()); ++i) {
            if (std::abs((h ? p.y() : p.x()) - guides[static_cast<std::size_t>(i)]) <= kGuideReach) {
                horizontal = h != 0;
                return i;
            }
        }
    }
    return -1;
}

int CPlumeView::HandleAt(QPoint p, bool& textFrame) const {
    textFrame = false;
    if (m_editText) {
        // The edited text's frame: top and bottom move it, the sides widen it.
        const DPOINT* h = m_editText->GetHandles();
        for (int k : {1, 3, 4, 6})
            if (pw::HitsHandle(p.x(), p.y(), h[k], true)) {
                textFrame = true;
                return k;
            }
        return -1;
    }
    const DPOINT* h = SelectionHandles();
    if (!h) return -1;
    for (int k = 0; k < 8; ++k)
        if (pw::HitsHandle(p.x(), p.y(), h[k], false)) return k;
    return -1;
}

// ------------------------------------------------------------ feedback

void CPlumeView::SetCursorId(int id) {
    if (id == m_cursorId) return;
    m_cursorId = id;
    viewport()->setCursor(pw::EditorCursor(id, devicePixelRatioF()));
}

void CPlumeView::SetStatus(const QString& text) {
    if (text == m_status) return;
    m_status = text;
    emit statusText(text);
}

void CPlumeView::UpdateCursor(QPoint p) {
    const ETool tool = m_context->Tool();
    if (tool == ETool::Pipette) {
        SetCursorId(pw::kCursorPipette);
        return;
    }
    bool frame = false;
    if (m_editText) {
        const int h = HandleAt(p, frame);
        if (h == 1 || h == 6) {
            SetCursorId(pw::kCursorMove);
            SetStatus(Text(IDS_HINT_MOVE_TEXT_AREA));
        } else if (h == 3 || h == 4) {
            SetCursorId(pw::kCursorSizeWE);
            SetStatus(Text(IDS_HINT_TEXT_WIDTH));
        } else if (CPageItem* item = ItemAt(p); item && IsText(item->Current())) {
            SetCursorId(pw::kCursorText);
            SetStatus({});
        } else {
            SetCursorId(tool == ETool::Text ? pw::kCursorText : pw::kCursorArrow);
            SetStatus({});
        }
        return;
    }
    if (tool == ETool::Text) {
        CPageItem* item = ItemAt(p);
        SetCursorId(pw::kCursorText);
        SetStatus(item && IsText(item->Current()) ? Text(IDS_HINT_EDIT_TEXT) : QString());
        return;
    }
    if (tool != ETool::Arrow) {
        SetCursorId(pw::kCursorArrow);
        SetStatus({});
        return;
    }
    bool horizontal = false;
    if (GuideAt(p, horizontal) >= 0) {
        SetCursorId(horizontal ? pw::kCursorGuideHorizontal : pw::kCursorGuideVertical);
        SetStatus({});
        return;
    }
    if (CObjectSet* set = SingleSet()) {
        const int h = HandleAt(p, frame);
        if ((h == 1 || h == 3 || h == 4 || h == 6) && set->CanScale()) {
            SetCursorId(pw::ResizeCursorFor(SelectionHandles(), h));
            SetStatus(Text(IDS_HINT_RESIZE));
            return;
        }
        if ((h == 0 || h == 2 || h == 5 || h == 7) && set->CanRotate()) {
            SetCursorId(pw::kCursorRotate);
            SetStatus(Text(IDS_HINT_ROTATE));
            return;
        }
    }
    if (CPageItem* item = ItemAt(p); item && item->IsSelected()) {
        SetCursorId(pw::kCursorMove);
        SetStatus(Text(IDS_HINT_MOVE));
        return;
    }
    SetCursorId(pw::kCursorArrow);
    SetStatus({});
}

void CPlumeView::Pipette(QPoint p, bool pick) {
    uint8_t argb[4] = {255, 255, 255, 255};
    if (p.x() >= 0 && p.y() >= 0 && p.x() < m_page->Width() && p.y() < m_page->Height()) {
        RenderRegion(*m_page, CRect{p.x(), p.y(), p.x() + 1, p.y() + 1}, argb, 4);
    }
    SetStatus(Text(IDS_HINT_PIPETTE) +
              QString::asprintf("   (%3d,%3d,%3d)", argb[1], argb[2], argb[3]));
    if (pick) m_context->SetPickedColor(CColor(argb[1], argb[2], argb[3]));
}

// ------------------------------------------------------------ button down

void CPlumeView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton || m_gesture != EGesture::None) return;
    const QPoint p = ToPage(event->position().toPoint());
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const ETool tool = m_context->Tool();
    const bool inside = p.x() >= 0 && p.y() >= 0 && p.x() < m_page->Width() &&
                        p.y() < m_page->Height();
    if (!inside && tool != ETool::Arrow) return;
    m_anchor = m_last = m_bandEnd = p;
    m_changed = false;
    m_justSelected = false;
    m_moveStepTaken = false;
    switch (tool) {
    case ETool::Arrow: ArrowPress(p, shift, ctrl); break;
    case ETool::Text: TextPress(p); break;
    case ETool::Rectangle:
    case ETool::Circle:
        EndTextEdit();
        m_created = m_page->CreateFromTool(tool, DPOINT{1.0 * p.x(), 1.0 * p.y()});
        if (!m_created) return;
        m_gesture = EGesture::Create;
        m_changed = true;
        break;
    case ETool::Counter:
    case ETool::Form: {
        EndTextEdit();
        std::unique_ptr<CPageObject> object;
        const DPOINT at{1.0 * p.x(), 1.0 * p.y()};
        if (tool == ETool::Counter)
            object = std::make_unique<CCounterObject>(0, at);
        else
            object = std::make_unique<CFormObject>(std::string(), at);
        CPageItem& item = m_page->InsertItem(std::move(object));
        m_page->SelectOnly(item);
        m_page->RecordUndo(EUndoKind::Insert);
        m_created = &item;
        m_gesture = EGesture::Follow;
        m_changed = true;
        item.Current().PrepareAndRender(m_page->TileBuffer());
        RepaintPage(item.GetRect());
        emit inspectorNotify(pw::kNotifyGeometry);
        break;
    }
    case ETool::Picture:
    case ETool::Html:
        EndTextEdit();
        m_gesture = tool == ETool::Picture ? EGesture::PictureBand : EGesture::HtmlBand;
        emit inspectorNotify(pw::kNotifySelection);
        break;
    case ETool::Pipette: Pipette(p, true); break;
    }
}

void CPlumeView::ArrowPress(QPoint p, bool shift, bool ctrl) {
    bool frame = false;
    if (m_editText) {
        const int h = HandleAt(p, frame);
        if (h >= 0) {
            m_textFrameHandle = h;
            // A new text has no undo step yet that the move could follow.
            m_moveStepTaken = m_editText->IsNew();
            if (h == 1 || h == 6) {
                m_gesture = EGesture::Move;
            } else {
                if (!m_moveStepTaken) m_page->RecordUndo(EUndoKind::Move);
                m_handle = h;
                m_lastCtrl = false;
                m_gesture = EGesture::Resize;
            }
            SetCursorId(h == 1 || h == 6 ? pw::kCursorMove : pw::kCursorSizeWE);
            return;
        }
        const CRect box = m_editText->BoxRect();
        if (box.Contains(p.x(), p.y())) {
            m_editText->PlaceCaret(DPOINT{1.0 * p.x(), 1.0 * p.y()});
            m_gesture = EGesture::TextSelect;
            RepaintPage(box);
            return;
        }
        EndTextEdit();
    }
    bool horizontal = false;
    if (const int guide = GuideAt(p, horizontal); guide >= 0) {
        m_gesture = EGesture::Guide;
        m_guideHorizontal = horizontal;
        m_guideIndex = guide;
        return;
    }
    CPageItem* item = ItemAt(p);
    if (CObjectSet* set = SingleSet()) {
        const int h = HandleAt(p, frame);
        if (h < 0 && (shift || ctrl) && !item) return;
        if ((h == 1 || h == 3 || h == 4 || h == 6) && set->CanScale()) {
            m_page->RecordUndo(EUndoKind::Move);
            m_handle = h;
            m_lastCtrl = false;
            m_gesture = EGesture::Resize;
            BeginSetTransform(false);
            emit inspectorNotify(pw::kNotifyGeometry);
            return;
        }
        if ((h == 0 || h == 2 || h == 5 || h == 7) && set->CanRotate()) {
            m_page->RecordUndo(EUndoKind::Move);
            m_gesture = EGesture::Rotate;
            BeginSetTransform(true);
            SetStatus(Text(IDS_HINT_ROTATE_KEYS));
            emit inspectorNotify(pw::kNotifyGeometry);
            return;
        }
    }
    const CRect before = FeedbackArea();
    if (!item) {
        m_page->DeselectAll();
        m_gesture = EGesture::Band;
    } else if (ctrl) {
        if (item->IsSelected()) {
            CObjectSet* set = item->Set();
            if (set->IsGroup()) {
                set->SetSelected(false);
            } else {
                set->Remove(item);
                if (set->Count() == 0) m_page->RemoveSet(*set);
            }
        }
    } else if (shift) {
        m_page->AddToSelection(*item);
    } else {
        if (!item->IsSelected()) {
            m_page->SelectOnly(*item);
            m_justSelected = true;
        }
        m_gesture = EGesture::Move;
        SetCursorId(pw::kCursorMove);
    }
    RepaintPage(UnionRect(before, FeedbackArea()));
    emit inspectorNotify(pw::kNotifySelection);
}

void CPlumeView::TextPress(QPoint p) {
    CPageItem* item = ItemAt(p);
    bool frame = false;
    if (m_editText && HandleAt(p, frame) >= 0) {
        ArrowPress(p, false, false);
        return;
    }
    if (item && IsText(item->Current())) {
        const DPOINT at{1.0 * p.x(), 1.0 * p.y()};
        if (&item->Current() == m_editText) {
            m_editText->PlaceCaret(at);
            RepaintPage(m_editText->BoxRect());
        } else {
            BeginTextEdit(*item, &at);
        }
        m_gesture = EGesture::TextSelect;
        return;
    }
    if (m_editText) {
        EndTextEdit();
        emit inspectorNotify(pw::kNotifySelection);
        m_context->SetTool(ETool::Arrow);
        return;
    }
    const CRect before = FeedbackArea();
    m_page->DeselectAll();
    RepaintPage(before);
    // The area is one line of the default font high, in screen pixels.
    const int points = CurrentSettings().GetDefaultFontSize();
    m_textAreaHeight = (points * logicalDpiY() + 36) / 72 + 6;
    m_gesture = EGesture::TextArea;
    RepaintPage(CRect{p.x(), p.y(), p.x() + 1, p.y() + m_textAreaHeight});
}

void CPlumeView::BeginSetTransform(bool rotating) {
    CObjectSet* set = SingleSet();
    if (!set) return;
    const DPOINT* h = SelectionHandles();
    m_setCentre0 = {(h[0].x + h[7].x) / 2, (h[0].y + h[7].y) / 2};
    m_frameW0 = std::max(1.0, Length({h[2].x - h[0].x, h[2].y - h[0].y}));
    m_frameH0 = std::max(1.0, Length({h[5].x - h[0].x, h[5].y - h[0].y}));
    CSetTransformState& t = set->transform;
    t = {};
    t.rotating = rotating;
    t.scaling = !rotating;
    for (CPageItem* item : set->Items()) {
        const CObjectSize size = item->Current().GetSize();
        t.startCentres.push_back(item->Current().GetCenter());
        t.startAngles.push_back(item->Current().GetAngle());
        t.startSizes.push_back({1.0 * size.width, 1.0 * size.height});
    }
    m_startAngle = set->Count() == 1 && !set->IsGroup() ? set->Items().front()->Current().GetAngle()
                                                       : set->Angle();
    t.startAngle = m_startAngle;
    m_pointerAngle0 = pw::NormalAngle(std::atan2(m_anchor.y() - m_setCentre0.y, m_anchor.x() - m_setCentre0.x));
}
