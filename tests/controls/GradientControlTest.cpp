#include "ControlTestSupport.h"
#include "controls/ControlCodes.h"
#include "controls/GradientControl.h"
#include "controls/GradientDesignerControl.h"
#include "controls/GradientDesignerDialog.h"
#include "controls/GradientNames.h"
#include "services/ColorBand.h"
#include <QColorDialog>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

namespace {
GRADIENTCOLORS Predefined(int no) {
    GRADIENTCOLORS g;
    GetPredefinedGradient(g, no);
    return g;
}

GRADIENTCOLORS TwoStops() {
    GRADIENTCOLORS g = Predefined(0);
    g.stopColoursBefore = {CColor(255, 0, 0), CColor(0, 255, 0)};
    g.stopColoursAfter = {CColor(0, 0, 255), CColor(255, 255, 0)};
    g.stopPositions = {0.25, 0.6};
    g.kind = 4;
    return g;
}
} // namespace

class GradientControlTest : public QObject {
    Q_OBJECT

private slots:
    void BandIsTheCoreColourBandForEveryPredefinedGradient() {
        QWidget host;
        auto* picker = Place<CGradientControl>(host, 124, 20);
        picker->Init();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(picker->BandLength(), 120);
        QCOMPARE(CGradientControl::GetPredefinedNo(), 4);
        for (int no = 0; no < CGradientControl::GetPredefinedNo(); ++no) {
            const GRADIENTCOLORS g = Predefined(no);
            picker->ChangeGradient(g);
            QVERIFY(picker->IsGradientEqual(&g));
            std::vector<uint8_t> band(120 * 3);
            BuildColorBand(&g, band.data(), 120);
            const QImage shot = picker->grab().toImage().convertToFormat(QImage::Format_RGB888);
            for (int y : {2, 10, 17}) {
                const uchar* row = shot.constScanLine(y) + 2 * 3;
                QVERIFY2(std::equal(band.begin(), band.end(), row),
                         qPrintable(QStringLiteral("gradient %1, row %2").arg(no).arg(y)));
            }
        }
    }

    void DesignerOkCopiesTheGradientAndCancelSendsNothing() {
        QWidget host;
        auto* picker = Place<CGradientControl>(host, 124, 20);
        picker->Init();
        picker->ChangeGradient(TwoStops());
        CNotes notes(picker);

        // Cancel after editing: nothing changes, nothing is sent.
        WhenShown<CGradientDesignerDialog>([](CGradientDesignerDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Gradient Designer"));
            d->MirrorButton()->click();
            d->reject();
        });
        QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(50, 10));
        const GRADIENTCOLORS original = TwoStops();
        QVERIFY(picker->IsGradientEqual(&original));
        QVERIFY(notes.list.empty());

        // OK after mirroring copies colours, stops, exact positions and kind.
        WhenShown<CGradientDesignerDialog>([](CGradientDesignerDialog* d) {
            d->MirrorButton()->click();
            d->accept();
        });
        QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(50, 10));
        GRADIENTCOLORS mirrored = Predefined(1);
        mirrored.stopColoursBefore = {CColor(255, 255, 0), CColor(0, 0, 255)};
        mirrored.stopColoursAfter = {CColor(0, 255, 0), CColor(255, 0, 0)};
        mirrored.stopPositions = {1 - 0.6, 1 - 0.25};
        QVERIFY(picker->IsGradientEqual(&mirrored));
        QCOMPARE(picker->GetCurrentGradient()->kind, 4);
        QVERIFY((notes.list == std::vector<CNotes::CNote>{{true, ctl::kGradientChanged}}));

        // Picking a predefined entry in the combo box and OK.
        WhenShown<CGradientDesignerDialog>([](CGradientDesignerDialog* d) {
            QCOMPARE(d->Combo()->count(), 5);
            QCOMPARE(d->Combo()->currentIndex(), 4); // custom
            QCOMPARE(d->Combo()->itemText(2), ctl::GradientName(2));
            d->Combo()->setCurrentIndex(2);
            emit d->Combo()->activated(2);
            d->accept();
        });
        QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(50, 10));
        const GRADIENTCOLORS blue = Predefined(2);
        QVERIFY(picker->IsGradientEqual(&blue));
        QCOMPARE(picker->GetCurrentGradient()->kind, 2);

        // Disabled: no dialog (it would block this test), nothing sent.
        picker->Enable(false);
        QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(50, 10));
        QCOMPARE(notes.list.size(), std::size_t(2));
    }

    void HandlesAreClampedAndStrictlyIncreasing() {
        struct {
            std::vector<double> positions;
            std::vector<int> offsets; // band width 100
        } cases[] = {
            {{0.25, 0.6}, {25, 60}},
            {{0.5, 0.5, 0.5}, {50, 51, 52}},
            {{-0.5, 0.0, 2.0}, {0, 1, 100}},
            {{1.0, 1.0, 1.0}, {98, 99, 100}},   // forward pass overshoots, backward pass pulls in
            {{0.3, 0.2}, {30, 31}},
        };
        for (const auto& c : cases) {
            CGradientDesignerControl d;
            d.resize(100 + 36, 41);
            GRADIENTCOLORS g = Predefined(0);
            g.stopPositions = c.positions;
            g.stopColoursBefore.assign(c.positions.size(), CColor(1, 2, 3));
            g.stopColoursAfter.assign(c.positions.size(), CColor(4, 5, 6));
            d.Init(g);
            QCOMPARE(d.BandWidth(), 100);
            std::vector<int> seen;
            for (int i = 0; i < d.HandleCount(); ++i) seen.push_back(d.HandleOffset(i));
            QVERIFY2(seen == c.offsets, qPrintable(QStringLiteral("first %1").arg(seen.at(0))));
            // Positions follow the handles that moved and stay in [0, 1].
            for (std::size_t i = 0; i < seen.size(); ++i) {
                const double p = d.GetGradient().stopPositions[i];
                QVERIFY(p >= 0 && p <= 1);
                QCOMPARE(static_cast<int>(100 * p), seen[i]);
            }
        }
    }

    void MirrorReflectsAndMapsTheSelection() {
        CGradientDesignerControl d;
        d.resize(136, 41);
        d.Init(TwoStops());
        CNotes notes(&d);
        // Clicking a handle selects it and offers its colour; declined, nothing changes.
        WhenShown<QColorDialog>([](QColorDialog* dialog) { dialog->reject(); });
        QTest::mouseClick(&d, Qt::LeftButton, {}, d.MarkerRect(0).center() + QPoint(0, 2));
        QVERIFY(notes.list.empty());
        QCOMPARE(d.Selected(), 0);
        d.Mirror();
        QCOMPARE(d.Selected(), 1);
        QCOMPARE(d.HandleOffset(0), 40);
        QCOMPARE(d.HandleOffset(1), 75);
        QCOMPARE(d.GetGradient().startColour.GetCOLORREF(), CColor(0, 0, 0).GetCOLORREF());
        d.Mirror();
        const GRADIENTCOLORS back = TwoStops();
        QVERIFY(IsGradientEqual(d.GetGradient(), back));
        QCOMPARE(d.Selected(), 0);
        QCOMPARE(notes.Count(true), 2);
    }

    void MouseInsertsDragsRemovesAndRecolours() {
        QWidget host;
        auto* d = Place<CGradientDesignerControl>(host, 136, 41);
        d->Init(Predefined(0));
        CNotes notes(d);
        const QRect band = d->BandRect();

        // A click in the band adds a stop in the colour already shown there.
        QTest::mouseClick(d, Qt::LeftButton, {}, QPoint(band.left() + 50, band.center().y()));
        QCOMPARE(d->HandleCount(), 1);
        QCOMPARE(d->HandleOffset(0), 50);
        QCOMPARE(d->GetGradient().stopPositions[0], 0.5);
        QCOMPARE(d->GetGradient().stopColoursBefore[0].GetCOLORREF(),
                 CColor(127, 127, 127).GetCOLORREF()); // 255 + 50 * -255 / 99, truncated
        QCOMPARE(d->GetGradient().kind, 4);

        // Dragging the handle moves it and sends one change on release.
        const QPoint grip = d->MarkerRect(0).center();
        QTest::mousePress(d, Qt::LeftButton, {}, grip);
        QTest::mouseMove(d, grip + QPoint(20, 0));
        QTest::mouseRelease(d, Qt::LeftButton, {}, grip + QPoint(20, 0));
        QCOMPARE(d->HandleOffset(0), 70);
        QCOMPARE(d->GetGradient().stopPositions[0], 0.7);

        // A click on the start marker opens the colour dialog preset to it.
        QColor offered;
        WhenShown<QColorDialog>([&](QColorDialog* dialog) {
            offered = dialog->currentColor();
            dialog->setCurrentColor(QColor(10, 20, 30));
            dialog->accept();
        });
        QTest::mouseClick(d, Qt::LeftButton, {},
                          d->MarkerRect(CGradientDesignerControl::kStartMarker).center());
        QCOMPARE(offered, QColor(255, 255, 255));
        QCOMPARE(d->GetGradient().startColour.GetCOLORREF(), CColor(10, 20, 30).GetCOLORREF());

        // Dropping the handle well below the control removes the stop.
        const QPoint grip2 = d->MarkerRect(0).center();
        QTest::mousePress(d, Qt::LeftButton, {}, grip2);
        QTest::mouseMove(d, grip2 + QPoint(0, 60));
        QTest::mouseRelease(d, Qt::LeftButton, {}, grip2 + QPoint(0, 60));
        QCOMPARE(d->HandleCount(), 0);
        QCOMPARE(notes.Count(true), 4);
        QCOMPARE(notes.Count(false), 0);
    }
};

QTEST_MAIN(GradientControlTest)
#include "GradientControlTest.moc"
