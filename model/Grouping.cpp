#include "model/Grouping.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "services/StringIds.h"

EGroupAction GroupActionOf(const CPage* page) {
    if (!page || page->IsEditingText()) return EGroupAction::None;
    const int selected = page->SelectedSetCount();
    if (selected > 1) return EGroupAction::Group;
    if (selected == 1) {
        const CObjectSet* set = page->SingleSelectedSet();
        if (set->IsGroup()) return EGroupAction::Ungroup;
        if (set->Count() > 1) return EGroupAction::Group;
    }
    return EGroupAction::None;
}

int GroupMenuTextId(const CPage* page) {
    switch (GroupActionOf(page)) {
    case EGroupAction::Group:
        return IDS_MENU_GROUP;
    case EGroupAction::Ungroup:
        return IDS_MENU_UNGROUP;
    case EGroupAction::None:
        break;
    }
    return IDS_MENU_GROUP_UNGROUP;
}

namespace {
void Group(CPage& page) {
    std::vector<CPageItem*> members;
    members.reserve(static_cast<std::size_t>(page.SelectedItemCount()));
    for (const auto& set : page.Sets())
        if (set->IsSelected())
            members.insert(members.end(), set->Items().begin(), set->Items().end());
    page.DeleteSelectedSets();
    CObjectSet& group = page.AppendSet(std::make_unique<CObjectSet>(members));
    group.SetGroup(true);
}

void Ungroup(CPage& page) {
    for (const auto& set : page.Sets()) {
        if (set->IsGroup() && set->IsSelected()) {
            // It stays as the current selection.
            set->SetGroup(false);
            return;
        }
    }
}
} // namespace

bool GroupOrUngroup(CPage& page) {
    const EGroupAction action = GroupActionOf(&page);
    if (action == EGroupAction::None) return false;
    const CRect before = page.SelectionArea();
    page.RecordUndo(EUndoKind::Group);
    if (action == EGroupAction::Group)
        Group(page);
    else
        Ungroup(page);
    page.MarkModified();
    page.Repaint(UnionRect(before, page.SelectionArea()));
    return true;
}
