#pragma once
#include "model/PageProperties.h"
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class CColourSwatch;
class CPage;
class CSite;
class CUserInteraction;

// The page's names, size and front-page flag. OK applies each change through
// the model's page operations; a refused identifier keeps the dialog open.
class CPagePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    CPagePropertiesDialog(CPage& page, CUserInteraction& ui, QWidget* parent = nullptr);
    void accept() override;
    bool Changed() const { return m_changed; }

    QLineEdit* webName = nullptr;
    QLineEdit* identifier = nullptr;
    QSpinBox* width = nullptr;
    QSpinBox* height = nullptr;
    QComboBox* presets = nullptr;
    QCheckBox* frontPage = nullptr;

private:
    CPage& m_page;
    CUserInteraction& m_ui;
    CSizePresets m_presets;
    bool m_changed = false;
};

// "Standard instillinger for nye sider": size, background and link colours
// that new pages take, and the transfer of them to every existing page.
class CSiteDefaultsDialog : public QDialog {
    Q_OBJECT
public:
    CSiteDefaultsDialog(CSite& site, CUserInteraction& ui, QWidget* parent = nullptr);
    void accept() override;
    CSiteDefaults Values() const;
    bool Transferred() const { return m_transferred; }

    QSpinBox* width = nullptr;
    QSpinBox* height = nullptr;
    QComboBox* presets = nullptr;
    QRadioButton* solid = nullptr;
    QRadioButton* picture = nullptr;
    QRadioButton* gradient = nullptr;
    CColourSwatch* colour = nullptr;
    QLineEdit* picturePath = nullptr;
    QPushButton* browse = nullptr;
    QCheckBox* horizontal = nullptr;
    CColourSwatch* unvisited = nullptr;
    CColourSwatch* visited = nullptr;
    QPushButton* transfer = nullptr;

private:
    void EnableFill();
    CSite& m_site;
    CUserInteraction& m_ui;
    CSiteDefaults m_initial;
    CSizePresets m_presets;
    bool m_transferred = false;
};

// "Rediger Metatags": the site's keywords and description.
class CMetaTagsDialog : public QDialog {
    Q_OBJECT
public:
    CMetaTagsDialog(CSite& site, QWidget* parent = nullptr);
    void accept() override;

    QLineEdit* keywords = nullptr;
    QPlainTextEdit* description = nullptr;

private:
    CSite& m_site;
};

// "Rediger Header Html og Onload": the page's head HTML, onload code and the
// files the head refers to.
class CHeadHtmlDialog : public QDialog {
    Q_OBJECT
public:
    CHeadHtmlDialog(CPage& page, CUserInteraction& ui, QWidget* parent = nullptr);
    void accept() override;

    QPlainTextEdit* headerHtml = nullptr;
    QLineEdit* onload = nullptr;
    QListWidget* files = nullptr;
    QPushButton* addFile = nullptr;
    QPushButton* removeFile = nullptr;

private:
    CPage& m_page;
    CUserInteraction& m_ui;
};
