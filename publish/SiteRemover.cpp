#include "publish/SiteRemover.h"
#include "sitebuild/BuildTypes.h"
#include "publish/PublishEnvironment.h"
#include "publish/PublishRecord.h"
#include "publish/SiteUploader.h"
#include "services/Settings.h"
#include "services/StringTable.h"
#include "services/UserInteraction.h"

bool CSiteRemover::Run() {
    if (!m_session.Connect(nullptr)) return false;
    bool nothingThere = false;
    if (!EnterCatalog(nothingThere)) {
        if (!nothingThere) return false;
        m_session.Close();
        Done();
        return true;
    }
    CFtp& ftp = m_session.Ftp();
    for (const char* name : {"default.htm", "default.html", "index.htm", "index.html"})
        ftp.remove(name);
    if (ftp.chdir(kFilesFolderName)) {
        if (!ClearFilesFolder()) return false;
    } else if (ftp.GetStatus() != FTP_NO_DIRECTORY) {
        // A missing files folder is nothing to remove; a lost connection
        // must not end in "removed".
        m_session.Fail(CFtpSession::EFailure::ReadFolder, kFilesFolderName);
        return false;
    }
    m_session.Close();
    Done();
    return true;
}

bool CSiteRemover::EnterCatalog(bool& nothingThere) {
    CFtp& ftp = m_session.Ftp();
    for (const std::string& part : CatalogParts(m_env.settings.GetFtpCatalog())) {
        if (ftp.chdir(part)) continue;
        if (ftp.GetStatus() == FTP_NO_DIRECTORY) {
            nothingThere = true;
            return false;
        }
        m_session.Fail(CFtpSession::EFailure::ReadFolder, part);
        return false;
    }
    return true;
}

// Inside the files folder: its files, then the Download folder's, then the
// two folders. Failing to remove a folder is not reported: the files, which
// are what the visitors see, are gone by then.
bool CSiteRemover::ClearFilesFolder() {
    CFtp& ftp = m_session.Ftp();
    if (!ftp.mdel_excludefiles("*.*", {kDownloadFolderName, "..", "."})) {
        m_session.Fail(CFtpSession::EFailure::Delete, kFilesFolderName);
        return false;
    }
    if (ftp.chdir(kDownloadFolderName)) {
        if (!ftp.mdel_excludefiles("*.*", {"..", "."})) {
            m_session.Fail(CFtpSession::EFailure::Delete, kDownloadFolderName);
            return false;
        }
        ftp.chdir("..");
    }
    ftp.rmdir(kDownloadFolderName);
    ftp.chdir("..");
    ftp.rmdir(kFilesFolderName);
    return true;
}

void CSiteRemover::Done() {
    const CDialogText& d = CStringTable::Dialog(IDD_SITE_REMOVED);
    m_env.ui.Message({IDD_SITE_REMOVED, d.caption, CFtpSession::Destination(m_env),
                      CMessage::Icon::Information, CMessage::Buttons::Ok});
    // Written at once: a record left naming the site would let the next run
    // of the program send only the changed pages to an empty server.
    m_env.record.Forget();
    m_env.record.Write(m_env.recordFile);
    // Nothing of the site is on the server any more.
    std::error_code ec;
    std::filesystem::remove(CSiteUploader::ManifestFile(m_env), ec);
}
