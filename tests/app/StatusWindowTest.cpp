#include "DialogTestPort.h"
#include "app/QtInteraction.h"
#include "app/dialogs/StatusWindow.h"
#include "bench/LargeSite.h"
#include "services/StringIds.h"
#include "sitebuild/SiteBuilder.h"
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

            QElapsedTimer clock;
            qint64 pressedAt = -1, lastTick = -1, longestGap = 0, inPhaseSince = -1;
            QTimer ticker;
            ticker.setInterval(2);
            connect(&ticker, &QTimer::timeout, [&] {
                const qint64 now = clock.elapsed();
                if (lastTick >= 0 && pressedAt < 0) longestGap = std::max(longestGap, now - lastTick);
                lastTick = now;
                CStatusWindow* window = OpenStatusWindow();
                if (pressedAt >= 0 || !window || window->PhaseText() != QString::fromUtf8(phase))
                    return;
                // Well into the phase, as a user would be.
                if (inPhaseSince < 0) inPhaseSince = now;
                if (now - inPhaseSince < 150) return;
                pressedAt = clock.elapsed();
                QTest::mouseClick(window->CancelButton(), Qt::LeftButton);
            });
            clock.start();
            ticker.start();
            const BuildResult result = builder.Build(*site);
            const qint64 endedAt = clock.elapsed();
            ticker.stop();
            QVERIFY2(pressedAt >= 0, phase);
            QCOMPARE(result.code, BuildCancelled);
            QVERIFY(OpenStatusWindow() == nullptr);
            QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("default.htm"))));
            qInfo("cancel in \"%s\": %lld ms from the press to the build's return; longest "
                  "gap between events before it %lld ms",
                  phase, endedAt - pressedAt, longestGap);
            // Not a speed test (those are benchmarks): only a stop that
            // never arrives fails here.
            QVERIFY(endedAt - pressedAt < 2000);
        }
    }
};

QTEST_MAIN(StatusWindowTest)
#include "StatusWindowTest.moc"
