#pragma once
#include "image/Color.h"
#include <QDialog>
#include <memory>
#include <string>

class CSettings;
class CSite;
class QLineEdit;
class QSpinBox;
class QCheckBox;
class CColourSwatch;

// "Ny hjemmeside indstillinger": the new site's name, page size, background
// colour and link colours, starting from the settings' defaults.
class CNewSiteDialog : public QDialog {
    Q_OBJECT
public:
    CNewSiteDialog(const CSettings& settings, QWidget* parent = nullptr);
    // The site the values describe, with its first page (after OK).
    std::unique_ptr<CSite> MakeSite() const;
    QLineEdit* NameEdit() const { return m_name; }
    // For tests and scripts.
    QSpinBox* WidthBox() const { return m_width; }
    QSpinBox* HeightBox() const { return m_height; }
    CColourSwatch* BackgroundSwatch() const { return m_backgroundSwatch; }
    CColourSwatch* LinkSwatch() const { return m_unvisitedSwatch; }
    CColourSwatch* VisitedSwatch() const { return m_visitedSwatch; }

private:
    QLineEdit* m_name = nullptr;
    QSpinBox* m_width = nullptr;
    QSpinBox* m_height = nullptr;
    CColor m_background;
    CColor m_unvisited;
    CColor m_visited;
    CColourSwatch* m_backgroundSwatch = nullptr;
    CColourSwatch* m_unvisitedSwatch = nullptr;
    CColourSwatch* m_visitedSwatch = nullptr;
};

// "Side indstillinger": the web name and identifier of a new page.
class CNewPageDialog : public QDialog {
    Q_OBJECT
public:
    CNewPageDialog(const std::string& proposedIdentifier, QWidget* parent = nullptr);
    // UTF-8 texts as typed.
    std::string WebName() const;
    std::string Identifier() const;

private:
    QLineEdit* m_webName = nullptr;
    QLineEdit* m_identifier = nullptr;
};
