// The view repaints only what a key or a mouse motion changed (and typing
// draws again only the text rows that changed); what that leaves on the
// screen, and in a text's planes, must be exactly what drawing everything
// gives.
#include "app/QtInteraction.h"
#include "editor/EditorContext.h"
#include "editor/PlumeView.h"
#include "model/Document.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/Effects.h"
#include "model/TextObject.h"
#include "render/Rendering.h"
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <cstring>
#include <functional>
#include <memory>

namespace {
// Three paragraphs in a 150-pixel box over a rectangle; the second holds a
// large underlined run (ink reaching into the rows around it).
struct Fixture {
    CQtInteraction ui;
    CPlumeDoc doc{ui, "Pagewright"};
    CSite site{"test.pwu"};
    CPage page{site, "p1", "side1"};
    CEditorContext context;
    std::unique_ptr<CPlumeView> view;
    CTextObject* text = nullptr;

    Fixture() {
        page.SetWidth(300);
        page.SetHeight(400);
        page.InsertItem(std::make_unique<CRectObject>(DPOINT{100, 150}, CObjectSize{120, 200}))
            .Current()
            .PrepareAndRender(page.TileBuffer());
        auto made = std::make_unique<CTextObject>(DPOINT{110, 150}, CObjectSize{150, 20});
        text = made.get();
        text->BeginEditing();
        CTextLayout& layout = text->Layout();
        const char* paragraphs[] = {"quick brown foxes jump over lazy dogs again and again",
                                    "gyp Big jumpy text here, quite long enough to wrap twice",
                                    "tail words end it all"};
        for (int p = 0; p < 3; ++p) {
            if (p) text->Editing().SplitParagraph(layout);
            for (const char* c = paragraphs[p]; *c; ++c)
                text->Editing().InsertChar(layout, static_cast<uint8_t>(*c));
        }
        layout.Restyle({1, 4}, {1, 20}, [](CCharStyle& s) {
            s.fontSize = 28;
            s.underline = true;
        });
        text->LayoutText();
        CPageItem& item = page.InsertItem(std::move(made));
        view = std::make_unique<CPlumeView>(doc, page, context);
        view->setFrameShape(QFrame::NoFrame);
        view->resize(320, 420);
        view->show();
        while (!view->windowHandle() || !view->windowHandle()->isExposed())
            QApplication::processEvents();
        view->BeginTextEdit(item);
        QApplication::processEvents();
    }

    void Mouse(QEvent::Type type, QPoint p) {
        QMouseEvent e(type, QPointF(p), QPointF(view->viewport()->mapToGlobal(p)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &e);
    }
    void Key(int key, const QString& typed = {}) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, typed);
        QApplication::sendEvent(view.get(), &e);
    }
    // What the window shows now, painted only where the view asked.
    QImage Screen() const {
        QApplication::processEvents();
        const QPoint at = view->viewport()->mapTo(view.get(), QPoint(0, 0));
        return view->screen()
            ->grabWindow(view->winId(), at.x(), at.y(), view->viewport()->width(),
                         view->viewport()->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // The whole viewport painted afresh.
    QImage Full() const {
        return view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

bool SamePlanes(const CImage* a, const CImage* b, int bytesPerPixel) {
    if (!a || !b || a->Width() != b->Width() || a->Height() != b->Height()) return false;
    for (int y = 0; y < a->Height(); ++y)
        if (std::memcmp(a->Bits() + y * a->RowBytes(), b->Bits() + y * b->RowBytes(),
                        static_cast<std::size_t>(a->Width()) * bytesPerPixel) != 0)
            return false;
    return true;
}
} // namespace

class PartialRepaintTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallRendering(nullptr); }

    void TypingLeavesThePixelsOfAWholeRedraw() {
        struct {
            const char* name;
            CTextPos caret;
            std::function<void(Fixture&)> keys;
        } cases[] = {
            {"first row", {0, 0}, [](Fixture& f) { f.Key(Qt::Key_X, QStringLiteral("x")); }},
            {"rewraps the paragraph", {0, 10},
             [](Fixture& f) {
                 for (int i = 0; i < 12; ++i) f.Key(Qt::Key_M, QStringLiteral("m"));
             }},
            {"below the large run", {1, 40}, [](Fixture& f) { f.Key(Qt::Key_G, QStringLiteral("g")); }},
            {"inside the large run", {1, 6},
             [](Fixture& f) { f.Key(Qt::Key_Backspace, QStringLiteral("\b")); }},
            {"joins paragraphs", {2, 0},
             [](Fixture& f) { f.Key(Qt::Key_Backspace, QStringLiteral("\b")); }},
            {"splits a paragraph", {0, 20},
             [](Fixture& f) { f.Key(Qt::Key_Return, QStringLiteral("\r")); }},
            {"last character", {2, 21},
             [](Fixture& f) { f.Key(Qt::Key_Backspace, QStringLiteral("\b")); }},
        };
        for (const auto& c : cases) {
            Fixture f;
            CTextLayout& layout = f.text->Layout();
            // The caret is placed behind the view's back: all of it is shown again.
            f.text->Editing().MoveTo(layout, c.caret, false);
            f.view->viewport()->update();
            QApplication::processEvents();
            const unsigned draws = layout.DrawCount();
            c.keys(f);
            QVERIFY2(layout.DrawCount() > draws, c.name);
            // The planes: a copy of the text drawn from nothing.
            CTextLayout fresh(layout);
            QVERIFY(fresh.Draw());
            QVERIFY2(SamePlanes(layout.CoverageImage(), fresh.CoverageImage(), 1), c.name);
            QVERIFY2(SamePlanes(layout.ColourImage(), fresh.ColourImage(), 3), c.name);
            QVERIFY2(layout.InkBox() == fresh.InkBox(), c.name);
            // The screen: the areas the view repainted leave nothing stale,
            // and the text's image matches one made whole.
            const QImage screen = f.Screen();
            QVERIFY2(screen == f.Full(), c.name);
            f.text->Invalidate();
            f.text->PrepareAndRender(f.page.TileBuffer());
            QVERIFY2(screen == f.Full(), c.name);
        }
    }

    void DraggedSelectionLeavesNothingBehind() {
        // Three shadowed rectangles (one under the text) dragged in steps,
        // each step painted before the next; then the button goes up.
        Fixture f;
        f.view->EndTextEdit();
        f.page.DeselectAll();
        CPageItem* grabbed = nullptr;
        for (const QPoint at : {QPoint(200, 300), QPoint(240, 340), QPoint(60, 60)}) {
            auto shape = std::make_unique<CRectObject>(DPOINT{1.0 * at.x(), 1.0 * at.y()},
                                                       CObjectSize{40, 30});
            auto effects = std::make_unique<CEffects>();
            effects->shadowOn = true;
            shape->SetEffects(std::move(effects));
            CPageItem& item = f.page.InsertItem(std::move(shape));
            item.Current().PrepareAndRender(f.page.TileBuffer());
            f.page.AddToSelection(item);
            grabbed = &item;
        }
        f.view->viewport()->update();
        QApplication::processEvents();
        const int left = grabbed->GetRect().left;
        QPoint p(60, 60);
        f.Mouse(QEvent::MouseButtonPress, p);
        QVERIFY(f.Screen() == f.Full());
        for (const QPoint step : {QPoint(5, 0), QPoint(7, 9), QPoint(-20, 3), QPoint(1, 1)}) {
            p += step;
            f.Mouse(QEvent::MouseMove, p);
            QVERIFY(f.Screen() == f.Full());
        }
        f.Mouse(QEvent::MouseButtonRelease, p);
        QVERIFY(f.Screen() == f.Full());
        QCOMPARE(grabbed->GetRect().left, left - 7);
    }
};

QTEST_MAIN(PartialRepaintTest)
#include "PartialRepaintTest.moc"
