// Randomised checks of the stacking commands over mixed bands and selections.
#include "model/Arrange.h"
#include "model/ObjectSet.h"
#include "tests/model/PageTestSupport.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using pwtest::Box;
using pwtest::CPageFixture;

namespace {
using Order = std::vector<const CPageItem*>;

// A page of 1..24 items of random kinds, inserted as the tools would (so the
// top band is where it belongs), with a random selection spread over one or
// two selection sets and possibly a group.
struct CRandomPage {
    CPageFixture f;
    std::vector<CPageItem*> items;

    explicit CRandomPage(std::mt19937& rng) {
        const ObjectKind kinds[] = {KIND_ELLIPSE, KIND_RECT, KIND_HTML,
                                    KIND_COUNTER, KIND_FORM, KIND_ELLIPSE};
        const int n = std::uniform_int_distribution<int>(1, 24)(rng);
        std::uniform_int_distribution<int> kind(0, 5);
        for (int i = 0; i < n; ++i)
            items.push_back(&f.Page().InsertItem(Box({i, i, i + 5, i + 5}, kinds[kind(rng)])));
        std::bernoulli_distribution pick(0.35);
        std::vector<CPageItem*> chosen;
        for (CPageItem* item : items)
            if (pick(rng)) chosen.push_back(item);
        std::shuffle(chosen.begin(), chosen.end(), rng);
        const std::size_t half = chosen.size() / 2;
        // The first half becomes a group when asked, the rest a selection.
        if (half > 0 && std::bernoulli_distribution(0.5)(rng)) {
            f.Page().SelectOnly(*chosen[0]);
            for (std::size_t i = 1; i < half; ++i)
                f.Page().AddToSelection(*chosen[i]);
            f.Page().Sets().back()->SetGroup(true);
            f.Page().DeselectAll();
            f.Page().Sets().back()->SetSelected(true);
        } else {
            for (std::size_t i = 0; i < half; ++i)
                f.Page().AddToSelection(*chosen[i]);
        }
        for (std::size_t i = half; i < chosen.size(); ++i)
            f.Page().AddToSelection(*chosen[i]);
    }

    bool InTopBand(const CPageItem* item) const { return IsTopBandObject(item->Normal()); }
};

Order Filter(const Order& order, bool selected) {
    Order out;
    for (const CPageItem* item : order)
        if (item->IsSelected() == selected) out.push_back(item);
    return out;
}

void CheckInvariants(const CRandomPage& p, const Order& before, const Order& after,
                     const char* what) {
    SCOPED_TRACE(what);
    // Every item exactly once.
    Order a = before, b = after;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    ASSERT_EQ(a, b);
    // The top band is still one run at the end.
    auto firstTop = std::find_if(after.begin(), after.end(),
                                 [&](const CPageItem* i) { return p.InTopBand(i); });
    EXPECT_TRUE(
        std::all_of(firstTop, after.end(), [&](const CPageItem* i) { return p.InTopBand(i); }));
    // Moved items keep their order among themselves, and so do the others.
    EXPECT_EQ(Filter(before, true), Filter(after, true));
    EXPECT_EQ(Filter(before, false), Filter(after, false));
}
} // namespace

TEST(StackingProperty, CommandsKeepItemsBandsAndRelativeOrder) {
    std::mt19937 rng(20240611);
    const EStackCommand commands[] = {EStackCommand::BringToFront, EStackCommand::SendToBack,
                                      EStackCommand::BringForward, EStackCommand::SendBackward};
    const char* names[] = {"front", "back", "forward", "backward"};
    int changed = 0;
    for (int round = 0; round < 400; ++round) {
        CRandomPage p(rng);
        for (int c = 0; c < 4; ++c) {
            const Order before = p.f.Order();
            const bool enabled = CanStack(&p.f.Page(), commands[c]);
            const int steps = p.f.Undo().Total();
            const bool done = Stack(p.f.Page(), commands[c]);
            const Order after = p.f.Order();
            CheckInvariants(p, before, after, names[c]);
            // One step exactly when the order changed; the menu rule never
            // offers a command that would do nothing.
            EXPECT_EQ(done, before != after);
            EXPECT_EQ(p.f.Undo().Total(), steps + (done ? 1 : 0));
            if (enabled) {
                EXPECT_TRUE(done) << names[c];
            }
            changed += done;
        }
    }
    EXPECT_GT(changed, 400); // the random pages do exercise the commands
}

TEST(StackingProperty, FrontAndBackPutTheSelectionAtTheBandEdges) {
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        CRandomPage p(rng);
        CPage& page = p.f.Page();
        Stack(page, EStackCommand::BringToFront);
        const int b = page.TopBandStart();
        // In each band no unselected item lies above a selected one.
        for (int i = 0; i + 1 < page.ItemCount(); ++i) {
            if ((i < b) != (i + 1 < b)) continue;
            EXPECT_FALSE(page.ItemAt(i).IsSelected() && !page.ItemAt(i + 1).IsSelected());
        }
        Stack(page, EStackCommand::SendToBack);
        for (int i = 0; i + 1 < page.ItemCount(); ++i) {
            if ((i < b) != (i + 1 < b)) continue;
            EXPECT_FALSE(!page.ItemAt(i).IsSelected() && page.ItemAt(i + 1).IsSelected());
        }
    }
}

TEST(StackingProperty, ForwardThenBackwardRestoresASingleItem) {
    std::mt19937 rng(99);
    int exercised = 0;
    for (int round = 0; round < 500; ++round) {
        CRandomPage p(rng);
        CPage& page = p.f.Page();
        auto pickIndex = std::uniform_int_distribution<std::size_t>(0, p.items.size() - 1);
        page.SelectOnly(*p.items[pickIndex(rng)]);
        if (page.SelectedItemCount() != 1) continue; // picked a group member
        const Order before = p.f.Order();
        if (!Stack(page, EStackCommand::BringForward)) continue;
        ASSERT_TRUE(Stack(page, EStackCommand::SendBackward));
        EXPECT_EQ(p.f.Order(), before);
        ++exercised;
    }
    EXPECT_GT(exercised, 100);
}
