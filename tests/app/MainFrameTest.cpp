#include "app/MainFrame.h"
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void HostsPageWindowsInAnMdiArea() {
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Pagewright"));
        QVERIFY(frame.MdiArea() != nullptr);
        QCOMPARE(frame.centralWidget(), static_cast<QWidget*>(frame.MdiArea()));
        QVERIFY(frame.MdiArea()->subWindowList().isEmpty());
        QVERIFY(frame.menuBar() != nullptr);
        QVERIFY(frame.menuBar()->actions().isEmpty());

        auto* page = frame.MdiArea()->addSubWindow(new QWidget);
        page->show();
        QCOMPARE(frame.MdiArea()->subWindowList().size(), 1);
        QVERIFY(frame.close());
    }

    void StatusBarHasFourEmptyPanesInOrder() {
        CMainFrame frame;
        frame.resize(1200, 600);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));

        const QList<QLabel*> labels =
            frame.statusBar()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(labels.size(), 4);
        int lastRight = -1;
        for (int i = 0; i < CMainFrame::kPaneCount; ++i) {
            QLabel* pane = frame.Pane(static_cast<CMainFrame::EPane>(i));
            QVERIFY(labels.contains(pane));
            QVERIFY(pane->isVisible());
            QVERIFY2(pane->text().isEmpty(), qPrintable(pane->text()));
            // Left to right in the order message, position, page count, download time.
            QRect r = pane->geometry();
            QVERIFY2(r.left() > lastRight, qPrintable(QString::number(i)));
            lastRight = r.right();
        }
        // The message pane takes the room the others leave.
        QVERIFY(frame.Pane(CMainFrame::kMessagePane)->width() >
                frame.Pane(CMainFrame::kDownloadPane)->width());

        frame.SetPaneText(CMainFrame::kPageCountPane, QStringLiteral("Antal sider : 3"));
        QCOMPARE(frame.Pane(CMainFrame::kPageCountPane)->text(), QStringLiteral("Antal sider : 3"));
        QVERIFY(frame.close());
    }

    void PanesFitTheirPlaceholderTexts() {
        CMainFrame frame;
        frame.resize(500, 400); // narrower than the panes want: they must not shrink
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));

        QCOMPARE(CMainFrame::PanePlaceholder(CMainFrame::kPositionPane),
                 QStringLiteral("x: 9999  y: 9999"));
        QCOMPARE(CMainFrame::PanePlaceholder(CMainFrame::kPageCountPane),
                 QStringLiteral("Antal sider : 10"));
        QCOMPARE(CMainFrame::PanePlaceholder(CMainFrame::kDownloadPane),
                 QStringLiteral("9999 sekunder / 9999 sekunder"));
        QVERIFY(CMainFrame::PanePlaceholder(CMainFrame::kMessagePane).isEmpty());

        for (auto pane :
             {CMainFrame::kPositionPane, CMainFrame::kPageCountPane, CMainFrame::kDownloadPane}) {
            QLabel* label = frame.Pane(pane);
            const QString placeholder = CMainFrame::PanePlaceholder(pane);
            const int textWidth = label->fontMetrics().horizontalAdvance(placeholder);
            QVERIFY2(label->minimumWidth() >= textWidth, qPrintable(placeholder));
            QVERIFY2(label->width() >= textWidth, qPrintable(placeholder));
            // With the placeholder itself in it, the label asks for no more room
            // than it is guaranteed.
            label->setText(placeholder);
            QVERIFY2(label->sizeHint().width() <= label->minimumWidth(), qPrintable(placeholder));
        }
        // Panes sized by text keep their order of size.
        QVERIFY(frame.Pane(CMainFrame::kDownloadPane)->minimumWidth() >
                frame.Pane(CMainFrame::kPositionPane)->minimumWidth());

        // A bigger font makes the panes wider.
        const int before = frame.Pane(CMainFrame::kDownloadPane)->minimumWidth();
        QFont big = frame.font();
        big.setPointSizeF(big.pointSizeF() * 2);
        frame.setFont(big);
        QTRY_VERIFY(frame.Pane(CMainFrame::kDownloadPane)->minimumWidth() > before);
        QLabel* download = frame.Pane(CMainFrame::kDownloadPane);
        QVERIFY(download->minimumWidth() >=
                download->fontMetrics().horizontalAdvance(
                    CMainFrame::PanePlaceholder(CMainFrame::kDownloadPane)));
        QVERIFY(frame.close());
    }

    void ClosesAndDeletesCleanly() {
        auto* frame = new CMainFrame;
        frame->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<CMainFrame> watch(frame);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QVERIFY(frame->close());
        QTRY_VERIFY(watch.isNull());
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
