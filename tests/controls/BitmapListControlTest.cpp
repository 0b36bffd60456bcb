#include "ControlTestSupport.h"
#include "controls/BitmapListControl.h"
#include "controls/ControlCodes.h"
#include "app/QtImages.h"
#include "image/Image.h"
#include <cstring>
#include <QTest>

namespace {
QImage Picture(QColor c) {
    QImage image(30, 20, QImage::Format_RGB888);
    image.fill(c);
    return image;
}

// 12-pixel arrows, 2 rows in 64 pixels: cells of (64 - 9) / 2 = 27 pixels.
CBitmapListControl* List(QWidget& host, int entries) {
    auto* list = Place<CBitmapListControl>(host, 240, 64);
    list->Init(12, 100, 2, 10);
    for (int i = 0; i < entries; ++i) list->Add(Picture(QColor::fromHsv(i * 30, 200, 200)));
    return list;
}
} // namespace

class BitmapListControlTest : public QObject {
    Q_OBJECT

private slots:
    void RemoveMovesTheSelection() {
        struct {
            int selected, removed, expected, count;
        } cases[] = {{3, 0, 2, 4}, {3, 3, -1, 4}, {3, 4, 3, 4}, {3, 9, 3, 5}, {-1, 0, -1, 4},
                     {0, 0, -1, 4}};
        for (const auto& c : cases) {
            CBitmapListControl list;
            list.Init(10, 0, 1, 5);
            for (int i = 0; i < 5; ++i) list.Add(static_cast<uint32_t>(i * 10));
            list.Select(c.selected);
            list.Remove(c.removed);
            QCOMPARE(list.GetSelected(), c.expected);
            QCOMPARE(list.GetCount(), c.count);
        }
        // Values: pictures count up from the first value, plain entries keep theirs.
        CBitmapListControl list;
        list.Init(10, 7, 1, 5);
        list.Add(Picture(Qt::red));
        list.Add(uint32_t(42));
        list.Add(CImage(IMAGE_RGB8, 4, 4, 96.0));
        QCOMPARE(list.GetValue(0), 7u);
        QCOMPARE(list.GetValue(1), 42u);
        QCOMPARE(list.GetValue(2), 9u);
        list.Select(5);
        QCOMPARE(list.GetSelected(), -1);
    }

    void CellsRunColumnByColumnWithThreePixelGaps() {
        QWidget host;
        auto* list = List(host, 5);
        QCOMPARE(list->CellSize(), 27);
        // Cell i's centre hits i; the leading gap, the arrows and cells past the end hit nothing.
        for (int i = 0; i < 5; ++i) {
            const QRect cell = list->CellRect(i);
            QCOMPARE(cell.left(), 12 + 3 + (i / 2) * 30);
            QCOMPARE(cell.top(), 3 + (i % 2) * 30);
            QCOMPARE(list->IndexAt(cell.center()), i);
        }
        QCOMPARE(list->IndexAt(QPoint(12 + 1, 10)), -1);          // gap before column 0
        QCOMPARE(list->IndexAt(QPoint(12 + 3 + 28, 10)), 0);      // a gap belongs to the cell before it
        QCOMPARE(list->IndexAt(list->CellRect(5).center()), -1);  // past the last entry
        QCOMPARE(list->IndexAt(QPoint(5, 10)), -1);               // the left arrow
    }

    void ClickSelectsAndNotifiesOnlyOnChange() {
        QWidget host;
        auto* list = List(host, 5);
        CNotes notes(list);
        QTest::mousePress(list, Qt::LeftButton, {}, list->CellRect(3).center());
        QCOMPARE(list->GetSelected(), 3);
        QVERIFY((notes.list == std::vector<CNotes::CNote>{{false, ctl::kBitmapListSelChanging}}));
        QTest::mouseRelease(list, Qt::LeftButton, {}, list->CellRect(3).center());
        QCOMPARE(notes.list.back().code, ctl::kBitmapListUpdated);
        QVERIFY(notes.list.back().complete);

        QTest::mouseClick(list, Qt::LeftButton, {}, list->CellRect(3).center()); // same cell
        QCOMPARE(notes.list.size(), std::size_t(2));
        QTest::mouseClick(list, Qt::LeftButton, {}, list->CellRect(7).center()); // past the end
        QCOMPARE(list->GetSelected(), -1);
        QCOMPARE(notes.list.size(), std::size_t(4));

        list->Enable(false);
        QTest::mouseClick(list, Qt::LeftButton, {}, list->CellRect(1).center());
        QCOMPARE(list->GetSelected(), -1);
        QCOMPARE(notes.list.size(), std::size_t(4));
    }

    // Pictures of every mode the loaders give show their own pixels, in the
    // designer's Qt images and in the list's thumbnails; a transparent part
    // shows the cell below.
    void PicturesOfEveryModeShowTheirPixels() {
        struct {
            const char* what;
            IMAGE_MODE mode;
            std::vector<uint8_t> pixel; // alpha first when the mode has it
            QColor image, shown;
        } cases[] = {
            {"grey", IMAGE_GRAY8, {90}, QColor(90, 90, 90), QColor(90, 90, 90)},
            {"palette", IMAGE_INDEX8, {2}, QColor(10, 200, 30), QColor(10, 200, 30)},
            {"past the palette", IMAGE_INDEX8, {7}, QColor(0, 0, 0), QColor(0, 0, 0)},
            {"RGB", IMAGE_RGB8, {200, 20, 40}, QColor(200, 20, 40), QColor(200, 20, 40)},
            {"RGBA transparent", WithAlpha(IMAGE_RGB8), {0, 0, 0, 0}, QColor(0, 0, 0, 0),
             QColor(240, 240, 240)},
            {"RGBA opaque", WithAlpha(IMAGE_RGB8), {255, 1, 2, 3}, QColor(1, 2, 3), QColor(1, 2, 3)},
            {"grey with alpha", WithAlpha(IMAGE_GRAY8), {255, 60}, QColor(60, 60, 60),
             QColor(60, 60, 60)},
        };
        for (const auto& c : cases) {
            CImage picture(c.mode, 9, 6, 96.0);
            CLut lut;
            lut[2] = LutColor{10, 200, 30};
            picture.SetLut(lut);
            for (int y = 0; y < picture.Height(); ++y)
                for (int x = 0; x < picture.Width(); ++x)
                    std::memcpy(picture.Bits() + y * picture.RowBytes() + x * c.pixel.size(),
                                c.pixel.data(), c.pixel.size());
            const QImage image = pw::ToQImage(picture);
            QVERIFY2(image.size() == QSize(9, 6), c.what);
            QVERIFY2(image.pixelColor(8, 5) == c.image, c.what);
            QWidget host;
            auto* list = List(host, 0);
            list->Add(picture);
            const QImage drawn = list->grab().toImage();
            QVERIFY2(drawn.pixelColor(list->CellRect(0).center()) == c.shown, c.what);
        }
    }

    // A held arrow keeps scrolling from the event loop; release stops it.
    void HeldArrowRepeatsUntilRelease() {
        QWidget host;
        auto* list = List(host, 40); // 20 columns: far wider than the list
        QVERIFY(list->MaxScroll() > 200);
        const QPoint right = list->RightArrowRect().center();
        QTest::mousePress(list, Qt::LeftButton, {}, right);
        QCOMPARE(list->ScrollOffset(), 10);
        QTRY_VERIFY_WITH_TIMEOUT(list->ScrollOffset() >= 50, 3000);
        QTest::mouseRelease(list, Qt::LeftButton, {}, right);
        const int stopped = list->ScrollOffset();
        QTest::qWait(3 * CBitmapListControl::kRepeatInterval);
        QCOMPARE(list->ScrollOffset(), stopped);
        // Scrolling moves the cells and the hit test with them.
        QCOMPARE(list->CellRect(0).left(), 15 - stopped);
        QCOMPARE(list->IndexAt(list->CellRect(12).center()), 12);

        QTest::mouseClick(list, Qt::LeftButton, {}, list->LeftArrowRect().center());
        QCOMPARE(list->ScrollOffset(), stopped - 10);
        list->Remove(39);
        list->Update();
        QVERIFY(list->ScrollOffset() <= list->MaxScroll());
    }
};

QTEST_MAIN(BitmapListControlTest)
#include "BitmapListControlTest.moc"
