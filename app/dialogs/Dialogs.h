#pragma once

class QWidget;
class CPage;
class CPageItem;
struct CSnippet;
class CSnippetLibrary;
class CPlumeDoc;
class CSettings;
class CUserInteraction;

// The designer's modal dialogs that menu commands open. Each returns true
// when the user confirmed and the model or the settings changed. The
// questions a dialog asks on its own (a refused page name, a profile name)
// go through `ui`; the forms without it use the designer's Qt port.
namespace pw::dialogs {
bool PageProperties(QWidget* parent, CPlumeDoc& doc, CPage& page);
bool SiteProperties(QWidget* parent, CPlumeDoc& doc);
bool MetaTags(QWidget* parent, CPlumeDoc& doc);
bool HeadHtml(QWidget* parent, CPlumeDoc& doc, CPage& page);
bool InsertSnippet(QWidget* parent, CPlumeDoc& doc, CPage& page);
bool InternetSettings(QWidget* parent, CSettings& settings);
bool Preferences(QWidget* parent, CSettings& settings);

bool PageProperties(QWidget* parent, CPage& page, CUserInteraction& ui);
bool SiteProperties(QWidget* parent, CPlumeDoc& doc, CUserInteraction& ui);
bool HeadHtml(QWidget* parent, CPage& page, CUserInteraction& ui);
bool InternetSettings(QWidget* parent, CSettings& settings, CUserInteraction& ui);

// "Html kode fra biblioteket": the snippet chosen in the dialog becomes a new
// HTML object in the middle of the page, selected, as one undo step. Null
// when the dialog was cancelled or the library is empty (which is said).
CPageItem* InsertSnippet(QWidget* parent, CPage& page, const CSnippetLibrary& library,
                         CUserInteraction& ui);
CPageItem* InsertSnippet(CPage& page, const CSnippet& snippet);
inline constexpr int kSnippetBoxWidth = 300;
inline constexpr int kSnippetBoxHeight = 100;
bool Preferences(QWidget* parent, CSettings& settings, CUserInteraction& ui);

// The one-time help on advanced text, shown when a text is made advanced
// unless the user ticked "Vis ikke denne dialog-boks igen" before. True when
// it was shown.
bool AdvancedTextHelp(CSettings& settings, CUserInteraction& ui);
bool AdvancedTextHelp(QWidget* parent, CSettings& settings);
} // namespace pw::dialogs
