#include "DialogTestPort.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/InternetSetupDialog.h"
#include "services/Settings.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {

CFtpProfile Profile(const std::string& name, const std::string& server) {
    CFtpProfile p;
    p.name = name;
    p.server = server;
    p.user = name + "-bruger";
    p.catalog = "www";
    return p;
}

CSettings TwoProfiles() {
    CSettings s;
    s.SetFtpServer("ftp.start.dk");
    s.SetFtpUser("start");
    s.SetFtpProfiles({Profile("Hjem", "ftp.hjem.dk"), Profile("Arbejde", "ftp.arbejde.dk")});
    return s;
}

} // namespace

class DialogInternetSetupTest : public QObject {
    Q_OBJECT

private slots:
    void FocusGoesToTheFirstEmptyField() {
        struct {
            std::string server, user;
            const char* focused;
        } cases[] = {{"", "", "server"}, {"ftp.x.dk", "", "user"}};
        for (const auto& c : cases) {
            CSettings settings;
            settings.SetFtpServer(c.server);
            settings.SetFtpUser(c.user);
            CQueuedPort ui;
            CInternetSetup setup(settings, ui);
            CInternetSetupDialog dialog(setup, settings);
            dialog.show();
            QWidget* expected = std::string(c.focused) == "server" ? dialog.server : dialog.user;
            QCOMPARE(dialog.focusWidget(), expected);
        }
    }

    // Choosing, saving under a used and a new name, and deleting: the list
    // and the fields follow, and nothing reaches the settings before OK.
    void ProfilesFollowTheButtons() {
        CSettings settings = TwoProfiles();
        CQueuedPort ui;
        CInternetSetup setup(settings, ui);
        CInternetSetupDialog dialog(setup, settings);
        QCOMPARE(dialog.profiles->count(), 2);
        QCOMPARE(dialog.server->text(), QStringLiteral("ftp.start.dk"));
        KeepPicture(&dialog, "dialog-internet-setup");
        QVERIFY(!dialog.remove->isEnabled());

        dialog.profiles->setCurrentIndex(1);
        emit dialog.profiles->activated(1);
        QCOMPARE(dialog.server->text(), QStringLiteral("ftp.arbejde.dk"));
        QVERIFY(dialog.remove->isEnabled());

        // "&Gem" under the same name replaces, under a new one appends.
        dialog.server->setText(QStringLiteral("ftp.ny.dk"));
        ui.texts = {"Arbejde", "Sommerhus"};
        dialog.save->click();
        QCOMPARE(dialog.profiles->count(), 2);
        QCOMPARE(setup.Profiles()[1].server, std::string("ftp.ny.dk"));
        dialog.save->click();
        QCOMPARE(dialog.profiles->count(), 3);
        QCOMPARE(dialog.profiles->currentText(), QStringLiteral("Sommerhus"));
        ui.texts = {"\x1b"}; // a cancelled name saves nothing
        dialog.save->click();
        QCOMPARE(dialog.profiles->count(), 3);

        // "&Slet": Nej keeps it; Ja removes it and shows the new last one.
        ui.choices = {1, 0};
        dialog.remove->click();
        QCOMPARE(dialog.profiles->count(), 3);
        dialog.remove->click();
        QCOMPARE(dialog.profiles->count(), 2);
        QCOMPARE(dialog.profiles->currentIndex(), 1);
        QCOMPARE(dialog.server->text(), QStringLiteral("ftp.ny.dk"));
        QVERIFY(ui.Drained());
        QCOMPARE(settings.GetFtpProfiles().size(), size_t(2));
        QCOMPARE(settings.GetFtpProfiles()[1].server, std::string("ftp.arbejde.dk"));
    }

    // The sub-dialog: "Standard" resets, OK without a proxy type drops the
    // proxy fields, Cancel takes nothing.
    void AdvancedSettings() {
        CSettings settings;
        settings.SetFtpPort(2121);
        settings.SetFtpProxyType(2);
        settings.SetFtpProxyServer("proxy.dk");
        settings.SetFtpProxyPort(1080);
        CQueuedPort ui;
        CInternetSetup setup(settings, ui);
        CInternetSetupDialog dialog(setup, settings);

        WhenShown<CAdvancedSettingsDialog>([](CAdvancedSettingsDialog* d) {
            KeepPicture(d, "dialog-advanced-settings");
            QCOMPARE(d->port->value(), 2121);
            QCOMPARE(d->proxyType->currentIndex(), 2);
            QVERIFY(d->proxyServer->isEnabled());
            d->passive->setChecked(true);
            d->reject();
        });
        dialog.advanced->click();
        QVERIFY(!setup.values.passive);

        WhenShown<CAdvancedSettingsDialog>([](CAdvancedSettingsDialog* d) {
            d->standard->click();
            QCOMPARE(d->port->value(), 21);
            QCOMPARE(d->proxyServer->text(), QString());
            QVERIFY(!d->proxyServer->isEnabled());
            d->port->setValue(990);
            d->proxyServer->setText(QStringLiteral("typed.anyway"));
            d->accept();
        });
        dialog.advanced->click();
        QCOMPARE(setup.values.port, 990);
        QCOMPARE(setup.values.proxyType, 0);
        QCOMPARE(setup.values.proxyServer, std::string());
    }

    // OK checks the folder name: "&Prøv igen" keeps the dialog open,
    // "&Fortryd" closes it as cancelled; a good name stores everything.
    void OkChecksTheCatalog() {
        struct {
            const char* catalog;
            std::deque<int> answers;
            int result;
            bool stored;
        } cases[] = {
            {"sider\\2024", {0}, -1, false},
            {"sider/2024", {1}, QDialog::Rejected, false},
            {"sider\\\\arkiv", {}, QDialog::Accepted, true},
        };
        for (const auto& c : cases) {
            CSettings settings = TwoProfiles();
            CQueuedPort ui;
            ui.choices = c.answers;
            CInternetSetup setup(settings, ui);
            CInternetSetupDialog dialog(setup, settings);
            dialog.show();
            dialog.user->setText(QStringLiteral("ny-bruger"));
            dialog.catalog->setText(QString::fromUtf8(c.catalog));
            ui.texts = {"Ny"};
            dialog.save->click();
            dialog.accept();
            QVERIFY(ui.Drained());
            if (c.result < 0) {
                QVERIFY(dialog.isVisible());
                QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(dialog.catalog));
            } else {
                QCOMPARE(dialog.result(), c.result);
            }
            QCOMPARE(settings.GetFtpUser(), std::string(c.stored ? "ny-bruger" : "start"));
            QCOMPARE(settings.GetFtpCatalog(), std::string(c.stored ? c.catalog : ""));
            QCOMPARE(settings.GetFtpProfiles().size(), size_t(c.stored ? 3 : 2));
        }
    }

    // The menu's entry point: Cancel leaves the settings as they were.
    void CancelDiscardsEverything() {
        CSettings settings = TwoProfiles();
        CQueuedPort ui;
        WhenShown<CInternetSetupDialog>([](CInternetSetupDialog* d) {
            d->server->setText(QStringLiteral("ftp.andet.dk"));
            d->reject();
        });
        QVERIFY(!pw::dialogs::InternetSettings(nullptr, settings, ui));
        QCOMPARE(settings.GetFtpServer(), std::string("ftp.start.dk"));
    }

    // The kind: SFTP brings the key file to life and the usual port along;
    // a profile brings its own kind; OK stores both.
    void KindAndKeyFile() {
        CSettings settings = TwoProfiles();
        CFtpProfile secure = Profile("Sikker", "sftp.sikker.dk");
        secure.kind = EConnectionKind::Sftp;
        secure.port = 2222;
        secure.keyFile = "/home/anna/.ssh/id_ed25519";
        settings.FtpProfiles().push_back(secure);
        CQueuedPort ui;
        CInternetSetup setup(settings, ui);
        CInternetSetupDialog dialog(setup, settings);
        dialog.show();
        QCOMPARE(dialog.kind->currentIndex(), 0);
        QVERIFY(!dialog.keyFile->isEnabled());

        dialog.kind->setCurrentIndex(2);
        emit dialog.kind->activated(2);
        QVERIFY(dialog.keyFile->isEnabled());
        QVERIFY(dialog.browseKey->isEnabled());
        QCOMPARE(setup.values.port, 22);
        dialog.keyFile->setText(QStringLiteral("/home/anna/.ssh/id_ed25519"));
        KeepPicture(&dialog, "dialog-internet-setup-sftp");

        dialog.profiles->setCurrentIndex(2);
        emit dialog.profiles->activated(2);
        QCOMPARE(dialog.kind->currentIndex(), 2);
        QCOMPARE(dialog.keyFile->text(), QStringLiteral("/home/anna/.ssh/id_ed25519"));
        dialog.profiles->setCurrentIndex(0);
        emit dialog.profiles->activated(0);
        QCOMPARE(dialog.kind->currentIndex(), 0);
        QVERIFY(!dialog.keyFile->isEnabled());

        dialog.kind->setCurrentIndex(1);
        emit dialog.kind->activated(1);
        dialog.catalog->setText(QStringLiteral("www"));
        dialog.accept();
        QCOMPARE(settings.GetFtpKind(), EConnectionKind::Ftps);
        QCOMPARE(settings.GetFtpProfiles()[2].keyFile, secure.keyFile);
    }

    // Driven from outside with real X events by dialog-xvfb-session.sh: the
    // script types into the dialog, saves a profile with Alt+G and presses
    // Enter; what it typed must arrive in the settings.
    void TypedOnTheKeyboard() {
        if (qEnvironmentVariableIsEmpty("PW_XDOTOOL_SESSION"))
            QSKIP("run by dialog-xvfb-session.sh under Xvfb");
        CSettings settings;
        CQueuedPort ui;
        ui.texts = {"Xvfb-profil"};
        QTimer::singleShot(60000, [] { QApplication::closeAllWindows(); });
        QVERIFY(pw::dialogs::InternetSettings(nullptr, settings, ui));
        QCOMPARE(settings.GetFtpServer(), std::string("127.0.0.1"));
        QCOMPARE(settings.GetFtpUser(), std::string("bruger"));
        QCOMPARE(settings.GetFtpPassword(), std::string("hemmelig"));
        QCOMPARE(settings.GetFtpCatalog(), std::string("www/sider"));
        QCOMPARE(settings.GetFtpKind(), EConnectionKind::Sftp);
        QCOMPARE(settings.GetFtpPort(), 22);
        QCOMPARE(QString::fromStdString(settings.GetFtpKeyFile()), QStringLiteral("/tmp/noegle"));
        QCOMPARE(settings.GetFtpProfiles().size(), size_t(1));
        QCOMPARE(settings.GetFtpProfiles()[0].name, std::string("Xvfb-profil"));
        QCOMPARE(settings.GetFtpProfiles()[0].server, std::string("127.0.0.1"));
    }
};

QTEST_MAIN(DialogInternetSetupTest)
#include "DialogInternetSetupTest.moc"
