#include "model/UndoRecorder.h"
#include "services/StringIds.h"
#include "services/StringTable.h"

const std::string& UndoKindLabel(EUndoKind kind) {
    static const std::string none;
    const int id = IDS_UNDO_LABEL + static_cast<int>(kind);
    return CStringTable::Has(id) ? CStringTable::Get(id) : none;
}

std::string UndoMenuText(const std::string& label) {
    return label.empty() ? CStringTable::Get(IDS_MENU_UNDO_PLAIN)
                         : CStringTable::FillIn(CStringTable::Get(IDS_MENU_UNDO), {label});
}

std::string RedoMenuText(const std::string& label) {
    return label.empty() ? CStringTable::Get(IDS_MENU_REDO_PLAIN)
                         : CStringTable::FillIn(CStringTable::Get(IDS_MENU_REDO), {label});
}
