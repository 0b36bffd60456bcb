#include "DialogTestPort.h"
#include "app/dialogs/DialogKit.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/PreferencesDialog.h"
#include "services/MemorySettingsStore.h"
#include <QCheckBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <thread>

namespace {

// Every preference away from its default, so a control that is missing or
// wired to the wrong value shows up in the round trip.
CSettings Unusual() {
    CSettings s;
    s.SetPwuPath("/home/a/Hjemmesider/");
    s.SetImagePath("/home/a/Billeder/");
    s.SetExportPath("/home/a/Eksport/");
    s.SetBackgroundImagePath("/home/a/Baggrunde/");
    s.SetDefaultPageWidth(1024);
    s.SetDefaultPageHeight(2000);
    s.SetDefaultVisitedColor(CColor(1, 2, 3));
    s.SetDefaultUnvisitedColor(CColor(4, 5, 6));
    s.SetRepeatBackgroundFill(false);
    s.SetSolidBackgroundFill(CColor(7, 8, 9));
    s.SetDefaultFont("Skrift der ikke findes");
    s.SetDefaultFontSize(31);
    s.SetDefaultFontColor(CColor(10, 11, 12));
    s.SetDefaultFontBold(true);
    s.SetDefaultFontItalic(true);
    s.SetDefaultFontUnderline(true);
    s.SetCounterId(4711);
    s.SetButtonTextFont("DejaVu Serif");
    s.SetButtonTextFontSize(9);
    s.SetButtonTextFontColor(CColor(13, 14, 15));
    s.SetButtonTextFontBold(true);
    s.SetButtonTextFontItalic(true);
    s.SetButtonTextFontUnderline(true);
    s.SetButtonTextAlignment(2);
    s.SetButtonTextUseShadow(true);
    s.SetButtonTextShadowDistance(7);
    s.SetButtonTextShadowDirection(300);
    s.SetButtonTextShadowColor(CColor(16, 17, 18));
    s.SetUseBuiltInBrowser(false);
    s.SetShowStartUpDialog(false);
    s.SetShowLargeObjectWarning(false);
    s.SetShowAdvancedTextHelp(false);
    s.SetShowMouseOverHelp(false);
    for (size_t i = 0; i < kToolHelpCount; i += 2)
        s.SetShowToolHelp(EToolHelp(i), false);
    s.SetToolboxColor(CColor(19, 20, 21));
    // Not this machine's core count, which is stored as 0 ("every core").
    s.SetBuildJobs(std::thread::hardware_concurrency() == 63 ? 62 : 63);
    s.SetPublishConnections(2);
    s.SetBuildHiDpi(false);
    s.SetBuildWebp(false);
    s.SetBuildPhones(false);
    s.SetFtpServer("ftp.bliver.dk");
    return s;
}

std::map<std::string, CMemorySettingsStore::Value, std::less<>> Saved(const CSettings& s) {
    CMemorySettingsStore store;
    s.Save(store);
    return store.Values();
}

} // namespace

class DialogPreferencesTest : public QObject {
    Q_OBJECT

private slots:
    // Shown and stored again, every value comes back unchanged, a font this
    // machine lacks included; the connection is not the dialog's business.
    void EveryValueRoundTrips() {
        const CSettings unusual = Unusual();
        CSettings settings = unusual;
        CQueuedPort ui;
        CPreferencesDialog dialog(settings, ui);
        auto* tabs = dialog.findChild<QTabWidget*>();
        for (int i = 0; tabs && i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            KeepPicture(&dialog, ("dialog-preferences-" + std::to_string(i + 1)).c_str());
        }
        CSettings fresh;
        fresh.SetFtpServer("ftp.bliver.dk");
        dialog.Store(fresh);
        const auto expected = Saved(unusual), actual = Saved(fresh);
        for (const auto& [name, value] : expected) {
            auto it = actual.find(name);
            QVERIFY2(it != actual.end() && it->second == value, name.c_str());
        }

        // OK writes what the controls show; Cancel writes nothing.
        dialog.pageWidth->setValue(500);
        dialog.toolHelp[1]->setChecked(false);
        dialog.reject();
        QCOMPARE(settings.GetDefaultPageWidth(), 1024);
        dialog.accept();
        QCOMPARE(settings.GetDefaultPageWidth(), 500);
        QVERIFY(!settings.GetShowToolHelp(EToolHelp::Text));
        QCOMPARE(settings.GetFtpServer(), std::string("ftp.bliver.dk"));
    }

    // Build jobs: shown as a count 1..64, the machine's core count for
    // "every core" (0), which is what that count is stored as again; set in
    // the dialog, stored, and shown the same by the next dialog.
    void BuildJobsRoundTrip() {
        const int cores = std::clamp(int(std::thread::hardware_concurrency()), 1, 64);
        const int other = cores == 3 ? 5 : 3;
        struct {
            int stored, typed, shown, storedAfter;
        } cases[] = {{0, -1, cores, 0}, {other, -1, other, other}, {200, -1, 64, 64},
                     {0, other, other, other}, {other, cores, cores, 0}, {0, 999, 64, 64},
                     {7, 0, 1, 1 == cores ? 0 : 1}};
        for (const auto& c : cases) {
            CSettings settings;
            settings.SetBuildJobs(c.stored);
            CQueuedPort ui;
            {
                CPreferencesDialog dialog(settings, ui);
                if (c.typed >= 0) dialog.buildJobs->setValue(c.typed);
                QCOMPARE(dialog.buildJobs->value(), c.shown);
                dialog.accept();
            }
            QCOMPARE(settings.GetBuildJobs(), c.storedAfter);
            CPreferencesDialog again(settings, ui);
            QCOMPARE(again.buildJobs->value(), c.shown);
        }
    }

    // A chosen folder keeps its trailing separator; a cancelled chooser
    // leaves the field alone.
    void FolderChooser() {
        CSettings settings;
        settings.SetImagePath("/gammel/");
        CQueuedPort ui;
        ui.files = {{}, "/ny/mappe"};
        CPreferencesDialog dialog(settings, ui);
        QPushButton* pick = nullptr;
        for (QPushButton* b : dialog.findChildren<QPushButton*>())
            if (b->accessibleName().startsWith(QStringLiteral("&Billeder"))) pick = b;
        QVERIFY(pick);
        pick->click();
        QCOMPARE(dialog.imagePath->text(), QStringLiteral("/gammel/"));
        pick->click();
        QCOMPARE(dialog.imagePath->text(), QStringLiteral("/ny/mappe/"));
        QCOMPARE(ui.asked.back(), std::string("Billeder:"));
    }

    // The advanced-text help: shown while the setting says so; its check
    // box turns it off for good.
    void AdvancedTextHelpFollowsItsCheckBox() {
        struct {
            bool show, tick, shown, showAfter;
        } cases[] = {{true, true, true, false}, {true, false, true, true}, {false, false, false, false}};
        for (const auto& c : cases) {
            CSettings settings;
            settings.SetShowAdvancedTextHelp(c.show);
            CQueuedPort ui;
            if (c.show) {
                ui.choices = {0};
                ui.checks = {c.tick};
            }
            QCOMPARE(pw::dialogs::AdvancedTextHelp(settings, ui), c.shown);
            QCOMPARE(settings.GetShowAdvancedTextHelp(), c.showAfter);
            QVERIFY(ui.Drained());
        }
    }
};

QTEST_MAIN(DialogPreferencesTest)
#include "DialogPreferencesTest.moc"
