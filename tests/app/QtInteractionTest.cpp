#include "app/QtInteraction.h"
#include "services/StringIds.h"
#include "tests/support/WhenShown.h"
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

CMessage Box(CMessage::Buttons buttons, const std::string& text) {
    CMessage m;
    m.caption = "Pagewright";
    m.text = text;
    m.icon = CMessage::Icon::Question;
    m.buttons = buttons;
    return m;
}

} // namespace

class QtInteractionTest : public QObject {
    Q_OBJECT

private slots:
    void MessageButtonsMapToAnswers() {
        CQtInteraction ui;
        using B = CMessage::Buttons;
        struct CCase {
            B buttons;
            QMessageBox::StandardButton click; // NoButton: press Escape
            EAnswer expected;
        };
        const CCase cases[] = {
            {B::Ok, QMessageBox::Ok, EAnswer::Ok},
            {B::OkCancel, QMessageBox::Cancel, EAnswer::Cancel},
            {B::OkCancel, QMessageBox::NoButton, EAnswer::Cancel},
            {B::YesNo, QMessageBox::Yes, EAnswer::Yes},
            {B::YesNo, QMessageBox::NoButton, EAnswer::No},
            {B::YesNoCancel, QMessageBox::No, EAnswer::No},
            {B::YesNoCancel, QMessageBox::NoButton, EAnswer::Cancel},
        };
        for (const CCase& c : cases) {
            WhenShown<QMessageBox>([c](QMessageBox* box) {
                if (c.click == QMessageBox::NoButton)
                    QTest::keyClick(box, Qt::Key_Escape);
                else
                    box->button(c.click)->click();
            });
            QCOMPARE(ui.Message(Box(c.buttons, "Gem ændringer?")), c.expected);
        }

        // Texts arrive in UTF-8 and show as written, markup included.
        QString shownText, shownCaption;
        Qt::TextFormat format = Qt::AutoText;
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            shownText = box->text();
            shownCaption = box->windowTitle();
            format = box->textFormat();
            box->button(QMessageBox::Ok)->click();
        });
        CMessage m = Box(B::Ok, "<b>Filen</b> \"æøå.pwu\" findes ikke.");
        m.caption = "Åbn";
        ui.Message(m);
        QCOMPARE(shownText, QStringLiteral("<b>Filen</b> \"æøå.pwu\" findes ikke."));
        QCOMPARE(shownCaption, QStringLiteral("Åbn"));
        QCOMPARE(format, Qt::PlainText);
    }

    void ChoiceReportsButtonAndCheckBox() {
        CQtInteraction ui;
        CChoice choice;
        choice.caption = "Pagewright";
        choice.text = "Objektet er meget stort.";
        choice.buttons = {"&Afbryd", "&Fortsæt"};
        choice.checkBox = "Vis ikke denne dialog-boks igen";

        QStringList labels;
        bool initiallyChecked = true;
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            for (QAbstractButton* b : box->buttons())
                labels << b->text();
            initiallyChecked = box->checkBox()->isChecked();
            box->checkBox()->setChecked(true);
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QStringLiteral("&Fortsæt")) b->click();
        });
        CChoiceResult r = ui.Choose(choice);
        QCOMPARE(r.button, 1);
        QVERIFY(r.checked);
        QVERIFY(!initiallyChecked);
        QVERIFY(labels.contains(QStringLiteral("&Afbryd")));

        // Enter takes the first (default) button; no check box leaves the initial value.
        choice.checkBox.clear();
        choice.checkBoxInitial = true;
        WhenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
        r = ui.Choose(choice);
        QCOMPARE(r.button, 0);
        QVERIFY(r.checked);
    }

    void TextQuestionKeepsTheTextWhenCancelled() {
        CQtInteraction ui;
        std::string text = "Standard";
        QString offered;
        QStringList buttons;
        WhenShown<QInputDialog>([&](QInputDialog* d) {
            offered = d->textValue();
            for (QPushButton* b : d->findChildren<QPushButton*>()) buttons << b->text();
            d->setTextValue(QStringLiteral("Min profil æ"));
            d->accept();
        });
        QVERIFY(ui.AskText("Profil", "Navn:", text));
        QCOMPARE(offered, QStringLiteral("Standard"));
        QCOMPARE(text, std::string("Min profil æ"));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("Annuller"), QStringLiteral("OK")}));

        WhenShown<QInputDialog>([](QInputDialog* d) {
            d->setTextValue(QStringLiteral("glemt"));
            d->reject();
        });
        QVERIFY(!ui.AskText("Profil", "Navn:", text));
        QCOMPARE(text, std::string("Min profil æ"));
    }

    void FileChooserStartsAtTheGivenFileAndAddsTheSuffix() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        CQtInteraction ui;
        CFileRequest request;
        request.mode = CFileRequest::Mode::Save;
        request.title = "Gem som";
        request.start = ToPath(dir.path()) / "mit websted.pwu";
        request.filters = {"Pagewright Homepage (*.pwu)"};
        request.defaultSuffix = "pwu";

        QString startFolder;
        QStringList startSelection;
        WhenShown<QFileDialog>([&](QFileDialog* d) {
            startFolder = d->directory().absolutePath();
            startSelection = d->selectedFiles();
            d->selectFile(QStringLiteral("nyt"));
            QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
        });
        std::filesystem::path chosen = ui.ChooseFile(request);
        QCOMPARE(startFolder, QDir(dir.path()).absolutePath());
        QVERIFY(!startSelection.isEmpty());
        QVERIFY(startSelection.front().endsWith(QStringLiteral("mit websted.pwu")));
        QCOMPARE(chosen, ToPath(dir.path()) / "nyt.pwu");

        WhenShown<QFileDialog>([](QFileDialog* d) { d->reject(); });
        QVERIFY(ui.ChooseFile(request).empty());
    }

    void OpenDialogIsQtsOwnAndPreviewsTheSiteUnderTheCursor() {
        CQtInteraction ui;
        CFileRequest request;
        request.mode = CFileRequest::Mode::Open;
        request.start = PW_SOURCE_DIR "/resources/Templates/Erhverv/firma.pws";
        request.filters = {"Pagewright Template (*.pws)"};
        bool native = true;
        QString name;
        bool picture = false;
        WhenShown<QFileDialog>([&](QFileDialog* d) {
            native = !d->testOption(QFileDialog::DontUseNativeDialog);
            emit d->currentChanged(QString::fromStdString(request.start.string()));
            if (auto* label = d->findChild<QLabel*>(QStringLiteral("SitePreviewName")))
                name = label->text();
            if (auto* label = d->findChild<QLabel*>(QStringLiteral("SitePreview")))
                picture = !label->pixmap().isNull();
            d->reject();
        });
        QVERIFY(ui.ChooseFile(request).empty()); // cancelled quietly
        QVERIFY(!native);
        QVERIFY(!name.isEmpty());
        QVERIFY(picture);
    }

    void WaitCursorFollowsTheCount() {
        QVERIFY(QApplication::overrideCursor() == nullptr);
        {
            CQtInteraction ui;
            ui.BeginWait();
            ui.BeginWait();
            QVERIFY(QApplication::overrideCursor());
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            ui.EndWait();
            QVERIFY(QApplication::overrideCursor());
            ui.EndWait();
            QVERIFY(QApplication::overrideCursor() == nullptr);
            ui.EndWait(); // one too many: harmless
            QCOMPARE(ui.WaitCount(), 0);
            ui.BeginWait();
        }
        // Destroyed while waiting: the cursor does not stay.
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void BrowserAddresses() {
        QCOMPARE(CQtInteraction::BrowserUrl("https://example.org/side.htm?a=1").toString(),
                 QStringLiteral("https://example.org/side.htm?a=1"));
        QCOMPARE(CQtInteraction::BrowserUrl("mailto:post@example.org").scheme(),
                 QStringLiteral("mailto"));
        QUrl local = CQtInteraction::BrowserUrl("/tmp/mit websted/#1 æ.htm");
        QVERIFY(local.isLocalFile());
        QCOMPARE(local.toLocalFile(), QStringLiteral("/tmp/mit websted/#1 æ.htm"));
        QUrl relative = CQtInteraction::BrowserUrl("out/default.htm");
        QVERIFY(relative.isLocalFile());
        QCOMPARE(relative.toLocalFile(), QDir::current().absoluteFilePath("out/default.htm"));
    }
};

QTEST_MAIN(QtInteractionTest)
#include "QtInteractionTest.moc"
