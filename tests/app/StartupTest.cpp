#include "app/MainFrame.h"
#include "app/Recovery.h"
#include "app/SettingsFile.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "model/Document.h"
#include "model/Page.h"
#include "model/PageProperties.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include "services/StringTable.h"
#include <QApplication>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <thread>

namespace {

QString WriteSettings(const QString& path, const QList<std::pair<QString, QVariant>>& values) {
    QFile::remove(path);
    QSettings ini(path, QSettings::IniFormat);
    for (const auto& [name, value] : values) ini.setValue(QStringLiteral("Settings/") + name, value);
    ini.sync();
    return path;
}

std::unique_ptr<CSite> OnePageSite() {
    return MakeNewSite("Test", CBackgroundFill(CColor(255, 255, 255)), 400, 300,
                       CColor(0, 0, 255), CColor(128, 0, 128));
}

ino_t Inode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void StartsInOrderAndRefusesWeakScreensAndMissingBrowsers() {
        const QString file = QStringLiteral(PW_SOURCE_DIR "/resources/Templates/Erhverv/firma.pws");
        struct SCase {
            const char* name;
            int depth;
            bool browser;
            QVariant showStartup; // invalid: not stored
            QStringList files;
            int exitCode;
            int refusedId;
            QStringList steps;
        };
        const QStringList full = {"colour depth", "browser", "main window"};
        const SCase cases[] = {
            {"15 bits", 15, true, {}, {}, 1, IDS_NEED_16BIT_COLOUR, {"colour depth"}},
            {"no browser", 16, false, {}, {}, 1, IDS_NEED_BROWSER, {"colour depth", "browser"}},
            {"first start", 24, true, {}, {}, 0, 0, full + QStringList{"start-up dialog", "inspector"}},
            {"dialog off", 24, true, 0, {}, 0, 0, full + QStringList{"inspector"}},
            {"stored 2", 24, true, 2, {}, 0, 0, full + QStringList{"inspector"}},
            {"command line", 24, true, 1, {file}, 0, 0, full + QStringList{"command line", "inspector"}},
        };
        for (const SCase& c : cases) {
            const QString settings = m_dir.filePath(QStringLiteral("order.conf"));
            WriteSettings(settings, c.showStartup.isValid()
                                        ? QList<std::pair<QString, QVariant>>{{"Show StartUp dialog", c.showStartup}}
                                        : QList<std::pair<QString, QVariant>>{});
            std::string refused;
            int dialogs = 0;
            pw::startup::CStartupHooks hooks;
            hooks.colourDepth = [&] { return c.depth; };
            hooks.browserInstalled = [&] { return c.browser; };
            hooks.refuse = [&](const std::string& text) { refused = text; };
            hooks.startupDialog = [&](CMainFrame&) { return ++dialogs, false; };
            hooks.settingsPath = settings;
            hooks.show = false;
            pw::startup::CStartupResult result = pw::startup::Start(c.files, hooks);
            QVERIFY2(result.exitCode == c.exitCode, c.name);
            QCOMPARE(result.frame != nullptr, c.exitCode == 0);
            QStringList steps;
            for (const std::string& s : result.steps) steps << QString::fromStdString(s);
            QVERIFY2(steps == c.steps, qPrintable(QString(c.name) + ": " + steps.join(", ")));
            QCOMPARE(refused, c.refusedId ? CStringTable::Get(c.refusedId) : std::string());
            QCOMPARE(dialogs, steps.contains(QStringLiteral("start-up dialog")) ? 1 : 0);
            if (!c.files.isEmpty()) QVERIFY(result.frame->Site());
            if (result.frame) result.frame->Document().DeleteContents();
        }
        QVERIFY(pw::startup::ColourDepthOk(16));
        QVERIFY(!pw::startup::ColourDepthOk(15));
        // The refusal names no product: this system needs just some browser.
        QVERIFY(CStringTable::Get(IDS_NEED_BROWSER).find("Explorer") == std::string::npos);
    }

    void SettingsLoadWithDefaultsClampAndAreWrittenBackPrivately() {
        const QString path = m_dir.filePath(QStringLiteral("settings.conf"));
        WriteSettings(path, {{"Main left", -50},
                             {"Main right", -10},
                             {"Show StartUp dialog", 2},
                             {"Inspector current", 9}});
        ino_t before = 0;
        {
            CMainFrame frame(nullptr, path);
            const CSettings& s = frame.Settings();
            QCOMPARE(s.GetDefaultPageWidth(), 740);
            QCOMPARE(s.GetDefaultPageHeight(), 600);
            QCOMPARE(s.GetDefaultFont(), std::string("Arial"));
            QCOMPARE(s.GetDefaultFontSize(), 12);
            QVERIFY(!s.GetShowStartUpDialog());
            QCOMPARE(frame.geometry().left(), 0);
            frame.RestoreInspector();
            QCOMPARE(frame.InspectorPage(), 6);
            before = Inode(path);
        }
        QSettings written(path, QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("Settings/Show StartUp dialog")).toInt(), 0);
        QCOMPARE(written.value(QStringLiteral("Settings/Inspector current")).toInt(), 6);
        // Every value is written, unchanged ones too.
        for (const std::string& name : CSettings::ValueNames())
            QVERIFY2(written.contains(QStringLiteral("Settings/") + QString::fromStdString(name)),
                     name.c_str());
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0600));
        // A new file takes the old one's place in one step (a kill in the
        // middle leaves one of them whole).
        CSettings settings;
        QVERIFY(pw::settingsfile::Save(settings, path));
        QVERIFY(Inode(path) != before);
        QVERIFY(QDir(m_dir.path()).entryList({QStringLiteral("settings.conf*")}, QDir::Files).size() == 1);
    }

    void ForwardsFilesToTheRunningInstance() {
        const QString name = QStringLiteral("pw-test-%1").arg(QCoreApplication::applicationPid());
        QVERIFY(!pw::instance::ForwardToRunning(name, {QStringLiteral("/x/a.pwu")}, 200));
        CInstanceServer server;
        QVERIFY(server.Listen(name));
        QStringList received;
        connect(&server, &CInstanceServer::filesReceived, this,
                [&](const QStringList& files) { received = files; });
        bool forwarded = false;
        std::thread second([&] {
            forwarded = pw::instance::ForwardToRunning(name, {QStringLiteral("/x/ny side.pwu")});
        });
        QTRY_COMPARE(received, QStringList{QStringLiteral("/x/ny side.pwu")});
        second.join();
        QVERIFY(forwarded);
    }

    void RecoveryCopyBringsBackTheEditedSite() {
        const QString site = m_dir.filePath(QStringLiteral("mine.pwu"));
        {
            CMainFrame frame(nullptr, m_dir.filePath(QStringLiteral("r.conf")));
            QVERIFY(frame.OpenNewSite(OnePageSite()));
            QVERIFY(frame.Document().OnSaveDocument(site.toStdString()));
            QVERIFY(!frame.Recovery().WriteNow()); // nothing unsaved
            QVERIFY(!CRecovery::Pending());
            frame.ActivePage()->CreateFromTool(ETool::Rectangle, {40, 40});
            frame.ActivePage()->RecordUndo(EUndoKind::Insert);
            QVERIFY(frame.Recovery().WriteNow());
            QVERIFY(CRecovery::Pending());
            // The user's own file is untouched.
            QVERIFY(CRecovery::SiteFile() != site.toStdString());
            // A crash: nothing removes the copy.
            frame.Document().DeleteContents();
            QVERIFY(CRecovery::Pending() == false); // closing the site normally discards it
            QVERIFY(frame.OpenSite(site.toStdString()));
            frame.ActivePage()->CreateFromTool(ETool::Rectangle, {60, 60});
            frame.Site()->MarkModified();
            QVERIFY(frame.Recovery().WriteNow());
        }
        // The frame went without closing: the copy stays for the next start.
        QVERIFY(CRecovery::Pending());
        CMainFrame next(nullptr, m_dir.filePath(QStringLiteral("r.conf")));
        QVERIFY(next.RestoreRecovered());
        QCOMPARE(next.Site()->PageAt(0).ItemCount(), 1);
        QCOMPARE(QString::fromStdString(next.Site()->path), site);
        QVERIFY(next.windowTitle().endsWith(QStringLiteral("mine.pwu*")));
        QVERIFY(next.Document().Save());
        next.Recovery().Discard();
        QVERIFY(!CRecovery::Pending());
        next.Document().DeleteContents();
    }

private:
    QTemporaryDir m_dir;
};

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StartupTest.moc"
