#include "ControlTestSupport.h"
#include "controls/ControlCodes.h"
#include "controls/WheelControl.h"
#include <QTest>
#include <cmath>
#include <numbers>

class WheelControlTest : public QObject {
    Q_OBJECT

    // The point dx, dy pixels from the centre pixel of a 41 x 41 wheel.
    static QPoint At(int dx, int dy) { return {20 + dx, 20 + dy}; }

private slots:
    void ValuesCountCounterClockwiseAndWrap() {
        struct {
            int positions, set, expected;
        } cases[] = {{8, 2, 2}, {8, 0, 0}, {8, 8, 0}, {8, 10, 2}, {8, -1, 7},
                     {360, 45, 45}, {360, 359, 359}, {1, 5, 0}};
        for (const auto& c : cases) {
            CWheelControl w;
            w.Init(c.positions, 0, 2, 1);
            w.WheelSetValue(c.set);
            QCOMPARE(w.WheelGetValue(), c.expected);
            w.Init(c.positions, c.set, 2, 1);
            QCOMPARE(w.WheelGetValue(), c.expected);
        }
    }

    // Screen y points down: a point below the centre lies counter-clockwise
    // "negative", so its value counts from the far side.
    void ClickTakesTheNearestDetentAndTiesGoUp() {
        struct {
            int positions, dx, dy, expected;
        } cases[] = {
            {8, 15, 0, 0},   {8, 0, -15, 2},  {8, -15, 0, 4},  {8, 0, 15, 6},
            {4, 10, 10, 3},  // exactly half-way between 0 and 3: the upper (clockwise) one
            {4, 10, 9, 0},   // just short of half-way
            {2, 0, 10, 1},   // tie between clockwise detents 0 and 1
            {2, 0, -10, 0},  // tie in the last sector: the upper candidate is 2π, i.e. 0
            {360, 10, -10, 45},
        };
        for (const auto& c : cases) {
            QWidget host;
            auto* w = Place<CWheelControl>(host, 41, 41);
            w->Init(c.positions, 1, 2, 1);
            QTest::mouseClick(w, Qt::LeftButton, {}, At(c.dx, c.dy));
            QVERIFY2(w->WheelGetValue() == c.expected,
                     qPrintable(QStringLiteral("%1 positions at (%2, %3): %4")
                                    .arg(c.positions).arg(c.dx).arg(c.dy).arg(w->WheelGetValue())));
        }
    }

    // The knob (the red dot) is drawn where the click put the detent: its
    // centre of mass lies in the detent's direction.
    void KnobShowsTheDetentUnderEachOfEightClicks() {
        QWidget host;
        auto* w = Place<CWheelControl>(host, 41, 41);
        w->Init(8, 0, 2, 0);
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        for (int v = 0; v < 8; ++v) {
            const double a = 2 * std::numbers::pi * v / 8 + 0.2; // a little past the detent
            QTest::mouseClick(w, Qt::LeftButton, {},
                              At(static_cast<int>(std::lround(14 * std::cos(a))),
                                 static_cast<int>(std::lround(-14 * std::sin(a)))));
            QCOMPARE(w->WheelGetValue(), v);
            const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_RGB888);
            double sx = 0, sy = 0;
            int n = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    if (c.red() > 150 && c.green() < 80 && c.blue() < 80) sx += x, sy += y, ++n;
                }
            QVERIFY(n > 4);
            const double seen = std::atan2(-(sy / n - 20), sx / n - 20);
            const double want = 2 * std::numbers::pi * v / 8;
            const double off = std::remainder(seen - want, 2 * std::numbers::pi);
            QVERIFY2(std::abs(off) < 0.1, qPrintable(QStringLiteral("value %1 drawn at %2 rad")
                                                         .arg(v).arg(seen)));
        }
    }

    void DragSendsChangingPerStepAndChangedOnRelease() {
        QWidget host;
        auto* w = Place<CWheelControl>(host, 41, 41);
        w->Init(8, 0, 2, 1);
        CNotes notes(w);
        QTest::mousePress(w, Qt::LeftButton, {}, At(0, -15)); // to 2
        QVERIFY(w->InTracking());
        QTest::mouseMove(w, At(-1, -15)); // still 2: nothing
        QTest::mouseMove(w, At(-15, 0));  // to 4
        QTest::mouseRelease(w, Qt::LeftButton, {}, At(-15, 0));
        QVERIFY(!w->InTracking());
        QCOMPARE(w->WheelGetValue(), 4);
        const std::vector<CNotes::CNote> want = {
            {false, ctl::kWheelChanging}, {false, ctl::kWheelChanging}, {true, ctl::kWheelChanged}};
        QVERIFY(notes.list == want);
    }

    void PressesOutsideTheDialOrWhenDisabledAreIgnored() {
        QWidget host;
        auto* w = Place<CWheelControl>(host, 81, 41); // dial in the middle, corners beside it
        w->Init(8, 3, 2, 1);
        CNotes notes(w);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(78, 20)); // within half the width only
        w->Enable(false);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(50, 20));
        QCOMPARE(w->WheelGetValue(), 3);
        QVERIFY(notes.list.empty());
        w->Enable(true);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(55, 20));
        QCOMPARE(w->WheelGetValue(), 0);
        QCOMPARE(notes.Count(true), 1);
    }

    void KeysTurnTheDial() {
        QWidget host;
        auto* w = Place<CWheelControl>(host, 41, 41);
        w->Init(360, 0, 2, 1);
        CNotes notes(w);
        const std::pair<Qt::Key, int> keys[] = {{Qt::Key_Left, 359}, {Qt::Key_Right, 0},
                                                {Qt::Key_PageUp, 15}, {Qt::Key_PageDown, 0}};
        for (const auto& [key, value] : keys) {
            QTest::keyClick(w, key);
            QCOMPARE(w->WheelGetValue(), value);
        }
        QCOMPARE(notes.list.size(), std::size_t(8));
    }
};

QTEST_MAIN(WheelControlTest)
#include "WheelControlTest.moc"
