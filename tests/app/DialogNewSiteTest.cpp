#include "DialogTestPort.h"
#include "app/MainFrame.h"
#include "app/PageFrame.h"
#include "app/SiteDialogs.h"
#include "model/Document.h"
#include "app/dialogs/DialogKit.h"
#include "model/BackgroundFill.h"
#include "model/Page.h"
#include "model/Site.h"
#include "services/Settings.h"
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Each label's mnemonic letter; fails on a label without one or a letter used twice.
bool UniqueMnemonics(QWidget& dialog) {
    QSet<QChar> seen;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->buddy()) continue;
        const qsizetype at = label->text().indexOf(QLatin1Char('&'));
        if (at < 0 || seen.contains(label->text().at(at + 1).toLower())) return false;
        seen.insert(label->text().at(at + 1).toLower());
    }
    return !seen.isEmpty();
}

} // namespace

class DialogNewSiteTest : public QObject {
    Q_OBJECT

private slots:
    // "Ny hjemmeside indstillinger": starts from the settings' defaults
    // (sizes clamped into what a page may be); OK makes the site the values
    // describe, its first page Side1 named after the site and the front page.
    void NewSiteFromTheDialogsValues() {
        struct CCase {
            const char* name;
            int defaultWidth, defaultHeight; // in the settings
            int shownWidth, shownHeight;
            QString typedName; // null: leave as proposed
            int width, height; // typed; 0: leave
            CColor background, link, visited;
            const char* siteName; // UTF-8
        };
        const CColor white(255, 255, 255), blue(0, 0, 255), purple(128, 0, 128);
        const CCase cases[] = {
            {"defaults", 740, 600, 740, 600, {}, 0, 0, white, blue, purple, "Min hjemmeside"},
            {"settings clamped", 5, 40000, 10, 30000, {}, 0, 0, white, blue, purple, "Min hjemmeside"},
            {"all typed", 740, 600, 740, 600, QStringLiteral("  Fåborg Fiskeklub "), 1024, 2000,
             CColor(1, 2, 3), CColor(4, 5, 6), CColor(7, 8, 9), "Fåborg Fiskeklub"},
            {"empty name", 740, 600, 740, 600, QStringLiteral("   "), 0, 0, white, blue, purple,
             "Min hjemmeside"},
        };
        for (const CCase& c : cases) {
            CSettings settings;
            settings.SetDefaultPageWidth(c.defaultWidth);
            settings.SetDefaultPageHeight(c.defaultHeight);
            CNewSiteDialog dialog(settings);
            QVERIFY2(UniqueMnemonics(dialog), c.name);
            QCOMPARE(dialog.WidthBox()->value(), c.shownWidth);
            QCOMPARE(dialog.HeightBox()->value(), c.shownHeight);
            if (!c.typedName.isNull()) dialog.NameEdit()->setText(c.typedName);
            if (c.width) dialog.WidthBox()->setValue(c.width);
            if (c.height) dialog.HeightBox()->setValue(c.height);
            dialog.BackgroundSwatch()->SetColour(c.background);
            dialog.LinkSwatch()->SetColour(c.link);
            dialog.VisitedSwatch()->SetColour(c.visited);
            if (std::string_view(c.name) == "defaults") KeepPicture(&dialog, "dialog-new-site");
            const auto site = dialog.MakeSite();
            QVERIFY2(site, c.name);
            QCOMPARE(pw::dialogs::FromModel(site->name), QString::fromUtf8(c.siteName));
            QCOMPARE(site->PageCount(), 1);
            const CPage& page = site->PageAt(0);
            QCOMPARE(site->FrontPage(), &page);
            QCOMPARE(page.Identifier(), std::string("Side1"));
            QCOMPARE(pw::dialogs::FromModel(page.WebName()), QString::fromUtf8(c.siteName));
            QCOMPARE(page.Width(), c.width ? c.width : c.shownWidth);
            QCOMPARE(page.Height(), c.height ? c.height : c.shownHeight);
            QCOMPARE(page.Background().GetColour().GetCOLORREF(), c.background.GetCOLORREF());
            QCOMPARE(site->unvisitedLinkColour.GetCOLORREF(), c.link.GetCOLORREF());
            QCOMPARE(site->visitedLinkColour.GetCOLORREF(), c.visited.GetCOLORREF());
        }
    }

    // The main window's "Ny hjemmeside" flow: cancelled, nothing opens; OK
    // opens the new site, unsaved ("Ikke navngivet*"), with Side1 shown; with
    // a site open the wizard does not come up at all.
    void WizardFlowInTheMainWindow() {
        QTemporaryDir home;
        CMainFrame frame(nullptr, home.filePath(QStringLiteral("Pagewright.conf")));
        frame.show();
        for (bool ok : {false, true}) {
            WhenShown<CNewSiteDialog>([ok](CNewSiteDialog* d) {
                d->NameEdit()->setText(QStringLiteral("Klubben"));
                ok ? d->accept() : d->reject();
            });
            QCOMPARE(frame.NewSiteWithWizard(), ok);
            QCOMPARE(frame.Site() != nullptr, ok);
        }
        QCOMPARE(frame.PageFrames().size(), 1);
        QCOMPARE(frame.PageFrames().front()->windowTitle(), QStringLiteral("Side1"));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Pagewright - Ikke navngivet*"));
        QCOMPARE(pw::dialogs::FromModel(frame.Site()->name), QStringLiteral("Klubben"));
        QVERIFY(!frame.NewSiteWithWizard());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        frame.Document().DeleteContents();
    }
};

QTEST_MAIN(DialogNewSiteTest)
#include "DialogNewSiteTest.moc"
