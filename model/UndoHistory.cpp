#include "model/UndoHistory.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/UndoSnapshots.h"
#include <algorithm>

CUndoHistory::CUndoHistory(CPage& page, int capacity)
    : m_page(&page), m_steps(static_cast<std::size_t>(std::max(capacity, 1))) {}

CUndoHistory::~CUndoHistory() {
    // Steps first: they may hold items, and nothing in a step reaches into
    // another when it goes.
    for (auto& step : m_steps)
        step.reset();
    m_strays.clear();
}

int CUndoHistory::Wrap(int slot) const {
    const int n = Capacity();
    return ((slot % n) + n) % n;
}

void CUndoHistory::DropRedoSteps() {
    for (int k = 1; k <= m_redoCount; ++k)
        m_steps[static_cast<std::size_t>(Wrap(m_current + k))].reset();
    m_redoCount = 0;
}

void CUndoHistory::Record(EUndoKind kind) {
    if (kind == EUndoKind::Withdraw) {
        if (m_undoCount == 0) return;
        // The steps after the withdrawn one would no longer follow on from
        // the page's state: they go with it.
        DropRedoSteps();
        m_steps[static_cast<std::size_t>(m_current)].reset();
        m_current = Wrap(m_current - 1);
        --m_undoCount;
        ++m_generation;
        return;
    }
    // Taken before the ring changes: if it cannot be made the history stays
    // as it was.
    std::unique_ptr<CUndoSnapshot> step = MakeUndoSnapshot(*m_page, kind);
    DropRedoSteps();
    m_current = Wrap(m_current + 1);
    if (++m_undoCount > Capacity()) m_undoCount = Capacity();
    // The slot holds the oldest step when the ring is full.
    m_steps[static_cast<std::size_t>(m_current)] = std::move(step);
    ++m_generation;
    m_page->SetPublishPending(true);
    m_page->MarkModified();
}

void CUndoHistory::KeepRemoved(std::vector<std::unique_ptr<CPageItem>> items) {
    if (m_undoCount > 0)
        if (CUndoSnapshot* newest = m_steps[static_cast<std::size_t>(m_current)].get())
            if (newest->KeepRemoved(items)) return;
    for (auto& item : items)
        if (item) m_strays.push_back(std::move(item));
}

bool CUndoHistory::Undo() {
    if (!CanUndo()) return false;
    if (CUndoSnapshot* step = m_steps[static_cast<std::size_t>(m_current)].get())
        step->Undo(*m_page);
    m_current = Wrap(m_current - 1);
    --m_undoCount;
    ++m_redoCount;
    m_page->MarkModified();
    return true;
}

bool CUndoHistory::Redo() {
    if (!CanRedo()) return false;
    m_current = Wrap(m_current + 1);
    if (CUndoSnapshot* step = m_steps[static_cast<std::size_t>(m_current)].get())
        step->Redo(*m_page);
    ++m_undoCount;
    --m_redoCount;
    m_page->MarkModified();
    return true;
}

const CUndoSnapshot* CUndoHistory::Newest() const {
    return m_undoCount > 0 ? m_steps[static_cast<std::size_t>(m_current)].get() : nullptr;
}

void InstallUndoHistory() {
    CPage::HistoryMaker() = [](CPage& page, int steps) -> std::unique_ptr<CUndoRecorder> {
        return std::make_unique<CUndoHistory>(page, steps);
    };
}
