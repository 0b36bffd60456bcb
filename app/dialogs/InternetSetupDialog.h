#pragma once
#include "publish/InternetSetup.h"
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class CSettings;

// "Avancerede indstillinger" (539): port, passive mode and the proxy.
class CAdvancedSettingsDialog : public QDialog {
    Q_OBJECT
public:
    CAdvancedSettingsDialog(const CInternetSetup::CAdvanced& values, QWidget* parent = nullptr);
    CInternetSetup::CAdvanced Values() const;
    void Show(const CInternetSetup::CAdvanced& values);

    QSpinBox* port = nullptr;
    QCheckBox* passive = nullptr;
    QComboBox* proxyType = nullptr;
    QLineEdit* proxyServer = nullptr;
    QSpinBox* proxyPort = nullptr;
    QLineEdit* proxyUser = nullptr;
    QLineEdit* proxyPassword = nullptr;
    QPushButton* standard = nullptr;

private:
    void EnableProxy();
};

// "Internet Opsætning" (407): the connection values and the named profiles.
// The rules live in CInternetSetup; this dialog only shows its values and
// passes the buttons on. The questions it asks (profile name, deleting,
// a bad folder name) go through the port the setup was made with.
class CInternetSetupDialog : public QDialog {
    Q_OBJECT
public:
    CInternetSetupDialog(CInternetSetup& setup, CSettings& settings, QWidget* parent = nullptr);

    void accept() override;

    QComboBox* profiles = nullptr;
    // FTP, FTPS (FTP over TLS) or SFTP, in EConnectionKind order.
    QComboBox* kind = nullptr;
    QLineEdit* server = nullptr;
    QLineEdit* user = nullptr;
    QLineEdit* password = nullptr;
    QLineEdit* catalog = nullptr;
    // SFTP only: the private key file, and a chooser for it.
    QLineEdit* keyFile = nullptr;
    QPushButton* browseKey = nullptr;
    QPushButton* save = nullptr;
    QPushButton* remove = nullptr;
    QPushButton* advanced = nullptr;

    // "&Avanceret...": the sub-dialog on the current values; its OK takes them.
    void OpenAdvanced();

private:
    void ShowValues();
    void ChooseKind(int index);
    void EnableKeyFile();
    void TakeValues();
    void ShowProfiles();

    CInternetSetup& m_setup;
    CSettings& m_settings;
};
