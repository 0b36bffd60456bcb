// The designer's clipboard formats through QMimeData: every kind of object
// goes over and renders as before, a single item offers its picture to other
// programs, pictures and text from other programs come in.
#include "editor/Clipboard.h"
#include "image/Image.h"
#include "model/BackgroundFill.h"
#include "model/CounterObject.h"
#include "model/EllipseObject.h"
#include "model/FormObject.h"
#include "model/HtmlObject.h"
#include "model/ObjectClipboard.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "render/PageRenderer.h"
#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QTest>

namespace clip = pw::editor_clipboard;

namespace {
std::vector<uint8_t> PagePixels(CPage& page) {
    page.RenderAll();
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> tile(256 * 256 * 4);
    for (int y = 0; y < page.Height(); y += 256)
        for (int x = 0; x < page.Width(); x += 256) {
            const CRect r{x, y, std::min(page.Width(), x + 256), std::min(page.Height(), y + 256)};
            RenderRegion(page, r, tile.data(), 4 * r.Width());
            pixels.insert(pixels.end(), tile.begin(), tile.begin() + 4 * r.Width() * r.Height());
        }
    return pixels;
}
} // namespace

class ClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void everyKindGoesOverAndRendersTheSame();
    void aSingleItemOffersItsPictureToOtherPrograms();
    void picturesAndTextFromOtherProgramsComeIn();
};

void ClipboardTest::everyKindGoesOverAndRendersTheSame() {
    CSite site{"Test", CBackgroundFill(), 400, 300, CColor(0, 0, 255), CColor(128, 0, 128)};
    CPage& from = site.AddPage(std::make_unique<CPage>(site, "Side1", "En"));
    CPage& to = site.AddPage(std::make_unique<CPage>(site, "Side2", "To"));
    from.InsertItem(std::make_unique<CEllipseObject>(DPOINT{60, 50}, CObjectSize{80, 40}));
    from.InsertItem(std::make_unique<CRectObject>(DPOINT{200, 60}, CObjectSize{70, 50}, 0.4));
    auto text = std::make_unique<CTextObject>(DPOINT{100, 150}, CObjectSize{120, 40});
    for (char c : std::string("Hej verden"))
        text->Editing().InsertChar(text->Layout(), static_cast<uint8_t>(c));
    text->LayoutText();
    from.InsertItem(std::move(text));
    from.InsertItem(std::make_unique<CCounterObject>(0, DPOINT{300, 200}));
    from.InsertItem(std::make_unique<CHtmlObject>(DPOINT{20, 220}, 60, 40));
    from.InsertItem(std::make_unique<CFormObject>("a@eksempel.dk", DPOINT{250, 250}));
    from.SelectAll();

    std::unique_ptr<QMimeData> mime = clip::ObjectsData(from);
    QVERIFY(mime);
    QVERIFY(clip::HasObjects(mime.get()));
    QVERIFY(!mime->hasFormat(QStringLiteral("image/png"))); // several items: no picture
    QCOMPARE(pw::clipboard::PasteObjects(to, clip::Bytes(mime.get(), clip::kObjectsType), false,
                                         CRect{0, 0, 400, 300}),
             6);
    QCOMPARE(to.ItemCount(), 6);
    QVERIFY(PagePixels(to) == PagePixels(from));
}

void ClipboardTest::aSingleItemOffersItsPictureToOtherPrograms() {
    CSite site{"Test", CBackgroundFill(), 400, 300, CColor(0, 0, 255), CColor(128, 0, 128)};
    CPage& page = site.AddPage(std::make_unique<CPage>(site, "Side1", "En"));
    CPageItem& item =
        page.InsertItem(std::make_unique<CEllipseObject>(DPOINT{60, 50}, CObjectSize{31, 20}));
    page.SelectOnly(item);
    std::unique_ptr<QMimeData> mime = clip::ObjectsData(page);
    QVERIFY(mime);
    const std::unique_ptr<CImage> expected = pw::clipboard::PictureOverWhite(item, page);
    QVERIFY(expected);
    for (const char* type : {"image/png", "image/bmp"}) {
        QImage image;
        QVERIFY2(image.loadFromData(mime->data(QString::fromLatin1(type))), type);
        image = image.convertToFormat(QImage::Format_RGB888);
        QCOMPARE(image.width(), expected->Width());
        QCOMPARE(image.height(), expected->Height());
        for (int y = 0; y < image.height(); ++y)
            QVERIFY(memcmp(image.constScanLine(y), expected->Bits() + y * expected->RowBytes(),
                           3 * static_cast<std::size_t>(image.width())) == 0);
    }
    // Our own picture reader takes it back at the same size.
    const std::unique_ptr<CImage> back = clip::Picture(mime.get());
    QVERIFY(back);
    QCOMPARE(back->Width(), expected->Width());
    // Putting our objects on the clipboard makes its data our own.
    clip::ForeignData() = true;
    clip::Put(std::move(mime));
    QVERIFY(!clip::ForeignData());
    QVERIFY(clip::HasObjects(clip::Current()));
}

void ClipboardTest::picturesAndTextFromOtherProgramsComeIn() {
    // A screenshot tool offers a PNG; an image viewer may offer only an image.
    QImage shot(17, 9, QImage::Format_RGB32);
    shot.fill(QColor(10, 120, 250));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(shot.save(&buffer, "PNG"));
    QMimeData fromTool;
    fromTool.setData(QStringLiteral("image/png"), png);
    QMimeData fromViewer;
    fromViewer.setImageData(shot);
    for (QMimeData* data : {&fromTool, &fromViewer}) {
        QVERIFY(clip::HasPicture(data));
        std::unique_ptr<CImage> picture = clip::Picture(data);
        QVERIFY(picture);
        QCOMPARE(picture->Width(), 17);
        QCOMPARE(picture->Height(), 9);
        QCOMPARE(int(picture->Bits()[2]), 250);
    }
    QMimeData text;
    text.setText(QStringLiteral("Søren\nÆble €"));
    QVERIFY(clip::HasText(&text) && !clip::HasPicture(&text) && !clip::HasObjects(&text));
    bool lossless = false;
    QCOMPARE(clip::PlainText(&text, &lossless), std::string("S\xF8ren\r\xC6" "ble \x80"));
    QVERIFY(lossless);
    text.setText(QStringLiteral("日本"));
    clip::PlainText(&text, &lossless);
    QVERIFY(!lossless);
    QMimeData drop;
    drop.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a b.png")), QUrl(QStringLiteral("https://x/y.png"))});
    QCOMPARE(clip::DroppedFiles(&drop), std::vector<std::filesystem::path>{"/tmp/a b.png"});
}

QTEST_MAIN(ClipboardTest)
#include "ClipboardTest.moc"
