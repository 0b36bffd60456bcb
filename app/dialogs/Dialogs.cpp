#include "app/dialogs/Dialogs.h"
#include "app/QtInteraction.h"
#include "app/dialogs/InternetSetupDialog.h"
#include "app/dialogs/PageDialogs.h"
#include "app/dialogs/PreferencesDialog.h"
#include "app/dialogs/SnippetDialog.h"
#include "model/HtmlObject.h"
#include "model/PageItem.h"
#include "model/UndoRecorder.h"
#include "services/StringTable.h"
#include "sitebuild/SnippetInsert.h"
#include "sitebuild/SnippetLibrary.h"
#include <algorithm>
#include "model/Document.h"
#include "model/Page.h"
#include "model/Site.h"
#include "services/Settings.h"

namespace pw::dialogs {

bool PageProperties(QWidget* parent, CPage& page, CUserInteraction& ui) {
    CPagePropertiesDialog dialog(page, ui, parent);
    return dialog.exec() == QDialog::Accepted && dialog.Changed();
}

bool PageProperties(QWidget* parent, CPlumeDoc&, CPage& page) {
    CQtInteraction ui(parent);
    return PageProperties(parent, page, ui);
}

bool SiteProperties(QWidget* parent, CPlumeDoc& doc, CUserInteraction& ui) {
    CSite* site = doc.Site();
    if (!site) return false;
    CSiteDefaultsDialog dialog(*site, ui, parent);
    const bool ok = dialog.exec() == QDialog::Accepted;
    // A transfer changes the pages even when the dialog is then cancelled.
    return ok || dialog.Transferred();
}

bool SiteProperties(QWidget* parent, CPlumeDoc& doc) {
    CQtInteraction ui(parent);
    return SiteProperties(parent, doc, ui);
}

bool MetaTags(QWidget* parent, CPlumeDoc& doc) {
    CSite* site = doc.Site();
    if (!site) return false;
    const std::string keywords = site->keywords, description = site->description;
    CMetaTagsDialog dialog(*site, parent);
    return dialog.exec() == QDialog::Accepted &&
           (site->keywords != keywords || site->description != description);
}

bool HeadHtml(QWidget* parent, CPage& page, CUserInteraction& ui) {
    const std::string head = page.HeaderHtml(), onload = page.OnloadCode();
    const std::vector<std::string> files = page.UsedFiles();
    CHeadHtmlDialog dialog(page, ui, parent);
    return dialog.exec() == QDialog::Accepted &&
           (page.HeaderHtml() != head || page.OnloadCode() != onload || page.UsedFiles() != files);
}

bool HeadHtml(QWidget* parent, CPlumeDoc&, CPage& page) {
    CQtInteraction ui(parent);
    return HeadHtml(parent, page, ui);
}

CPageItem* InsertSnippet(CPage& page, const CSnippet& snippet) {
    // The box starts in the middle of the page at a size that shows most
    // snippets whole; the user sizes it afterwards like any other box.
    const int width = std::min(kSnippetBoxWidth, page.Width());
    const int height = std::min(kSnippetBoxHeight, page.Height());
    auto html = std::make_unique<CHtmlObject>(page.Width() / 2.0, page.Height() / 2.0, width, height);
    ::InsertSnippet(snippet, *html);
    CPageItem& item = page.InsertItem(std::move(html));
    page.SelectOnly(item);
    // One step: Undo takes the whole box away again.
    page.RecordUndo(EUndoKind::Insert);
    item.Current().PrepareAndRender(page.TileBuffer());
    page.Repaint(item.GetRect());
    return &item;
}

CPageItem* InsertSnippet(QWidget* parent, CPage& page, const CSnippetLibrary& library,
                         CUserInteraction& ui) {
    if (library.Snippets().empty()) {
        const CDialogText& d = CStringTable::Dialog(IDD_NO_SNIPPETS);
        ui.Message({IDD_NO_SNIPPETS, d.caption, d.text, CMessage::Icon::Error, CMessage::Buttons::Ok});
        return nullptr;
    }
    CSnippetDialog dialog(library, ui, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.Chosen().name.empty()) return nullptr;
    return InsertSnippet(page, dialog.Chosen());
}

bool InsertSnippet(QWidget* parent, CPlumeDoc&, CPage& page) {
    CSnippetLibrary library;
    library.Load();
    CQtInteraction ui(parent);
    return InsertSnippet(parent, page, library, ui) != nullptr;
}

bool InternetSettings(QWidget* parent, CSettings& settings, CUserInteraction& ui) {
    CInternetSetup setup(settings, ui);
    CInternetSetupDialog dialog(setup, settings, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool InternetSettings(QWidget* parent, CSettings& settings) {
    CQtInteraction ui(parent);
    return InternetSettings(parent, settings, ui);
}

bool Preferences(QWidget* parent, CSettings& settings, CUserInteraction& ui) {
    CPreferencesDialog dialog(settings, ui, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool Preferences(QWidget* parent, CSettings& settings) {
    CQtInteraction ui(parent);
    return Preferences(parent, settings, ui);
}

bool AdvancedTextHelp(CSettings& settings, CUserInteraction& ui) {
    if (!settings.GetShowAdvancedTextHelp()) return false;
    CChoice help;
    help.caption = "Avanceret tekst";
    help.text = "Når du vælger avanceret tekst, laves teksten automatisk om til et grafisk "
                "objekt. Du kan da benytte alle skrifttyper og effekter, men siden tager "
                "længere tid at hente fra Internettet.";
    help.buttons = {"OK"};
    help.checkBox = "Vis ikke denne dialog-boks igen";
    if (ui.Choose(help).checked) settings.SetShowAdvancedTextHelp(false);
    return true;
}

bool AdvancedTextHelp(QWidget* parent, CSettings& settings) {
    CQtInteraction ui(parent);
    return AdvancedTextHelp(settings, ui);
}

} // namespace pw::dialogs
