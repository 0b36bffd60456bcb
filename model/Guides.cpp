#include "model/Guides.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "services/StringIds.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>

bool CanInsertGuide(const CPage* page, bool horizontal) {
    return page && page->GuideCount(horizontal) < CPage::kMaxGuides;
}

bool InsertGuide(CPage& page, bool horizontal, std::optional<int32_t> clicked) {
    if (!CanInsertGuide(&page, horizontal)) return false;
    const int32_t extent = horizontal ? page.Height() : page.Width();
    const int32_t at = clicked ? std::clamp(*clicked, 0, extent) : extent / 2;
    page.AddGuide(horizontal, at);
    page.guidesHidden = false;
    page.MarkModified();
    page.Repaint();
    return true;
}

void ToggleUseGuides(CPage& page) {
    page.useGuides = !page.useGuides;
    page.MarkModified();
}

void ToggleHideGuides(CPage& page) {
    page.guidesHidden = !page.guidesHidden;
    page.MarkModified();
    page.Repaint();
}

int HideGuidesMenuTextId(const CPage& page) {
    return page.guidesHidden ? IDS_MENU_SHOW_GUIDES : IDS_MENU_HIDE_GUIDES;
}

bool CanRemoveGuides(const CPage* page) {
    return page && (page->GuideCount(true) > 0 || page->GuideCount(false) > 0);
}

bool RemoveGuides(CPage& page) {
    if (!CanRemoveGuides(&page)) return false;
    page.ClearGuides();
    page.MarkModified();
    page.Repaint();
    return true;
}

namespace {
// The drag correction that snaps the edges [low, high) of one item to the
// guides, or nullopt when no guide is near.
std::optional<int32_t> SnapEdges(const std::vector<int32_t>& guides, int32_t low, int32_t high) {
    for (int32_t g : guides)
        if (std::abs(low - g) <= kSnapDistance) return g + 1 - low;
    for (int32_t g : guides)
        if (std::abs(high - g) <= kSnapDistance) return g - high;
    return std::nullopt;
}
} // namespace

void SnapToGuides(const CPage& page, int32_t& dx, int32_t& dy) {
    bool snappedX = false, snappedY = false;
    for (const auto& item : page.Items()) {
        if (!item->IsSelected()) continue;
        CRect r = item->GetRect();
        r.Offset(dx, dy);
        // The first item near a guide decides; a later one would pull the
        // first off its guide again.
        if (!snappedY)
            if (auto d = SnapEdges(page.Guides(true), r.top, r.bottom)) {
                dy += *d;
                snappedY = true;
            }
        if (!snappedX)
            if (auto d = SnapEdges(page.Guides(false), r.left, r.right)) {
                dx += *d;
                snappedX = true;
            }
        if (snappedX && snappedY) return;
    }
}

namespace {
bool AnySelectedGroup(const CPage& page) {
    for (const auto& set : page.Sets())
        if (set->IsSelected() && set->IsGroup()) return true;
    return false;
}

// Start and end of an item along the axis the guides divide.
int32_t Low(const CRect& r, bool horizontalGuides) {
    return horizontalGuides ? r.top : r.left;
}
int32_t High(const CRect& r, bool horizontalGuides) {
    return horizontalGuides ? r.bottom : r.right;
}
int32_t Middle(const CRect& r, bool horizontalGuides) {
    return (Low(r, horizontalGuides) + High(r, horizontalGuides)) / 2;
}

void MoveAlong(CPageItem& item, bool horizontalGuides, int32_t d) {
    if (d != 0) item.MoveBy(horizontalGuides ? 0 : d, horizontalGuides ? d : 0);
}

void RecomputeSelected(CPage& page) {
    for (const auto& set : page.Sets())
        if (set->IsSelected()) set->Recompute();
}

void SpreadBetween(std::vector<CPageItem*>& items, int32_t g0, int32_t g1, bool hz) {
    if (items.size() == 1) {
        CPageItem& item = *items.front();
        MoveAlong(item, hz, (g0 + g1) / 2 - Middle(item.GetRect(), hz));
        return;
    }
    // Stable, so items with equal centres keep their set-list order.
    std::stable_sort(items.begin(), items.end(), [hz](CPageItem* a, CPageItem* b) {
        return Middle(a->GetRect(), hz) < Middle(b->GetRect(), hz);
    });
    const double k = static_cast<double>(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CRect r = items[i]->GetRect();
        const int32_t h = High(r, hz) - Low(r, hz);
        const int32_t free = (g1 - g0) - h;
        int32_t centre;
        if (free <= 0)
            centre = (g0 + g1) / 2;
        else
            centre = g0 + static_cast<int32_t>(
                              static_cast<double>(i) * 100.0 / (k - 1) * free * 0.01 + h * 0.5);
        MoveAlong(*items[i], hz, centre - Middle(r, hz));
    }
}
} // namespace

bool CanSpaceEvenly(const CPage* page, bool horizontalGuides) {
    return page && !page->IsEditingText() && page->GuideCount(horizontalGuides) >= 2 &&
           page->SelectedSetCount() > 0 && !AnySelectedGroup(*page);
}

bool SpaceEvenly(CPage& page, bool hz) {
    if (!CanSpaceEvenly(&page, hz)) return false;
    page.RecordUndo(EUndoKind::Move);
    const CRect before = page.SelectionArea();
    const std::vector<int32_t> guides = page.Guides(hz);
    // Each item is placed once, by the interval its centre had at the start.
    std::vector<std::vector<CPageItem*>> groups(guides.size() - 1);
    for (const auto& set : page.Sets()) {
        if (!set->IsSelected()) continue;
        for (CPageItem* item : set->Items()) {
            const int32_t c = Middle(item->GetRect(), hz);
            for (std::size_t j = 0; j + 1 < guides.size(); ++j)
                if (c >= guides[j] && c < guides[j + 1]) groups[j].push_back(item);
        }
    }
    for (std::size_t j = 0; j + 1 < guides.size(); ++j)
        if (!groups[j].empty()) SpreadBetween(groups[j], guides[j], guides[j + 1], hz);
    RecomputeSelected(page);
    page.MarkModified();
    page.Repaint(UnionRect(before, page.SelectionArea()));
    return true;
}

namespace {
// Index j of the interval [g[j], g[j+1]) holding v, or -1.
int IntervalOf(const std::vector<int32_t>& g, int32_t v) {
    auto it = std::upper_bound(g.begin(), g.end(), v);
    if (it == g.begin() || it == g.end()) return -1;
    return static_cast<int>(it - g.begin()) - 1;
}
} // namespace

bool CanCentreBetweenGuides(const CPage* page) {
    if (!page || page->IsEditingText() || AnySelectedGroup(*page)) return false;
    for (const auto& set : page->Sets()) {
        if (set->IsGroup()) continue;
        for (CPageItem* item : set->Items()) {
            const CRect r = item->GetRect();
            if (IntervalOf(page->Guides(true), Middle(r, true)) >= 0 ||
                IntervalOf(page->Guides(false), Middle(r, false)) >= 0)
                return true;
        }
    }
    return false;
}

bool CentreBetweenGuides(CPage& page) {
    if (!CanCentreBetweenGuides(&page)) return false;
    page.RecordUndo(EUndoKind::Move);
    const CRect before = page.SelectionArea();
    for (const auto& set : page.Sets()) {
        if (set->IsGroup()) continue;
        for (CPageItem* item : set->Items()) {
            for (bool hz : {true, false}) {
                const std::vector<int32_t>& g = page.Guides(hz);
                const CRect r = item->GetRect();
                const int j = IntervalOf(g, Middle(r, hz));
                if (j < 0) continue;
                const auto gj = static_cast<std::size_t>(j);
                const int32_t size = High(r, hz) - Low(r, hz);
                const int32_t low = g[gj] + (g[gj + 1] - g[gj] - size) / 2;
                MoveAlong(*item, hz, low - Low(r, hz));
            }
        }
        set->Recompute();
    }
    page.MarkModified();
    page.Repaint(UnionRect(before, page.SelectionArea()));
    return true;
}
