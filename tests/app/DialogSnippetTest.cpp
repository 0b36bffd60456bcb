#include "DialogTestPort.h"
#include "app/dialogs/DialogKit.h"
#include "app/dialogs/Dialogs.h"
#include "app/dialogs/SnippetDialog.h"
#include "model/BackgroundFill.h"
#include "model/HtmlObject.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageProperties.h"
#include "model/Site.h"
#include "model/UndoHistory.h"
#include "services/Cp1252.h"
#include "services/StringIds.h"
#include "sitebuild/SnippetLibrary.h"
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

namespace {

const CSnippetLibrary& Shipped() {
    static const CSnippetLibrary library = [] {
        CSnippetLibrary l;
        l.Load(std::filesystem::path(PW_SOURCE_DIR) / "resources" / "Snippets");
        return l;
    }();
    return library;
}

// Shows the snippet of that name (UTF-8) in the dialog.
bool Pick(CSnippetDialog& dialog, const QString& category, const QString& name) {
    const auto found = dialog.Categories()->findItems(category, Qt::MatchExactly);
    if (found.isEmpty()) return false;
    dialog.Categories()->setCurrentItem(found.front());
    const auto names = dialog.Snippets()->findItems(name, Qt::MatchExactly);
    if (names.isEmpty()) return false;
    dialog.Snippets()->setCurrentItem(names.front());
    return true;
}

// The widgets Tab visits, starting at the first list.
QList<QWidget*> TabOrder(QDialog& dialog) {
    QList<QWidget*> order;
    QWidget* start = dialog.findChild<QListWidget*>();
    for (QWidget* w = start; w;) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&dialog) && w->isEnabled())
            order << w;
        w = w->nextInFocusChain();
        if (w == start) break;
    }
    return order;
}

std::string Utf8(const std::string& cp1252) { return cp1252::ToUtf8(cp1252); }

} // namespace

class DialogSnippetTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallUndoHistory(); }

    // Every shipped snippet shows its name, descriptions and preview, with
    // one labelled control per value, reached by Tab in file order.
    void EveryShippedSnippetShowsWithItsControls() {
        QVERIFY(Shipped().Snippets().size() >= 10);
        CQueuedPort ui;
        CSnippetDialog dialog(Shipped(), ui);
        int shown = 0;
        for (int c = 0; c < dialog.Categories()->count(); ++c) {
            dialog.Categories()->setCurrentRow(c);
            for (int s = 0; s < dialog.Snippets()->count(); ++s) {
                dialog.Snippets()->setCurrentRow(s);
                const CSnippet& snippet = dialog.Chosen();
                const QString what = dialog.Snippets()->item(s)->text();
                QCOMPARE(pw::dialogs::FromModel(snippet.name), what);
                QVERIFY2(dialog.Preview()->pixmap().width() > 0, qPrintable(what));
                QCOMPARE(dialog.ValueControls().size(), snippet.parameters.size());
                QSet<QChar> mnemonics;
                for (QWidget* control : dialog.ValueControls()) {
                    QLabel* label = nullptr;
                    for (QLabel* l : dialog.findChildren<QLabel*>())
                        if (l->buddy() == control) label = l;
                    QVERIFY2(label, qPrintable(what));
                    const qsizetype amp = label->text().indexOf(QLatin1Char('&'));
                    QVERIFY2(amp >= 0, qPrintable(label->text()));
                    QVERIFY2(!mnemonics.contains(label->text().at(amp + 1).toLower()),
                             qPrintable(label->text()));
                    mnemonics.insert(label->text().at(amp + 1).toLower());
                }
                // Tab: the lists, the values in file order, then the buttons.
                const QList<QWidget*> order = TabOrder(dialog);
                qsizetype last = order.indexOf(dialog.Snippets());
                for (QWidget* control : dialog.ValueControls()) {
                    const qsizetype at = order.indexOf(control);
                    QVERIFY2(at > last, qPrintable(what));
                    last = at;
                }
                QVERIFY(order.indexOf(dialog.findChild<QDialogButtonBox*>()->buttons().front()) > last);
                ++shown;
            }
        }
        QCOMPARE(size_t(shown), Shipped().Snippets().size());
        Pick(dialog, QStringLiteral("Dato og tid"), QStringLiteral("Dato og klokkeslæt"));
        KeepPicture(&dialog, "dialog-snippet");
    }

    // OK puts the chosen snippet with the values set in the dialog on the
    // page as one new, selected HTML object (one undo step); Cancel and an
    // empty library leave the page as it was.
    void AnswersThroughThePort() {
        struct CCase {
            const char* name;
            bool emptyLibrary;
            bool ok;
            std::function<void(CSnippetDialog&)> set;
            std::vector<std::string> inBody; // UTF-8
        };
        const CCase cases[] = {
            {"values go in", false, true,
             [](CSnippetDialog& d) {
                 QVERIFY(Pick(d, QStringLiteral("Dato og tid"), QStringLiteral("Dato og klokkeslæt")));
                 auto* show = qobject_cast<QComboBox*>(d.ValueControls()[0]);
                 show->setCurrentIndex(show->findText(QStringLiteral("Kun klokkeslæt")));
                 static_cast<CColourSwatch*>(d.ValueControls()[1])->SetColour(CColor(255, 0, 16));
             },
             {"data-visning=\"tid\"", "color:#ff0010;", "SNIPPETBEGIN Dato og tid/Dato og klokkesl"}},
            {"defaults", false, true,
             [](CSnippetDialog& d) {
                 QVERIFY(Pick(d, QStringLiteral("Dato og tid"), QStringLiteral("Dato og klokkeslæt")));
             },
             {"data-visning=\"begge\"", "color:#000000;", "font-size:12pt;"}},
            {"cancelled", false, false, [](CSnippetDialog&) {}, {}},
            {"empty library", true, false, nullptr, {}},
        };
        QTemporaryDir empty;
        for (const CCase& c : cases) {
            auto site = MakeNewSite("Snip", CBackgroundFill(CColor(255, 255, 255)), 740, 600,
                                    CColor(0, 0, 255), CColor(128, 0, 128));
            CPage& page = site->PageAt(0);
            const auto& history = dynamic_cast<const CUndoHistory&>(page.History());
            const int steps = history.UndoCount();
            CSnippetLibrary none;
            none.Load(empty.path().toStdString());
            CQueuedPort ui;
            if (c.set)
                WhenShown<CSnippetDialog>([&c](CSnippetDialog* d) {
                    c.set(*d);
                    c.ok ? d->accept() : d->reject();
                });
            CPageItem* item = pw::dialogs::InsertSnippet(nullptr, page,
                                                         c.emptyLibrary ? none : Shipped(), ui);
            QCOMPARE(item != nullptr, c.ok);
            QCOMPARE(page.ItemCount(), c.ok ? 1 : 0);
            QCOMPARE(history.UndoCount(), steps + (c.ok ? 1 : 0));
            if (c.emptyLibrary) QCOMPARE(ui.asked, std::vector<std::string>{"Kan ikke vælge en html kode"});
            if (!c.ok) continue;
            const auto* html = dynamic_cast<const CHtmlObject*>(&item->Current());
            QVERIFY2(html, c.name);
            QCOMPARE(page.SingleSelectedItem(), item);
            QCOMPARE(html->GetOnloadCode(), std::string("pwStartClocks()"));
            QVERIFY(html->GetHeaderCode().find("function pwStartClocks") != std::string::npos);
            for (const std::string& part : c.inBody)
                QVERIFY2(Utf8(html->GetBodyCode()).find(part) != std::string::npos, part.c_str());
            const CRect r = item->GetRect();
            QCOMPARE((r.left + r.right) / 2, 370);
            QVERIFY(page.History().Undo());
            QCOMPARE(page.ItemCount(), 0);
        }
    }
};

QTEST_MAIN(DialogSnippetTest)
#include "DialogSnippetTest.moc"
