#pragma once
#include "sitebuild/BuildTypes.h"
#include <QDialog>
#include <functional>
#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;

// "Tilgængelighed": the accessibility report of the last build, one line a
// finding. A tool window beside the page windows, so the user can mend one
// finding after another: a double click (or Enter) on a line shows its page
// with the item selected. Lines whose item has since gone only show the page.
class CAccessReportWindow : public QDialog {
    Q_OBJECT
public:
    explicit CAccessReportWindow(QWidget* parent = nullptr);

    // Shows the findings of a build, replacing the last ones.
    void SetFindings(std::vector<CAccessFinding> findings);
    const std::vector<CAccessFinding>& Findings() const { return m_findings; }
    // Where a chosen finding leads; the main window shows the page and
    // selects the item there when it is still on it.
    std::function<void(const CAccessFinding&)> onShow;

    QListWidget* list = nullptr;
    QLabel* heading = nullptr;

private:
    void Activated(QListWidgetItem* item);

    std::vector<CAccessFinding> m_findings;
    QLabel* m_hint = nullptr;
};
