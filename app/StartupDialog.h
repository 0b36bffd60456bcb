#pragma once
#include <QDialog>
#include <filesystem>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
struct CTemplateCategory;

// The dialog shown at start: make a new site, open one, or start from a
// template; with a box that keeps it from showing again.
class CStartupDialog : public QDialog {
    Q_OBJECT
public:
    enum class EChoice { None, NewSite, Open, Template };
    explicit CStartupDialog(QWidget* parent = nullptr);
    EChoice Choice() const { return m_choice; }
    // Checked: do not show the dialog at the next start.
    bool DoNotShowAgain() const;

private:
    void Choose(EChoice choice);
    EChoice m_choice = EChoice::None;
    QCheckBox* m_doNotShow = nullptr;
};

// "Byg hjemmeside ud fra en skabelon": categories, their templates and a
// picture of the chosen template's front page.
class CTemplateDialog : public QDialog {
    Q_OBJECT
public:
    CTemplateDialog(std::vector<CTemplateCategory> categories, QWidget* parent = nullptr);
    ~CTemplateDialog() override;
    // The chosen template's file (after OK).
    std::filesystem::path Chosen() const;
    QListWidget* Categories() const { return m_categories; }
    QListWidget* Templates() const { return m_templates; }
    // The installed templates: "Templates" beside the program or in the
    // data folder (PW_TEMPLATES overrides both).
    static std::filesystem::path Folder();

private:
    void FillTemplates();
    void ShowPreview();

    std::vector<CTemplateCategory> m_list;
    QListWidget* m_categories = nullptr;
    QListWidget* m_templates = nullptr;
    QLabel* m_preview = nullptr;
};
