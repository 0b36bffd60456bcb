#include "app/dialogs/Dialogs.h"

// Placeholders until each dialog exists: nothing is shown and nothing changes.
namespace pw::dialogs {
bool PageProperties(QWidget*, CPlumeDoc&, CPage&) { return false; }
bool SiteProperties(QWidget*, CPlumeDoc&) { return false; }
bool MetaTags(QWidget*, CPlumeDoc&) { return false; }
bool HeadHtml(QWidget*, CPlumeDoc&, CPage&) { return false; }
bool InsertSnippet(QWidget*, CPlumeDoc&, CPage&) { return false; }
bool InternetSettings(QWidget*, CSettings&) { return false; }
bool Preferences(QWidget*, CSettings&) { return false; }
} // namespace pw::dialogs
