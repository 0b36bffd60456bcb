#include "qtsettings/QtSettingsStore.h"
#include "services/MemorySettingsStore.h"
#include "services/Settings.h"
#include <QFile>
#include <QTemporaryDir>
#include <QDir>
#include <QtTest>
#include <sys/stat.h>

class QtSettingsStoreTest : public QObject {
    Q_OBJECT

private slots:
    void ValuesRoundTripThroughTheIniFile();
    void WrongTypesReadAsMissing();
    void SettingsObjectRoundTripsThroughTheIniFile();
    void DefaultLocationIsTheUsersConfigFolder();
    void FileIsOwnerOnlyAfterEverySave();
};

void QtSettingsStoreTest::ValuesRoundTripThroughTheIniFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("Pagewright.conf");

    std::vector<uint8_t> binary = {0x00, 0x01, 0xFF, '\n', '@', ',', '=', 0x7F, 0x80};
    {
        CQtSettingsStore store(path);
        store.WriteInt("Default page width", 740);
        store.WriteInt("Main left", -50);
        store.WriteInt("Largest", INT32_MAX);
        store.WriteString("PWU path", "/home/anna/Dokumenter/æøå/");
        store.WriteString("Export path", "C:\\Export\\");
        store.WriteString("Odd text", "@at, comma; \"quoted\" = sign");
        store.WriteString("Number text", "0042");
        store.WriteString("Empty", "");
        store.WriteBinary("FTP profiles", binary);
        store.WriteBinary("No profiles", {});
        QVERIFY(store.Sync());
    }

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("[Settings]"));

    CQtSettingsStore store(path);
    QCOMPARE(store.ReadInt("Default page width"), std::optional<int32_t>(740));
    QCOMPARE(store.ReadInt("Main left"), std::optional<int32_t>(-50));
    QCOMPARE(store.ReadInt("Largest"), std::optional<int32_t>(INT32_MAX));
    QCOMPARE(store.ReadString("PWU path"),
             std::optional<std::string>("/home/anna/Dokumenter/æøå/"));
    QCOMPARE(store.ReadString("Export path"), std::optional<std::string>("C:\\Export\\"));
    QCOMPARE(store.ReadString("Odd text"),
             std::optional<std::string>("@at, comma; \"quoted\" = sign"));
    QCOMPARE(store.ReadString("Empty"), std::optional<std::string>(""));
    QCOMPARE(store.ReadBinary("FTP profiles"), std::optional<std::vector<uint8_t>>(binary));
    QCOMPARE(store.ReadBinary("No profiles"),
             std::optional<std::vector<uint8_t>>(std::vector<uint8_t>{}));
    // INI text has no types: a text that is a whole number reads as one.
    QCOMPARE(store.ReadInt("Number text"), std::optional<int32_t>(42));
    QCOMPARE(store.ReadString("Default page width"), std::optional<std::string>("740"));
    QVERIFY(!store.ReadInt("Not there"));
    QVERIFY(!store.ReadString("Not there"));
    QVERIFY(!store.ReadBinary("Not there"));
}

void QtSettingsStoreTest::WrongTypesReadAsMissing() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("Pagewright.conf");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\n"
                   "Default%20font=Arial\n"
                   "Default%20font%20size=12pt\n"
                   "Too%20big=4294967296\n"
                   "Hand%20edited=Arial, Bold\n"
                   "FTP%20profiles=not binary\n");
    }
    CQtSettingsStore store(path);
    QVERIFY(!store.ReadInt("Default font"));
    QVERIFY(!store.ReadInt("Default font size"));
    QVERIFY(!store.ReadInt("Too big"));
    QVERIFY(!store.ReadBinary("FTP profiles"));
    QCOMPARE(store.ReadString("Hand edited"), std::optional<std::string>("Arial, Bold"));

    // Within one session the written types hold too.
    store.WriteBinary("Blob", {1, 2, 3});
    QVERIFY(!store.ReadString("Blob"));
    QVERIFY(!store.ReadInt("Blob"));
    store.WriteString("Word", "abc");
    QVERIFY(!store.ReadInt("Word"));
    QVERIFY(!store.ReadBinary("Word"));

    // The settings object falls back to its defaults for all of these.
    CSettings settings;
    settings.Load(store, CSettingsEnvironment{});
    QCOMPARE(settings.GetDefaultFont(), std::string("Arial"));
    QCOMPARE(settings.GetDefaultFontSize(), 12);
    QVERIFY(settings.GetFtpProfiles().empty());
}

void QtSettingsStoreTest::SettingsObjectRoundTripsThroughTheIniFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("Pagewright.conf");

    CSettings original;
    original.SetDefaultFont("Times New Roman");
    original.SetShowToolHelp(EToolHelp::Html, false);
    original.SetFtpCatalog("www\\mit/site");
    original.SetFtpProxyType(1);
    original.SetFtpProxyServer("socks.lan");
    CFtpProfile profile;
    profile.name = "Hjemme, på sommerhuset";
    profile.password = "=@\\;";
    original.SetFtpProfiles({profile, CFtpProfile{}});
    {
        CQtSettingsStore store(path);
        original.Save(store);
        QVERIFY(store.Sync());
    }

    CQtSettingsStore store(path);
    CSettings loaded;
    loaded.Load(store, CSettingsEnvironment{});
    CMemorySettingsStore a;
    CMemorySettingsStore b;
    original.Save(a);
    loaded.Save(b);
    QVERIFY(a.Values() == b.Values());
    QCOMPARE(loaded.GetFtpProfiles().size(), size_t(2));
    QCOMPARE(loaded.GetFtpProfiles()[0].name, profile.name);
}

void QtSettingsStoreTest::DefaultLocationIsTheUsersConfigFolder() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    CQtSettingsStore store;
    QCOMPARE(store.FileName(), dir.filePath("Quillmarsh/Pagewright.conf"));
    store.WriteInt("Default page width", 800);
    QVERIFY(store.Sync());
    QVERIFY(QFile::exists(dir.filePath("Quillmarsh/Pagewright.conf")));
}

// The file holds passwords: a new file, an old world-readable one and every
// later save leave it readable by its owner only, and no temporary file
// stays behind.
void QtSettingsStoreTest::FileIsOwnerOnlyAfterEverySave() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fresh = dir.filePath("new/Pagewright.conf");
    const QString old = dir.filePath("old.conf");
    {
        QFile file(old);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\nFTP%20destination%20password=hunter2\n");
    }
    QVERIFY(::chmod(QFile::encodeName(old).constData(), 0644) == 0);
    for (const QString& path : {fresh, old}) {
        for (int save = 0; save < 2; ++save) {
            {
                CQtSettingsStore store(path);
                store.WriteString("FTP destination password", "s3cret " + std::to_string(save));
                QVERIFY(store.Sync());
            }
            struct stat info{};
            QVERIFY(::stat(QFile::encodeName(path).constData(), &info) == 0);
            QCOMPARE(info.st_mode & 0777, 0600u);
            QCOMPARE(CQtSettingsStore(path).ReadString("FTP destination password"),
                     std::optional<std::string>("s3cret " + std::to_string(save)));
        }
    }
    QCOMPARE(QDir(dir.filePath("new")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Pagewright.conf"});
}

QTEST_MAIN(QtSettingsStoreTest)
#include "QtSettingsStoreTest.moc"
