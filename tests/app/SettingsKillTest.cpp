// The settings file survives the designer being killed while it saves: a
// writer process saves a large settings file over and over and is killed
// with SIGKILL at a random moment, many times; every time the file then reads
// back as one whole save, the old one or the new one.
#include "app/SettingsFile.h"
#include "services/Settings.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstdio>
#include <random>
#include <signal.h>
#include <sys/stat.h>
#include <string>

namespace {
constexpr int kMarkerLength = 1 << 18; // a settings file of half a megabyte
constexpr int kKills = 15;

// Save number n: two values made of one repeated letter.
void WriteForever(const QString& path, int first) {
    for (int n = first;; ++n) {
        const std::string marker(kMarkerLength, static_cast<char>('a' + n % 26));
        CSettings settings;
        settings.SetExportPath(marker);
        settings.SetFtpCatalog(marker);
        if (!pw::settingsfile::Save(settings, path)) _exit(3);
        if (n == first) {
            // Tells the test that a whole save is there to be killed after.
            std::fputs("saved\n", stdout);
            std::fflush(stdout);
        }
    }
}

// The letter of the whole save the file holds; 0 when it is not one.
char WholeSave(const QString& path) {
    CSettings settings;
    pw::settingsfile::Load(settings, path, CSettingsEnvironment{});
    const std::string& a = settings.GetExportPath();
    if (a.size() != static_cast<std::size_t>(kMarkerLength) || a != settings.GetFtpCatalog())
        return 0;
    return a.find_first_not_of(a[0]) == std::string::npos ? a[0] : 0;
}
} // namespace

class SettingsKillTest : public QObject {
    Q_OBJECT

private slots:
    void KillDuringSaveLeavesOldOrNew() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Pagewright.conf"));
        std::mt19937 random(11);
        std::uniform_int_distribution<int> wait(5, 120);
        QSet<char> seen;
        for (int round = 0; round < kKills; ++round) {
            QProcess writer;
            QStringList environment = QProcess::systemEnvironment();
            environment << QStringLiteral("PW_SETTINGS_WRITER=") + path
                        << QStringLiteral("PW_SETTINGS_FIRST=%1").arg(round);
            writer.setEnvironment(environment);
            writer.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(writer.waitForStarted());
            // Wait until the writer has saved once (it says so; polling the
            // file for that save's letter misses it under load), then kill it
            // at a random point of a later save.
            QVERIFY(writer.waitForReadyRead(20000));
            QThread::msleep(static_cast<unsigned long>(wait(random)));
            ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished());
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit); // killed, not failed
            const char letter = WholeSave(path);
            QVERIFY2(letter != 0, qPrintable(QStringLiteral("round %1").arg(round)));
            seen.insert(letter);
            struct stat info {};
            QVERIFY(::stat(QFile::encodeName(path).constData(), &info) == 0);
            QCOMPARE(info.st_mode & 0777, 0600u);
        }
        // Kills fell at different points of the saves.
        QVERIFY(seen.size() > 2);
    }
};

int main(int argc, char** argv) {
    const QByteArray writerPath = qgetenv("PW_SETTINGS_WRITER");
    if (!writerPath.isEmpty()) {
        QCoreApplication app(argc, argv);
        WriteForever(QString::fromLocal8Bit(writerPath), qEnvironmentVariableIntValue("PW_SETTINGS_FIRST"));
    }
    QCoreApplication app(argc, argv);
    SettingsKillTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "SettingsKillTest.moc"
