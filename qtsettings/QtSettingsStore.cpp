#include "qtsettings/QtSettingsStore.h"
#include <QByteArray>
#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The file holds the FTP, proxy and profile passwords. QSettings writes it
// through a temporary file renamed over the old one (so a crash never leaves
// half a file), and that temporary file takes the mode of the file it
// replaces; a file of mode 0600 that exists before the first write therefore
// stays 0600 through every later write. An older file of a wider mode is
// narrowed here too. Opened without following links: a link in its place
// is left for QSettings to replace, never changed at its target.
bool CQtSettingsStore::MakeFilePrivate() {
    if (m_private) return true;
    const QByteArray path = m_settings->fileName().toLocal8Bit();
    const QByteArray folder = path.left(path.lastIndexOf('/'));
    if (!folder.isEmpty()) QDir().mkpath(QString::fromLocal8Bit(folder));
    const int fd = ::open(path.constData(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    struct stat info{};
    m_private = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                ((info.st_mode & 077) == 0 || ::fchmod(fd, 0600) == 0);
    ::close(fd);
    return m_private;
}

void CQtSettingsStore::WriteInt(std::string_view name, int32_t value) {
    MakeFilePrivate();
    m_settings->setValue(Key(name), static_cast<int>(value));
}

void CQtSettingsStore::WriteString(std::string_view name, std::string_view value) {
    MakeFilePrivate();
    m_settings->setValue(Key(name),
                         QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

void CQtSettingsStore::WriteBinary(std::string_view name, const std::vector<uint8_t>& value) {
    MakeFilePrivate();
    m_settings->setValue(Key(name), QByteArray(reinterpret_cast<const char*>(value.data()),
                                               static_cast<qsizetype>(value.size())));
}

bool CQtSettingsStore::Sync() {
    const bool madePrivate = MakeFilePrivate();
    m_settings->sync();
    return madePrivate && m_settings->status() == QSettings::NoError;
}

QString CQtSettingsStore::FileName() const {
    return m_settings->fileName();
}
