// Taking an undo step on a page of 1000 shapes, each with a mouse-over twin
// and a link (texts for the text steps): the step is taken before every change, so it must cost far
// less than a frame. Each kind is timed with one item selected and with all
// of them selected.
#include "model/ObjectLink.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/UndoHistory.h"
#include "model/BackgroundFill.h"
#include <benchmark/benchmark.h>

namespace {
constexpr int kItems = 1000;

struct CUndoBenchPage {
    CSite site{"Bench", CBackgroundFill(), 2000, 2000, CColor(0, 0, 255), CColor(128, 0, 128)};
    CPage* page;

    explicit CUndoBenchPage(bool selectAll) {
        page = &site.AddPage(std::make_unique<CPage>(site, "Side1", "Bench"));
        page->SetHistory(std::make_unique<CUndoHistory>(*page, CPage::kUndoSteps));
        for (int i = 0; i < kItems; ++i) {
            const double x = 20 + (i * 37) % 1900, y = 20 + (i * 53) % 1900;
            CPageItem& item =
                page->InsertItem(std::make_unique<CRectObject>(DPOINT{x, y}, CObjectSize{30, 20}));
            auto link = std::make_unique<CObjectLink>();
            link->enabled = true;
            item.Normal().SetLink(std::move(link));
            item.AttachMouseOver(item.Normal().Clone());
            item.SetEditingMouseOver(false);
        }
        if (selectAll)
            page->SelectAll();
        else
            page->SelectOnly(page->ItemAt(kItems / 2));
    }
};

// Records the kind and withdraws it again, so the ring never fills and
// every iteration makes and drops one step.
void BM_RecordStep(benchmark::State& state) {
    const auto kind = static_cast<EUndoKind>(state.range(0));
    CUndoBenchPage b(state.range(1) != 0);
    for (auto _ : state) {
        b.page->RecordUndo(kind);
        b.page->History().Record(EUndoKind::Withdraw);
    }
    state.SetLabel(state.range(1) ? "all selected" : "one selected");
}
BENCHMARK(BM_RecordStep)
    ->ArgsProduct({{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// The text steps keep whole text records: a page of 1000 short texts.
void BM_RecordTextStep(benchmark::State& state) {
    const auto kind = static_cast<EUndoKind>(state.range(0));
    CSite site{"Bench", CBackgroundFill(), 2000, 2000, CColor(0, 0, 255), CColor(128, 0, 128)};
    CPage& page = site.AddPage(std::make_unique<CPage>(site, "Side1", "Bench"));
    page.SetHistory(std::make_unique<CUndoHistory>(page, CPage::kUndoSteps));
    for (int i = 0; i < kItems; ++i) {
        const double x = 60 + (i * 37) % 1800, y = 20 + (i * 53) % 1900;
        auto text = std::make_unique<CTextObject>(DPOINT{x, y}, CObjectSize{100, 20});
        for (char c : std::string("Velkommen til siden"))
            text->Editing().InsertChar(text->Layout(), static_cast<uint8_t>(c));
        page.InsertItem(std::move(text));
    }
    if (state.range(1))
        page.SelectAll();
    else
        page.SelectOnly(page.ItemAt(kItems / 2));
    for (auto _ : state) {
        page.RecordUndo(kind);
        page.History().Record(EUndoKind::Withdraw);
    }
    state.SetLabel(state.range(1) ? "all selected" : "one selected");
}
BENCHMARK(BM_RecordTextStep)->ArgsProduct({{3, 4}, {0, 1}})->Unit(benchmark::kMicrosecond);

// Undo and redo of a move of the whole selection.
void BM_UndoRedoMove(benchmark::State& state) {
    CUndoBenchPage b(true);
    b.page->RecordUndo(EUndoKind::Move);
    for (const auto& set : b.page->Sets())
        set->MoveBy(5, 5);
    for (auto _ : state) {
        b.page->History().Undo();
        b.page->History().Redo();
    }
}
BENCHMARK(BM_UndoRedoMove)->Unit(benchmark::kMicrosecond);
} // namespace
