#include "ControlTestSupport.h"
#include "controls/ButtonControl.h"
#include "controls/ColorControl.h"
#include "controls/ControlCodes.h"
#include "controls/ControlResources.h"
#include "controls/FlatButtonControl.h"
#include "controls/IconControl.h"
#include <QColorDialog>
#include <QTest>

class ButtonControlsTest : public QObject {
    Q_OBJECT

private slots:
    void ColourButtonOffersItsColourAndTakesOk() {
        QWidget host;
        auto* swatch = Place<CColorControl>(host, 40, 22);
        const CColor red(200, 10, 10);
        swatch->Init(&red);
        swatch->Init(nullptr); // keeps the colour
        CNotes notes(swatch);

        QColor offered;
        WhenShown<QColorDialog>([&](QColorDialog* d) {
            offered = d->currentColor();
            d->setCurrentColor(QColor(1, 2, 3));
            d->reject();
        });
        QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(20, 11));
        QCOMPARE(offered, QColor(200, 10, 10));
        QCOMPARE(swatch->GetColor().GetCOLORREF(), red.GetCOLORREF());
        QVERIFY(notes.list.empty());

        WhenShown<QColorDialog>([&](QColorDialog* d) {
            d->setCurrentColor(QColor(1, 2, 3));
            d->accept();
        });
        QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(20, 11));
        QCOMPARE(swatch->GetColor().GetCOLORREF(), CColor(1, 2, 3).GetCOLORREF());
        QVERIFY((notes.list == std::vector<CNotes::CNote>{{true, ctl::kColorChanged}}));

        // The swatch: frame white/black outside, bevel 223/128, the colour inside.
        const QImage shot = swatch->grab().toImage();
        QCOMPARE(QColor(shot.pixel(0, 0)), QColor(255, 255, 255));
        QCOMPARE(QColor(shot.pixel(39, 21)), QColor(0, 0, 0));
        QCOMPARE(QColor(shot.pixel(1, 1)), QColor(223, 223, 223));
        QCOMPARE(QColor(shot.pixel(38, 20)), QColor(128, 128, 128));
        QCOMPARE(QColor(shot.pixel(20, 11)), QColor(1, 2, 3));

        // Disabled: no dialog opens (it would block here) and the drawing is dimmed.
        swatch->Enable(false);
        QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(20, 11));
        QCOMPARE(notes.list.size(), std::size_t(1));
        const QColor dim(swatch->grab().toImage().pixel(20, 11));
        QVERIFY(dim != QColor(1, 2, 3));
        QVERIFY(dim.saturation() < 30);
    }

    void TwoStateButtonTogglesOnAClickInside() {
        QWidget host;
        auto* b = Place<CButtonControl>(host, 26, 26);
        b->Init(ctl::kButtonBold);
        CNotes notes(b);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(13, 13));
        QVERIFY(b->GetCheck());
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(13, 13));
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(40, 13)); // released outside
        QVERIFY(b->GetCheck());
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(13, 13));
        QVERIFY(!b->GetCheck());
        b->SetCheck(true); // by the owner: no notification
        b->Enable(false);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(13, 13));
        QVERIFY(b->GetCheck());
        QCOMPARE(notes.list.size(), std::size_t(2));
        QCOMPARE(notes.Count(true), 2);
        QCOMPARE(notes.list[0].code, ctl::kButtonChanged);
    }

    void FlatButtonHighlightsAndSendsOnReleaseInside() {
        QWidget host;
        QImage normal(16, 16, QImage::Format_RGB888), lit(16, 16, QImage::Format_RGB888);
        normal.fill(Qt::gray);
        lit.fill(Qt::blue);
        auto* f = new CFlatButtonControl;
        QVERIFY(f->Create(QRect(5, 5, 24, 24), &host, 9, normal, lit, QStringLiteral("Tip")));
        host.resize(100, 40);
        host.show();
        QCOMPARE(f->toolTip(), QStringLiteral("Tip"));
        CNotes notes(f);

        f->NotifyMouseMove(f->mapToGlobal(QPoint(10, 10)));
        QVERIFY(f->IsHighlighted());
        QCOMPARE(QColor(f->grab().toImage().pixel(12, 12)), QColor(Qt::blue));
        f->NotifyMouseMove(f->mapToGlobal(QPoint(30, 10)));
        QVERIFY(!f->IsHighlighted());
        QCOMPARE(QColor(f->grab().toImage().pixel(12, 12)), QColor(Qt::gray));

        QTest::mousePress(f, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(f, Qt::LeftButton, {}, QPoint(30, 10)); // outside: nothing
        QVERIFY(notes.list.empty());
        QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY((notes.list == std::vector<CNotes::CNote>{{true, ctl::kFlatButtonChanged}}));
        f->Enable(false);
        QVERIFY(!f->GetEnable());
        QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(10, 10));
        f->NotifyMouseMove(f->mapToGlobal(QPoint(10, 10)));
        QVERIFY(!f->IsHighlighted());
        QCOMPARE(notes.list.size(), std::size_t(1));
    }

    // Every picture exists and is rasterised at the device ratio, so it is
    // drawn one device pixel per pixel at ratio 1 and 2.
    void IconKindsAndPicturesAtBothRatios() {
        const std::pair<int, int> kinds[] = {{0, 6022}, {1, 6025}, {2, 6026},
                                             {3, 6090}, {4, 6093}, {-1, 6093}};
        for (const auto& [kind, id] : kinds) QCOMPARE(CIconControl::ResourceFor(kind), id);
        for (int id : {6088, 6089, 6022, 6025, 6026, 6090, 6093, 6040, 6041, 6042, 6043, 6044,
                       6045}) {
            QVERIFY2(ctl::HasResourceImage(id), qPrintable(QString::number(id)));
            const QSize size = ctl::ResourceImageSize(id);
            for (qreal dpr : {1.0, 2.0}) {
                const QImage image = ctl::ResourceImage(id, dpr);
                QCOMPARE(image.size(), size * dpr);
                QCOMPARE(image.devicePixelRatio(), dpr);
                int opaque = 0;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x) opaque += qAlpha(image.pixel(x, y)) == 255;
                QVERIFY(opaque > 0);
            }
        }
        QVERIFY(ctl::ResourceImage(1234, 1.0).isNull());
    }
};

QTEST_MAIN(ButtonControlsTest)
#include "ButtonControlsTest.moc"
