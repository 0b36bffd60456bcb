#include "model/UndoCommands.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include <cstdlib>

namespace {
bool Usable(const CPage* page) {
    return page && !page->IsEditingText();
}

void AfterStep(CPage& page) {
    // A step may touch any item, the background and the page size: render
    // whatever went stale and show all of it.
    page.RenderAll();
    page.Repaint();
    page.ItemsChanged();
    page.SelectionChanged();
}
} // namespace

bool CanUndoCommand(const CPage* page) {
    return Usable(page) && page->History().CanUndo();
}

bool CanRedoCommand(const CPage* page) {
    return Usable(page) && page->History().CanRedo();
}

bool UndoCommand(CPage* page) {
    if (!CanUndoCommand(page) || !page->History().Undo()) return false;
    AfterStep(*page);
    return true;
}

bool RedoCommand(CPage* page) {
    if (!CanRedoCommand(page) || !page->History().Redo()) return false;
    AfterStep(*page);
    return true;
}

void CDragUndo::Press(int32_t x, int32_t y) {
    m_pressed = true;
    m_recorded = false;
    m_x = x;
    m_y = y;
}

bool CDragUndo::Move(CPage& page, int32_t x, int32_t y) {
    if (!m_pressed) return false;
    if (m_recorded) return true;
    if (std::abs(x - m_x) < kThreshold && std::abs(y - m_y) < kThreshold) return false;
    page.RecordUndo(EUndoKind::Move);
    m_recorded = true;
    return true;
}
