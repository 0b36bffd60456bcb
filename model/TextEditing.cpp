#include "model/TextEditing.h"

void CTextEditing::MoveTo(const CTextLayout& text, CTextPos at, bool extend) {
    caret = text.Clamp(at);
    if (!extend) anchor = caret;
}

void CTextEditing::SelectAll(const CTextLayout& text) {
    anchor = {0, 0};
    const int last = text.ParagraphCount() - 1;
    caret = {last, static_cast<int>(text.Paragraph(last).text.size())};
}

void CTextEditing::MoveLeft(const CTextLayout& text, bool extend) {
    CTextPos at = text.Clamp(caret);
    if (at.index > 0)
        --at.index;
    else if (at.para > 0)
        at = {at.para - 1, static_cast<int>(text.Paragraph(at.para - 1).text.size())};
    MoveTo(text, at, extend);
}

void CTextEditing::MoveRight(const CTextLayout& text, bool extend) {
    CTextPos at = text.Clamp(caret);
    if (at.index < static_cast<int>(text.Paragraph(at.para).text.size()))
        ++at.index;
    else if (at.para + 1 < text.ParagraphCount())
        at = {at.para + 1, 0};
    MoveTo(text, at, extend);
}

void CTextEditing::MoveHome(const CTextLayout& text, bool extend) {
    MoveTo(text, {caret.para, 0}, extend);
}

void CTextEditing::MoveEnd(const CTextLayout& text, bool extend) {
    const CTextPos at = text.Clamp(caret);
    MoveTo(text, {at.para, static_cast<int>(text.Paragraph(at.para).text.size())}, extend);
}

void CTextEditing::InsertChar(CTextLayout& text, uint8_t byte) {
    // The new character continues the style of the first selected one, so
    // typing over a selection keeps its look.
    const CCharStyle style = text.StyleForInsert(
        HasSelection() ? CTextPos{SelectionStart().para, SelectionStart().index + 1} : caret);
    InsertChar(text, byte, style);
}

void CTextEditing::InsertChar(CTextLayout& text, uint8_t byte, const CCharStyle& style) {
    DeleteSelection(text);
    caret = text.Clamp(caret);
    text.Insert(caret, byte, style);
    ++caret.index;
    anchor = caret;
}

bool CTextEditing::DeleteSelection(CTextLayout& text) {
    if (!HasSelection()) return false;
    const CTextPos start = text.Clamp(SelectionStart());
    text.Erase(start, SelectionEnd());
    caret = anchor = start;
    return true;
}

void CTextEditing::DeleteBackward(CTextLayout& text) {
    if (DeleteSelection(text)) return;
    const CTextPos end = text.Clamp(caret);
    MoveLeft(text);
    text.Erase(caret, end);
    anchor = caret;
}

void CTextEditing::DeleteForward(CTextLayout& text) {
    if (DeleteSelection(text)) return;
    const CTextPos start = text.Clamp(caret);
    MoveRight(text);
    text.Erase(start, caret);
    caret = anchor = start;
}

void CTextEditing::SplitParagraph(CTextLayout& text) {
    DeleteSelection(text);
    caret = text.Clamp(caret);
    text.Split(caret);
    caret = anchor = {caret.para + 1, 0};
}
