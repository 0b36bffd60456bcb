// Selection and set bookkeeping of a page.
#include "services/Growable.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include <algorithm>

CObjectSet& CPage::AppendSet(std::unique_ptr<CObjectSet> set) {
    ReserveOneMore(m_sets);
    m_sets.push_back(std::move(set));
    return *m_sets.back();
}

void CPage::DropEmptySet(CObjectSet* set) {
    if (!set || set->Count() != 0) return;
    auto it =
        std::find_if(m_sets.begin(), m_sets.end(), [set](const auto& p) { return p.get() == set; });
    if (it != m_sets.end()) m_sets.erase(it);
}

void CPage::SelectOnly(CPageItem& item) {
    DeselectQuietly();
    // A member of a group is selected with its group: an item belongs to at
    // most one set.
    if (CObjectSet* group = item.Set()) {
        group->SetSelected(true);
    } else {
        AppendSet(std::make_unique<CObjectSet>(&item));
    }
    SelectionChanged();
}

void CPage::SelectAll() {
    DeselectQuietly();
    std::vector<CPageItem*> loose;
    loose.reserve(m_items.size());
    for (const auto& item : m_items) {
        if (CObjectSet* group = item->Set())
            group->SetSelected(true);
        else
            loose.push_back(item.get());
    }
    if (!loose.empty()) AppendSet(std::make_unique<CObjectSet>(loose));
    SelectionChanged();
}

void CPage::AddToSelection(CPageItem& item) {
    auto looseSelection = std::find_if(m_sets.begin(), m_sets.end(), [](const auto& set) {
        return set->IsSelected() && !set->IsGroup();
    });
    if (CObjectSet* own = item.Set())
        own->SetSelected(true);
    else if (looseSelection != m_sets.end())
        (*looseSelection)->Add(&item);
    else
        AppendSet(std::make_unique<CObjectSet>(&item));
    SelectionChanged();
}

void CPage::DeselectAll() {
    DeselectQuietly();
    SelectionChanged();
}

void CPage::DeselectQuietly() {
    for (const auto& set : m_sets)
        if (set->IsGroup()) set->SetSelected(false);
    std::erase_if(m_sets, [](const auto& set) {
        if (set->IsGroup()) return false;
        set->Dissolve();
        return true;
    });
}

std::unique_ptr<CObjectSet> CPage::RemoveSet(CObjectSet& set) {
    auto it = std::find_if(m_sets.begin(), m_sets.end(),
                           [&set](const auto& p) { return p.get() == &set; });
    if (it == m_sets.end()) return nullptr;
    for (CPageItem* item : set.Items())
        if (item->Set() == &set) item->SetSet(nullptr);
    std::unique_ptr<CObjectSet> out = std::move(*it);
    m_sets.erase(it);
    return out;
}

void CPage::DeleteSelectedSets() {
    std::erase_if(m_sets, [](const auto& set) { return set->IsSelected(); });
}

int CPage::SelectedSetCount() const {
    return static_cast<int>(
        std::count_if(m_sets.begin(), m_sets.end(), [](const auto& s) { return s->IsSelected(); }));
}

int CPage::SelectedItemCount() const {
    int n = 0;
    for (const auto& set : m_sets)
        if (set->IsSelected()) n += static_cast<int>(set->Count());
    return n;
}

CObjectSet* CPage::SingleSelectedSet() const {
    CObjectSet* found = nullptr;
    for (const auto& set : m_sets) {
        if (!set->IsSelected()) continue;
        if (found) return nullptr;
        found = set.get();
    }
    return found;
}

CPageItem* CPage::SingleSelectedItem() const {
    CObjectSet* set = SingleSelectedSet();
    return (set && set->Count() == 1) ? set->Items().front() : nullptr;
}

CRect CPage::SelectionArea() const {
    CRect area;
    for (const auto& set : m_sets)
        if (set->IsSelected())
            for (CPageItem* item : set->Items())
                area = UnionRect(area, item->GetRect());
    return area;
}
