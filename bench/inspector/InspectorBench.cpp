// The inspector's speed: a finished slider change on a large object
// (record, re-render, repaint of the page window) and the reload of every
// window when the current object changes. Its own program because it needs
// Qt; run out/bench/pw-bench-inspector.
#include "app/QtInteraction.h"
#include "app/inspector/EffectsTabs.h"
#include "app/inspector/Inspector.h"
#include "controls/ControlCodes.h"
#include "controls/SliderControl.h"
#include "editor/EditorContext.h"
#include "editor/PlumeView.h"
#include "model/BackgroundFill.h"
#include "model/Document.h"
#include "model/Effects.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/UndoHistory.h"
#include "services/Settings.h"
#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
// A page window showing a 740 x 600 page with a 500 x 500 rectangle that
// glows, and a text beside it, with the inspector following the page.
struct CInspectedPage {
    CQtInteraction ui{nullptr};
    std::unique_ptr<CPlumeDoc> doc = std::make_unique<CPlumeDoc>(ui, "Pagewright");
    CPage* page = nullptr;
    CPageItem* big = nullptr;
    CPageItem* text = nullptr;
    CEditorContext context;
    CSettings settings;
    std::unique_ptr<CPlumeView> view;
    std::unique_ptr<CInspector> inspector;

    CInspectedPage() {
        auto site = std::make_unique<CSite>("Bench", CBackgroundFill(), 740, 600, CColor(0, 0, 255),
                                            CColor(128, 0, 128));
        page = &site->AddPage(std::make_unique<CPage>(*site, "Side1", "En"));
        page->SetHistory(std::make_unique<CUndoHistory>(*page, CPage::kUndoSteps));
        doc->NewSite(std::move(site));
        auto rect = std::make_unique<CRectObject>(DPOINT{300, 300}, CObjectSize{500, 500});
        auto effects = std::make_unique<CEffects>();
        effects->glowOn = true;
        effects->glowSize = 20;
        rect->SetEffects(std::move(effects));
        big = &page->InsertItem(std::move(rect));
        auto words = std::make_unique<CTextObject>(DPOINT{650, 100}, CObjectSize{120, 40});
        for (char c : std::string("Pagewright")) words->Layout().Append(uint8_t(c), DefaultCharStyle());
        text = &page->InsertItem(std::move(words));
        page->RenderAll();
        view = std::make_unique<CPlumeView>(*doc, *page, context);
        view->resize(760, 620);
        view->show();
        inspector = std::make_unique<CInspector>(context, settings, ui, doc.get(), nullptr);
        inspector->SetPage(page);
        page->SelectOnly(*big);
        QApplication::processEvents();
    }
    ~CInspectedPage() {
        inspector.reset();
        view.reset();
        doc.reset();
    }
};

// Release of the glow's softness slider: one undo step, the glow rendered
// again, the page window repainted.
void BM_GlowSoftnessRelease(benchmark::State& state) {
    CInspectedPage p;
    auto* glow = p.inspector->Find<CGlowTab>();
    CSliderControl* slider = glow->Softness()->Slider();
    int value = 20;
    for (auto _ : state) {
        value = value == 20 ? 21 : 20;
        slider->SetValue(value);
        emit slider->changed(slider->Id(), ctl::kSliderChanged);
        p.view->viewport()->repaint();
    }
    if (p.big->Current().GetEffects()->glowSize != value) state.SkipWithError("the glow did not change");
}
BENCHMARK(BM_GlowSoftnessRelease)->Unit(benchmark::kMillisecond);

// Another current object: every page of every window loads again.
void BM_RefreshOnSelection(benchmark::State& state) {
    CInspectedPage p;
    bool onText = false;
    for (auto _ : state) {
        onText = !onText;
        p.page->SelectOnly(onText ? *p.text : *p.big);
    }
}
BENCHMARK(BM_RefreshOnSelection)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
