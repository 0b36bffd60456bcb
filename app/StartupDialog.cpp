#include "app/StartupDialog.h"
#include "app/QtImages.h"
#include "image/Image.h"
#include "model/SiteFile.h"
#include "model/Templates.h"
#include "services/Cp1252.h"
#include "services/DataFolders.h"
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString U(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

CStartupDialog::CStartupDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("StartupDialog"));
    setWindowTitle(QStringLiteral("Velkommen til Pagewright"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Hvad vil du gøre?"), this);
    QFont big = intro->font();
    big.setPointSizeF(big.pointSizeF() * 1.25);
    big.setBold(true);
    intro->setFont(big);
    layout->addWidget(intro);

    struct SButton {
        const char* name;
        const char* text;
        const char* hint;
        EChoice choice;
    };
    const SButton buttons[] = {
        {"NewSiteButton", "&Ny hjemmeside", "Start forfra med en tom hjemmeside.",
         EChoice::NewSite},
        {"OpenButton", "&Åbn hjemmeside", "Arbejd videre på en hjemmeside du har gemt.",
         EChoice::Open},
        {"TemplateButton", "&Via skabelon", "Tag udgangspunkt i en færdig skabelon.",
         EChoice::Template},
    };
    for (const SButton& b : buttons) {
        auto* row = new QHBoxLayout;
        auto* button = new QPushButton(QString::fromUtf8(b.text), this);
        button->setObjectName(QLatin1String(b.name));
        button->setMinimumWidth(160);
        row->addWidget(button);
        row->addWidget(new QLabel(QString::fromUtf8(b.hint), this), 1);
        layout->addLayout(row);
        const EChoice choice = b.choice;
        connect(button, &QPushButton::clicked, this, [this, choice] { Choose(choice); });
    }
    layout->addSpacing(8);
    m_doNotShow = new QCheckBox(QStringLiteral("Vis &ikke denne dialog igen"), this);
    m_doNotShow->setObjectName(QStringLiteral("DoNotShowAgain"));
    layout->addWidget(m_doNotShow);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuller"));
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
}

bool CStartupDialog::DoNotShowAgain() const {
    return m_doNotShow->isChecked();
}

void CStartupDialog::Choose(EChoice choice) {
    m_choice = choice;
    accept();
}

// ---------------------------------------------------------------- templates

std::filesystem::path CTemplateDialog::Folder() {
    const QByteArray overridden = qgetenv("PW_TEMPLATES");
    if (!overridden.isEmpty()) return overridden.toStdString();
    return CDataFolders::DataFolder() / "Templates";
}

CTemplateDialog::CTemplateDialog(std::vector<CTemplateCategory> categories, QWidget* parent)
    : QDialog(parent), m_list(std::move(categories)) {
    setObjectName(QStringLiteral("TemplateDialog"));
    setWindowTitle(QStringLiteral("Byg hjemmeside ud fra en skabelon"));
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    auto* lists = new QVBoxLayout;
    lists->addWidget(new QLabel(QStringLiteral("&Kategori:"), this));
    m_categories = new QListWidget(this);
    m_categories->setObjectName(QStringLiteral("Categories"));
    lists->addWidget(m_categories);
    lists->addWidget(new QLabel(QStringLiteral("&Skabelon:"), this));
    m_templates = new QListWidget(this);
    m_templates->setObjectName(QStringLiteral("Templates"));
    lists->addWidget(m_templates);
    columns->addLayout(lists, 2);
    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("TemplatePreview"));
    m_preview->setFixedSize(320, 260);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    columns->addWidget(m_preview);
    layout->addLayout(columns);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuller"));
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);

    for (const CTemplateCategory& category : m_list)
        m_categories->addItem(U(cp1252::ToUtf8(category.name)));
    connect(m_categories, &QListWidget::currentRowChanged, this, [this] { FillTemplates(); });
    connect(m_templates, &QListWidget::currentRowChanged, this, [this] { ShowPreview(); });
    connect(m_templates, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    if (!m_list.empty()) m_categories->setCurrentRow(0);
}

CTemplateDialog::~CTemplateDialog() = default;

void CTemplateDialog::FillTemplates() {
    m_templates->clear();
    const int row = m_categories->currentRow();
    if (row < 0 || row >= static_cast<int>(m_list.size())) return;
    for (const std::string& name : m_list[static_cast<size_t>(row)].names)
        m_templates->addItem(U(cp1252::ToUtf8(name)));
    if (m_templates->count() > 0) m_templates->setCurrentRow(0);
}

std::filesystem::path CTemplateDialog::Chosen() const {
    const int c = m_categories->currentRow(), t = m_templates->currentRow();
    if (c < 0 || c >= static_cast<int>(m_list.size())) return {};
    const auto& paths = m_list[static_cast<size_t>(c)].paths;
    if (t < 0 || t >= static_cast<int>(paths.size())) return {};
    return paths[static_cast<size_t>(t)];
}

void CTemplateDialog::ShowPreview() {
    m_preview->clear();
    const std::filesystem::path path = Chosen();
    if (path.empty()) return;
    const std::unique_ptr<CImage> picture = ReadSitePreview(path);
    if (!picture) return;
    const QImage image = pw::ToQImage(*picture);
    if (image.isNull()) return;
    // Fitted into the panel keeping the proportions.
    m_preview->setPixmap(QPixmap::fromImage(image.scaled(m_preview->size() - QSize(8, 8),
                                                         Qt::KeepAspectRatio,
                                                         Qt::SmoothTransformation)));
}
