#pragma once
#include "model/TextLayout.h"

// The caret and the selection of a text being edited, and the edits that act
// on them. The selection runs between the anchor and the caret (either may
// come first); with both at the same place there is no selection.
class CTextEditing {
public:
    CTextPos caret;
    CTextPos anchor;
    bool caretVisible = false;

    bool HasSelection() const { return caret != anchor; }
    CTextPos SelectionStart() const { return caret < anchor ? caret : anchor; }
    CTextPos SelectionEnd() const { return caret < anchor ? anchor : caret; }

    // Moves the caret; without extend the anchor follows (no selection).
    void MoveTo(const CTextLayout& text, CTextPos at, bool extend = false);
    void SelectAll(const CTextLayout& text);
    // One character left or right, over paragraph breaks.
    void MoveLeft(const CTextLayout& text, bool extend = false);
    void MoveRight(const CTextLayout& text, bool extend = false);
    // Start and end of the caret's paragraph.
    void MoveHome(const CTextLayout& text, bool extend = false);
    void MoveEnd(const CTextLayout& text, bool extend = false);

    // Replaces the selection by a character in the style of the text before
    // the caret (or the given style).
    void InsertChar(CTextLayout& text, uint8_t byte);
    void InsertChar(CTextLayout& text, uint8_t byte, const CCharStyle& style);
    // Removes the selected characters; false when nothing was selected.
    bool DeleteSelection(CTextLayout& text);
    // Backspace: the selection, else the character before the caret, else
    // joins the paragraph to the one before it.
    void DeleteBackward(CTextLayout& text);
    // Delete: the selection, else the character after the caret, else joins
    // the next paragraph to this one.
    void DeleteForward(CTextLayout& text);
    // Enter: replaces the selection and breaks the paragraph at the caret.
    void SplitParagraph(CTextLayout& text);
    // Changes the style of the selected characters.
    template <class F> void ApplyStyle(CTextLayout& text, F&& change) {
        if (HasSelection()) text.Restyle(SelectionStart(), SelectionEnd(), change);
    }
};
