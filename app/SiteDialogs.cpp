#include "app/SiteDialogs.h"
#include "app/dialogs/DialogKit.h"
#include "model/Page.h"
#include "model/PageProperties.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include "services/Cp1252.h"
#include "services/Settings.h"
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuller"));
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

} // namespace

CNewSiteDialog::CNewSiteDialog(const CSettings& settings, QWidget* parent)
    : QDialog(parent),
      m_background(settings.GetSolidBackgroundFill()),
      m_unvisited(settings.GetDefaultUnvisitedColor()),
      m_visited(settings.GetDefaultVisitedColor()) {
    setObjectName(QStringLiteral("NewSiteDialog"));
    setWindowTitle(QStringLiteral("Ny hjemmeside indstillinger"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_name = new QLineEdit(QStringLiteral("Min hjemmeside"), this);
    m_name->setObjectName(QStringLiteral("SiteName"));
    m_name->selectAll();
    m_name->setMinimumWidth(fontMetrics().averageCharWidth() * 32);
    form->addRow(QStringLiteral("&Navn på hjemmesiden:"), m_name);
    m_width = new QSpinBox(this);
    m_width->setRange(CPage::kMinWidth, CPage::kMaxWidth);
    m_width->setValue(ClampPageWidth(settings.GetDefaultPageWidth()));
    m_height = new QSpinBox(this);
    m_height->setRange(CPage::kMinHeight, CPage::kMaxHeight);
    m_height->setValue(ClampPageHeight(settings.GetDefaultPageHeight()));
    form->addRow(QStringLiteral("Side&bredde (pixels):"), m_width);
    form->addRow(QStringLiteral("Side&højde (pixels):"), m_height);
    // Swatches of the dialog kit: they show keyboard focus like any button.
    m_backgroundSwatch = new CColourSwatch(m_background, this);
    m_unvisitedSwatch = new CColourSwatch(m_unvisited, this);
    m_visitedSwatch = new CColourSwatch(m_visited, this);
    form->addRow(QStringLiteral("Bag&grundsfarve:"), m_backgroundSwatch);
    form->addRow(QStringLiteral("&Link farve:"), m_unvisitedSwatch);
    form->addRow(QStringLiteral("Besøgt l&ink farve:"), m_visitedSwatch);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
}

std::unique_ptr<CSite> CNewSiteDialog::MakeSite() const {
    std::string name = cp1252::FromUtf8(m_name->text().trimmed().toStdString());
    if (name.empty()) name = "Min hjemmeside";
    const CBackgroundFill fill(m_backgroundSwatch->Colour());
    return MakeNewSite(name, fill, m_width->value(), m_height->value(),
                       m_unvisitedSwatch->Colour(), m_visitedSwatch->Colour());
}

CNewPageDialog::CNewPageDialog(const std::string& proposedIdentifier, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("NewPageDialog"));
    setWindowTitle(QStringLiteral("Side indstillinger"));
    auto* layout = new QVBoxLayout(this);
    auto* explanation = new QLabel(
        QStringLiteral("En side kendetegnes ved to forskellige navne. Det ene navn (Web navn) "
                       "kommer til at stå i browseren. Det andet navn (Side identifikation) "
                       "bruges af Pagewright som reference til siden."),
        this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    auto* form = new QFormLayout;
    const QString proposed = QString::fromStdString(cp1252::ToUtf8(proposedIdentifier));
    m_webName = new QLineEdit(proposed, this);
    m_webName->setObjectName(QStringLiteral("WebName"));
    m_identifier = new QLineEdit(proposed, this);
    m_identifier->setObjectName(QStringLiteral("PageIdentifier"));
    form->addRow(QStringLiteral("&Web navn:"), m_webName);
    form->addRow(QStringLiteral("&Side identifikation:"), m_identifier);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
    setMinimumWidth(420);
}

std::string CNewPageDialog::WebName() const {
    return m_webName->text().toStdString();
}

std::string CNewPageDialog::Identifier() const {
    return m_identifier->text().trimmed().toStdString();
}
