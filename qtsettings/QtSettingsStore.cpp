#include "qtsettings/QtSettingsStore.h"
#include <QByteArray>
#include <QStandardPaths>
#include <QStringList>

namespace {

const QString kGroup = QStringLiteral("Settings/");

QString Key(std::string_view name) {
    return kGroup + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

// QSettings would name a user-scope INI file "*.ini"; the file is shared with
// the command-line program and documented as Pagewright.conf, so the path is
// spelled out.
QString CQtSettingsStore::DefaultFileName() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quillmarsh/Pagewright.conf");
}

CQtSettingsStore::CQtSettingsStore() : CQtSettingsStore(DefaultFileName()) {}

CQtSettingsStore::CQtSettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

CQtSettingsStore::~CQtSettingsStore() = default;

QVariant CQtSettingsStore::Value(std::string_view name) const {
    return m_settings->value(Key(name));
}

std::optional<int32_t> CQtSettingsStore::ReadInt(std::string_view name) const {
    const QVariant v = Value(name);
    switch (v.typeId()) {
    case QMetaType::Int:
        return v.toInt();
    case QMetaType::QString: {
        bool ok = false;
        const int value = v.toString().trimmed().toInt(&ok);
        if (ok) return value;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<std::string> CQtSettingsStore::ReadString(std::string_view name) const {
    const QVariant v = Value(name);
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString().toStdString();
    case QMetaType::Int:
        return std::to_string(v.toInt());
    case QMetaType::QStringList:
        // A hand-edited text with an unquoted comma comes back as a list.
        return v.toStringList().join(QStringLiteral(", ")).toStdString();
    default:
        return std::nullopt;
    }
}

std::optional<std::vector<uint8_t>> CQtSettingsStore::ReadBinary(std::string_view name) const {
    const QVariant v = Value(name);
    if (v.typeId() != QMetaType::QByteArray) return std::nullopt;
    const QByteArray bytes = v.toByteArray();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void CQtSettingsStore::WriteInt(std::string_view name, int32_t value) {
    m_settings->setValue(Key(name), static_cast<int>(value));
}

void CQtSettingsStore::WriteString(std::string_view name, std::string_view value) {
    m_settings->setValue(Key(name),
                         QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

void CQtSettingsStore::WriteBinary(std::string_view name, const std::vector<uint8_t>& value) {
    m_settings->setValue(Key(name), QByteArray(reinterpret_cast<const char*>(value.data()),
                                               static_cast<qsizetype>(value.size())));
}

bool CQtSettingsStore::Sync() {
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString CQtSettingsStore::FileName() const {
    return m_settings->fileName();
}
