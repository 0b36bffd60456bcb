#include "app/SettingsFile.h"
#include "qtsettings/QtSettingsStore.h"
#include "services/Settings.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw::settingsfile {

QString DefaultPath() {
    const QByteArray overridden = qgetenv("PW_SETTINGS");
    if (!overridden.isEmpty()) return QString::fromLocal8Bit(overridden);
    return CQtSettingsStore::DefaultFileName();
}

void Load(CSettings& settings, const QString& path, const CSettingsEnvironment& environment) {
    CQtSettingsStore store(path);
    settings.Load(store, environment);
}

bool Save(const CSettings& settings, const QString& path) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) return false;
    const QByteArray native = QFile::encodeName(path);
    // QSettings replaces the file through a temporary one that takes the old
    // file's permissions; an owner-only file before the first write keeps the
    // passwords private from the start.
    if (!info.exists()) {
        const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) ::close(fd);
    }
    bool ok;
    {
        CQtSettingsStore store(path);
        settings.Save(store);
        ok = store.Sync();
    }
    return ::chmod(native.constData(), 0600) == 0 && ok;
}

} // namespace pw::settingsfile
