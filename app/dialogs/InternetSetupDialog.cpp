#include "app/dialogs/InternetSetupDialog.h"
#include "app/dialogs/DialogKit.h"
#include "services/StringIds.h"
#include "services/StringTable.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace pw::dialogs;

namespace {
QSpinBox* PortBox(QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(0, 65535);
    return box;
}
} // namespace

CAdvancedSettingsDialog::CAdvancedSettingsDialog(const CInternetSetup::CAdvanced& values,
                                                 QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(FromUtf8(CStringTable::Dialog(IDD_ADVANCED_SETTINGS).caption));
    auto* layout = new QVBoxLayout(this);

    auto* ftp = new QGroupBox(QStringLiteral("FTP"), this);
    auto* ftpForm = new QFormLayout(ftp);
    port = PortBox(ftp);
    ftpForm->addRow(QStringLiteral("&Port:"), port);
    passive = new QCheckBox(QStringLiteral("P&assiv overførsel"), ftp);
    ftpForm->addRow(passive);
    layout->addWidget(ftp);

    auto* proxy = new QGroupBox(QStringLiteral("Proxy"), this);
    auto* proxyForm = new QFormLayout(proxy);
    proxyType = new QComboBox(proxy);
    proxyType->addItems({QStringLiteral("- - - - - - - -"), QStringLiteral("Socks4"),
                         QStringLiteral("Socks5")});
    proxyForm->addRow(QStringLiteral("Proxy &type:"), proxyType);
    proxyServer = new QLineEdit(proxy);
    proxyForm->addRow(QStringLiteral("Proxy &server:"), proxyServer);
    proxyPort = PortBox(proxy);
    proxyForm->addRow(QStringLiteral("Proxy p&ort:"), proxyPort);
    proxyUser = new QLineEdit(proxy);
    proxyForm->addRow(QStringLiteral("&Brugernavn:"), proxyUser);
    proxyPassword = new QLineEdit(proxy);
    proxyPassword->setEchoMode(QLineEdit::Password);
    proxyForm->addRow(QStringLiteral("Pass&word:"), proxyPassword);
    layout->addWidget(proxy);

    auto* buttons = OkCancelButtons(this);
    standard = buttons->addButton(QStringLiteral("&Standard"), QDialogButtonBox::ResetRole);
    connect(standard, &QPushButton::clicked, this,
            [this] { Show(CInternetSetup::CAdvanced::Standard()); });
    layout->addWidget(buttons);
    connect(proxyType, &QComboBox::currentIndexChanged, this, &CAdvancedSettingsDialog::EnableProxy);
    Show(values);
}

void CAdvancedSettingsDialog::Show(const CInternetSetup::CAdvanced& values) {
    port->setValue(values.port);
    passive->setChecked(values.passive);
    proxyType->setCurrentIndex(values.proxyType >= 0 && values.proxyType <= 2 ? values.proxyType : 0);
    proxyServer->setText(FromUtf8(values.proxyServer));
    proxyPort->setValue(values.proxyPort);
    proxyUser->setText(FromUtf8(values.proxyUser));
    proxyPassword->setText(FromUtf8(values.proxyPassword));
    EnableProxy();
}

CInternetSetup::CAdvanced CAdvancedSettingsDialog::Values() const {
    CInternetSetup::CAdvanced v;
    v.port = port->value();
    v.passive = passive->isChecked();
    v.proxyType = proxyType->currentIndex();
    v.proxyServer = ToUtf8(proxyServer->text());
    v.proxyPort = proxyPort->value();
    v.proxyUser = ToUtf8(proxyUser->text());
    v.proxyPassword = ToUtf8(proxyPassword->text());
    return v;
}

void CAdvancedSettingsDialog::EnableProxy() {
    // The proxy fields mean nothing without a proxy type (and are dropped on OK).
    const bool on = proxyType->currentIndex() != 0;
    for (QWidget* w : {static_cast<QWidget*>(proxyServer), static_cast<QWidget*>(proxyPort),
                       static_cast<QWidget*>(proxyUser), static_cast<QWidget*>(proxyPassword)})
        w->setEnabled(on);
}

CInternetSetupDialog::CInternetSetupDialog(CInternetSetup& setup, CSettings& settings,
                                           QWidget* parent)
    : QDialog(parent), m_setup(setup), m_settings(settings) {
    setWindowTitle(FromUtf8(CStringTable::Dialog(IDD_INTERNET_SETUP).caption));
    auto* layout = new QVBoxLayout(this);

    auto* profileBox = new QGroupBox(QStringLiteral("Profiler"), this);
    auto* profileRow = new QHBoxLayout(profileBox);
    profiles = new QComboBox(profileBox);
    profiles->setMinimumWidth(200);
    auto* profileLabel = new QLabel(QStringLiteral("Pro&filnavn:"), profileBox);
    profileLabel->setBuddy(profiles);
    save = new QPushButton(QStringLiteral("&Gem"), profileBox);
    remove = new QPushButton(QStringLiteral("&Slet"), profileBox);
    profileRow->addWidget(profileLabel);
    profileRow->addWidget(profiles, 1);
    profileRow->addWidget(save);
    profileRow->addWidget(remove);
    layout->addWidget(profileBox);

    auto* form = new QFormLayout;
    kind = new QComboBox(this);
    kind->addItems({QStringLiteral("FTP"), QStringLiteral("FTPS (FTP med TLS-kryptering)"),
                    QStringLiteral("SFTP (over SSH)")});
    server = new QLineEdit(this);
    user = new QLineEdit(this);
    password = new QLineEdit(this);
    password->setEchoMode(QLineEdit::Password);
    catalog = new QLineEdit(this);
    server->setMinimumWidth(260);
    keyFile = new QLineEdit(this);
    keyFile->setPlaceholderText(QStringLiteral("tom: password eller ssh-agent"));
    browseKey = new QPushButton(QStringLiteral("..."), this);
    browseKey->setToolTip(QStringLiteral("Vælg nøglefil"));
    browseKey->setFixedWidth(browseKey->sizeHint().height() + 8);
    auto* keyRow = new QHBoxLayout;
    keyRow->setContentsMargins(0, 0, 0, 0);
    keyRow->addWidget(keyFile, 1);
    keyRow->addWidget(browseKey);
    form->addRow(QStringLiteral("&Type:"), kind);
    form->addRow(QStringLiteral("FTP &server:"), server);
    form->addRow(QStringLiteral("&Brugernavn:"), user);
    form->addRow(QStringLiteral("&Password:"), password);
    form->addRow(QStringLiteral("&WWW mappe:"), catalog);
    form->addRow(QStringLiteral("&Nøglefil:"), keyRow);
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(keyRow))) label->setBuddy(keyFile);
    layout->addLayout(form);

    auto* buttons = OkCancelButtons(this);
    advanced = buttons->addButton(QStringLiteral("&Avanceret..."), QDialogButtonBox::ResetRole);
    layout->addWidget(buttons);

    connect(profiles, &QComboBox::activated, this, [this](int index) {
        if (index < 0) return;
        m_setup.ChooseProfile(size_t(index));
        ShowValues();
    });
    connect(save, &QPushButton::clicked, this, [this] {
        TakeValues();
        if (m_setup.SaveProfile()) ShowProfiles();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        TakeValues();
        if (m_setup.DeleteSelectedProfile()) {
            ShowProfiles();
            ShowValues();
        }
    });
    connect(advanced, &QPushButton::clicked, this, &CInternetSetupDialog::OpenAdvanced);
    connect(kind, &QComboBox::activated, this, &CInternetSetupDialog::ChooseKind);
    connect(browseKey, &QPushButton::clicked, this, [this] {
        QString start = keyFile->text();
        if (start.isEmpty()) start = QDir::home().filePath(QStringLiteral(".ssh"));
        const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Vælg nøglefil"),
                                                            start);
        if (!chosen.isEmpty()) keyFile->setText(chosen);
    });

    ShowProfiles();
    ShowValues();
    switch (m_setup.InitialFocus()) {
    case CInternetSetup::EField::Server:
        server->setFocus();
        break;
    case CInternetSetup::EField::User:
        user->setFocus();
        break;
    case CInternetSetup::EField::None:
        break;
    }
}

void CInternetSetupDialog::ShowProfiles() {
    const QSignalBlocker block(profiles);
    profiles->clear();
    for (const CFtpProfile& p : m_setup.Profiles())
        profiles->addItem(FromUtf8(p.name));
    const auto selected = m_setup.Selected();
    profiles->setCurrentIndex(selected ? int(*selected) : -1);
    remove->setEnabled(selected.has_value());
}

void CInternetSetupDialog::ChooseKind(int index) {
    // The kind goes through the setup, which moves a usual port along.
    m_setup.SetKind(static_cast<EConnectionKind>(index));
    EnableKeyFile();
}

void CInternetSetupDialog::EnableKeyFile() {
    // A key file means something to SFTP only.
    const bool sftp = kind->currentIndex() == static_cast<int>(EConnectionKind::Sftp);
    keyFile->setEnabled(sftp);
    browseKey->setEnabled(sftp);
}

void CInternetSetupDialog::ShowValues() {
    kind->setCurrentIndex(static_cast<int>(m_setup.values.kind));
    keyFile->setText(FromUtf8(m_setup.values.keyFile));
    EnableKeyFile();
    server->setText(FromUtf8(m_setup.values.server));
    user->setText(FromUtf8(m_setup.values.user));
    password->setText(FromUtf8(m_setup.values.password));
    catalog->setText(FromUtf8(m_setup.values.catalog));
    const auto selected = m_setup.Selected();
    profiles->setCurrentIndex(selected ? int(*selected) : -1);
    remove->setEnabled(selected.has_value());
}

void CInternetSetupDialog::TakeValues() {
    m_setup.values.keyFile = ToUtf8(keyFile->text());
    m_setup.values.server = ToUtf8(server->text());
    m_setup.values.user = ToUtf8(user->text());
    m_setup.values.password = ToUtf8(password->text());
    m_setup.values.catalog = ToUtf8(catalog->text());
}

void CInternetSetupDialog::OpenAdvanced() {
    TakeValues();
    CAdvancedSettingsDialog dialog(m_setup.Advanced(), this);
    if (dialog.exec() == QDialog::Accepted) m_setup.ApplyAdvanced(dialog.Values());
}

void CInternetSetupDialog::accept() {
    TakeValues();
    switch (m_setup.Ok(m_settings)) {
    case CInternetSetup::EOkResult::Stored:
        QDialog::accept();
        break;
    case CInternetSetup::EOkResult::Retry:
        catalog->setFocus();
        catalog->selectAll();
        break;
    case CInternetSetup::EOkResult::Cancelled:
        QDialog::reject();
        break;
    }
}
