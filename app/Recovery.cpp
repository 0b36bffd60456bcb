#include "app/Recovery.h"
#include "model/Document.h"
#include "model/SafeSave.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "services/ByteWriter.h"
#include <QStandardPaths>
#include <QTimer>
#include <fstream>

namespace fs = std::filesystem;

CRecovery::CRecovery(CPlumeDoc& doc, QObject* parent)
    : QObject(parent), m_doc(doc), m_timer(new QTimer(this)) {
    connect(m_timer, &QTimer::timeout, this, [this] { WriteNow(); });
    SetIntervalMinutes(kDefaultMinutes);
}

CRecovery::~CRecovery() = default;

fs::path CRecovery::Folder() {
    return fs::path(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                        .toStdString()) /
           "pagewright" / "recovery";
}

fs::path CRecovery::SiteFile() {
    return Folder() / "recovery.pwu";
}

bool CRecovery::Pending() {
    std::error_code ec;
    return fs::is_regular_file(SiteFile(), ec);
}

fs::path CRecovery::OriginalPath() {
    std::ifstream in(Folder() / "recovery.path", std::ios::binary);
    std::string path;
    std::getline(in, path);
    return path;
}

void CRecovery::SetIntervalMinutes(int minutes) {
    int ms = (minutes > 0 ? minutes : kDefaultMinutes) * 60 * 1000;
    const int seconds = qEnvironmentVariableIntValue("PW_RECOVERY_SECONDS");
    if (seconds > 0) ms = seconds * 1000;
    m_timer->setInterval(ms);
}

int CRecovery::IntervalMs() const {
    return m_timer->interval();
}

void CRecovery::Start() {
    m_timer->start();
}

bool CRecovery::WriteNow() {
    CSite* site = m_doc.Site();
    if (!site || site->IsSaved()) return false;
    std::error_code ec;
    fs::create_directories(Folder(), ec);
    CByteWriter writer;
    CSiteSaveOptions options;
    options.targetPath = SiteFile().string();
    // The copy is not the user's file: the site stays modified.
    options.markSaved = false;
    if (!SaveSite(*site, writer, options)) return false;
    const std::string original = site->path;
    const std::vector<uint8_t> pathBytes(original.begin(), original.end());
    // The name first: a copy without it would come back untitled, which is
    // safe; a name without the copy is never read.
    return safe_save::ReplaceFile(Folder() / "recovery.path", pathBytes) &&
           safe_save::ReplaceFile(SiteFile(), writer.Data());
}

void CRecovery::Discard() {
    std::error_code ec;
    fs::remove(SiteFile(), ec);
    fs::remove(Folder() / "recovery.path", ec);
}

bool CRecovery::Restore() {
    if (!Pending() || m_doc.Site()) return false;
    const fs::path original = OriginalPath();
    if (!m_doc.OnOpenDocument(SiteFile())) return false;
    CSite* site = m_doc.Site();
    site->path = original.string();
    site->MarkModified();
    m_doc.RefreshTitle();
    return true;
}
