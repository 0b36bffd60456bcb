// Page commands on a page of 1000 shapes: each must stay far below a frame.
#include "model/Arrange.h"
#include "model/Grouping.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include <benchmark/benchmark.h>

namespace {
constexpr int kItems = 1000;

struct CBenchPage {
    CSite site{"Bench", CBackgroundFill(), 2000, 2000, CColor(0, 0, 255), CColor(128, 0, 128)};
    CPage* page;

    CBenchPage() {
        page = &site.AddPage(std::make_unique<CPage>(site, "Side1", "Bench"));
        for (int i = 0; i < kItems; ++i) {
            const double x = 20 + (i * 37) % 1900, y = 20 + (i * 53) % 1900;
            page->InsertItem(std::make_unique<CRectObject>(DPOINT{x, y}, CObjectSize{30, 20}));
        }
    }
};

void BM_SelectAll(benchmark::State& state) {
    CBenchPage b;
    for (auto _ : state) {
        b.page->SelectAll();
        benchmark::DoNotOptimize(b.page->SelectedItemCount());
    }
}
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMicrosecond);

void BM_Group(benchmark::State& state) {
    CBenchPage b;
    for (auto _ : state) {
        state.PauseTiming();
        b.page->DeselectAll();
        for (const auto& set : b.page->Sets())
            set->SetGroup(false);
        b.page->DeselectAll();
        b.page->SelectAll();
        state.ResumeTiming();
        GroupOrUngroup(*b.page);
    }
}
BENCHMARK(BM_Group)->Unit(benchmark::kMicrosecond);

void BM_AlignLeft(benchmark::State& state) {
    CBenchPage b;
    b.page->SelectAll();
    for (auto _ : state) {
        state.PauseTiming();
        // Spread them out again so every item has to move.
        for (const auto& item : b.page->Items())
            item->MoveBy(1, 0);
        b.page->Items().front()->MoveBy(-1, 0);
        state.ResumeTiming();
        Align(*b.page, EAlignCommand::Left);
    }
}
BENCHMARK(BM_AlignLeft)->Unit(benchmark::kMicrosecond);

void BM_BringToFront(benchmark::State& state) {
    CBenchPage b;
    // Every other item selected, so half the list moves each time.
    b.page->DeselectAll();
    for (int i = 0; i < kItems; i += 2)
        b.page->AddToSelection(b.page->ItemAt(i));
    for (auto _ : state) {
        Stack(*b.page, EStackCommand::BringToFront);
        Stack(*b.page, EStackCommand::SendToBack);
    }
    state.SetLabel("front + back");
}
BENCHMARK(BM_BringToFront)->Unit(benchmark::kMicrosecond);
} // namespace
