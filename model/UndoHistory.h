#pragma once
#include "model/UndoRecorder.h"
#include <cstdint>
#include <memory>
#include <vector>

class CPage;
class CPageItem;
class CCompoundSnapshot;
class CUndoSnapshot;

// A page's undo history: a ring of steps, the newest at current, the
// undoCount steps before it (wrapping) undoable and the redoCount steps after
// it redoable. When the ring is full a new step pushes the oldest out. The
// history owns its steps and, through them, the items a delete or an undone
// insert took off the page.
class CUndoHistory final : public CUndoRecorder {
public:
    CUndoHistory(CPage& page, int capacity);
    ~CUndoHistory() override;
    CUndoHistory(const CUndoHistory&) = delete;
    CUndoHistory& operator=(const CUndoHistory&) = delete;

    // Takes the step of the kind from the page as it is now, dropping the
    // redo steps; the withdraw kind removes the newest step instead. Sets
    // the page's publish flag and marks it modified.
    void Record(EUndoKind kind) override;
    // Hands the items a delete took off the page to the newest step.
    void KeepRemoved(std::vector<std::unique_ptr<CPageItem>> items) override;

    bool CanUndo() const override { return m_undoCount > 0; }
    bool CanRedo() const override { return m_redoCount > 0; }
    // False, changing nothing, when there is no step to take.
    bool Undo() override;
    bool Redo() override;
    std::string UndoLabel() const override;
    std::string RedoLabel() const override;
    void BeginCompound(std::string label) override;
    void EndCompound() override;

    int Capacity() const { return static_cast<int>(m_steps.size()); }
    int UndoCount() const { return m_undoCount; }
    int RedoCount() const { return m_redoCount; }
    // Counts every step recorded or withdrawn.
    uint64_t Generation() const { return m_generation; }
    // The newest undoable step; null when there is none.
    const CUndoSnapshot* Newest() const;

private:
    int Wrap(int slot) const;
    void DropRedoSteps();
    // Makes the step the newest, dropping the redo steps.
    void Push(std::unique_ptr<CUndoSnapshot> step);

    CPage* m_page;
    // The step being gathered between BeginCompound and EndCompound.
    std::unique_ptr<CCompoundSnapshot> m_compound;
    int m_compoundDepth = 0;
    std::vector<std::unique_ptr<CUndoSnapshot>> m_steps;
    int m_current = -1;
    int m_undoCount = 0;
    int m_redoCount = 0;
    uint64_t m_generation = 0;
    // Removed items no step would take (a delete recorded without its step);
    // kept so that nothing still pointing at them dangles.
    std::vector<std::unique_ptr<CPageItem>> m_strays;
};

// Gives every page made from now on a real history of CPage::kUndoSteps.
void InstallUndoHistory();
