// Interactive speed of the page editor, driving a real view offscreen: a
// mouse-move of a drag (paint included), a typed character, opening a page
// window. Its own program because it needs Qt; run out/bench/pw-bench-editor.
#include "app/QtInteraction.h"
#include "editor/EditorContext.h"
#include "editor/PlumeView.h"
#include "model/Document.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/EllipseObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/UndoHistory.h"
#include "render/Rendering.h"
#include "model/Effects.h"
#include "services/Gradient.h"
#include "model/ObjectFill.h"
#include <QApplication>
#include <QMouseEvent>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <random>

namespace {
// A 740 x 600 page with 500 shapes carrying shadows and gradients, every
// one rendered (as after the idle rendering of an open site).
struct CBusyPage {
    CQtInteraction ui;
    CPlumeDoc doc{ui, "Pagewright"};
    CSite site{"bench.pwu"};
    CPage page{site, "p1", "side1"};
    CEditorContext context;

    CBusyPage() {
        page.SetWidth(740);
        page.SetHeight(600);
        std::mt19937 random(7);
        std::uniform_int_distribution<int> x(30, 710), y(30, 570), side(20, 60);
        for (int i = 0; i < 500; ++i) {
            std::unique_ptr<CShapeObject> shape;
            const DPOINT centre{1.0 * x(random), 1.0 * y(random)};
            const CObjectSize size{side(random), side(random)};
            if (i % 2)
                shape = std::make_unique<CRectObject>(centre, size);
            else
                shape = std::make_unique<CEllipseObject>(centre, size);
            CFillGradient gradient;
            gradient.angle = (i * 37) % 360;
            shape->GetFill()->SetGradient(gradient);
            auto effects = std::make_unique<CEffects>();
            effects->shadowOn = true;
            shape->SetEffects(std::move(effects));
            page.InsertItem(std::move(shape));
        }
        page.RenderAll();
    }
};

CBusyPage& Busy() {
    static CBusyPage busy;
    return busy;
}

void SendMouse(QWidget* port, QEvent::Type type, QPoint p) {
    QMouseEvent e(type, QPointF(p), QPointF(port->mapToGlobal(p)),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
    QApplication::sendEvent(port, &e);
}

std::unique_ptr<CPlumeView> OpenView(CBusyPage& busy) {
    auto view = std::make_unique<CPlumeView>(busy.doc, busy.page, busy.context);
    view->setFrameShape(QFrame::NoFrame);
    view->resize(760, 620);
    view->show();
    // Offscreen windows are exposed once their first events are through;
    // only then does a repaint draw anything.
    while (!view->windowHandle() || !view->windowHandle()->isExposed())
        QApplication::processEvents();
    view->viewport()->repaint();
    return view;
}

// Drags the selection back and forth one pixel per mouse-move; each move
// is followed by the paint it caused.
void Drag(benchmark::State& state, int selected) {
    CBusyPage& busy = Busy();
    busy.page.DeselectAll();
    // The topmost item and others spread through the stacking order, so the
    // press lands on a selected item.
    const int top = busy.page.ItemCount() - 1;
    for (int i = 0; i < selected; ++i)
        busy.page.AddToSelection(busy.page.ItemAt(top - i * 7));
    auto view = OpenView(busy);
    QWidget* port = view->viewport();
    const CRect r = busy.page.ItemAt(top).GetRect();
    QPoint p((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMouse(port, QEvent::MouseButtonPress, p);
    // Past the wiggle once, so that every measured motion moves the selection.
    const CRect before = busy.page.ItemAt(top).GetRect();
    p.rx() += 3;
    SendMouse(port, QEvent::MouseMove, p);
    QApplication::processEvents();
    if (busy.page.ItemAt(top).GetRect() == before) state.SkipWithError("the drag moves nothing");
    int step = 1;
    for (auto _ : state) {
        p.rx() += step;
        step = -step;
        SendMouse(port, QEvent::MouseMove, p);
        QApplication::processEvents();
    }
    SendMouse(port, QEvent::MouseButtonRelease, p);
    busy.page.DeselectAll();
}

void DragOneItem(benchmark::State& state) { Drag(state, 1); }
void DragFiftyItems(benchmark::State& state) { Drag(state, 50); }

// A character typed into (and taken out of) a 2,000-character text being
// edited in place, with the repaint it causes.
void TypeInLongText(benchmark::State& state) {
    CBusyPage& busy = Busy();
    auto made = std::make_unique<CTextObject>(DPOINT{370, 300}, CObjectSize{400, 20});
    CTextObject* text = made.get();
    text->BeginEditing();
    for (int i = 0; i < 2000; ++i)
        text->Editing().InsertChar(text->Layout(), static_cast<uint8_t>(i % 7 == 6 ? ' ' : 'a' + i % 26));
    text->LayoutText();
    CPageItem& item = busy.page.InsertItem(std::move(made));
    auto view = OpenView(busy);
    view->BeginTextEdit(item);
    QApplication::processEvents();
    bool insert = true;
    for (auto _ : state) {
        QKeyEvent key(QEvent::KeyPress, insert ? Qt::Key_X : Qt::Key_Backspace, Qt::NoModifier,
                      insert ? QStringLiteral("x") : QStringLiteral("\b"));
        QApplication::sendEvent(view.get(), &key);
        QApplication::processEvents();
        insert = !insert;
    }
    view->EndTextEdit();
    busy.page.RemoveItem(*busy.page.FindItem(*text));
}

// A page window of the busy page opens and draws the whole page.
void OpenPageWindow(benchmark::State& state) {
    CBusyPage& busy = Busy();
    busy.page.DeselectAll();
    for (auto _ : state) {
        auto view = OpenView(busy);
        benchmark::DoNotOptimize(view.get());
    }
}
} // namespace

BENCHMARK(DragOneItem)->Unit(benchmark::kMillisecond);
BENCHMARK(DragFiftyItems)->Unit(benchmark::kMillisecond);
BENCHMARK(TypeInLongText)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenPageWindow)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    InstallRendering(nullptr);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
