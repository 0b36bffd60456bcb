// A page window on a screen with two device pixels to a pixel draws the page
// from a copy at scale 2 that follows every change of the page: what it shows
// is the page rendered at scale 2, not the page's pixels enlarged.
#include "app/QtInteraction.h"
#include "editor/EditorContext.h"
#include "editor/PlumeView.h"
#include "editor/ScaledMirror.h"
#include "model/BackgroundFill.h"
#include "model/Document.h"
#include "model/EllipseObject.h"
#include "model/ObjectFill.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageScale.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "render/PageRenderer.h"
#include "render/Rendering.h"
#include <QApplication>
#include <QTest>
#include <QWindow>
#include <functional>
#include <memory>

namespace {

// The page rendered whole, as red, green, blue rows (the view's picture).
QImage Rendered(CPage& page) {
    QImage out(page.Width(), page.Height(), QImage::Format_RGB32);
    std::vector<uint8_t> argb(static_cast<std::size_t>(CPage::kTileSize) * CPage::kTileSize * 4);
    for (int y = 0; y < page.Height(); y += CPage::kTileSize) {
        for (int x = 0; x < page.Width(); x += CPage::kTileSize) {
            const int w = std::min(CPage::kTileSize, page.Width() - x);
            const int h = std::min(CPage::kTileSize, page.Height() - y);
            RenderRegion(page, CRect{x, y, x + w, y + h}, argb.data(), w * 4);
            for (int r = 0; r < h; ++r)
                for (int c = 0; c < w; ++c) {
                    const uint8_t* s = &argb[(static_cast<std::size_t>(r) * w + c) * 4];
                    out.setPixel(x + c, y + r, qRgb(s[1], s[2], s[3]));
                }
        }
    }
    return out;
}

QImage FreshCopy(const CPage& page) {
    auto copy = pw::ScaledPageCopy(page, 2);
    copy->RenderAll();
    return Rendered(*copy);
}

struct Fixture {
    CQtInteraction ui;
    CPlumeDoc doc{ui, "Pagewright"};
    CSite site{"test.pwu"};
    CPage page{site, "p1", "side1"};
    CPageItem* rect = nullptr;
    CPageItem* disc = nullptr;
    CTextObject* text = nullptr;

    Fixture() {
        page.SetWidth(240);
        page.SetHeight(160);
        rect = &Add(std::make_unique<CRectObject>(DPOINT{70, 60}, CObjectSize{90, 50}));
        rect->Current().GetFill()->SetColour(CColor(200, 40, 30));
        disc = &Add(std::make_unique<CEllipseObject>(DPOINT{160, 90}, CObjectSize{80, 70}));
        disc->Current().GetFill()->SetColour(CColor(30, 90, 200));
        auto text = std::make_unique<CTextObject>(DPOINT{120, 130}, CObjectSize{150, 20});
        text->BeginEditing();
        for (const char* c = "Skarpe bogstaver"; *c; ++c)
            text->Editing().InsertChar(text->Layout(), static_cast<uint8_t>(*c));
        text->LayoutText();
        this->text = text.get();
        Add(std::move(text));
    }
    CPageItem& Add(std::unique_ptr<CPageObject> object) {
        CPageItem& item = page.InsertItem(std::move(object));
        item.Current().PrepareAndRender(page.TileBuffer());
        return item;
    }
    void Changed(CPageItem& item) {
        item.Current().Invalidate();
        item.Current().PrepareAndRender(page.TileBuffer());
    }
};

} // namespace

class HiDpiViewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallRendering(nullptr); }

    // After each kind of change, the copy brought up to date for the page
    // draws exactly as a copy made afresh; an area nothing touched copies
    // nothing again.
    void MirrorFollowsEveryChange() {
        struct {
            const char* name;
            std::function<void(Fixture&)> change;
            int recopied; // -1: the whole page is copied again
        } cases[] = {
            {"nothing", [](Fixture&) {}, 0},
            {"fill colour",
             [](Fixture& f) {
                 f.rect->Current().GetFill()->SetColour(CColor(20, 160, 60));
                 f.Changed(*f.rect);
             },
             1},
            {"moved and drawn again",
             [](Fixture& f) {
                 f.disc->MoveBy(-30, 12);
                 f.Changed(*f.disc);
             },
             0},
            {"typed into the text being edited",
             [](Fixture& f) {
                 f.text->Editing().InsertChar(f.text->Layout(), static_cast<uint8_t>('!'));
                 f.text->LayoutText();
                 f.Changed(*f.page.Items().back());
             },
             1},
            {"dragged (moved, not drawn again)", [](Fixture& f) { f.rect->MoveBy(25, -9); }, 0},
            {"resized",
             [](Fixture& f) {
                 f.rect->Current().SetSize(CObjectSize{120, 30});
                 f.Changed(*f.rect);
             },
             1},
            {"item added",
             [](Fixture& f) { f.Add(std::make_unique<CRectObject>(DPOINT{30, 30}, CObjectSize{20, 20})); },
             -1},
            {"background in place",
             [](Fixture& f) { f.page.Background().SetColour(CColor(250, 240, 200)); }, -1},
        };
        for (const auto& c : cases) {
            Fixture f;
            CScaledMirror mirror(f.page, 2);
            QVERIFY(mirror.Sync(CRect{0, 0, 240, 160}));
            c.change(f);
            QVERIFY2(mirror.Sync(CRect{0, 0, 240, 160}), c.name);
            if (c.recopied >= 0) QCOMPARE(mirror.Recopied(), c.recopied);
            QCOMPARE(mirror.Copy()->Width(), 480);
            QVERIFY2(Rendered(*mirror.Copy()) == FreshCopy(f.page), c.name);
        }
    }

    // A window at device pixel ratio 2 shows the page at scale 2: its
    // picture, grabbed at device resolution, is the scaled copy's render.
    void WindowShowsThePageAtTheScreensScale() {
        Fixture f;
        CEditorContext context;
        CPlumeView view(f.doc, f.page, context);
        view.setFrameShape(QFrame::NoFrame);
        view.resize(240, 160);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.DeviceScale(), 2);
        view.viewport()->repaint();
        QVERIFY(view.Mirror());
        const QImage shown = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(480, 320));
        QImage expected = FreshCopy(f.page);
        expected.setDevicePixelRatio(shown.devicePixelRatio());
        QVERIFY(shown == expected);
        // The page's own pixels enlarged would differ along every edge.
        const QImage enlarged = Rendered(f.page).scaled(480, 320);
        QVERIFY(shown.convertToFormat(QImage::Format_RGB32) != enlarged);
    }
};

int main(int argc, char** argv) {
    // Before the application exists: every window then has two device
    // pixels to a pixel.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    HiDpiViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HiDpiViewTest.moc"
