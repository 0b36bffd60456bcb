#include "ControlTestSupport.h"
#include "controls/ControlCodes.h"
#include "controls/SliderControl.h"
#include <QPaintEvent>
#include <QTest>

namespace {
// Collects the areas Qt repaints.
struct CPaintSpy : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

// The leftmost column of the thumb picture's dark outline in a grab.
int ThumbLeft(const QImage& shot) {
    for (int x = 0; x < shot.width(); ++x)
        for (int y = shot.height() - 12; y < shot.height(); ++y)
            if (QColor(shot.pixel(x, y)).lightness() < 100) return x;
    return -1;
}
} // namespace

class SliderControlTest : public QObject {
    Q_OBJECT

private slots:
    void CountAndValueAreClamped() {
        struct {
            int count, value, expectCount, expectValue;
        } cases[] = {{1, 0, 2, 0},          {1, 5, 2, 1},       {0, -3, 2, 0},
                     {101, 200, 101, 100},  {101, -5, 101, 0},  {3, 2, 3, 2},
                     {65535, 70000, 65535, 65534}, {70000, 65535, 65536, 65535}};
        for (const auto& c : cases) {
            CSliderControl s;
            s.Init(c.count, c.value, false);
            QCOMPARE(s.GetCount(), c.expectCount);
            QCOMPARE(s.GetValue(), c.expectValue);
            CSliderControl t;
            t.Init(50, 0, true);
            t.SetValue(c.count, c.value);
            QCOMPARE(t.GetCount(), c.expectCount);
            QCOMPARE(t.GetValue(), c.expectValue);
            t.SetValue(c.value);
            QCOMPARE(t.GetValue(), std::clamp(c.value, 0, c.expectCount - 1));
        }
    }

    // 111 pixels wide, thumb 11: the track runs from 5 to 106, so with 101
    // values every pixel of it is one value.
    void ClicksMapPixelsToValues() {
        struct {
            int count, x, expected;
        } cases[] = {{101, 5, 0},  {101, 55, 50}, {101, 105, 100}, {101, 0, 0},
                     {101, 110, 100}, {11, 55, 5}, {11, 14, 0},    {11, 15, 1}, {2, 54, 0}, {2, 105, 1}};
        QWidget host;
        auto* s = Place<CSliderControl>(host, 111, 20);
        QCOMPARE(s->TrackStart(), 5);
        QCOMPARE(s->TrackEnd(), 106);
        for (const auto& c : cases) {
            s->Init(c.count, c.count - 1, false);
            QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(c.x, 10));
            QCOMPARE(s->GetValue(), c.expected);
        }
    }

    void ThumbIsDrawnWhereTheValueSays() {
        QWidget host;
        auto* s = Place<CSliderControl>(host, 111, 20);
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        for (int v : {0, 50, 100}) {
            s->Init(101, v, false);
            const QImage shot = s->grab().toImage();
            QCOMPARE(ThumbLeft(shot), (111 - 11) * v / 100);
        }
    }

    void MovingRepaintsOnlyTheOldAndNewThumb() {
        QWidget host;
        auto* s = Place<CSliderControl>(host, 211, 20);
        s->Init(101, 10, false);
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCoreApplication::processEvents();
        CPaintSpy spy;
        s->installEventFilter(&spy);
        const QRect before = s->ThumbRect();
        s->SetValue(80);
        QTRY_VERIFY(!spy.painted.isEmpty());
        QVERIFY(spy.painted.intersects(before));
        QVERIFY(spy.painted.intersects(s->ThumbRect()));
        QVERIFY((spy.painted - QRegion(before) - QRegion(s->ThumbRect())).isEmpty());
    }

    void DragSendsChangingAndReleaseSendsChanged() {
        QWidget host;
        auto* s = Place<CSliderControl>(host, 111, 20);
        s->Init(101, 0, false);
        CNotes notes(s);
        QTest::mousePress(s, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(s->GetValue(), 15);
        QTest::mouseMove(s, QPoint(40, 10));
        QCOMPARE(s->GetValue(), 35);
        QVERIFY(s->InTracking());
        QTest::mouseRelease(s, Qt::LeftButton, {}, QPoint(60, 10));
        QCOMPARE(s->GetValue(), 55);
        QVERIFY(!s->InTracking());
        const std::vector<CNotes::CNote> want = {{false, ctl::kSliderChanging},
                                                 {false, ctl::kSliderChanging},
                                                 {true, ctl::kSliderChanged}};
        QVERIFY(notes.list == want);

        s->Enable(false);
        QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(90, 10));
        QCOMPARE(s->GetValue(), 55);
        QCOMPARE(notes.list.size(), want.size());
    }

    // Keyboard users reach every value: each key is a complete change.
    void KeysStepTheValue() {
        QWidget host;
        auto* s = Place<CSliderControl>(host, 111, 20);
        s->Init(101, 50, false);
        QCOMPARE(s->focusPolicy(), Qt::StrongFocus);
        CNotes notes(s);
        const std::pair<Qt::Key, int> keys[] = {{Qt::Key_Right, 51}, {Qt::Key_Down, 50},
                                                {Qt::Key_PageUp, 60}, {Qt::Key_End, 100},
                                                {Qt::Key_Up, 100}, {Qt::Key_Home, 0},
                                                {Qt::Key_PageDown, 0}};
        for (const auto& [key, value] : keys) {
            QTest::keyClick(s, key);
            QCOMPARE(s->GetValue(), value);
        }
        // Five keys moved the thumb; the two at an end changed nothing.
        QCOMPARE(notes.list.size(), std::size_t(10));
        QVERIFY((notes.list.back() == CNotes::CNote{true, ctl::kSliderChanged}));
    }
};

QTEST_MAIN(SliderControlTest)
#include "SliderControlTest.moc"
