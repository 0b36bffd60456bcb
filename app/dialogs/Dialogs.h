#pragma once

class QWidget;
class CPage;
class CPlumeDoc;
class CSettings;

// The designer's modal dialogs that menu commands open. Each returns true
// when the user confirmed and the model or the settings changed.
namespace pw::dialogs {
bool PageProperties(QWidget* parent, CPlumeDoc& doc, CPage& page);
bool SiteProperties(QWidget* parent, CPlumeDoc& doc);
bool MetaTags(QWidget* parent, CPlumeDoc& doc);
bool HeadHtml(QWidget* parent, CPlumeDoc& doc, CPage& page);
bool InsertSnippet(QWidget* parent, CPlumeDoc& doc, CPage& page);
bool InternetSettings(QWidget* parent, CSettings& settings);
bool Preferences(QWidget* parent, CSettings& settings);
} // namespace pw::dialogs
