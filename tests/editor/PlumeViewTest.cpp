// The page view driven with synthetic mouse and key events: gestures and
// their thresholds, creation tools, guides, keyboard moves, in-place text
// editing and what the view paints.
#include "app/QtInteraction.h"
#include "editor/Cursors.h"
#include "editor/EditorContext.h"
#include "editor/EditorDialogs.h"
#include "editor/EditorGeometry.h"
#include "editor/PlumeView.h"
#include "model/Document.h"
#include "model/HtmlObject.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/UndoCommands.h"
#include "model/UndoHistory.h"
#include "render/Rendering.h"
#include "model/ObjectFill.h"
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>
#include <numbers>

namespace {
constexpr double kPi = std::numbers::pi;

// One page of 300 x 200 in a view of 400 x 300 (grey shows right and below).
struct Fixture {
    CQtInteraction ui;
    CPlumeDoc doc{ui, "Pagewright"};
    CSite site{"test.pwu"};
    std::unique_ptr<CPage> page;
    CEditorContext context;
    std::unique_ptr<CPlumeView> view;

    Fixture() {
        page = std::make_unique<CPage>(site, "p1", "side1");
        page->SetWidth(300);
        page->SetHeight(200);
        view = std::make_unique<CPlumeView>(doc, *page, context);
        view->setFrameShape(QFrame::NoFrame);
        view->resize(400, 300);
        view->show();
    }
    ~Fixture() { view.reset(); }
    CUndoHistory& History() const { return static_cast<CUndoHistory&>(page->History()); }
    QWidget* Port() const { return view->viewport(); }

    void Send(QEvent::Type type, QPoint p, Qt::KeyboardModifiers m, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(p), QPointF(Port()->mapToGlobal(p)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, m);
        QApplication::sendEvent(Port(), &e);
    }
    void Press(QPoint p, Qt::KeyboardModifiers m = {}) {
        Send(QEvent::MouseButtonPress, p, m, Qt::LeftButton);
    }
    void Move(QPoint p, Qt::KeyboardModifiers m = {}) { Send(QEvent::MouseMove, p, m, Qt::LeftButton); }
    void Release(QPoint p, Qt::KeyboardModifiers m = {}) {
        Send(QEvent::MouseButtonRelease, p, m, Qt::NoButton);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers m = {}) {
        Press(from, m);
        Move(to, m);
        Release(to, m);
    }
    void Key(int key, bool autoRepeat, QEvent::Type type = QEvent::KeyPress,
             const QString& text = {}, Qt::KeyboardModifiers m = {}) {
        QKeyEvent e(type, key, m, text, autoRepeat);
        QApplication::sendEvent(view.get(), &e);
    }
    void Type(const QString& text) {
        for (QChar c : text) Key(0, false, QEvent::KeyPress, c);
    }
    CPageItem& AddRect(int cx, int cy, int w, int h) {
        CPageItem& item = page->InsertItem(
            std::make_unique<CRectObject>(DPOINT{1.0 * cx, 1.0 * cy}, CObjectSize{w, h}));
        item.Current().PrepareAndRender(page->TileBuffer());
        return item;
    }
    QImage Grab() const {
        view->viewport()->repaint();
        return Port()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

std::string Paragraphs(const CTextObject& text) {
    std::string s;
    for (int p = 0; p < text.Layout().ParagraphCount(); ++p) {
        if (p) s += '|';
        s += text.Layout().Paragraph(p).text;
    }
    return s;
}
} // namespace

class PlumeViewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        InstallRendering(nullptr);
    }

    void HandleSquares() {
        struct {
            int x, y;
            bool textFrame, hit;
        } cases[] = {
            {98, 48, false, true},   {102, 52, false, true}, {103, 50, false, false},
            {97, 50, false, false},  {94, 44, true, true},   {105, 55, true, true},
            {106, 50, true, false},  {93, 50, true, false},
        };
        for (const auto& c : cases)
            QVERIFY2(pw::HitsHandle(c.x, c.y, DPOINT{100.7, 50.2}, c.textFrame) == c.hit,
                     qPrintable(QStringLiteral("%1,%2").arg(c.x).arg(c.y)));
    }

    void ResizeCursorFollowsTheEdgeAngle() {
        // The top edge handle of an upright, a 45-degree and a 90-degree turned box.
        struct {
            double angle;
            int cursor;
        } cases[] = {{0, pw::kCursorSizeNS}, {kPi / 4, pw::kCursorSizeNWSE}, {kPi / 2, pw::kCursorSizeWE}};
        for (const auto& c : cases) {
            CRectObject r(DPOINT{100, 100}, CObjectSize{80, 40}, c.angle);
            QCOMPARE(pw::ResizeCursorFor(r.GetHandles(), 1) == c.cursor ||
                         pw::ResizeCursorFor(r.GetHandles(), 6) == c.cursor,
                     true);
        }
    }

    void CursorsAreDrawnAtEachPixelRatio() {
        for (qreal dpr : {1.0, 2.0}) {
            for (int id : {282, 283, 284, 285, 286, 287, 288, 289, 290, 293, 312}) {
                const QImage image = pw::CursorPixmap(id, dpr).toImage();
                QCOMPARE(image.width(), static_cast<int>(32 * dpr));
                bool black = false, white = false;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x) {
                        const QRgb p = image.pixel(x, y);
                        black = black || (qAlpha(p) == 255 && qRed(p) < 20);
                        white = white || (qAlpha(p) == 255 && qRed(p) > 235);
                    }
                QVERIFY2(black && white, qPrintable(QString::number(id)));
            }
        }
    }

    void WiggleAfterSelectingMovesNothing() {
        struct {
            int motion, moved, steps;
        } cases[] = {{2, 0, 0}, {3, 3, 1}};
        for (const auto& c : cases) {
            Fixture f;
            CPageItem& item = f.AddRect(100, 100, 40, 40);
            const int before = f.History().UndoCount();
            f.Press({100, 100});
            f.Move({100 + c.motion, 100 - c.motion});
            f.Release({100 + c.motion, 100 - c.motion});
            QVERIFY(item.IsSelected());
            QCOMPARE(item.Current().GetCenter().x, 100.0 + c.moved);
            QCOMPARE(f.History().UndoCount() - before, c.steps);
        }
    }

    void CtrlRotationSnapsToEighthTurns() {
        struct {
            double degrees, expected;
        } cases[] = {{20, 0}, {25, kPi / 4}};
        for (const auto& c : cases) {
            Fixture f;
            CPageItem& item = f.AddRect(150, 100, 100, 60);
            f.page->SelectOnly(item);
            QSignalSpy notes(f.view.get(), &CPlumeView::inspectorNotify);
            f.Press({200, 70}); // handle 2, top right
            QCOMPARE(notes.first().first().toInt(), 10012);
            const double a0 = std::atan2(70 - 100.0, 200 - 150.0);
            const double a = a0 - c.degrees * kPi / 180; // turning counter-clockwise
            const QPoint to(150 + static_cast<int>(std::lround(120 * std::cos(a))),
                            100 + static_cast<int>(std::lround(120 * std::sin(a))));
            f.Move(to, Qt::ControlModifier);
            f.Release(to, Qt::ControlModifier);
            QVERIFY(std::abs(item.Current().GetAngle() - c.expected) < 1e-9);
        }
    }

    void ResizeKeepsTheAnchorEdgeAndFlipsAcrossIt() {
        // A 40 x 20 rectangle centred at (100, 100); its right handle is at
        // (120, 100), the left edge (x = 80) is the anchor.
        struct {
            QPoint to;
            Qt::KeyboardModifiers m;
            double cx;
            CObjectSize size;
        } cases[] = {
            {{150, 100}, {}, 115, {70, 20}},
            {{60, 100}, {}, 70, {20, 20}}, // crossed the anchor: grows leftwards
            {{160, 100}, Qt::ShiftModifier, 120, {80, 80}},
            {{160, 100}, Qt::ControlModifier, 120, {80, 40}},
        };
        for (const auto& c : cases) {
            Fixture f;
            CPageItem& item = f.AddRect(100, 100, 40, 20);
            f.page->SelectOnly(item);
            f.Press({120, 100});
            QCOMPARE(f.History().UndoCount(), 1);
            f.Move(c.to, c.m);
            f.Release(c.to, c.m);
            QCOMPARE(item.Current().GetSize(), c.size);
            QCOMPARE(item.Current().GetCenter().x, c.cx);
            QCOMPARE(item.Current().GetCenter().y, 100.0);
        }
    }

    void GroupResizeKeepsEachMembersPlace() {
        Fixture f;
        CPageItem& a = f.AddRect(60, 100, 20, 20);
        CPageItem& b = f.AddRect(120, 100, 20, 40);
        CObjectSet& group =
            f.page->AppendSet(std::make_unique<CObjectSet>(std::vector<CPageItem*>{&a, &b}));
        group.SetGroup(true);
        // Frame 50..130 x 80..120; dragging its right edge from 130 to 210
        // doubles it, the left edge staying.
        f.Press({130, 100});
        f.Move({210, 100});
        f.Release({210, 100});
        QCOMPARE(a.Current().GetSize(), (CObjectSize{40, 40}));
        QCOMPARE(b.Current().GetSize(), (CObjectSize{40, 80}));
        QCOMPARE(a.Current().GetCenter().x, 70.0);
        QCOMPARE(b.Current().GetCenter().x, 190.0);
        QVERIFY(group.IsSelected());
    }

    void ContextMenuInsertsGuidesAtTheClick() {
        Fixture f;
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(70, 40),
                                f.Port()->mapToGlobal(QPoint(70, 40)));
        QApplication::sendEvent(f.Port(), &event);
        QCOMPARE(f.view->ContextMenuPoint(), QPoint(70, 40));
        auto* menu = f.view->findChild<QMenu*>();
        QVERIFY(menu);
        menu->actions().at(0)->trigger(); // horizontal guide
        menu->actions().at(1)->trigger(); // vertical guide
        menu->close();
        QCOMPARE(f.page->GuideCount(true), 1);
        QCOMPARE(f.page->GuideAt(true, 0), 40);
        QCOMPARE(f.page->GuideAt(false, 0), 70);
    }

    void CreationToolsSpanTheirShapeAndReturnToTheArrow() {
        struct {
            ETool tool;
            QPoint from, to;
            Qt::KeyboardModifiers m;
            DPOINT centre;
            CObjectSize size;
        } cases[] = {
            {ETool::Circle, {10, 10}, {40, 20}, Qt::ShiftModifier, {15, 15}, {10, 10}},
            {ETool::Rectangle, {10, 10}, {40, 20}, {}, {25, 15}, {30, 10}},
            {ETool::Rectangle, {50, 50}, {50, 50}, {}, {50.5, 50.5}, {1, 1}},
        };
        for (const auto& c : cases) {
            Fixture f;
            f.context.SetTool(c.tool);
            f.Drag(c.from, c.to, c.m);
            QCOMPARE(f.page->ItemCount(), 1);
            const CPageObject& shape = f.page->ItemAt(0).Current();
            QCOMPARE(shape.GetCenter().x, c.centre.x);
            QCOMPARE(shape.GetCenter().y, c.centre.y);
            QCOMPARE(shape.GetSize(), c.size);
            QCOMPARE(f.context.Tool(), ETool::Arrow);
            QCOMPARE(f.History().UndoCount(), 1);
        }
    }

    void BandsHaveTheirSmallestSizes() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("pic.png"));
        QImage picture(60, 45, QImage::Format_RGB32);
        picture.fill(QColor(10, 200, 30));
        QVERIFY(picture.save(file));
        const QString huge = dir.filePath(QStringLiteral("huge.png"));
        QImage wide(600, 100, QImage::Format_RGB32);
        wide.fill(Qt::red);
        QVERIFY(wide.save(huge));

        pw::CEditorDialogs saved = pw::EditorDialogs();
        QString chosen;
        int htmlDialogs = 0;
        pw::EditorDialogs().choosePicture = [&](QWidget*, const QString&) { return chosen; };
        pw::EditorDialogs().largePicture = [](QWidget*, QSize, QSize) { return pw::ELargePicture::Fit; };
        pw::EditorDialogs().editHtml = [&](QWidget*, CHtmlObject&) { ++htmlDialogs; };
        struct {
            ETool tool;
            QString file;
            QPoint from, to;
            CRect rect;
        } cases[] = {
            {ETool::Picture, file, {20, 20}, {24, 100}, {20, 20, 80, 65}},     // own size
            {ETool::Picture, file, {20, 20}, {120, 70}, {20, 20, 120, 70}},   // the band
            {ETool::Picture, huge, {5, 5}, {6, 6}, {0, 75, 300, 125}},        // fitted, centred
            {ETool::Html, {}, {30, 40}, {33, 43}, {30, 40, 45, 55}},
        };
        for (const auto& c : cases) {
            Fixture f;
            chosen = c.file;
            f.context.SetTool(c.tool);
            f.Drag(c.from, c.to);
            QCOMPARE(f.page->ItemCount(), 1);
            const CRect r = f.page->ItemAt(0).GetRect();
            QVERIFY2(r == c.rect, qPrintable(QStringLiteral("%1,%2,%3,%4")
                                                 .arg(r.left).arg(r.top).arg(r.right).arg(r.bottom)));
            QVERIFY(f.page->ItemAt(0).IsSelected());
            QCOMPARE(f.History().UndoCount(), 1);
            QCOMPARE(f.context.Tool(), ETool::Arrow);
        }
        QCOMPARE(htmlDialogs, 1);
        pw::EditorDialogs() = saved;
    }

    void GuidesFollowAndLeaveOutsideThePage() {
        // Locked guides neither move nor leave, and show no guide cursor.
        struct {
            QPoint to;
            bool locked;
            int left, at;
        } cases[] = {{{120, 60}, false, 1, 120}, {{-10, 60}, false, 0, 0},
                     {{300, 60}, false, 0, 0},   {{120, 60}, true, 1, 80},
                     {{-10, 60}, true, 1, 80}};
        for (const auto& c : cases) {
            Fixture f;
            f.context.SetGuidesLocked(c.locked);
            f.page->AddGuide(false, 80); // a line at x = 80
            f.Send(QEvent::MouseMove, {81, 60}, {}, Qt::NoButton);
            QCOMPARE(f.view->CursorId() == pw::kCursorGuideVertical, !c.locked);
            f.Press({81, 60});
            f.Move(c.to);
            f.Release(c.to);
            QCOMPARE(f.page->GuideCount(false), c.left);
            if (c.left) QCOMPARE(f.page->GuideAt(false, 0), c.at);
        }
    }

    void HeldArrowKeyIsOneUndoStep() {
        Fixture f;
        CPageItem& item = f.AddRect(100, 100, 20, 20);
        f.page->SelectOnly(item);
        f.Key(Qt::Key_Right, false);
        for (int i = 0; i < 4; ++i) {
            f.Key(Qt::Key_Right, true, QEvent::KeyRelease);
            f.Key(Qt::Key_Right, true);
        }
        f.Key(Qt::Key_Right, false, QEvent::KeyRelease);
        QCOMPARE(item.Current().GetCenter().x, 105.0);
        QCOMPARE(f.History().UndoCount(), 1);
        QVERIFY(UndoCommand(f.page.get()));
        QCOMPARE(item.Current().GetCenter().x, 100.0);
    }

    void BandSelectsWhatItsOutlineMeets() {
        Fixture f;
        CPageItem& a = f.AddRect(50, 50, 40, 40);
        CPageItem& b = f.AddRect(200, 150, 40, 40);
        f.Press({10, 10});
        f.Move({35, 35});
        QVERIFY(a.IsSelected() && !b.IsSelected());
        f.Move({185, 135});
        QVERIFY(a.IsSelected() && b.IsSelected());
        f.Move({20, 20}); // back out of both
        f.Release({20, 20});
        QVERIFY(!a.IsSelected() && !b.IsSelected());
    }

    void TypingEditsTheTextInPlace() {
        struct {
            const char* name;
            std::function<void(Fixture&)> keys;
            std::string text;
            int beeps;
        } cases[] = {
            {"typed", [](Fixture& f) { f.Type(QStringLiteral("abc")); }, "abc", 0},
            {"code page", [](Fixture& f) { f.Type(QStringLiteral("é€ő")); }, "\xE9\x80", 1},
            {"return, backspace",
             [](Fixture& f) {
                 f.Type(QStringLiteral("ab"));
                 f.Key(Qt::Key_Return, false, QEvent::KeyPress, QStringLiteral("\r"));
                 f.Type(QStringLiteral("cd"));
                 f.Key(Qt::Key_Backspace, false, QEvent::KeyPress, QStringLiteral("\b"));
             },
             "ab|c", 0},
            {"shift home, delete",
             [](Fixture& f) {
                 f.Type(QStringLiteral("abcd"));
                 f.Key(Qt::Key_Left, false);
                 f.Key(Qt::Key_Home, false, QEvent::KeyPress, {}, Qt::ShiftModifier);
                 f.Key(Qt::Key_Delete, false);
             },
             "d", 0},
            {"up between rows",
             [](Fixture& f) {
                 f.Type(QStringLiteral("ab"));
                 f.Key(Qt::Key_Return, false, QEvent::KeyPress, QStringLiteral("\r"));
                 f.Type(QStringLiteral("cd"));
                 f.Key(Qt::Key_Up, false);
                 f.Type(QStringLiteral("X"));
             },
             "abX|cd", 0},
            {"escape, tab",
             [](Fixture& f) {
                 f.Type(QStringLiteral("a"));
                 f.Key(Qt::Key_Escape, false, QEvent::KeyPress, QStringLiteral("\x1b"));
                 f.Key(Qt::Key_Tab, false, QEvent::KeyPress, QStringLiteral("\t"));
             },
             "a", 1},
        };
        for (const auto& c : cases) {
            Fixture f;
            f.context.SetTool(ETool::Text);
            f.Drag({20, 20}, {50, 20});
            CTextObject* text = f.view->EditedText();
            QVERIFY(text);
            QCOMPARE(text->Layout().boxWidth, 100); // a 30-pixel area is made 100 wide
            QCOMPARE(f.context.Tool(), ETool::Text);
            QSignalSpy notes(f.view.get(), &CPlumeView::inspectorNotify);
            c.keys(f);
            QVERIFY2(Paragraphs(*text) == c.text, c.name);
            QCOMPARE(f.view->BeepCount(), c.beeps);
            QVERIFY(notes.count() > 0 && notes.last().first().toInt() == 10016);
        }
    }

    void EndingAnEditKeepsUndoConsistent() {
        // Create a text, drag its frame (a side widens it, the top moves it),
        // type nothing or something, click elsewhere, then Undo, Redo, Undo.
        // The AddressSanitizer build runs this too: no step may keep the
        // dropped empty text.
        struct {
            QString typed;
            int handle; // 4: the right side, 1: the top
            int items, steps;
        } cases[] = {{{}, 4, 1, 1}, {{}, 1, 1, 1}, {QStringLiteral("Hej"), 4, 2, 2},
                     {QStringLiteral("Hej"), 1, 2, 2}};
        for (const auto& c : cases) {
            Fixture f;
            f.page->SelectOnly(f.AddRect(250, 150, 20, 20));
            f.page->RecordUndo(EUndoKind::Insert);
            f.context.SetTool(ETool::Text);
            f.Drag({20, 20}, {160, 20});
            CTextObject* text = f.view->EditedText();
            QVERIFY(text);
            const DPOINT* h = text->GetHandles();
            const QPoint grip(static_cast<int>(h[c.handle].x), static_cast<int>(h[c.handle].y));
            const CRect box = text->BoxRect();
            f.Drag(grip, grip + QPoint(30, c.handle == 1 ? 25 : 0));
            if (c.handle == 4)
                QVERIFY(text->Layout().boxWidth > 150);
            else
                QCOMPARE(text->BoxRect().top, box.top + 25);
            f.Type(c.typed);
            f.Drag({200, 180}, {200, 180}); // elsewhere: editing ends
            QCOMPARE(f.view->EditedText(), static_cast<CTextObject*>(nullptr));
            QCOMPARE(f.context.Tool(), ETool::Arrow);
            QCOMPARE(f.page->ItemCount(), c.items);
            QCOMPARE(f.History().UndoCount(), c.steps);
            QVERIFY(UndoCommand(f.page.get()));
            QVERIFY(RedoCommand(f.page.get()));
            QVERIFY(UndoCommand(f.page.get()));
            QCOMPARE(f.page->ItemCount(), c.items - 1);
        }
    }

    void PaintsSurroundHandlesAndTwinOutlines() {
        Fixture f;
        CPageItem& plain = f.AddRect(60, 60, 40, 40);
        CPageItem& twin = f.AddRect(200, 100, 40, 40);
        twin.AttachMouseOver(twin.Normal().Clone());
        twin.SetEditingMouseOver(false);
        f.page->SelectOnly(plain);
        f.page->AddToSelection(twin);
        const QImage image = f.Grab();
        QCOMPARE(QColor(image.pixel(350, 250)), QColor(190, 190, 190));
        QCOMPARE(QColor(image.pixel(150, 195)), QColor(255, 255, 255)); // page background
        // Handle 0 of the plain rectangle is (40, 40): its square's corner.
        QCOMPARE(QColor(image.pixel(38, 38)), QColor(0, 128, 255));
        // The twin's outline runs along its left edge at x = 180.
        QCOMPARE(QColor(image.pixel(180, 100)), QColor(64, 192, 64));
    }

    void PipetteShowsAndPicksTheColour() {
        Fixture f;
        CPageItem& item = f.AddRect(100, 100, 40, 40);
        item.Current().GetFill()->SetColour(CColor(12, 34, 56));
        item.Current().Invalidate();
        item.Current().PrepareAndRender(f.page->TileBuffer());
        f.context.SetTool(ETool::Pipette);
        QSignalSpy status(f.view.get(), &CPlumeView::statusText);
        f.Move({100, 100});
        QVERIFY2(status.last().first().toString().endsWith(QStringLiteral("   ( 12, 34, 56)")),
                 qPrintable(status.last().first().toString()));
        f.Press({100, 100});
        f.Release({100, 100});
        QCOMPARE(f.context.PickedColor().GetCOLORREF(), CColor(12, 34, 56).GetCOLORREF());
        QCOMPARE(f.view->CursorId(), 312);
    }
};

QTEST_MAIN(PlumeViewTest)
#include "PlumeViewTest.moc"
