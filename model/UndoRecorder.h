#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CPageItem;

// What an undo step captures. The numbers are what commands pass when they
// record and must not move.
enum class EUndoKind : int32_t {
    Insert = 0,         // inserting objects: the selected sets with their items
    Delete = 1,         // deleting the selection: the sets and the item order
    Move = 2,           // moving, resizing, aligning, spacing: geometry of the selection
    TextRecord = 3,     // a text object's text record
    TextConvert = 4,    // converting a text object's rendering
    Fill = 5,           // object fill records
    Effects = 6,        // object effects records
    FillAndEffects = 7, // style presets
    Link = 8,           // link records of both twins
    AddMouseOver = 9,   // adding a mouse-over twin
    RemoveMouseOver = 10,
    MouseOverSettings = 11,
    Unused = 12,         // nothing records it
    Arrange = 13,        // stacking: the page's item order
    Group = 14,          // group and ungroup: the page's object sets
    PageProperties = 15, // identifier, names, head HTML, size, background
    Withdraw = 16,       // not a snapshot: withdraws the newest step
    ObjectRecord = 17,   // button label and alternative text: the whole objects
};

inline constexpr int kUndoKindCount = 18;

// What the Edit menu calls a step of the kind ("flyt", "udfyldning", ...);
// empty for the kinds that are not steps.
const std::string& UndoKindLabel(EUndoKind kind);
// The Edit menu's texts for the step Undo or Redo would take: "&Fortryd flyt\tCtrl+Z",
// or the plain command text when the label is empty.
std::string UndoMenuText(const std::string& label);
std::string RedoMenuText(const std::string& label);

// The seam through which page commands record their undo step. A command
// calls Record exactly once, before it changes anything, and only when the
// change will happen; the history captures what it needs from the page it
// belongs to. Items that leave the page for good (delete) are handed over
// with KeepRemoved so the newest step can put them back.
class CUndoRecorder {
public:
    virtual ~CUndoRecorder() = default;
    virtual void Record(EUndoKind kind) = 0;
    virtual void KeepRemoved(std::vector<std::unique_ptr<CPageItem>> items) = 0;

    // Stepping through the history; a recorder that keeps no steps can do
    // neither.
    virtual bool CanUndo() const { return false; }
    virtual bool CanRedo() const { return false; }
    virtual bool Undo() { return false; }
    virtual bool Redo() { return false; }
    // Labels of the steps Undo and Redo would take; empty when there is none.
    virtual std::string UndoLabel() const { return {}; }
    virtual std::string RedoLabel() const { return {}; }

    // Every step recorded between Begin and the matching End becomes one
    // step, undone and redone as a whole, shown with the label (with an
    // empty label, the first step's). Pairs nest; only the outermost counts.
    // Use CCompoundUndo rather than calling these directly.
    virtual void BeginCompound(std::string /*label*/) {}
    virtual void EndCompound() {}
};

// One undo step for everything recorded on the page while it lives: an
// inspector change that touches several records is undone with one Undo.
class CCompoundUndo {
public:
    CCompoundUndo(CUndoRecorder& history, std::string label = {}) : m_history(history) {
        m_history.BeginCompound(std::move(label));
    }
    ~CCompoundUndo() { m_history.EndCompound(); }
    CCompoundUndo(const CCompoundUndo&) = delete;
    CCompoundUndo& operator=(const CCompoundUndo&) = delete;

private:
    CUndoRecorder& m_history;
};

// Stand-in history until steps can be undone: counts what was recorded and
// keeps removed items alive the way a real history would.
class CCountingUndoRecorder final : public CUndoRecorder {
public:
    // Out of line: the kept items are complete only where they are deleted.
    ~CCountingUndoRecorder() override;
    void Record(EUndoKind kind) override {
        ++m_total;
        ++m_counts[static_cast<std::size_t>(kind)];
        m_last = kind;
    }
    void KeepRemoved(std::vector<std::unique_ptr<CPageItem>> items) override;

    int Total() const { return m_total; }
    int Count(EUndoKind kind) const { return m_counts[static_cast<std::size_t>(kind)]; }
    EUndoKind Last() const { return m_last; }
    std::size_t KeptItems() const { return m_kept.size(); }

private:
    int m_total = 0;
    std::array<int, kUndoKindCount> m_counts{};
    EUndoKind m_last = EUndoKind::Unused;
    std::vector<std::unique_ptr<CPageItem>> m_kept;
};
