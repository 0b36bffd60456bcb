#include "DialogTestPort.h"
#include "app/dialogs/ChoiceDialog.h"
#include "app/dialogs/DialogKit.h"
#include "app/dialogs/PageDialogs.h"
#include "model/Page.h"
#include "model/Site.h"
#include "model/UndoHistory.h"
#include "model/BackgroundFill.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace {

struct CTwoPages {
    CTwoPages() {
        InstallUndoHistory();
        site = MakeNewSite("Familien", CBackgroundFill(CColor(1, 2, 3)), 400, 400,
                           CColor(0, 0, 255), CColor(128, 0, 128));
        second = &site->AddPage(std::make_unique<CPage>(*site, "Side2", "Ferie"));
    }
    CPage& Front() const { return site->PageAt(0); }
    int Steps(const CPage& page) const {
        return dynamic_cast<const CUndoHistory&>(page.History()).UndoCount();
    }
    std::unique_ptr<CSite> site;
    CPage* second = nullptr;
};

} // namespace

class DialogPagesTest : public QObject {
    Q_OBJECT

private slots:
    // Every field lands in the page, with one undo step for the whole OK.
    void PagePropertiesApplyAsOneStep() {
        CTwoPages pages;
        CQueuedPort ui;
        CPagePropertiesDialog dialog(*pages.second, ui);
        QCOMPARE(dialog.presets->count(), 3); // 400 x 400 is a preset
        KeepPicture(&dialog, "dialog-page-properties");
        QVERIFY(dialog.frontPage->isEnabled());
        dialog.webName->setText(QStringLiteral("Sommerferie på Fanø"));
        dialog.identifier->setText(QStringLiteral("Ferie"));
        emit dialog.presets->activated(1); // 640 x 480
        QCOMPARE(dialog.width->value(), 640);
        dialog.height->setValue(29999);
        dialog.frontPage->setChecked(true);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.Changed());
        CPage& page = *pages.second;
        QCOMPARE(pw::dialogs::FromModel(page.WebName()), QStringLiteral("Sommerferie på Fanø"));
        QCOMPARE(page.Identifier(), std::string("Ferie"));
        QCOMPARE(page.Width(), 640);
        QCOMPARE(page.Height(), 29999);
        QVERIFY(page.IsFrontPage());
        QVERIFY(!pages.Front().IsFrontPage());
        QCOMPARE(pages.Steps(page), 1);

        // The front page cannot give up its flag; OK without changes records nothing.
        CPagePropertiesDialog again(page, ui);
        QVERIFY(!again.frontPage->isEnabled());
        again.accept();
        QVERIFY(!again.Changed());
        QCOMPARE(pages.Steps(page), 1);
    }

    // A used or empty identifier is refused with the message; the dialog
    // stays open with the old name and nothing changes.
    void RefusedIdentifierKeepsTheDialogOpen() {
        for (const QString& typed : {QStringLiteral("Side1"), QString()}) {
            CTwoPages pages;
            CQueuedPort ui;
            ui.messages = {EAnswer::Ok};
            CPagePropertiesDialog dialog(*pages.second, ui);
            dialog.show();
            dialog.identifier->setText(typed);
            dialog.webName->setText(QStringLiteral("Ændret"));
            dialog.accept();
            QVERIFY(dialog.isVisible());
            QVERIFY(ui.Drained());
            QCOMPARE(dialog.identifier->text(), QStringLiteral("Side2"));
            QCOMPARE(pages.second->WebName(), std::string("Ferie"));
            QCOMPARE(pages.Steps(*pages.second), 0);
        }
    }

    // Site defaults: OK stores them; the transfer asks first and, on Ja,
    // gives every page the size and fill.
    void SiteDefaultsAndTransfer() {
        CTwoPages pages;
        CQueuedPort ui;
        CSiteDefaultsDialog dialog(*pages.site, ui);
        QVERIFY(dialog.solid->isChecked());
        KeepPicture(&dialog, "dialog-site-defaults");
        QVERIFY(!dialog.horizontal->isEnabled());
        emit dialog.presets->activated(2); // 600 x 800
        dialog.gradient->setChecked(true);
        QVERIFY(dialog.horizontal->isEnabled());
        dialog.horizontal->setChecked(true);
        dialog.colour->SetColour(CColor(10, 20, 30));
        dialog.visited->SetColour(CColor(200, 0, 0));

        ui.choices = {1, 0}; // Nej, then Ja
        dialog.transfer->click();
        QCOMPARE(pages.second->Width(), 400);
        dialog.transfer->click();
        QVERIFY(dialog.Transferred());
        QVERIFY(ui.Drained());
        for (const auto& page : pages.site->Pages()) {
            QCOMPARE(page->Width(), 600);
            QCOMPARE(page->Height(), 800);
            QCOMPARE(page->Background().GetType(), CBackgroundFill::fillGradient);
            QVERIFY(page->Background().IsHorizontal());
        }
        dialog.accept();
        const CSiteDefaults stored = DefaultsOf(*pages.site);
        QCOMPARE(stored.width, 600);
        QCOMPARE(stored.fill.GetColour().GetCOLORREF(), CColor(10, 20, 30).GetCOLORREF());
        QCOMPARE(stored.visitedLink.GetCOLORREF(), CColor(200, 0, 0).GetCOLORREF());
    }

    // Meta tags and head HTML: OK stores, in the model's code page.
    void MetaTagsAndHeadHtml() {
        CTwoPages pages;
        CQueuedPort ui;
        CMetaTagsDialog meta(*pages.site);
        meta.keywords->setText(QStringLiteral("ferie, sø, æbler"));
        meta.description->setPlainText(QStringLiteral("Vores ferie\npå to linjer"));
        KeepPicture(&meta, "dialog-meta-tags");
        meta.accept();
        QCOMPARE(pw::dialogs::FromModel(pages.site->keywords), QStringLiteral("ferie, sø, æbler"));
        QCOMPARE(pw::dialogs::FromModel(pages.site->description),
                 QStringLiteral("Vores ferie\npå to linjer"));

        CHeadHtmlDialog head(*pages.second, ui);
        QVERIFY(!head.removeFile->isEnabled());
        head.headerHtml->setPlainText(QStringLiteral("<script src=\"ur.js\"></script>"));
        head.onload->setText(QStringLiteral("start()"));
        ui.files = {"/tmp/ur.js", "/tmp/ur.js", "/tmp/stil.css", {}};
        for (int i = 0; i < 4; ++i)
            head.addFile->click();
        QCOMPARE(head.files->count(), 2); // the same file once; a cancelled chooser adds nothing
        KeepPicture(&head, "dialog-head-html");
        head.files->setCurrentRow(1);
        head.removeFile->click();
        head.accept();
        QCOMPARE(pages.second->HeaderHtml(), std::string("<script src=\"ur.js\"></script>"));
        QCOMPARE(pages.second->OnloadCode(), std::string("start()"));
        QCOMPARE(pages.second->UsedFiles(), std::vector<std::string>{"/tmp/ur.js"});
        QCOMPARE(pages.Steps(*pages.second), 1);
    }

    // The missing-picture question: the swatch offers the fill's colour and
    // hands back what the user picked, with the button pressed.
    void ChoiceWithColourSwatch() {
        CChoice choice;
        choice.caption = "Billedfyldet findes ikke";
        choice.text = "Billedfyldet nedenfor findes ikke.";
        choice.buttons = {"&OK", "&Prøv igen..."};
        choice.colourLabel = "Benyt solid farve:";
        choice.colourInitial = CColor(9, 8, 7);
        CChoiceDialog dialog(choice);
        KeepPicture(&dialog, "dialog-missing-picture");
        QCOMPARE(dialog.Swatch()->Colour().GetCOLORREF(), CColor(9, 8, 7).GetCOLORREF());
        dialog.Swatch()->SetColour(CColor(1, 2, 3));
        dialog.Button(1)->click();
        const CChoiceResult result = dialog.Result();
        QCOMPARE(result.button, 1);
        QVERIFY(result.colour.has_value());
        QCOMPARE(result.colour->GetCOLORREF(), CColor(1, 2, 3).GetCOLORREF());
    }
};

QTEST_MAIN(DialogPagesTest)
#include "DialogPagesTest.moc"
