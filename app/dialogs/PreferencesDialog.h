#pragma once
#include "services/Settings.h"
#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLineEdit;
class QSpinBox;
class CColourSwatch;
class CUserInteraction;

inline constexpr int kMaxBuildJobs = 64;

// "Indstillinger": every preference the settings object keeps, on six tabs.
// The connection values have their own dialog ("Internet Opsætning"), and
// window placement is remembered by the windows themselves, so neither is
// here. OK writes every value back; Cancel leaves the settings untouched.
class CPreferencesDialog : public QDialog {
    Q_OBJECT
public:
    CPreferencesDialog(CSettings& settings, CUserInteraction& ui, QWidget* parent = nullptr);
    void accept() override;
    // Puts the values of `from` into the controls (also "Standard" uses it).
    void Show(const CSettings& from);
    // The controls' values written into `to`.
    void Store(CSettings& to) const;

    // Folders.
    QLineEdit* pwuPath = nullptr;
    QLineEdit* imagePath = nullptr;
    QLineEdit* exportPath = nullptr;
    QLineEdit* backgroundPath = nullptr;
    // New sites and pages.
    QSpinBox* pageWidth = nullptr;
    QSpinBox* pageHeight = nullptr;
    CColourSwatch* unvisited = nullptr;
    CColourSwatch* visited = nullptr;
    CColourSwatch* background = nullptr;
    QCheckBox* repeatBackground = nullptr;
    // Text and button text: the same set of controls twice.
    struct CTextControls {
        QFontComboBox* font = nullptr;
        QSpinBox* size = nullptr;
        CColourSwatch* colour = nullptr;
        QCheckBox* bold = nullptr;
        QCheckBox* italic = nullptr;
        QCheckBox* underline = nullptr;
    };
    CTextControls text;
    CTextControls button;
    QSpinBox* counterId = nullptr;
    QComboBox* buttonAlignment = nullptr;
    QCheckBox* buttonShadow = nullptr;
    QSpinBox* buttonShadowDistance = nullptr;
    QSpinBox* buttonShadowDirection = nullptr;
    CColourSwatch* buttonShadowColour = nullptr;
    // Behaviour.
    QCheckBox* builtInBrowser = nullptr;
    QCheckBox* startUpDialog = nullptr;
    QCheckBox* largeObjectWarning = nullptr;
    QCheckBox* advancedTextHelp = nullptr;
    QCheckBox* mouseOverHelp = nullptr;
    std::array<QCheckBox*, kToolHelpCount> toolHelp{};
    CColourSwatch* toolboxColour = nullptr;
    // How many pictures a build draws at once: 1..kMaxBuildJobs, the core
    // count by default.
    QSpinBox* buildJobs = nullptr;
    QSpinBox* publishConnections = nullptr;
    // What the built site offers beyond plain pictures; all three off builds
    // exactly the classic site.
    QCheckBox* sharpPictures = nullptr;
    QCheckBox* webpPictures = nullptr;
    QCheckBox* fitPhones = nullptr;

private:
    QWidget* FoldersPage();
    QWidget* NewPagesPage();
    QWidget* TextPage(CTextControls& controls, bool buttonText);
    QWidget* HelpPage();
    QWidget* SitePage();
    CSettings& m_settings;
    CUserInteraction& m_ui;
};
