#include "DialogTestPort.h"
#include "app/QtInteraction.h"
#include "app/dialogs/StatusWindow.h"
#include "bench/LargeSite.h"
#include "services/StringIds.h"
#include "services/StringTable.h"
#include "model/BackgroundFill.h"
#include "model/RectObject.h"
#include <QDir>
#include "publish/PublishEnvironment.h"
#include "publish/PublishRecord.h"
#include "publish/Publisher.h"
#include "services/Settings.h"
#include "sitebuild/SiteBuilder.h"
#include <QMessageBox>
#include <QProcess>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

CStatusWindow* OpenStatusWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<CStatusWindow*>(w); s && s->isVisible()) return s;
    return nullptr;
}

// The loopback FTP server of the tests, answering each command after
// `replyDelayMs` so that a run takes long enough to be interrupted.
class CFtpServerProcess {
public:
    CFtpServerProcess(const QString& home, int replyDelayMs) {
        const QString portFile = home + QStringLiteral("/../ftp.port");
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral(PW_SOURCE_DIR "/tests/support/ftp_server.py"),
                         QStringLiteral("--home"), home, QStringLiteral("--user"),
                         QStringLiteral("u"), QStringLiteral("--password"), QStringLiteral("p"),
                         QStringLiteral("--port-file"), portFile, QStringLiteral("--reply-delay-ms"),
                         QString::number(replyDelayMs)});
        for (int i = 0; i < 200 && !QFile::exists(portFile); ++i) QTest::qWait(50);
        QFile file(portFile);
        if (file.open(QIODevice::ReadOnly)) port = file.readAll().trimmed().toInt();
    }
    ~CFtpServerProcess() {
        m_process.terminate();
        m_process.waitForFinished(3000);
    }
    int port = 0;

private:
    QProcess m_process;
};

// The time from a press of the status window's button (once the window
// titled `caption` has shown `afterMs`) to the end of `work`, and the
// longest stretch without events before the press.
struct CCancelTiming {
    qint64 pressedAt = -1, endedAt = -1, longestGap = 0;
    qint64 Delay() const { return endedAt - pressedAt; }
};

template <class Work>
CCancelTiming PressWhileRunning(const QString& caption, const QString& phase, qint64 afterMs,
                                Work work) {
    CCancelTiming t;
    QElapsedTimer clock;
    qint64 lastTick = -1, shownSince = -1;
    QTimer ticker;
    ticker.setInterval(2);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (lastTick >= 0 && t.pressedAt < 0) t.longestGap = std::max(t.longestGap, now - lastTick);
        lastTick = now;
        CStatusWindow* window = OpenStatusWindow();
        if (t.pressedAt >= 0 || !window || window->windowTitle() != caption) return;
        if (!phase.isEmpty() && window->PhaseText() != phase) return;
        if (shownSince < 0) shownSince = now;
        if (now - shownSince < afterMs) return;
        t.pressedAt = clock.elapsed();
        QTest::mouseClick(window->CancelButton(), Qt::LeftButton);
    });
    clock.start();
    ticker.start();
    work();
    t.endedAt = clock.elapsed();
    return t;
}

} // namespace

class StatusWindowTest : public QObject {
    Q_OBJECT

private slots:
    // Each status window the core opens: its caption, its button as the
    // string table names it (none while connecting), labels and bar, and
    // every way of stopping (button, Escape, closing the window) seen by the
    // next poll; a window without a button cannot be stopped.
    void AnswersThroughThePort() {
        struct CCase {
            int id;
            const char* button; // nullptr: no button, no bar
            const char* picture;
            const char* phase; // as the core shows it in the picture
            const char* page;
        };
        const CCase cases[] = {
            {IDD_BUILD_STATUS, "Annuller", "dialog-build-status", "Opbygger Data:", "Side1"},
            {IDD_UPLOAD_STATUS, "Afbryd", "dialog-upload-status", "ftp.eksempel.dk\\www",
             "default.htm"},
            {IDD_CONNECTING, nullptr, "dialog-connecting", "ftp.eksempel.dk", ""}};
        enum class EStop { Button, Escape, Close };
        CQtInteraction ui;
        for (const CCase& c : cases) {
            for (EStop stop : {EStop::Button, EStop::Escape, EStop::Close}) {
                auto progress = ui.OpenProgress(c.id, "Status " + std::to_string(c.id));
                CStatusWindow* window = OpenStatusWindow();
                QVERIFY(window);
                QCOMPARE(window->windowTitle(), QString::fromStdString("Status " + std::to_string(c.id)));
                QCOMPARE(window->CancelButton() != nullptr, c.button != nullptr);
                QCOMPARE(window->Bar() != nullptr, c.button != nullptr);
                progress->SetPhase("Validerer Side:");
                progress->SetPage("Sommerferie på Fanø");
                QCOMPARE(window->PhaseText(), QStringLiteral("Validerer Side:"));
                QCOMPARE(window->PageText(), QStringLiteral("Sommerferie på Fanø"));
                const QSize size = window->size();
                progress->SetPage(std::string(300, 'x')); // elided: the window keeps its size
                QCOMPARE(window->size(), size);
                if (c.button) {
                    QCOMPARE(window->CancelButton()->text(), QString::fromUtf8(c.button));
                    progress->SetRange(4);
                    progress->SetPos(1);
                    QCOMPARE(window->Bar()->value(), CProgress::kRange / 4);
                    progress->SetPos(9); // past the end: the bar stops at full
                    QCOMPARE(window->Bar()->value(), CProgress::kRange);
                    progress->SetRange(10'000'000'000LL); // longer than an int: scaled
                    progress->SetPos(5'000'000'000LL);
                    QCOMPARE(window->Bar()->value(), CProgress::kRange / 2);
                }
                if (stop == EStop::Button) {
                    progress->SetPhase(c.phase);
                    progress->SetPage(c.page);
                    KeepPicture(window, c.picture);
                }
                QVERIFY(!progress->IsCancelled());
                switch (stop) {
                case EStop::Button:
                    if (c.button) QTest::mouseClick(window->CancelButton(), Qt::LeftButton);
                    break;
                case EStop::Escape:
                    QTest::keyClick(window, Qt::Key_Escape);
                    break;
                case EStop::Close:
                    window->close();
                    break;
                }
                QTest::qWait(10); // past the poll's event slice
                QCOMPARE(progress->IsCancelled(), c.button != nullptr);
                QCOMPARE(progress->PollWhileWaiting(), c.button != nullptr);
                QVERIFY(window->isVisible()); // it goes when the work lets go of it
                progress.reset();
                QVERIFY(OpenStatusWindow() == nullptr);
            }
        }
    }

    // "Annuller" pressed while a real build runs, in its first phase and
    // while it renders pictures: the build ends cancelled and writes no
    // pages. The delay from the press to the build's return and the longest
    // stretch without events are measured and reported.
    void CancelDuringARealBuild() {
        auto site = MakeLargeSite();
        // Twins may not be overlapped; this site is about time, not about that rule.
        for (int p = 0; p < site->PageCount(); ++p)
            for (const auto& item : site->PageAt(p).Items())
                if (item->HasMouseOver()) item->RemoveMouseOver();
        for (const char* phase : {"Validerer Side:", "Opbygger Data:"}) {
            QTemporaryDir dir;
            BuildSettings settings = BuildSettings::InFolder(dir.path().toStdString() + "/", true);
            settings.largeObjectWarning = false;
            CQtInteraction ui;
            SiteBuilder builder(settings, &ui);

            BuildResult result;
            const CCancelTiming t = PressWhileRunning(
                QString::fromUtf8(CStringTable::Dialog(IDD_BUILD_STATUS).caption.c_str()),
                QString::fromUtf8(phase), 150, [&] { result = builder.Build(*site); });
            QVERIFY2(t.pressedAt >= 0, phase);
            QCOMPARE(result.code, BuildCancelled);
            QVERIFY(OpenStatusWindow() == nullptr);
            QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("default.htm"))));
            qInfo("cancel in \"%s\": %lld ms from the press to the build's return; longest "
                  "gap between events before it %lld ms",
                  phase, t.Delay(), t.longestGap);
            // Not a speed test (those are benchmarks): only a stop that
            // never arrives fails here.
            QVERIFY(t.Delay() < 2000);
        }
    }

    // "Afbryd" pressed while the site goes to the loopback FTP server (each
    // reply 20 ms late, as from a server some way off): the run stops
    // without a message, the record stays unpublished, and the delay is
    // reported as above.
    void CancelDuringARealUpload() {
        QTemporaryDir dir;
        const QString home = dir.filePath(QStringLiteral("server"));
        QVERIFY(QDir().mkpath(home));
        CFtpServerProcess server(home, 20);
        QVERIFY2(server.port > 0, "the FTP server did not start");

        auto site = std::make_unique<CSite>("Upload", CBackgroundFill(CColor(250, 250, 240)), 740,
                                            600, CColor(0, 0, 255), CColor(128, 0, 128));
        for (int p = 0; p < 12; ++p) {
            CPage& page = site->AddPage(std::make_unique<CPage>(*site, "Side" + std::to_string(p + 1),
                                                                "Side " + std::to_string(p + 1)));
            for (int i = 0; i < 6; ++i)
                page.InsertItem(std::make_unique<CRectObject>(
                    DPOINT{80.0 + 110 * i, 80.0 + 70 * i}, CObjectSize{100, 60}, 0.0));
        }
        site->SetFrontPage(site->PageAt(0));
        site->path = dir.filePath(QStringLiteral("upload.pwu")).toStdString();

        CSettings settings;
        settings.SetFtpServer("127.0.0.1");
        settings.SetFtpPort(server.port);
        settings.SetFtpUser("u");
        settings.SetFtpPassword("p");
        settings.SetFtpCatalog("www");
        settings.SetFtpPassive(true);
        settings.SetShowLargeObjectWarning(false);
        CPublishRecord record;
        DownloadList downloads;
        CQtInteraction ui;
        CPublishEnvironment env{ui, settings, record,
                                dir.filePath(QStringLiteral("data/ftpfile.dat")).toStdString(),
                                downloads, dir.filePath(QStringLiteral("build")).toStdString(),
                                {}, {}, {}, {}, [] { return std::array<int16_t, 5>{2026, 1, 2, 3, 4}; }};
        QDir().mkpath(dir.filePath(QStringLiteral("data")));
        CPublisher publisher(env);
        QString unexpected;
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            unexpected = box->windowTitle() + QStringLiteral(": ") + box->text();
            box->reject();
        });
        CPublisher::EResult result = CPublisher::EResult::Done;
        const CCancelTiming t = PressWhileRunning(
            QString::fromUtf8(CStringTable::Dialog(IDD_UPLOAD_STATUS).caption.c_str()), {}, 300,
            [&] { result = publisher.Send(site.get(), CPublisher::ESendMode::Changes); });
        QVERIFY2(t.pressedAt >= 0, "the upload ended before the press");
        QCOMPARE(result, CPublisher::EResult::Stopped);
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected));
        QVERIFY(OpenStatusWindow() == nullptr);
        QVERIFY(!record.matches);
        qInfo("cancel while sending: %lld ms from the press to the run's return; longest gap "
              "between events before it %lld ms",
              t.Delay(), t.longestGap);
        QVERIFY(t.Delay() < 2000);
    }
};

QTEST_MAIN(StatusWindowTest)
#include "StatusWindowTest.moc"
