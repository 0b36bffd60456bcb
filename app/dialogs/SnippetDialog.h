#pragma once
#include "sitebuild/Snippet.h"
#include <QDialog>
#include <functional>
#include <vector>

class CSnippetLibrary;
class CUserInteraction;
class QFormLayout;
class QGroupBox;
class QLabel;
class QListWidget;

// "Html kode fra biblioteket": the installed snippets by category, the
// chosen one's preview picture and descriptions, and a control for each
// value it asks for. OK leaves the snippet with the values filled in
// (Chosen()); the caller puts it on the page.
class CSnippetDialog : public QDialog {
    Q_OBJECT
public:
    CSnippetDialog(const CSnippetLibrary& library, CUserInteraction& ui, QWidget* parent = nullptr);

    // The snippet shown, with the values of its controls (after OK: as chosen).
    const CSnippet& Chosen() const { return m_snippet; }

    // For tests and scripts.
    QListWidget* Categories() const { return m_categories; }
    QListWidget* Snippets() const { return m_snippets; }
    QLabel* Preview() const { return m_preview; }
    // The value controls, one per parameter, in file order.
    const std::vector<QWidget*>& ValueControls() const { return m_controls; }

private:
    void ShowCategory(int row);
    void ShowSnippet(int row);
    QWidget* MakeControl(CSnippetParameter& parameter);

    const CSnippetLibrary& m_library;
    CUserInteraction& m_ui;
    QListWidget* m_categories = nullptr;
    QListWidget* m_snippets = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_preview = nullptr;
    QLabel* m_description1 = nullptr;
    QLabel* m_description2 = nullptr;
    QGroupBox* m_valuesBox = nullptr;
    QFormLayout* m_values = nullptr;
    std::vector<QWidget*> m_controls;
    // Each control writes its value into m_snippet as it changes.
    CSnippet m_snippet;
};
