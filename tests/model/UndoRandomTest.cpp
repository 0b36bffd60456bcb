// Long random sequences of page commands, undone to the start and redone to
// the end, must give back the page byte for byte.
#include "UndoTestSupport.h"
#include "model/UndoSnapshots.h"
#include <gtest/gtest.h>

using namespace pwundo;

namespace {
void Populate(CCommandDriver& driver, int count) {
    for (int k = 0; k < count; ++k)
        driver.Insert();
}
} // namespace

TEST(UndoRandom, UndoAllThenRedoAllRestoresThePage) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        CUndoPage fixture;
        CPage& page = fixture.Page();
        CCommandDriver driver(page, seed);
        Populate(driver, 8);
        // Start from a history of just these commands.
        fixture.page->SetHistory(std::make_unique<CUndoHistory>(page, CPage::kUndoSteps));
        CUndoHistory& history = fixture.History();
        const std::vector<uint8_t> before = PageBytes(page);

        for (int k = 0; k < 400; ++k)
            driver.AnyCommand();
        const std::vector<uint8_t> after = PageBytes(page);
        const int steps = history.UndoCount();
        ASSERT_GT(steps, 100);

        // Selections change between steps without being steps themselves.
        page.DeselectAll();
        int undone = 0;
        while (history.Undo())
            ++undone;
        EXPECT_EQ(undone, steps);
        EXPECT_TRUE(before == PageBytes(page)) << "undo all";

        page.DeselectAll();
        int redone = 0;
        while (history.Redo())
            ++redone;
        EXPECT_EQ(redone, steps);
        EXPECT_TRUE(after == PageBytes(page)) << "redo all";
    }
}

TEST(UndoRandom, InterleavedUndoRedoAndNewStepsStayConsistent) {
    // Random walks through a small ring: every state reached by undo or redo
    // must equal the state the page had at that point of its history.
    for (unsigned seed = 100; seed < 120; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        CUndoPage fixture;
        CPage& page = fixture.Page();
        CCommandDriver driver(page, seed);
        Populate(driver, 6);
        fixture.page->SetHistory(std::make_unique<CUndoHistory>(page, 40));
        CUndoHistory& history = fixture.History();
        // states[i]: the page after the i-th step still in the ring.
        std::vector<std::vector<uint8_t>> states{PageBytes(page)};
        for (int round = 0; round < 500; ++round) {
            const int choice = driver.Int(0, 9);
            const int newestBefore =
                history.Newest() ? static_cast<int>(history.Newest()->Kind()) : -1;
            if (choice < 2 && history.CanUndo()) {
                history.Undo();
            } else if (choice < 4 && history.CanRedo()) {
                history.Redo();
            } else {
                const int count = history.UndoCount();
                const uint64_t generation = history.Generation();
                driver.AnyCommand();
                if (history.Generation() != generation) {
                    states.resize(static_cast<std::size_t>(count) + 1);
                    if (history.UndoCount() == count) states.erase(states.begin()); // ring full
                    states.push_back(PageBytes(page));
                }
            }
            ASSERT_EQ(states.size(),
                      static_cast<std::size_t>(history.UndoCount() + history.RedoCount()) + 1);
            // Commands that record nothing must not have changed the page.
            ASSERT_TRUE(states[static_cast<std::size_t>(history.UndoCount())] == PageBytes(page))
                << "round " << round << " choice " << choice << " before " << newestBefore
                << " newest "
                << (history.Newest() ? static_cast<int>(history.Newest()->Kind()) : -1);
        }
    }
}
