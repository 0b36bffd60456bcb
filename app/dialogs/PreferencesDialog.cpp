#include "app/dialogs/PreferencesDialog.h"
#include "app/dialogs/DialogKit.h"
#include "services/UserInteraction.h"
#include <algorithm>
#include <thread>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QHBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace pw::dialogs;

namespace {

QSpinBox* Number(int minimum, int maximum, QWidget* parent, const QString& suffix = {}) {
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setSuffix(suffix);
    return box;
}

// The tool names of the help pop-ups, in EToolHelp order.
const char* const kToolNames[kToolHelpCount] = {
    "&Pil-værktøjet",     "&Tekst-værktøjet",  "&Firkant-værktøjet",
    "&Cirkel-værktøjet",  "B&illed-værktøjet", "&Html-værktøjet",
    "Tæ&ller-værktøjet",  "Fo&rmular-værktøjet", "Pip&ette-værktøjet"};

// The number of build jobs a setting of 0 ("as many as the machine has
// cores") stands for here.
int CoreCount() {
    return std::clamp(int(std::thread::hardware_concurrency()), 1, kMaxBuildJobs);
}

// A font this machine lacks still shows (and stays) under its own name: the
// settings travel with the sites, and OK must not swap in a look-alike.
void ShowFont(QFontComboBox* combo, const std::string& family) {
    combo->setCurrentFont(QFont(FromUtf8(family)));
    combo->setEditText(FromUtf8(family));
}

} // namespace

CPreferencesDialog::CPreferencesDialog(CSettings& settings, CUserInteraction& ui, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_ui(ui) {
    setWindowTitle(QStringLiteral("Indstillinger"));
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    // Every tab in sight: the dialog grows to the tab bar rather than
    // hiding the first tabs behind scroll arrows.
    tabs->setUsesScrollButtons(false);
    tabs->addTab(FoldersPage(), QStringLiteral("Mapper"));
    tabs->addTab(NewPagesPage(), QStringLiteral("Nye sider"));
    tabs->addTab(TextPage(text, false), QStringLiteral("Tekst"));
    tabs->addTab(TextPage(button, true), QStringLiteral("Knaptekst"));
    tabs->addTab(HelpPage(), QStringLiteral("Hjælp og visning"));
    tabs->addTab(SitePage(), QStringLiteral("Websted"));
    layout->addWidget(tabs);

    auto* buttons = OkCancelButtons(this);
    auto* standard = buttons->addButton(QStringLiteral("&Standard"), QDialogButtonBox::ResetRole);
    connect(standard, &QPushButton::clicked, this, [this] {
        // The defaults of this machine, with the connection left as it is.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QSize size = screen ? screen->size() : QSize(1024, 768);
        CSettings defaults;
        defaults.ResetToDefaults(CSettingsEnvironment::FromSystem(size.width(), size.height()));
        Show(defaults);
    });
    layout->addWidget(buttons);
    Show(settings);
}

QWidget* CPreferencesDialog::FoldersPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    auto folderRow = [this, page, form](const QString& label, QLineEdit*& edit) {
        auto* row = new QHBoxLayout;
        edit = new QLineEdit(page);
        edit->setMinimumWidth(300);
        auto* pick = new QPushButton(QStringLiteral("..."), page);
        pick->setAccessibleName(label + QStringLiteral(" vælg"));
        pick->setFixedWidth(pick->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
        QLineEdit* target = edit;
        connect(pick, &QPushButton::clicked, this, [this, target, label] {
            QString title = label;
            title.remove(QLatin1Char('&'));
            const auto chosen = m_ui.ChooseFolder(ToUtf8(title), ToUtf8(target->text()));
            // Folders are kept with their trailing separator.
            if (!chosen.empty()) target->setText(FromUtf8((chosen / "").string()));
        });
        row->addWidget(edit, 1);
        row->addWidget(pick);
        form->addRow(label, row);
        if (auto* l = qobject_cast<QLabel*>(form->labelForField(row))) l->setBuddy(edit);
    };
    folderRow(QStringLiteral("&Hjemmesider:"), pwuPath);
    folderRow(QStringLiteral("&Billeder:"), imagePath);
    folderRow(QStringLiteral("&Eksport:"), exportPath);
    folderRow(QStringLiteral("Ba&ggrundsbilleder:"), backgroundPath);
    return page;
}

QWidget* CPreferencesDialog::NewPagesPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    pageWidth = Number(10, 2000, page, QStringLiteral(" px"));
    pageHeight = Number(10, 30000, page, QStringLiteral(" px"));
    unvisited = new CColourSwatch(CColor(0, 0, 255), page);
    visited = new CColourSwatch(CColor(128, 0, 128), page);
    background = new CColourSwatch(CColor(255, 255, 255), page);
    repeatBackground = new QCheckBox(QStringLiteral("&Gentag baggrundsbilledet"), page);
    form->addRow(QStringLiteral("Sidens &bredde:"), pageWidth);
    form->addRow(QStringLiteral("Sidens &højde:"), pageHeight);
    form->addRow(QStringLiteral("&Ikke besøgte links:"), unvisited);
    form->addRow(QStringLiteral("Besøg&te links:"), visited);
    form->addRow(QStringLiteral("Baggrunds&farve:"), background);
    form->addRow(repeatBackground);
    return page;
}

QWidget* CPreferencesDialog::TextPage(CTextControls& c, bool buttonText) {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    c.font = new QFontComboBox(page);
    c.size = Number(1, 999, page, QStringLiteral(" pt"));
    c.colour = new CColourSwatch(CColor(0, 0, 0), page);
    auto* styleRow = new QHBoxLayout;
    c.bold = new QCheckBox(QStringLiteral("&Fed"), page);
    c.italic = new QCheckBox(QStringLiteral("&Kursiv"), page);
    c.underline = new QCheckBox(QStringLiteral("&Understreget"), page);
    styleRow->addWidget(c.bold);
    styleRow->addWidget(c.italic);
    styleRow->addWidget(c.underline);
    styleRow->addStretch(1);
    form->addRow(QStringLiteral("Skrift&type:"), c.font);
    form->addRow(QStringLiteral("St&ørrelse:"), c.size);
    form->addRow(QStringLiteral("F&arve:"), c.colour);
    form->addRow(QStringLiteral("Stil:"), styleRow);
    if (!buttonText) {
        counterId = Number(0, 999999999, page);
        form->addRow(QStringLiteral("Tæller-&id:"), counterId);
        return page;
    }
    buttonAlignment = new QComboBox(page);
    buttonAlignment->addItems(
        {QStringLiteral("Venstre"), QStringLiteral("Centreret"), QStringLiteral("Højre")});
    form->addRow(QStringLiteral("&Justering:"), buttonAlignment);
    auto* shadow = new QGroupBox(QStringLiteral("Sk&ygge"), page);
    shadow->setCheckable(true);
    buttonShadow = new QCheckBox(page);
    buttonShadow->hide(); // the group's own check box is the visible one
    connect(shadow, &QGroupBox::toggled, buttonShadow, &QCheckBox::setChecked);
    connect(buttonShadow, &QCheckBox::toggled, shadow, &QGroupBox::setChecked);
    auto* shadowForm = new QFormLayout(shadow);
    buttonShadowDistance = Number(0, 100, shadow, QStringLiteral(" px"));
    buttonShadowDirection = Number(0, 359, shadow, QStringLiteral("°"));
    buttonShadowDirection->setWrapping(true);
    buttonShadowColour = new CColourSwatch(CColor(0, 0, 0), shadow);
    shadowForm->addRow(QStringLiteral("Afsta&nd:"), buttonShadowDistance);
    shadowForm->addRow(QStringLiteral("&Retning:"), buttonShadowDirection);
    shadowForm->addRow(QStringLiteral("Skyggefar&ve:"), buttonShadowColour);
    form->addRow(shadow);
    return page;
}

QWidget* CPreferencesDialog::HelpPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    builtInBrowser = new QCheckBox(QStringLiteral("Vis aftest i programmets egen &browser"), page);
    startUpDialog = new QCheckBox(QStringLiteral("Vis start&dialogen"), page);
    largeObjectWarning = new QCheckBox(QStringLiteral("Advar mod st&ore objekter"), page);
    advancedTextHelp = new QCheckBox(QStringLiteral("Vis hjælp til &avanceret tekst"), page);
    mouseOverHelp = new QCheckBox(QStringLiteral("Vis hjælp til &mouse-over"), page);
    for (QCheckBox* box :
         {builtInBrowser, startUpDialog, largeObjectWarning, advancedTextHelp, mouseOverHelp})
        layout->addWidget(box);
    auto* tools = new QGroupBox(QStringLiteral("Vis hjælp til værktøjerne"), page);
    auto* grid = new QGridLayout(tools);
    for (size_t i = 0; i < kToolHelpCount; ++i) {
        toolHelp[i] = new QCheckBox(QString::fromUtf8(kToolNames[i]), tools);
        grid->addWidget(toolHelp[i], int(i / 3), int(i % 3));
    }
    layout->addWidget(tools);
    auto* row = new QFormLayout;
    toolboxColour = new CColourSwatch(CColor(0, 128, 0), page);
    row->addRow(QStringLiteral("&Værktøjskassens farve:"), toolboxColour);
    buildJobs = Number(1, kMaxBuildJobs, page);
    buildJobs->setToolTip(QStringLiteral("Hvor mange billeder der tegnes samtidig, når "
                                         "hjemmesiden bygges. Standard er antallet af "
                                         "processorkerner (%1).")
                              .arg(CoreCount()));
    row->addRow(QStringLiteral("Samtidige bygge&job:"), buildJobs);
    publishConnections = Number(1, 8, page);
    publishConnections->setToolTip(QStringLiteral("Hvor mange forbindelser der sender filer "
                                                  "samtidig, når hjemmesiden offentliggøres. "
                                                  "1 sender én fil ad gangen."));
    row->addRow(QStringLiteral("Samtidige forbindelser ved &opsendelse:"), publishConnections);
    layout->addLayout(row);
    layout->addStretch(1);
    return page;
}

QWidget* CPreferencesDialog::SitePage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    // Each box with a line under it saying what a visitor gets from it.
    auto add = [&](const char* label, const char* note) {
        auto* box = new QCheckBox(QString::fromUtf8(label), page);
        auto* text = new QLabel(QString::fromUtf8(note), page);
        text->setWordWrap(true);
        text->setIndent(box->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 6);
        text->setForegroundRole(QPalette::PlaceholderText);
        layout->addWidget(box);
        layout->addWidget(text);
        layout->addSpacing(6);
        return box;
    };
    sharpPictures = add("Skarpe billeder til &højopløselige skærme",
                        "Hvert billede gemmes også i dobbelt opløsning, så det står skarpt "
                        "på telefoner og nyere bærbare.");
    webpPictures = add("&WebP-billeder",
                       "Billederne gemmes også i det mindre WebP-format, så siderne hentes "
                       "hurtigere. Ældre browsere får JPEG-billederne.");
    fitPhones = add("Tilpas til &mobiltelefoner",
                    "På skærme, der er smallere end siden, formindskes siden til skærmens "
                    "bredde, så ingen skal rulle til siden.");
    auto* classic = new QLabel(QStringLiteral("Med alle tre slået fra bygges hjemmesiden "
                                              "præcis som i de tidligere udgaver."),
                               page);
    classic->setWordWrap(true);
    layout->addWidget(classic);
    layout->addStretch(1);
    return page;
}

void CPreferencesDialog::Show(const CSettings& s) {
    pwuPath->setText(FromUtf8(s.GetPwuPath()));
    imagePath->setText(FromUtf8(s.GetImagePath()));
    exportPath->setText(FromUtf8(s.GetExportPath()));
    backgroundPath->setText(FromUtf8(s.GetBackgroundImagePath()));
    pageWidth->setValue(s.GetDefaultPageWidth());
    pageHeight->setValue(s.GetDefaultPageHeight());
    unvisited->SetColour(s.GetDefaultUnvisitedColor());
    visited->SetColour(s.GetDefaultVisitedColor());
    background->SetColour(s.GetSolidBackgroundFill());
    repeatBackground->setChecked(s.GetRepeatBackgroundFill());

    ShowFont(text.font, s.GetDefaultFont());
    text.size->setValue(s.GetDefaultFontSize());
    text.colour->SetColour(s.GetDefaultFontColor());
    text.bold->setChecked(s.GetDefaultFontBold());
    text.italic->setChecked(s.GetDefaultFontItalic());
    text.underline->setChecked(s.GetDefaultFontUnderline());
    counterId->setValue(s.GetCounterId());

    ShowFont(button.font, s.GetButtonTextFont());
    button.size->setValue(s.GetButtonTextFontSize());
    button.colour->SetColour(s.GetButtonTextFontColor());
    button.bold->setChecked(s.GetButtonTextFontBold());
    button.italic->setChecked(s.GetButtonTextFontItalic());
    button.underline->setChecked(s.GetButtonTextFontUnderline());
    buttonAlignment->setCurrentIndex(std::clamp(s.GetButtonTextAlignment(), 0, 2));
    buttonShadow->setChecked(s.GetButtonTextUseShadow());
    buttonShadowDistance->setValue(s.GetButtonTextShadowDistance());
    buttonShadowDirection->setValue(((s.GetButtonTextShadowDirection() % 360) + 360) % 360);
    buttonShadowColour->SetColour(s.GetButtonTextShadowColor());

    builtInBrowser->setChecked(s.GetUseBuiltInBrowser());
    startUpDialog->setChecked(s.GetShowStartUpDialog());
    largeObjectWarning->setChecked(s.GetShowLargeObjectWarning());
    advancedTextHelp->setChecked(s.GetShowAdvancedTextHelp());
    mouseOverHelp->setChecked(s.GetShowMouseOverHelp());
    for (size_t i = 0; i < kToolHelpCount; ++i)
        toolHelp[i]->setChecked(s.GetShowToolHelp(EToolHelp(i)));
    toolboxColour->SetColour(s.GetToolboxColor());
    buildJobs->setValue(s.GetBuildJobs() > 0 ? std::min(s.GetBuildJobs(), kMaxBuildJobs) : CoreCount());
    publishConnections->setValue(s.GetPublishConnections());
    sharpPictures->setChecked(s.GetBuildHiDpi());
    webpPictures->setChecked(s.GetBuildWebp());
    fitPhones->setChecked(s.GetBuildPhones());
}

void CPreferencesDialog::Store(CSettings& s) const {
    s.SetPwuPath(ToUtf8(pwuPath->text()));
    s.SetImagePath(ToUtf8(imagePath->text()));
    s.SetExportPath(ToUtf8(exportPath->text()));
    s.SetBackgroundImagePath(ToUtf8(backgroundPath->text()));
    s.SetDefaultPageWidth(pageWidth->value());
    s.SetDefaultPageHeight(pageHeight->value());
    s.SetDefaultUnvisitedColor(unvisited->Colour());
    s.SetDefaultVisitedColor(visited->Colour());
    s.SetSolidBackgroundFill(background->Colour());
    s.SetRepeatBackgroundFill(repeatBackground->isChecked());

    s.SetDefaultFont(ToUtf8(text.font->currentText().trimmed()));
    s.SetDefaultFontSize(text.size->value());
    s.SetDefaultFontColor(text.colour->Colour());
    s.SetDefaultFontBold(text.bold->isChecked());
    s.SetDefaultFontItalic(text.italic->isChecked());
    s.SetDefaultFontUnderline(text.underline->isChecked());
    s.SetCounterId(counterId->value());

    s.SetButtonTextFont(ToUtf8(button.font->currentText().trimmed()));
    s.SetButtonTextFontSize(button.size->value());
    s.SetButtonTextFontColor(button.colour->Colour());
    s.SetButtonTextFontBold(button.bold->isChecked());
    s.SetButtonTextFontItalic(button.italic->isChecked());
    s.SetButtonTextFontUnderline(button.underline->isChecked());
    s.SetButtonTextAlignment(buttonAlignment->currentIndex());
    s.SetButtonTextUseShadow(buttonShadow->isChecked());
    s.SetButtonTextShadowDistance(buttonShadowDistance->value());
    s.SetButtonTextShadowDirection(buttonShadowDirection->value());
    s.SetButtonTextShadowColor(buttonShadowColour->Colour());

    s.SetUseBuiltInBrowser(builtInBrowser->isChecked());
    s.SetShowStartUpDialog(startUpDialog->isChecked());
    s.SetShowLargeObjectWarning(largeObjectWarning->isChecked());
    s.SetShowAdvancedTextHelp(advancedTextHelp->isChecked());
    s.SetShowMouseOverHelp(mouseOverHelp->isChecked());
    for (size_t i = 0; i < kToolHelpCount; ++i)
        s.SetShowToolHelp(EToolHelp(i), toolHelp[i]->isChecked());
    s.SetToolboxColor(toolboxColour->Colour());
    // The core count is stored as "every core", so the setting still fits
    // when it moves to a machine with more or fewer of them.
    s.SetBuildJobs(buildJobs->value() == CoreCount() ? 0 : buildJobs->value());
    s.SetPublishConnections(publishConnections->value());
    s.SetBuildHiDpi(sharpPictures->isChecked());
    s.SetBuildWebp(webpPictures->isChecked());
    s.SetBuildPhones(fitPhones->isChecked());
}

void CPreferencesDialog::accept() {
    Store(m_settings);
    QDialog::accept();
}
