#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/PageFrame.h"
#include "app/StatusTexts.h"
#include "model/Document.h"
#include "editor/EditorContext.h"
#include "model/Grouping.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageObject.h"
#include "model/PageProperties.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include "model/RectObject.h"
#include "render/Rendering.h"
#include "sitebuild/AccessReport.h"
#include <QListWidget>
#include "services/StringTable.h"
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTimer>
#include <QToolBar>
#include <set>

namespace {

// Closes every modal dialog that opens (Escape: Cancel, No) and keeps its text.
class CModalWatcher : public QObject {
public:
    CModalWatcher() {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            if (auto* box = qobject_cast<QMessageBox*>(modal)) texts << box->text();
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        });
        m_timer.start(10);
    }
    QStringList texts;

private:
    QTimer m_timer;
};

std::unique_ptr<CSite> OnePageSite() {
    return MakeNewSite("Test", CBackgroundFill(CColor(255, 255, 255)), 400, 300,
                       CColor(0, 0, 255), CColor(128, 0, 128));
}

QString Plain(QString text) {
    return text.remove(QLatin1Char('&'));
}

void CollectMenuActions(QMenu* menu, std::set<QAction*>& out) {
    for (QAction* action : menu->actions()) {
        out.insert(action);
        if (action->menu()) CollectMenuActions(action->menu(), out);
    }
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        m_settings = m_home.filePath(QStringLiteral("Pagewright.conf"));
        InstallRendering(nullptr);
    }

    void HostsPageWindowsInAnMdiArea() {
        CMainFrame frame(nullptr, m_settings);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Pagewright"));
        QCOMPARE(frame.centralWidget(), static_cast<QWidget*>(frame.MdiArea()));
        QVERIFY(frame.MdiArea()->subWindowList().isEmpty());
        QVERIFY(frame.PageFrames().isEmpty());
        QVERIFY(frame.close());
    }

    void StatusBarHasFourEmptyPanesInOrder() {
        CMainFrame frame(nullptr, m_settings);
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
            // Without a site every pane is empty.
            QVERIFY2(pane->text().isEmpty(), qPrintable(pane->text()));
            // Left to right in the order message, position, page count, download time.
            QRect r = pane->geometry();
            QVERIFY2(r.left() > lastRight, qPrintable(QString::number(i)));
            lastRight = r.right();
        }
        // The message pane takes the room the others leave.
        QVERIFY(frame.Pane(CMainFrame::kMessagePane)->width() >
                frame.Pane(CMainFrame::kDownloadPane)->width());

        // With a site the count and the download time show.
        QVERIFY(frame.OpenNewSite(OnePageSite()));
        QCOMPARE(frame.Pane(CMainFrame::kPageCountPane)->text(), QStringLiteral("Antal sider : 1"));
        QCOMPARE(frame.Pane(CMainFrame::kDownloadPane)->text(),
                 QStringLiteral("0 sekunder / 0 sekunder"));
        frame.Document().DeleteContents();
        QVERIFY(frame.Pane(CMainFrame::kPageCountPane)->text().isEmpty());
    }

    void PanesFitTheirPlaceholderTexts() {
        CMainFrame frame(nullptr, m_settings);
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
        auto* frame = new CMainFrame(nullptr, m_settings);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<CMainFrame> watch(frame);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QVERIFY(frame->close());
        QTRY_VERIFY(watch.isNull());
    }

    void PositionAndDownloadTexts() {
        CSite site("");
        CPage& page = site.AddPage(std::make_unique<CPage>(site, "Side1", "Side1"));
        QCOMPARE(QString::fromStdString(pw::status::PositionText(&page)), QString());
        // One item: its centre rounded half up, no space after "y:".
        CPageItem* first = page.CreateFromTool(ETool::Rectangle, {11.0, 20.9}); // centre (10.5, 20.4)
        QVERIFY(first);
        QCOMPARE(QString::fromStdString(pw::status::PositionText(&page)),
                 QStringLiteral("x: 11  y:20"));
        // An ungrouped selection of two: the middle of its bounds, integer
        // division, with a space after "y:".
        CPageItem* second = page.CreateFromTool(ETool::Rectangle, {31.0, 41.0});
        page.SelectOnly(*first);
        page.AddToSelection(*second);
        QCOMPARE(QString::fromStdString(pw::status::PositionText(&page)),
                 QStringLiteral("x: 20  y: 30"));
        // A group: its frame centre, rounded half up.
        QVERIFY(GroupOrUngroup(page));
        QVERIFY(page.SingleSelectedSet() && page.SingleSelectedSet()->IsGroup());
        QCOMPARE(QString::fromStdString(pw::status::PositionText(&page)), QStringLiteral("x: 21  y:30"));
        QCOMPARE(QString::fromStdString(pw::status::GuidePositionText(true, 12)), QStringLiteral("y: 12"));

        // Seconds are truncated: 3741 bytes take just under one second.
        const std::pair<int64_t, int> seconds[] = {{0, 0}, {3741, 0}, {3742, 1}, {37410, 9},
                                                   {37411, 10}};
        for (auto [bytes, expected] : seconds)
            QCOMPARE(pw::status::TransferSeconds(bytes), expected);
        // 200 for the page plus 200 and the 1 x 1 shapes' own estimates (0 bytes).
        QCOMPARE(pw::status::PageBytes(page), int64_t(600));
    }

    void MenusReachEveryCommandWithItsAccelerator() {
        CMainFrame frame(nullptr, m_settings);
        std::set<QAction*> reachable;
        for (QAction* top : frame.menuBar()->actions()) CollectMenuActions(top->menu(), reachable);
        QStringList menus;
        for (QAction* top : frame.menuBar()->actions()) menus << Plain(top->text());
        QCOMPARE(menus, QStringList({"Filer", "Rediger", "Side", "Arranger", "Indsæt", "Hjemmeside",
                                     "Vis", "Hjælp"}));
        for (const auto& [id, action] : frame.Actions()) {
            if (id >= cmd::kToolBase) continue; // the toolbox's own
            QVERIFY2(reachable.count(action), qPrintable(QString::number(id)));
            QCOMPARE(action->data().toInt(), id);
        }
        const std::pair<int, QKeySequence> keys[] = {
            {cmd::kNewSite, QKeySequence::New},   {cmd::kOpenSite, QKeySequence::Open},
            {cmd::kSave, QKeySequence::Save},     {cmd::kUndo, QKeySequence(QStringLiteral("Ctrl+Z"))},
            {cmd::kRedo, QKeySequence(QStringLiteral("Ctrl+Y"))},
            {cmd::kCut, QKeySequence::Cut},       {cmd::kCopy, QKeySequence::Copy},
            {cmd::kPaste, QKeySequence::Paste},   {cmd::kSelectAll, QKeySequence::SelectAll},
            {cmd::kDelete, QKeySequence::Delete}, {cmd::kGroup, QKeySequence(QStringLiteral("Ctrl+G"))},
            {cmd::kPreview, QKeySequence(QStringLiteral("F5"))}};
        for (const auto& [id, key] : keys) QCOMPARE(frame.Action(id)->shortcut(), key);
        QCOMPARE(Plain(frame.Action(cmd::kPreview)->text()), QStringLiteral("Aftest hjemmesiden"));

        // Every tool with its tooltip.
        const std::pair<int, const char*> tools[] = {
            {1, "Pile-værktøjet"},  {3, "Tekst-værktøjet"},   {4, "Firkant-værktøjet"},
            {5, "Cirkel-værktøjet"}, {7, "Billed-værktøjet"}, {8, "Pipette-værktøjet"},
            {9, "Tæller-værktøjet"}, {10, "Html-værktøjet"},  {11, "Formular-værktøjet"}};
        for (const auto& [tool, tip] : tools) {
            QAction* action = frame.Action(cmd::kToolBase + tool);
            QVERIFY(action && frame.Toolbox()->actions().contains(action));
            QCOMPARE(action->toolTip(), QString::fromUtf8(tip));
        }
        const int width = frame.Toolbox()->sizeHint().width();
        frame.Action(cmd::kToolBase + 4)->trigger();
        QCOMPARE(static_cast<int>(frame.Context().Tool()), 4);
        // Choosing a tool keeps the buttons' glyphs and the toolbox's width.
        auto* button = qobject_cast<QToolButton*>(
            frame.Toolbox()->widgetForAction(frame.Action(cmd::kToolBase + 4)));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("▭"));
        QCOMPARE(frame.Toolbox()->sizeHint().width(), width);
    }

    void EnableRulesCheckMarksAndTexts() {
        CMainFrame frame(nullptr, m_settings);
        struct SRule {
            int id;
            bool empty;
            bool onePage;
        };
        const SRule rules[] = {
            {cmd::kNewSite, true, false},     {cmd::kOpenSite, true, true},
            {cmd::kNewFromTemplate, true, true}, {cmd::kSave, false, true},
            {cmd::kCloseSite, false, true},   {cmd::kUndo, false, false},
            {cmd::kDelete, false, false},     {cmd::kSelectAll, false, false},
            {cmd::kPaste, false, false},      {cmd::kNewPage, false, true},
            {cmd::kDeletePage, false, false}, {cmd::kMetaTags, false, true},
            {cmd::kPreview, false, true},     {cmd::kGroup, false, false},
            {cmd::kBringToFront, false, false}, {cmd::kInsertHorizontalGuide, false, true},
            {cmd::kRemoveGuides, false, false}};
        frame.UpdateCommands();
        for (const SRule& r : rules)
            QVERIFY2(frame.Action(r.id)->isEnabled() == r.empty, qPrintable(QString::number(r.id)));
        QVERIFY(frame.OpenNewSite(OnePageSite()));
        for (const SRule& r : rules)
            QVERIFY2(frame.Action(r.id)->isEnabled() == r.onePage, qPrintable(QString::number(r.id)));

        // Texts that follow the page: guides hide/show, group, undo with its step.
        QCOMPARE(frame.Action(cmd::kHideGuides)->text(), QStringLiteral("Skjul Hjælpelinier"));
        QVERIFY(frame.Action(cmd::kUseGuides)->isChecked());
        frame.Action(cmd::kHideGuides)->trigger();
        frame.Action(cmd::kUseGuides)->trigger();
        QCOMPARE(frame.Action(cmd::kHideGuides)->text(), QStringLiteral("Vis Hjælpelinier"));
        QVERIFY(!frame.Action(cmd::kUseGuides)->isChecked());
        // Locked guides: a check mark, and they cannot be removed.
        frame.Action(cmd::kInsertHorizontalGuide)->trigger();
        QVERIFY(frame.Action(cmd::kRemoveGuides)->isEnabled());
        QVERIFY(!frame.Action(cmd::kLockGuides)->isChecked());
        frame.Action(cmd::kLockGuides)->trigger();
        QVERIFY(frame.Context().GuidesLocked() && frame.Action(cmd::kLockGuides)->isChecked());
        QVERIFY(!frame.Action(cmd::kRemoveGuides)->isEnabled());
        frame.Action(cmd::kRemoveGuides)->trigger(); // a shortcut between two updates
        QCOMPARE(frame.ActivePage()->GuideCount(true), 1);
        frame.Action(cmd::kLockGuides)->trigger();
        QVERIFY(frame.Action(cmd::kRemoveGuides)->isEnabled());
        QCOMPARE(frame.Action(cmd::kGroup)->text(), QStringLiteral("Skab/fjern gruppe"));
        CPage& page = *frame.ActivePage();
        page.CreateFromTool(ETool::Rectangle, {50, 50});
        page.CreateFromTool(ETool::Rectangle, {90, 90});
        frame.Action(cmd::kSelectAll)->trigger();
        QCOMPARE(frame.Action(cmd::kGroup)->text(), QStringLiteral("Skab gruppe"));
        frame.Action(cmd::kGroup)->trigger();
        QCOMPARE(frame.Action(cmd::kGroup)->text(), QStringLiteral("Fjern gruppe"));
        QCOMPARE(frame.Action(cmd::kUndo)->text(), QStringLiteral("&Fortryd gruppering"));
        QVERIFY(frame.Action(cmd::kDelete)->isEnabled());
        frame.Action(cmd::kDelete)->trigger();
        QCOMPARE(page.ItemCount(), 0);
        frame.Action(cmd::kUndo)->trigger();
        QCOMPARE(page.ItemCount(), 2);
        frame.Document().DeleteContents();
    }

    void TitleShowsUnsavedSiteAndPagesOpenInAtMostTenWindows() {
        CMainFrame frame(nullptr, m_settings);
        CModalWatcher watcher;
        auto site = OnePageSite();
        for (int i = 2; i <= 11; ++i)
            site->AddPage(std::make_unique<CPage>(*site, site->MakeUniquePageIdentifier(), "x"));
        CSite* raw = site.get();
        QVERIFY(frame.OpenNewSite(std::move(site)));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Pagewright - Ikke navngivet*"));
        QCOMPARE(frame.PageFrames().size(), 1);
        QCOMPARE(frame.PageFrames().front()->windowTitle(), QStringLiteral("Side1"));
        for (int i = 1; i < 10; ++i) QVERIFY(frame.ShowPage(raw->PageAt(i)));
        QCOMPARE(frame.PageFrames().size(), 10);
        QVERIFY(watcher.texts.isEmpty());
        QVERIFY(!frame.ShowPage(raw->PageAt(10)));
        QCOMPARE(frame.PageFrames().size(), 10);
        QCOMPARE(watcher.texts.size(), 1);
        QVERIFY(watcher.texts.front().startsWith(QStringLiteral("Kun 10 sider")));
        // An open page is activated, not opened again.
        CPageFrame* shown = frame.ShowPage(raw->PageAt(3));
        QCOMPARE(shown, frame.ActiveFrame());
        QCOMPARE(frame.ActivePage(), &raw->PageAt(3));
        QVERIFY(frame.Action(cmd::kDeletePage)->isEnabled());
        // Closing one of several windows asks nothing and keeps the page.
        frame.ActiveFrame()->close();
        QTRY_COMPARE(frame.PageFrames().size(), 9);
        QCOMPARE(raw->PageCount(), 11);
        QCOMPARE(watcher.texts.size(), 1);
        frame.Document().DeleteContents();
        QVERIFY(frame.PageFrames().isEmpty());
        QCOMPARE(frame.windowTitle(), QStringLiteral("Pagewright"));
    }

    // The accessibility report of a build: no window for a clean report; a
    // window listing the findings otherwise, whose lines lead to the page
    // with the item selected (only to the page once the item is gone); a
    // later clean report empties the open window.
    void AccessReportListsFindingsAndLeadsToTheirItems() {
        CMainFrame frame(nullptr, m_settings);
        auto site = OnePageSite();
        CPage& second = site->AddPage(
            std::make_unique<CPage>(*site, site->MakeUniquePageIdentifier(), "x"));
        CPageItem& rect = second.InsertItem(
            std::make_unique<CRectObject>(DPOINT{100, 80}, CObjectSize{60, 40}));
        CPageItem& gone = second.InsertItem(
            std::make_unique<CRectObject>(DPOINT{200, 80}, CObjectSize{60, 40}));
        CSite* raw = site.get();
        QVERIFY(frame.OpenNewSite(std::move(site)));
        frame.ShowAccessReport({});
        QVERIFY(!frame.AccessReport());

        CAccessFinding alt{EAccessFinding::MissingAltText, second.Identifier(), &rect, 1};
        CAccessFinding file{EAccessFinding::MissingFile, second.Identifier(), &gone, 2,
                            "/ikke/her.pdf"};
        frame.ShowAccessReport({alt, file});
        CAccessReportWindow* window = frame.AccessReport();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->list->count(), 2);
        QCOMPARE(window->list->item(1)->text(), QString::fromStdString(DescribeFinding(file)));
        QCOMPARE(window->heading->text(), QString::fromStdString(DescribeReportHeading(2)));

        emit window->list->itemActivated(window->list->item(0));
        QCOMPARE(frame.ActivePage(), &second);
        QCOMPARE(second.SingleSelectedItem(), &rect);
        frame.ShowPage(raw->PageAt(0));
        second.DeselectAll();
        const auto removed = second.RemoveItem(gone);
        emit window->list->itemActivated(window->list->item(1));
        QCOMPARE(frame.ActivePage(), &second);
        QVERIFY(!second.SingleSelectedItem());

        frame.ShowAccessReport({});
        QCOMPARE(frame.AccessReport(), window);
        QCOMPARE(window->list->count(), 0);
        QCOMPARE(window->heading->text(), QString::fromStdString(DescribeReportHeading(0)));
        frame.Document().DeleteContents();
    }

    void RecentFilesListSitesNotTemplatesAndLastBetweenRuns() {
        const QString file = m_home.filePath(QStringLiteral("recent.pwu"));
        {
            CMainFrame frame(nullptr, m_settings);
            QVERIFY(frame.OpenNewSite(OnePageSite()));
            QVERIFY(frame.Document().OnSaveDocument(file.toStdString()));
            frame.Document().DeleteContents();
            QVERIFY(frame.OpenSite(file.toStdString()));
            QCOMPARE(frame.windowTitle(), QStringLiteral("Pagewright - recent.pwu"));
            frame.Document().DeleteContents();
            const QString templ = QStringLiteral(PW_SOURCE_DIR "/resources/Templates/Erhverv/firma.pws");
            QVERIFY(frame.OpenTemplateFile(templ.toStdString()));
            QCOMPARE(frame.windowTitle(), QStringLiteral("Pagewright - Ikke navngivet"));
            frame.Document().DeleteContents();
            frame.UpdateCommands();
            QCOMPARE(frame.Document().RecentFiles().size(), size_t(1));
            QCOMPARE(frame.Action(cmd::kRecentFirst)->text(), QStringLiteral("&1 recent.pwu"));
            QVERIFY(frame.Action(cmd::kRecentFirst)->isVisible());
            QVERIFY(!frame.Action(cmd::kRecentFirst + 1)->isVisible());
        }
        CMainFrame again(nullptr, m_settings);
        QCOMPARE(again.Document().RecentFiles().size(), size_t(1));
        again.Action(cmd::kRecentFirst)->trigger();
        QVERIFY(again.Site());
        again.Document().DeleteContents();
    }

    void DroppedFilesOpenOnlyOneLowerCaseSiteFile() {
        const QString file = m_home.filePath(QStringLiteral("dropped.pwu"));
        {
            CMainFrame maker(nullptr, m_settings);
            QVERIFY(maker.OpenNewSite(OnePageSite()));
            QVERIFY(maker.Document().OnSaveDocument(file.toStdString()));
            maker.Document().DeleteContents();
        }
        QFile::copy(file, m_home.filePath(QStringLiteral("upper.PWU")));
        struct SDrop {
            QStringList files;
            int stringId; // 0: opens
        };
        const SDrop drops[] = {
            {{file, file}, IDS_DROP_ONE_FILE_ONLY},
            {{m_home.filePath(QStringLiteral("upper.PWU"))}, IDS_DROP_SITE_FILES_ONLY},
            {{m_home.filePath(QStringLiteral("notes.txt"))}, IDS_DROP_SITE_FILES_ONLY},
            {{file}, 0},
        };
        for (const SDrop& drop : drops) {
            CMainFrame frame(nullptr, m_settings);
            CModalWatcher watcher;
            const bool opened = frame.OpenDroppedFiles(drop.files);
            QCOMPARE(opened, drop.stringId == 0);
            QCOMPARE(frame.Site() != nullptr, drop.stringId == 0);
            if (drop.stringId) {
                QCOMPARE(watcher.texts.size(), 1);
                QCOMPARE(watcher.texts.front(),
                         QString::fromStdString(CStringTable::Get(drop.stringId)));
            }
            frame.Document().DeleteContents();
        }
    }

private:
    QTemporaryDir m_home;
    QString m_settings;
};

int main(int argc, char** argv) {
    // Settings, recent files and recovery copies of the test stay in a
    // folder of its own.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);
    MainFrameTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainFrameTest.moc"
