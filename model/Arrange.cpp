#include "model/Arrange.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include <algorithm>
#include <climits>

CStackInfo GatherStackInfo(const CPage& page) {
    CStackInfo s;
    s.count = page.ItemCount();
    s.topBandStart = page.TopBandStart();
    for (int i = 0; i < s.count; ++i) {
        if (!page.ItemAt(i).IsSelected()) continue;
        if (i >= s.topBandStart) {
            ++s.selectedTop;
            s.highestTop = std::max(s.highestTop, i);
            s.lowestTop = std::min(s.lowestTop, i);
        } else {
            ++s.selectedNormal;
            s.highestNormal = std::max(s.highestNormal, i);
            s.lowestNormal = std::min(s.lowestNormal, i);
        }
    }
    return s;
}

bool CanStack(const CPage* page, EStackCommand command) {
    if (!page || page->IsEditingText()) return false;
    const CStackInfo s = GatherStackInfo(*page);
    const int b = s.topBandStart, n = s.count;
    if (s.selectedTop + s.selectedNormal == 0) return false;
    switch (command) {
    case EStackCommand::BringToFront:
        return s.selectedNormal < b - s.highestNormal && s.selectedTop < n - s.highestTop;
    case EStackCommand::SendToBack:
        return s.selectedNormal < s.lowestNormal + 1 && s.selectedTop < s.lowestTop - b + 1;
    case EStackCommand::BringForward:
        return s.highestNormal < b - 1 && s.highestTop < n - 1;
    case EStackCommand::SendBackward:
        return s.lowestNormal > 0 && b < s.lowestTop;
    }
    return false;
}

namespace {
using Order = std::vector<CPageItem*>;

Order CurrentOrder(const CPage& page) {
    Order order;
    order.reserve(page.Items().size());
    for (const auto& item : page.Items())
        order.push_back(item.get());
    return order;
}

bool Selected(const CPageItem* item) {
    return item->IsSelected();
}

// Within each band the selected items gather at its top (toTop) or bottom,
// keeping their order among themselves.
void GatherInBands(Order& order, int b, bool toTop) {
    auto pred = [toTop](const CPageItem* item) { return Selected(item) != toTop; };
    std::stable_partition(order.begin(), order.begin() + b, pred);
    std::stable_partition(order.begin() + b, order.end(), pred);
}

// One step: a selected item trades places with the unselected neighbour
// above (up) or below it, never with one of the other band. Whenever the
// menu rule holds no pair straddles the band boundary anyway.
void StepOnce(Order& order, int b, bool up) {
    const int n = static_cast<int>(order.size());
    auto sameBand = [b](int i, int j) { return (i < b) == (j < b); };
    if (up) {
        for (int i = 0; i + 1 < n; ++i) {
            if (Selected(order[i]) && !Selected(order[i + 1]) && sameBand(i, i + 1)) {
                std::swap(order[i], order[i + 1]);
                ++i;
            }
        }
    } else {
        for (int i = n - 1; i >= 1; --i) {
            if (Selected(order[i]) && !Selected(order[i - 1]) && sameBand(i, i - 1)) {
                std::swap(order[i], order[i - 1]);
                --i;
            }
        }
    }
}
} // namespace

bool Stack(CPage& page, EStackCommand command) {
    if (page.IsEditingText()) return false;
    Order order = CurrentOrder(page);
    const int b = page.TopBandStart();
    switch (command) {
    case EStackCommand::BringToFront:
        GatherInBands(order, b, true);
        break;
    case EStackCommand::SendToBack:
        GatherInBands(order, b, false);
        break;
    case EStackCommand::BringForward:
        StepOnce(order, b, true);
        break;
    case EStackCommand::SendBackward:
        StepOnce(order, b, false);
        break;
    }
    if (order == CurrentOrder(page)) return false;
    page.RecordUndo(EUndoKind::Arrange);
    page.SetItemOrder(order);
    page.MarkModified();
    page.Repaint();
    return true;
}

// ---------------------------------------------------------------- alignment

bool CanAlign(const CPage* page) {
    if (!page || page->SelectedItemCount() <= 1) return false;
    if (page->SelectedSetCount() >= 2) return true;
    const CObjectSet* only = page->SingleSelectedSet();
    return only && !only->IsGroup();
}

namespace {
int Edge(const CRect& r, EAlignCommand c) {
    switch (c) {
    case EAlignCommand::Left:
        return r.left;
    case EAlignCommand::Right:
        return r.right;
    case EAlignCommand::Top:
        return r.top;
    case EAlignCommand::Bottom:
        return r.bottom;
    }
    return 0;
}

bool Horizontal(EAlignCommand c) {
    return c == EAlignCommand::Left || c == EAlignCommand::Right;
}

// Left and top pull in what lies beyond the target; right and bottom push out
// what falls short of it.
int Shift(int edge, int target, EAlignCommand c) {
    const bool towardsSmaller = c == EAlignCommand::Left || c == EAlignCommand::Top;
    if (towardsSmaller ? edge > target : edge < target) return target - edge;
    return 0;
}

int Target(const CPage& page, EAlignCommand c) {
    bool first = true;
    int target = 0;
    for (const auto& set : page.Sets()) {
        if (!set->IsSelected()) continue;
        for (CPageItem* item : set->Items()) {
            const int e = Edge(item->GetRect(), c);
            const bool further =
                (c == EAlignCommand::Left || c == EAlignCommand::Top) ? e < target : e > target;
            if (first || further) target = e;
            first = false;
        }
    }
    switch (c) {
    case EAlignCommand::Left:
    case EAlignCommand::Top:
        return std::max(target, 0);
    case EAlignCommand::Right:
        return std::min(target, page.Width() - 1);
    case EAlignCommand::Bottom:
        return std::min(target, page.Height() - 1);
    }
    return target;
}
// Whether any selected item, or group as a whole, is off the target.
bool AnyShift(const CPage& page, int target, EAlignCommand c) {
    for (const auto& set : page.Sets()) {
        if (!set->IsSelected()) continue;
        if (set->IsGroup()) {
            CRect bounds;
            for (const CPageItem* item : set->Items())
                bounds = UnionRect(bounds, item->GetRect());
            if (Shift(Edge(bounds, c), target, c) != 0) return true;
            continue;
        }
        for (const CPageItem* item : set->Items())
            if (Shift(Edge(item->GetRect(), c), target, c) != 0) return true;
    }
    return false;
}
} // namespace

bool Align(CPage& page, EAlignCommand c) {
    if (!CanAlign(&page)) return false;
    const int target = Target(page, c);
    // An undo step that would change nothing is not taken.
    if (!AnyShift(page, target, c)) return false;
    page.RecordUndo(EUndoKind::Move);
    const CRect before = page.SelectionArea();
    // Every selected set takes part, wherever it stands in the set list.
    for (const auto& set : page.Sets()) {
        if (!set->IsSelected()) continue;
        if (set->IsGroup()) {
            set->Recompute();
            const int d = Shift(Edge(set->Bounds(), c), target, c);
            if (d != 0) set->MoveBy(Horizontal(c) ? d : 0, Horizontal(c) ? 0 : d);
            continue;
        }
        for (CPageItem* item : set->Items()) {
            const int d = Shift(Edge(item->GetRect(), c), target, c);
            if (d != 0) item->MoveBy(Horizontal(c) ? d : 0, Horizontal(c) ? 0 : d);
        }
        set->Recompute();
    }
    page.MarkModified();
    page.Repaint(UnionRect(before, page.SelectionArea()));
    return true;
}

bool MoveSelection(CPage& page, int32_t dx, int32_t dy) {
    if (page.SelectedSetCount() == 0) return false;
    if (dx == 0 && dy == 0) return true;
    const CRect before = page.SelectionArea();
    for (const auto& set : page.Sets())
        if (set->IsSelected()) set->MoveBy(dx, dy);
    page.SetPublishPending(true);
    page.MarkModified();
    page.Repaint(UnionRect(before, page.SelectionArea()));
    return true;
}
