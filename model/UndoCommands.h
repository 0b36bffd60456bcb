#pragma once
#include <cstdint>

class CPage;

// Undo and Redo act on the current page (null when no page window is
// active) and are off while a text is being edited in place.
bool CanUndoCommand(const CPage* page);
bool CanRedoCommand(const CPage* page);
// Takes one step, renders the page (items and background) again, repaints
// it whole and tells the inspector. False when the command is not enabled.
bool UndoCommand(CPage* page);
bool RedoCommand(CPage* page);

// The undo step of a mouse drag (moving, resizing, turning). A press alone
// records nothing; the step is taken at the first movement of at least
// kThreshold pixels in either direction from the press, and only once.
class CDragUndo {
public:
    static constexpr int32_t kThreshold = 3;

    void Press(int32_t x, int32_t y);
    // True from the first real movement on: the drag may then change the
    // page (the step has been recorded just before).
    bool Move(CPage& page, int32_t x, int32_t y);
    void Release() { m_pressed = false; }
    bool Recorded() const { return m_recorded; }

private:
    bool m_pressed = false;
    bool m_recorded = false;
    int32_t m_x = 0;
    int32_t m_y = 0;
};
