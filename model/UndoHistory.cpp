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
    if (m_compound) {
        if (kind == EUndoKind::Withdraw)
            m_compound->WithdrawNewest();
        else
            m_compound->Add(MakeUndoSnapshot(*m_page, kind));
        m_page->SetPublishPending(true);
        m_page->MarkModified();
        return;
    }
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
    Push(MakeUndoSnapshot(*m_page, kind));
    m_page->SetPublishPending(true);
    m_page->MarkModified();
}

void CUndoHistory::Push(std::unique_ptr<CUndoSnapshot> step) {
    DropRedoSteps();
    m_current = Wrap(m_current + 1);
    if (++m_undoCount > Capacity()) m_undoCount = Capacity();
    // The slot holds the oldest step when the ring is full.
    m_steps[static_cast<std::size_t>(m_current)] = std::move(step);
    ++m_generation;
}

void CUndoHistory::BeginCompound(std::string label) {
    if (m_compoundDepth++ == 0) m_compound = std::make_unique<CCompoundSnapshot>(std::move(label));
}

void CUndoHistory::EndCompound() {
    if (m_compoundDepth == 0 || --m_compoundDepth > 0) return;
    std::unique_ptr<CCompoundSnapshot> compound = std::move(m_compound);
    // A change that recorded nothing leaves no step behind.
    if (!compound->Empty()) Push(std::move(compound));
}

std::string CUndoHistory::UndoLabel() const {
    const CUndoSnapshot* step = Newest();
    return step ? step->Label() : std::string();
}

std::string CUndoHistory::RedoLabel() const {
    if (m_redoCount == 0) return {};
    const CUndoSnapshot* step = m_steps[static_cast<std::size_t>(Wrap(m_current + 1))].get();
    return step ? step->Label() : std::string();
}

void CUndoHistory::KeepRemoved(std::vector<std::unique_ptr<CPageItem>> items) {
    if (m_compound && m_compound->KeepRemoved(items)) return;
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
