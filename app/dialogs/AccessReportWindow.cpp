#include "app/dialogs/AccessReportWindow.h"
#include "sitebuild/AccessReport.h"
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CAccessReportWindow::CAccessReportWindow(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setWindowTitle(QStringLiteral("Tilgængelighed"));
    // It comes up after a build beside what the user is doing (a preview in
    // the browser, say) and does not take the keyboard from it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    heading = new QLabel(this);
    heading->setWordWrap(true);
    list = new QListWidget(this);
    list->setWordWrap(true);
    list->setAlternatingRowColors(true);
    list->setUniformItemSizes(false);
    heading->setBuddy(list);
    m_hint = new QLabel(QStringLiteral("Dobbeltklik på en linje for at vise objektet."), this);
    m_hint->setForegroundRole(QPalette::PlaceholderText);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Luk"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(heading);
    layout->addWidget(list, 1);
    layout->addWidget(m_hint);
    layout->addWidget(buttons);
    connect(list, &QListWidget::itemActivated, this, &CAccessReportWindow::Activated);
    resize(520, 300);
}

void CAccessReportWindow::SetFindings(std::vector<CAccessFinding> findings) {
    m_findings = std::move(findings);
    heading->setText(QString::fromStdString(DescribeReportHeading(m_findings.size())));
    list->clear();
    for (const CAccessFinding& f : m_findings)
        list->addItem(QString::fromStdString(DescribeFinding(f)));
    if (list->count()) list->setCurrentRow(0);
    list->setEnabled(list->count() > 0);
    m_hint->setVisible(list->count() > 0);
}

void CAccessReportWindow::Activated(QListWidgetItem* item) {
    const int row = list->row(item);
    if (row >= 0 && row < static_cast<int>(m_findings.size()) && onShow)
        onShow(m_findings[static_cast<std::size_t>(row)]);
}
