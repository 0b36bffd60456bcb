// Keys: in-place text editing and moving the selection with the arrow keys;
// the context menu.
#include "editor/EditorContext.h"
#include "editor/EditorGeometry.h"
#include "editor/PlumeView.h"
#include "model/Guides.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/TextObject.h"
#include "services/Cp1252.h"
#include "services/StringTable.h"
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>

void CPlumeView::Beep() {
    ++m_beeps;
    QApplication::beep();
}

void CPlumeView::BeginTextEdit(CPageItem& item, const DPOINT* at) {
    auto* text = dynamic_cast<CTextObject*>(&item.Current());
    if (!text) return;
    if (text != m_editText) {
        EndTextEdit();
        m_editText = text;
        m_editItem = &item;
        m_textStepTaken = false;
        const CRect before = UnionRect(FeedbackArea(), item.GetRect());
        m_page->SelectOnly(item);
        if (!text->IsEditing()) text->BeginEditing();
        if (at) text->PlaceCaret(*at);
        RenderEdited();
        text->TakeChangedArea();
        RepaintPage(UnionRect(before, FeedbackArea()));
    } else if (at) {
        text->PlaceCaret(*at);
        RepaintPage(text->BoxRect());
    }
}

void CPlumeView::EndTextEdit() {
    if (!m_editText) return;
    CTextObject* text = m_editText;
    m_editText = nullptr;
    m_editItem = nullptr;
    CRect area = UnionRect(text->BoxRect(), text->GetRect());
    if (FinishTextEditing(*m_page, *text)) {
        text->PrepareAndRender(m_page->TileBuffer());
        area = UnionRect(area, text->GetRect());
    }
    // The text may be gone now: only the area is used from here on.
    RepaintPage(UnionRect(area, FeedbackArea()));
}

void CPlumeView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (m_keyMoving) EndMove(), m_keyMoving = false;
}

void CPlumeView::TakeTextStep() {
    // One text step per edit of an existing text, before its first change;
    // a new text records only its insert step when the edit ends.
    if (m_textStepTaken || m_editText->IsNew()) return;
    m_page->RecordUndo(EUndoKind::TextRecord);
    m_textStepTaken = true;
}

CPlumeView::CTextMark CPlumeView::MarkText() const {
    const CTextLayout& layout = m_editText->Layout();
    const CTextEditing& editing = m_editText->Editing();
    CTextMark mark;
    mark.box = m_editText->BoxRect();
    // The rows the caret or the selection highlight stand on.
    const CRect from = layout.CaretRect(editing.SelectionStart());
    const CRect to = layout.CaretRect(editing.SelectionEnd());
    mark.marked = CRect{mark.box.left, mark.box.top + from.top, mark.box.right,
                        mark.box.top + std::max(from.bottom, to.bottom)};
    return mark;
}

void CPlumeView::AfterTextChange(bool contentChanged, const CTextMark& before) {
    CRect area = UnionRect(before.box, m_editText->BoxRect());
    if (contentChanged) {
        m_editText->LayoutText();
        RenderEdited();
        m_page->MarkModified();
        const CRect box = m_editText->BoxRect();
        area = UnionRect(before.box, box);
        if (box == before.box) {
            // Only the rows the layout drew again, and the caret's and the
            // old selection's rows, change on the screen.
            const CRect band = m_editText->Layout().DrawnBand();
            area = before.marked;
            if (!band.IsEmpty())
                area = UnionRect(area, CRect{box.left, box.top + band.top, box.right,
                                             box.top + band.bottom});
            area = UnionRect(area, MarkText().marked);
        }
    }
    m_editText->TakeChangedArea();
    RepaintPage(area);
    emit inspectorNotify(pw::kNotifyTextChanged);
}

void CPlumeView::MoveCaretVertically(bool down, bool extend) {
    CTextLayout& layout = m_editText->Layout();
    const CRect caret = layout.CaretRect(m_editText->Editing().caret);
    const int y = down ? caret.bottom : caret.top - 1;
    if (y < 0) return;
    if (down) {
        // Below the last row the caret stays.
        const CParagraph& last = layout.Paragraph(layout.ParagraphCount() - 1);
        const int bottom = last.rows.empty() ? last.top + last.height
                                             : last.rows.back().top + last.rows.back().height;
        if (y >= bottom) return;
    }
    m_editText->Editing().MoveTo(layout, layout.HitTest(caret.left, y), extend);
}

void CPlumeView::InsertTyped(const QString& typed) {
    CTextEditing& editing = m_editText->Editing();
    CTextLayout& layout = m_editText->Layout();
    bool changed = false;
    const CTextMark before = MarkText();
    for (char32_t c : typed.toUcs4()) {
        uint8_t byte = 0;
        // What the code page cannot hold is refused, never stored as '?'.
        if (c < 0x20 || c == 0x7F || !cp1252::FromUnicode(c, byte)) {
            Beep();
            continue;
        }
        TakeTextStep();
        editing.InsertChar(layout, byte);
        changed = true;
    }
    if (changed) AfterTextChange(true, before);
}

bool CPlumeView::TextKey(QKeyEvent* event) {
    CTextEditing& editing = m_editText->Editing();
    CTextLayout& layout = m_editText->Layout();
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const CTextMark before = MarkText();
    switch (event->key()) {
    case Qt::Key_Home: editing.MoveHome(layout, extend); break;
    case Qt::Key_End: editing.MoveEnd(layout, extend); break;
    case Qt::Key_Left: editing.MoveLeft(layout, extend); break;
    case Qt::Key_Right: editing.MoveRight(layout, extend); break;
    case Qt::Key_Up: MoveCaretVertically(false, extend); break;
    case Qt::Key_Down: MoveCaretVertically(true, extend); break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
        return true;
    case Qt::Key_Delete:
        TakeTextStep();
        editing.DeleteForward(layout);
        AfterTextChange(true, before);
        return true;
    case Qt::Key_Backspace:
        TakeTextStep();
        editing.DeleteBackward(layout);
        AfterTextChange(true, before);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        TakeTextStep();
        editing.SplitParagraph(layout);
        AfterTextChange(true, before);
        return true;
    case Qt::Key_Escape:
        Beep();
        return true;
    default:
        if (event->text().isEmpty()) return false;
        if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
            // A line feed (Ctrl+J) only beeps; other shortcuts go to the menus.
            if (event->text() == QStringLiteral("\n")) Beep();
            return event->text() == QStringLiteral("\n");
        }
        InsertTyped(event->text());
        return true;
    }
    AfterTextChange(false, before);
    return true;
}

void CPlumeView::keyPressEvent(QKeyEvent* event) {
    if (m_editText) {
        if (!TextKey(event)) QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left: ArrowKeyMove(-1, 0); return;
    case Qt::Key_Right: ArrowKeyMove(1, 0); return;
    case Qt::Key_Up: ArrowKeyMove(0, -1); return;
    case Qt::Key_Down: ArrowKeyMove(0, 1); return;
    default: QAbstractScrollArea::keyPressEvent(event);
    }
}

void CPlumeView::ArrowKeyMove(int dx, int dy) {
    if (m_page->SelectedSetCount() == 0 || m_gesture != EGesture::None) return;
    // The first press of a run records the step; repeats only move.
    if (!m_keyMoving) {
        m_page->RecordUndo(EUndoKind::Move);
        m_keyMoving = true;
    }
    const CRect before = FeedbackArea();
    MoveSelectedBy(dx, dy);
    // The handles move along (a key run shows them).
    RepaintPage(UnionRect(before, FeedbackArea()));
    emit inspectorNotify(pw::kNotifyGeometry);
}

void CPlumeView::keyReleaseEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool arrow =
        key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    // Auto-repeat sends releases too; only the real one ends the run.
    if (arrow && m_keyMoving && !event->isAutoRepeat()) {
        m_keyMoving = false;
        EndMove();
        return;
    }
    QAbstractScrollArea::keyReleaseEvent(event);
}

void CPlumeView::contextMenuEvent(QContextMenuEvent* event) {
    if (m_gesture != EGesture::None) return;
    const QPoint p = ToPage(event->pos());
    if (p.x() < 0 || p.y() < 0 || p.x() >= m_page->Width() || p.y() >= m_page->Height()) return;
    m_menuPoint = p;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    PopulateContextMenu(*menu);
    menu->popup(event->globalPos());
}

void CPlumeView::PopulateContextMenu(QMenu& menu) {
    // The page commands that use the clicked point: guides go where the
    // click was.
    CPage& page = *m_page;
    const QPoint at = m_menuPoint;
    QAction* h = menu.addAction(QStringLiteral("Indsæt vandret hjælpelinie"), this, [this, at] {
        InsertGuide(*m_page, true, at.y());
    });
    h->setEnabled(CanInsertGuide(&page, true));
    QAction* v = menu.addAction(QStringLiteral("Indsæt lodret hjælpelinie"), this, [this, at] {
        InsertGuide(*m_page, false, at.x());
    });
    v->setEnabled(CanInsertGuide(&page, false));
    menu.addSeparator();
    QAction* use = menu.addAction(QStringLiteral("Brug hjælpelinier"), this,
                                  [this] { ToggleUseGuides(*m_page); });
    use->setCheckable(true);
    use->setChecked(page.useGuides);
    menu.addAction(QString::fromStdString(CStringTable::Get(HideGuidesMenuTextId(page))), this,
                   [this] { ToggleHideGuides(*m_page); });
    QAction* lock = menu.addAction(QStringLiteral("Lås hjælpelinier"), this, [this] {
        m_context->SetGuidesLocked(!m_context->GuidesLocked());
    });
    lock->setCheckable(true);
    lock->setChecked(m_context->GuidesLocked());
    QAction* remove = menu.addAction(QStringLiteral("Fjern hjælpelinier"), this,
                                     [this] { RemoveGuides(*m_page); });
    remove->setEnabled(!m_context->GuidesLocked() && CanRemoveGuides(&page));
}
