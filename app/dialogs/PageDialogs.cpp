#include "app/dialogs/PageDialogs.h"
#include "app/dialogs/DialogKit.h"
#include "model/Page.h"
#include "model/Site.h"
#include "services/UserInteraction.h"
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace pw::dialogs;

namespace {

QSpinBox* SizeBox(int minimum, int maximum, int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" px"));
    return box;
}

void FillPresets(QComboBox* combo, const CSizePresets& presets) {
    const QSignalBlocker block(combo);
    combo->clear();
    for (const std::string& entry : presets.entries)
        combo->addItem(FromUtf8(entry));
    combo->setCurrentIndex(presets.selected);
}

// Choosing a preset puts its size into the two boxes.
void WirePresets(QComboBox* combo, const CSizePresets& presets, QSpinBox* w, QSpinBox* h) {
    QObject::connect(combo, &QComboBox::activated, combo, [&presets, w, h](int index) {
        if (index < 0 || size_t(index) >= presets.sizes.size()) return;
        w->setValue(presets.sizes[size_t(index)].first);
        h->setValue(presets.sizes[size_t(index)].second);
    });
}

QLabel* Note(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

// ---------------------------------------------------------------------------

CPagePropertiesDialog::CPagePropertiesDialog(CPage& page, CUserInteraction& ui, QWidget* parent)
    : QDialog(parent), m_page(page), m_ui(ui),
      m_presets(PageSizePresets(page.Width(), page.Height())) {
    setWindowTitle(QStringLiteral("Side indstillinger"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Note(
        QStringLiteral("En side kendetegnes ved to forskellige navne. Det ene navn (Web navn) "
                       "kommer til at stå i browseren. Det andet navn (Side identifikation) "
                       "bruges af Pagewright som reference til siden."),
        this));
    auto* form = new QFormLayout;
    webName = new QLineEdit(FromModel(page.WebName()), this);
    identifier = new QLineEdit(FromModel(page.Identifier()), this);
    webName->setMinimumWidth(260);
    form->addRow(QStringLiteral("&Web navn:"), webName);
    form->addRow(QStringLiteral("&Side identifikation:"), identifier);
    layout->addLayout(form);

    auto* sizeBox = new QGroupBox(QStringLiteral("Sidens størrelse"), this);
    auto* sizeForm = new QFormLayout(sizeBox);
    width = SizeBox(CPage::kMinWidth, CPage::kMaxWidth, page.Width(), sizeBox);
    height = SizeBox(CPage::kMinHeight, CPage::kMaxHeight, page.Height(), sizeBox);
    presets = new QComboBox(sizeBox);
    FillPresets(presets, m_presets);
    WirePresets(presets, m_presets, width, height);
    sizeForm->addRow(QStringLiteral("&Bredde:"), width);
    sizeForm->addRow(QStringLiteral("&Højde:"), height);
    sizeForm->addRow(QStringLiteral("St&andard:"), presets);
    layout->addWidget(sizeBox);

    frontPage = new QCheckBox(QStringLiteral("&Forside"), this);
    frontPage->setChecked(page.IsFrontPage());
    // The front page cannot be given up here, only taken by another page.
    frontPage->setEnabled(CanSetFrontPage(page));
    layout->addWidget(frontPage);
    layout->addWidget(OkCancelButtons(this));
}

void CPagePropertiesDialog::accept() {
    // Everything the dialog changes is undone with one Undo.
    const CCompoundUndo step(m_page.History());
    const std::string id = ToModel(identifier->text());
    if (id != m_page.Identifier()) {
        const EIdentifierChange change = ApplyPageIdentifier(m_page, id, m_ui);
        if (change == EIdentifierChange::Refused) {
            identifier->setText(FromModel(m_page.Identifier()));
            identifier->setFocus();
            identifier->selectAll();
            return;
        }
        m_changed = m_changed || change == EIdentifierChange::Changed;
    }
    m_changed = ApplyPageTitle(m_page, ToModel(webName->text())) || m_changed;
    const int32_t oldWidth = m_page.Width(), oldHeight = m_page.Height();
    ApplyPageWidth(m_page, width->value());
    ApplyPageHeight(m_page, height->value());
    m_changed = m_changed || oldWidth != m_page.Width() || oldHeight != m_page.Height();
    if (frontPage->isChecked() && frontPage->isEnabled()) m_changed = ApplyFrontPage(m_page) || m_changed;
    QDialog::accept();
}

// ---------------------------------------------------------------------------

CSiteDefaultsDialog::CSiteDefaultsDialog(CSite& site, CUserInteraction& ui, QWidget* parent)
    : QDialog(parent), m_site(site), m_ui(ui), m_initial(DefaultsOf(site)),
      m_presets(SiteSizePresets(m_initial.width, m_initial.height)) {
    setWindowTitle(QStringLiteral("Standard instillinger for nye sider"));
    auto* layout = new QVBoxLayout(this);

    auto* sizeBox = new QGroupBox(QStringLiteral("Sidens størrelse"), this);
    auto* sizeForm = new QFormLayout(sizeBox);
    width = SizeBox(CPage::kMinWidth, CPage::kMaxWidth, m_initial.width, sizeBox);
    height = SizeBox(CPage::kMinHeight, CPage::kMaxHeight, m_initial.height, sizeBox);
    presets = new QComboBox(sizeBox);
    FillPresets(presets, m_presets);
    WirePresets(presets, m_presets, width, height);
    sizeForm->addRow(QStringLiteral("Br&edde:"), width);
    sizeForm->addRow(QStringLiteral("&Højde:"), height);
    sizeForm->addRow(QStringLiteral("St&andard:"), presets);
    layout->addWidget(sizeBox);

    auto* fillBox = new QGroupBox(QStringLiteral("Sidens baggrundsfyld"), this);
    auto* fillGrid = new QGridLayout(fillBox);
    solid = new QRadioButton(QStringLiteral("&Ensfarvet"), fillBox);
    picture = new QRadioButton(QStringLiteral("&Billede"), fillBox);
    gradient = new QRadioButton(QStringLiteral("&Gradueret"), fillBox);
    auto* group = new QButtonGroup(this);
    group->addButton(solid);
    group->addButton(picture);
    group->addButton(gradient);
    colour = new CColourSwatch(m_initial.fill.GetColour(), fillBox);
    colour->setToolTip(QStringLiteral("Fyldets farve"));
    picturePath = new QLineEdit(FromModel(m_initial.fill.GetImagePath()), fillBox);
    picturePath->setMinimumWidth(220);
    browse = new QPushButton(QStringLiteral("..."), fillBox);
    browse->setAccessibleName(QStringLiteral("Vælg billedfyld"));
    horizontal = new QCheckBox(QStringLiteral("&Vandret forløb"), fillBox);
    horizontal->setChecked(m_initial.fill.IsHorizontal());
    fillGrid->addWidget(solid, 0, 0);
    fillGrid->addWidget(colour, 0, 1, Qt::AlignLeft);
    fillGrid->addWidget(picture, 1, 0);
    fillGrid->addWidget(picturePath, 1, 1);
    fillGrid->addWidget(browse, 1, 2);
    fillGrid->addWidget(gradient, 2, 0);
    fillGrid->addWidget(horizontal, 2, 1);
    switch (m_initial.fill.GetType()) {
    case CBackgroundFill::fillImage:
        picture->setChecked(true);
        break;
    case CBackgroundFill::fillGradient:
        gradient->setChecked(true);
        break;
    default:
        solid->setChecked(true);
        break;
    }
    connect(group, &QButtonGroup::buttonToggled, this, &CSiteDefaultsDialog::EnableFill);
    connect(browse, &QPushButton::clicked, this, [this] {
        CFileRequest request;
        request.title = "Vælg billedfyld";
        request.start = ToUtf8(picturePath->text());
        request.filters = {"Billeder (*.jpg *.jpeg *.gif *.png *.bmp)"};
        const std::filesystem::path chosen = m_ui.ChooseFile(request);
        if (!chosen.empty()) picturePath->setText(FromUtf8(chosen.string()));
    });
    layout->addWidget(fillBox);

    auto* linkBox = new QGroupBox(QStringLiteral("Sidens link farver"), this);
    auto* linkForm = new QFormLayout(linkBox);
    unvisited = new CColourSwatch(m_initial.unvisitedLink, linkBox);
    visited = new CColourSwatch(m_initial.visitedLink, linkBox);
    linkForm->addRow(QStringLiteral("&Ikke besøgte links:"), unvisited);
    linkForm->addRow(QStringLiteral("Besøg&te links:"), visited);
    layout->addWidget(linkBox);

    transfer = new QPushButton(QStringLiteral("Overfø&r nye indstillinger til eksisterende sider"), this);
    connect(transfer, &QPushButton::clicked, this, [this] {
        m_transferred = TransferDefaultsToPages(m_site, Values(), m_ui) || m_transferred;
    });
    layout->addWidget(transfer);
    layout->addWidget(OkCancelButtons(this));
    EnableFill();
}

void CSiteDefaultsDialog::EnableFill() {
    colour->setEnabled(true); // every fill type keeps a colour (shown while a picture loads)
    picturePath->setEnabled(picture->isChecked());
    browse->setEnabled(picture->isChecked());
    horizontal->setEnabled(gradient->isChecked());
}

CSiteDefaults CSiteDefaultsDialog::Values() const {
    CSiteDefaults v = m_initial;
    v.width = width->value();
    v.height = height->value();
    v.fill.SetColour(colour->Colour());
    v.fill.SetImagePath(ToModel(picturePath->text()));
    v.fill.SetHorizontal(horizontal->isChecked());
    v.fill.SetType(picture->isChecked()    ? CBackgroundFill::fillImage
                   : gradient->isChecked() ? CBackgroundFill::fillGradient
                                           : CBackgroundFill::fillSolid);
    v.unvisitedLink = unvisited->Colour();
    v.visitedLink = visited->Colour();
    return v;
}

void CSiteDefaultsDialog::accept() {
    ApplySiteDefaults(m_site, Values());
    QDialog::accept();
}

// ---------------------------------------------------------------------------

CMetaTagsDialog::CMetaTagsDialog(CSite& site, QWidget* parent) : QDialog(parent), m_site(site) {
    setWindowTitle(QStringLiteral("Rediger Metatags"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    keywords = new QLineEdit(FromModel(site.keywords), this);
    keywords->setMinimumWidth(360);
    description = new QPlainTextEdit(FromModel(site.description), this);
    description->setTabChangesFocus(true);
    description->setFixedHeight(description->fontMetrics().lineSpacing() * 5 + 12);
    form->addRow(QStringLiteral("&Søgeord:"), keywords);
    form->addRow(QStringLiteral("&Beskrivelse:"), description);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
}

void CMetaTagsDialog::accept() {
    ApplyMetaTags(m_site, ToModel(keywords->text()), ToModel(description->toPlainText()));
    QDialog::accept();
}

// ---------------------------------------------------------------------------

CHeadHtmlDialog::CHeadHtmlDialog(CPage& page, CUserInteraction& ui, QWidget* parent)
    : QDialog(parent), m_page(page), m_ui(ui) {
    setWindowTitle(QStringLiteral("Rediger Header Html og Onload"));
    auto* layout = new QVBoxLayout(this);
    auto* headLabel = new QLabel(QStringLiteral("&Html i sidens header:"), this);
    headerHtml = new QPlainTextEdit(FromModel(page.HeaderHtml()), this);
    headerHtml->setTabChangesFocus(true);
    headerHtml->setMinimumSize(440, 160);
    headerHtml->setLineWrapMode(QPlainTextEdit::NoWrap);
    headerHtml->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    headLabel->setBuddy(headerHtml);
    layout->addWidget(headLabel);
    layout->addWidget(headerHtml, 1);

    auto* form = new QFormLayout;
    onload = new QLineEdit(FromModel(page.OnloadCode()), this);
    form->addRow(QStringLiteral("&Onload:"), onload);
    layout->addLayout(form);

    auto* filesBox = new QGroupBox(QStringLiteral("Benyttede filer"), this);
    auto* filesRow = new QHBoxLayout(filesBox);
    files = new QListWidget(filesBox);
    files->setFixedHeight(files->fontMetrics().lineSpacing() * 4 + 8);
    for (const std::string& f : page.UsedFiles())
        files->addItem(FromModel(f));
    auto* fileButtons = new QVBoxLayout;
    addFile = new QPushButton(QStringLiteral("&Tilføj fil..."), filesBox);
    removeFile = new QPushButton(QStringLiteral("&Fjern fil"), filesBox);
    fileButtons->addWidget(addFile);
    fileButtons->addWidget(removeFile);
    fileButtons->addStretch(1);
    filesRow->addWidget(files, 1);
    filesRow->addLayout(fileButtons);
    layout->addWidget(filesBox);
    layout->addWidget(OkCancelButtons(this));

    auto enableRemove = [this] { removeFile->setEnabled(files->currentRow() >= 0); };
    connect(files, &QListWidget::currentRowChanged, this, enableRemove);
    connect(addFile, &QPushButton::clicked, this, [this] {
        CFileRequest request;
        request.title = "Tilføj fil";
        request.filters = {"Alle filer (*)"};
        const std::filesystem::path chosen = m_ui.ChooseFile(request);
        if (chosen.empty()) return;
        const QString text = FromUtf8(chosen.string());
        if (files->findItems(text, Qt::MatchExactly).isEmpty()) files->addItem(text);
        files->setCurrentRow(files->count() - 1);
    });
    connect(removeFile, &QPushButton::clicked, this, [this] {
        delete files->takeItem(files->currentRow());
    });
    enableRemove();
}

void CHeadHtmlDialog::accept() {
    std::vector<std::string> used;
    for (int i = 0; i < files->count(); ++i)
        used.push_back(ToModel(files->item(i)->text()));
    // Unchanged texts record no undo step (the model checks).
    ApplyHeadHtml(m_page, ToModel(headerHtml->toPlainText()), ToModel(onload->text()), used);
    QDialog::accept();
}
