// The Edit menu's clipboard commands on a page view, through the real
// clipboard of the platform.
#include "app/QtInteraction.h"
#include "editor/Clipboard.h"
#include "editor/ClipboardCommands.h"
#include "editor/EditorContext.h"
#include "editor/PlumeView.h"
#include "image/Image.h"
#include "model/BackgroundFill.h"
#include "model/Document.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/UndoHistory.h"
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTest>

namespace clip = pw::editor_clipboard;

class ClipboardCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void objectsCutCopyAndPaste();
    void textInsideAnEditedText();
    void picturesAndBackgrounds();
    void selectionDraggedToAnotherPageWindow();

private:
    std::unique_ptr<CQtInteraction> m_ui;
    std::unique_ptr<CPlumeDoc> m_doc;
    CEditorContext m_context;
    std::unique_ptr<CPlumeView> m_view;
    CPage* m_page = nullptr;
};

void ClipboardCommandsTest::init() {
    m_ui = std::make_unique<CQtInteraction>(nullptr);
    m_doc = std::make_unique<CPlumeDoc>(*m_ui, "Pagewright");
    auto site = std::make_unique<CSite>("Test", CBackgroundFill(), 400, 300, CColor(0, 0, 255),
                                        CColor(128, 0, 128));
    m_page = &site->AddPage(std::make_unique<CPage>(*site, "Side1", "En"));
    m_page->SetHistory(std::make_unique<CUndoHistory>(*m_page, CPage::kUndoSteps));
    QVERIFY(m_doc->NewSite(std::move(site)));
    m_view = std::make_unique<CPlumeView>(*m_doc, *m_page, m_context);
    m_view->resize(300, 200);
    m_view->show();
    QApplication::clipboard()->clear();
}

void ClipboardCommandsTest::cleanup() {
    m_view.reset();
    m_doc.reset();
}

void ClipboardCommandsTest::objectsCutCopyAndPaste() {
    QVERIFY(!clip::CanCopy(*m_view));
    QVERIFY(!clip::CanPaste(*m_view));
    CPageItem& item =
        m_page->InsertItem(std::make_unique<CRectObject>(DPOINT{50, 40}, CObjectSize{30, 20}));
    m_page->SelectOnly(item);
    QVERIFY(clip::CanCopy(*m_view));
    clip::Copy(*m_view);
    QVERIFY(clip::HasObjects(clip::Current()));
    QVERIFY(clip::Current()->hasFormat(QStringLiteral("image/png")));
    QVERIFY(clip::CanPaste(*m_view));
    clip::Paste(*m_view);
    QCOMPARE(m_page->ItemCount(), 2);
    QVERIFY(m_page->ItemAt(1).IsSelected() && !item.IsSelected());
    clip::Cut(*m_view);
    QCOMPARE(m_page->ItemCount(), 1);
    QVERIFY(m_page->History().Undo()); // the cut comes back
    QCOMPARE(m_page->ItemCount(), 2);
}

void ClipboardCommandsTest::textInsideAnEditedText() {
    auto made = std::make_unique<CTextObject>(DPOINT{100, 100}, CObjectSize{120, 30});
    CTextObject* text = made.get();
    m_page->InsertItem(std::move(made));
    text->BeginEditing();
    for (char c : std::string("Hej"))
        text->Editing().InsertChar(text->Layout(), static_cast<uint8_t>(c));
    text->LayoutText();
    QVERIFY(text->PrepareAndRender(m_page->TileBuffer())); // as the view does after each key
    QVERIFY(!clip::CanCopy(*m_view)); // no characters selected
    text->Editing().SelectAll(text->Layout());
    clip::Copy(*m_view);
    QCOMPARE(clip::Current()->text(), QStringLiteral("Hej"));
    QCOMPARE(clip::Current()->data(clip::kPlainUtf8Type), QByteArray("Hej"));
    QVERIFY(clip::Current()->hasFormat(clip::kTextType));
    // Our objects are not pasted into a text, and plain text goes in as text.
    QVERIFY(clip::CanPaste(*m_view));
    auto plain = new QMimeData;
    plain->setText(QStringLiteral("på 日"));
    QApplication::clipboard()->setMimeData(plain);
    clip::Paste(*m_view); // replaces the selection; the letter the code page lacks stays out
    QCOMPARE(text->CopyPlainText().empty(), true); // nothing selected now
    text->Editing().SelectAll(text->Layout());
    const std::string typed = text->CopyPlainText();
    QCOMPARE(QByteArray(typed.c_str()), QByteArray("p\xE5 "));
    // The page shows the pasted text at once: its picture is what a fresh
    // render of the text gives.
    const auto pixels = [](const CImage* image) {
        return image ? QByteArray(reinterpret_cast<const char*>(image->Bits()),
                                  image->RowBytes() * image->Height())
                     : QByteArray();
    };
    const QByteArray shown = pixels(text->GetImage());
    text->Invalidate();
    QVERIFY(text->PrepareAndRender(m_page->TileBuffer()));
    QCOMPARE(shown, pixels(text->GetImage()));
    const int items = m_page->ItemCount();
    text->EndEditing(false, m_page);

    // Our text on the clipboard and no text being edited: paste does nothing.
    auto runs = new QMimeData;
    runs->setData(clip::kTextType, QByteArray("x\0", 2));
    QApplication::clipboard()->setMimeData(runs);
    QVERIFY(!clip::CanPaste(*m_view));
    clip::Paste(*m_view);
    QCOMPARE(m_page->ItemCount(), items);
}

void ClipboardCommandsTest::picturesAndBackgrounds() {
    QImage picture(101, 50, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    auto data = new QMimeData;
    data->setImageData(picture);
    QApplication::clipboard()->setMimeData(data);
    QVERIFY(clip::CanPaste(*m_view));
    clip::Paste(*m_view);
    QCOMPARE(m_page->ItemCount(), 1);
    // Centred in what the view shows, on whole pixels (a half for the odd width).
    const CRect visible = clip::VisibleArea(*m_view);
    QVERIFY(visible.left == 0 && visible.right > 100 && visible.right < 400);
    QCOMPARE(m_page->ItemAt(0).Current().GetCenter().x, (visible.left + visible.right) / 2 + 0.5);
    QCOMPARE(m_page->ItemAt(0).Current().GetCenter().y, double((visible.top + visible.bottom) / 2));

    m_page->SetBackground(std::make_unique<CBackgroundFill>(CColor(1, 2, 3)));
    QVERIFY(!clip::CanPasteBackground(*m_view));
    clip::CopyBackground(*m_view);
    m_page->SetBackground(std::make_unique<CBackgroundFill>(CColor(9, 9, 9)));
    QVERIFY(clip::CanPasteBackground(*m_view));
    clip::PasteBackground(*m_view);
    QCOMPARE(m_page->Background().GetColour(), CColor(1, 2, 3));
}


// A selection dragged out of one page window lands as a copy, centred on the
// drop point, in another page window of the same site with one undo step;
// the window it came from, and pages of other sites, refuse it.
void ClipboardCommandsTest::selectionDraggedToAnotherPageWindow() {
    CSite& site = m_page->Site();
    CPage& other = site.AddPage(std::make_unique<CPage>(site, "Side2", "To"));
    other.SetHistory(std::make_unique<CUndoHistory>(other, CPage::kUndoSteps));
    CPlumeView target(*m_doc, other, m_context);
    target.resize(300, 200);
    target.show();
    CSite stranger("Other", CBackgroundFill(), 400, 300, CColor(0, 0, 255), CColor(128, 0, 128));
    CPage& foreign = stranger.AddPage(std::make_unique<CPage>(stranger, "Side1", "En"));
    CPageItem& item =
        m_page->InsertItem(std::make_unique<CRectObject>(DPOINT{50, 40}, CObjectSize{30, 20}));
    m_page->SelectOnly(item);
    const std::unique_ptr<QMimeData> data = clip::DragData(*m_page);
    QVERIFY(data && clip::HasObjects(data.get()));
    QVERIFY(clip::IsDragFromSiblingPage(data.get(), other));
    QVERIFY(!clip::IsDragFromSiblingPage(data.get(), *m_page));
    QVERIFY(!clip::IsDragFromSiblingPage(data.get(), foreign));

    auto drop = [&](CPlumeView& view, QPoint at) {
        QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view.viewport(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent event(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view.viewport(), &event);
        return event.isAccepted();
    };
    QVERIFY(!drop(*m_view, {120, 90}));
    QVERIFY(drop(target, {120, 90}));
    QCOMPARE(other.ItemCount(), 1);
    QCOMPARE(m_page->ItemCount(), 1);
    const CRect r = other.ItemAt(0).GetRect();
    QCOMPARE(QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2), QPoint(120, 90));
    QVERIFY(other.ItemAt(0).IsSelected());
    auto& history = static_cast<CUndoHistory&>(other.History());
    QCOMPARE(history.UndoCount(), 1);
    QVERIFY(history.Undo());
    QCOMPARE(other.ItemCount(), 0);
}

QTEST_MAIN(ClipboardCommandsTest)
#include "ClipboardCommandsTest.moc"
