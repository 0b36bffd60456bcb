#include "publish/Publisher.h"
#include "sitebuild/SiteBuilder.h"
#include "model/Page.h"
#include "model/Site.h"
#include "publish/DownloadListBuilder.h"
#include "publish/FtpSession.h"
#include "publish/PrivateFolders.h"
#include "publish/PublishEnvironment.h"
#include "publish/PublishRecord.h"
#include "publish/SiteRemover.h"
#include "publish/SiteUploader.h"
#include "services/Cp1252.h"
#include "services/FtpProfile.h"
#include "services/Settings.h"
#include "services/StringTable.h"
#include "services/UserInteraction.h"

namespace fs = std::filesystem;

namespace {

CChoice ChoiceFor(int id, std::string text = {}) {
    const CDialogText& d = CStringTable::Dialog(id);
    return {id, d.caption, text.empty() ? d.text : std::move(text), d.buttons, d.checkBox, false};
}

void ShowMessage(CUserInteraction& ui, int id, const std::string& text, CMessage::Icon icon) {
    const CDialogText& d = CStringTable::Dialog(id);
    ui.Message({id, d.caption, text, icon, CMessage::Buttons::Ok});
}

// The start page under the other names servers look for; a failed copy is
// not worth a message (the start page itself is there).
void CopyFrontPage(const fs::path& root) {
    for (const char* name : {"default.html", "index.htm", "index.html"}) {
        std::error_code ec;
        fs::copy_file(root / kFrontPageFile, root / name, fs::copy_options::overwrite_existing, ec);
    }
}

} // namespace

CPublisher::~CPublisher() {
    std::error_code ec;
    // remove_all deletes links, never what they point at.
    if (!m_previewRun.empty()) fs::remove_all(m_previewRun, ec);
    if (!m_publishRun.empty()) fs::remove_all(m_publishRun, ec);
}

fs::path CPublisher::NewRunFolder(fs::path& previous, const char* prefix) {
    std::error_code ec;
    if (!previous.empty()) fs::remove_all(previous, ec);
    previous.clear();
    std::string error;
    if (pw::EnsurePrivateFolder(m_env.buildFolder, error))
        if (auto folder = pw::MakeRunFolder(m_env.buildFolder, prefix)) previous = *folder;
    if (previous.empty())
        ShowMessage(m_env.ui, IDD_CANNOT_CREATE_FOLDER,
                    error.empty() ? m_env.buildFolder.string() : error, CMessage::Icon::Error);
    return previous;
}

bool CPublisher::EnsureValidCatalog() {
    while (!IsValidCatalog(m_env.settings.GetFtpCatalog())) {
        if (m_env.ui.Choose(ChoiceFor(IDD_INVALID_CATALOG, m_env.settings.GetFtpCatalog()))
                .button != 0)
            return false;
        if (!m_env.editInternetSettings || !m_env.editInternetSettings()) return false;
    }
    return true;
}

bool CPublisher::Locked(const CRunLock& lock) {
    if (!lock.Busy()) return false;
    const CDialogText& d = CStringTable::Dialog(IDD_PUBLISH_BUSY);
    m_env.ui.Message({IDD_PUBLISH_BUSY, d.caption,
                      CStringTable::FillIn(d.text, {CFtpSession::Destination(m_env)}),
                      CMessage::Icon::Error, CMessage::Buttons::Ok});
    return true;
}

BuildSettings CPublisher::MakeBuildSettings(const fs::path& root, bool preview) const {
    BuildSettings build = BuildSettings::InFolder(root, preview);
    build.repeatBackground = m_env.settings.GetRepeatBackgroundFill();
    build.outsideColour = m_env.settings.GetSolidBackgroundFill().GetCOLORREF();
    build.largeObjectWarning = m_env.settings.GetShowLargeObjectWarning();
    build.jobs = m_env.settings.GetBuildJobs();
    build.hiDpi = m_env.settings.GetBuildHiDpi();
    // A preview is looked at on this machine, where a smaller file saves
    // nothing: WebP twins (a search of several encodes per picture) would only
    // make the user wait. Exports and publishes follow the setting.
    build.webp = !preview && m_env.settings.GetBuildWebp();
    build.phones = m_env.settings.GetBuildPhones();
    return build;
}

bool CPublisher::RebuildDownloads(CSite& site) {
    const auto missing = RebuildDownloadList(site, m_env.downloads);
    if (!missing) return true;
    ShowMessage(m_env.ui, IDD_MISSING_DOCUMENT, cp1252::ToUtf8(missing->path),
                CMessage::Icon::Error);
    if (m_env.showItem) {
        const CPage& page = site.PageAt(missing->page);
        m_env.showItem(page, page.Items()[static_cast<size_t>(missing->item)].get());
    }
    return false;
}

std::unique_ptr<SiteBuilder> CPublisher::Build(CSite& site, const fs::path& root, bool preview,
                                               bool forSend, EResult& failure) {
    auto builder = std::make_unique<SiteBuilder>(MakeBuildSettings(root, preview), &m_env.ui,
                                                 &m_env.downloads);
    const BuildResult result = builder->Build(site);
    m_env.settings.SetShowLargeObjectWarning(builder->Settings().largeObjectWarning);
    if (result.code == BuildOk) {
        m_lastRoot = root;
        m_lastWeights = result.pageWeights;
        m_lastAccess = result.accessibility;
        return builder;
    }
    failure = EResult::Failed;
    const CDialogText& error = CStringTable::Dialog(IDD_BUILD_ERROR);
    switch (result.code) {
    case BuildInvalid:
        m_env.ui.Message(
            {IDD_BUILD_ERROR, error.caption,
             error.text + "\n\n" + cp1252::ToUtf8(result.pageName) + "\n" + result.reason,
             CMessage::Icon::Error, CMessage::Buttons::Ok});
        if (m_env.showItem)
            if (const CPage* page = site.FindPage(result.pageName))
                m_env.showItem(*page, result.item);
        break;
    case BuildCancelled:
        failure = EResult::Stopped;
        break;
    case BuildWriteFailed:
        // A full disk or a failed write: say which file, so the user knows
        // where to make room.
        if (result.failure) {
            m_env.ui.Message({IDD_BUILD_ERROR, error.caption,
                              error.text + "\n\n" +
                                  CStringTable::FillIn(CStringTable::Get(IDS_BUILD_CANNOT_WRITE),
                                                       {result.failure.Detail()}),
                              CMessage::Icon::Error, CMessage::Buttons::Ok});
            break;
        }
        [[fallthrough]];
    default:
        if (forSend)
            ShowMessage(m_env.ui, IDD_CANNOT_CREATE_FOLDER, root.string(), CMessage::Icon::Error);
        else if (result.code == BuildNoFolder)
            m_env.ui.Message({IDD_BUILD_ERROR, error.caption,
                              error.text + "\n\n" + CStringTable::Get(IDS_BUILD_NO_FOLDER),
                              CMessage::Icon::Error, CMessage::Buttons::Ok});
        break;
    }
    return nullptr;
}

CPublisher::EResult CPublisher::Preview(CSite* site) {
    if (!site) return EResult::Stopped;
    if (!RebuildDownloads(*site)) return EResult::Failed;
    EResult failure = EResult::Failed;
    const fs::path run = NewRunFolder(m_previewRun, "preview");
    if (run.empty()) return EResult::Failed;
    const fs::path root = run / std::string(pw::text::kPreviewFolder);
    auto builder = Build(*site, root, true, false, failure);
    if (!builder) return failure;
    m_env.ui.OpenInBrowser(root / kFrontPageFile);
    return EResult::Done;
}

CPublisher::EResult CPublisher::Export(CSite* site, fs::path folder) {
    if (!site) return EResult::Stopped;
    if (folder.empty())
        folder = m_env.ui.ChooseFolder(CStringTable::Get(IDS_CHOOSE_EXPORT_FOLDER),
                                       m_env.settings.GetExportPath());
    if (folder.empty()) return EResult::Stopped;
    std::string text = folder.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    folder = text;
    m_env.settings.SetExportPath(text);
    if (!RebuildDownloads(*site)) return EResult::Failed;

    EResult failure = EResult::Failed;
    const fs::path root = folder / std::string(pw::text::kExportFolder);
    auto builder = Build(*site, root, false, false, failure);
    if (!builder) return failure;
    return CopyExtras(*site, builder->Settings()) ? EResult::Done : EResult::Failed;
}

bool CPublisher::CopyExtras(const CSite& site, const BuildSettings& build) {
    CopyFrontPage(build.rootFolder);
    const fs::path download = build.filesFolder / kDownloadFolderName;
    std::error_code ec;
    fs::create_directories(download, ec);
    if (!fs::is_directory(download, ec)) return false;
    for (const DownloadEntry& entry : m_env.downloads) {
        fs::copy_file(DownloadSourceFile(entry.sourcePath, site),
                      download / cp1252::ToUtf8(entry.fileName),
                      fs::copy_options::overwrite_existing, ec);
        if (ec) return false;
    }
    return true;
}

bool CPublisher::EnsureConnectionSettings() {
    while (!ConnectionComplete(m_env)) {
        if (m_env.ui.Choose(ChoiceFor(IDD_MISSING_INTERNET_SETTINGS)).button != 0) return false;
        if (!m_env.editInternetSettings || !m_env.editInternetSettings()) return false;
    }
    return true;
}

CPublisher::EResult CPublisher::Send(CSite* site, std::optional<ESendMode> mode) {
    if (!site) return EResult::Stopped;
    if (site->path.empty()) {
        if (m_env.ui.Choose(ChoiceFor(IDD_SITE_NOT_SAVED)).button == 0 && m_env.saveAs)
            m_env.saveAs();
        return EResult::Stopped;
    }
    if (!EnsureConnectionSettings() || !EnsureValidCatalog()) return EResult::Stopped;
    // Two runs on one site file or one destination would interleave their
    // files on the server; the second waits for the user instead.
    const fs::path locks = m_env.recordFile.parent_path() / "locks";
    const CRunLock siteLock(locks, "site:" + fs::absolute(site->path).lexically_normal().string());
    const CRunLock serverLock(locks, "server:" + CSiteUploader::ManifestKey(m_env));
    if (Locked(siteLock) || Locked(serverLock)) return EResult::Failed;
    if (!mode) {
        const int button = m_env.ui.Choose(ChoiceFor(IDD_SEND)).button;
        if (button != 0 && button != 1) return EResult::Stopped;
        mode = button == 0 ? ESendMode::Changes : ESendMode::Everything;
    }
    if (*mode == ESendMode::Everything &&
        m_env.ui.Choose(ChoiceFor(IDD_DELETE_SERVER_FILES, CFtpSession::Destination(m_env)))
                .button != 0)
        return EResult::Stopped;
    if (!RebuildDownloads(*site)) return EResult::Failed;

    // Without a record of this site nothing is known about the server.
    if (*mode == ESendMode::Everything || !m_env.record.matches)
        for (const auto& page : site->Pages())
            page->SetPublishPending(true);
    m_env.record.CollectPending(*site);

    EResult failure = EResult::Failed;
    const fs::path run = NewRunFolder(m_publishRun, "publish");
    if (run.empty()) return EResult::Failed;
    const fs::path root = run / std::string(pw::text::kPreviewFolder);
    auto builder = Build(*site, root, false, true, failure);
    if (!builder) return failure;
    using EBasis = CSiteUploader::EBasis;
    CSiteUploader uploader(m_env, *site, builder->Pages(), builder->Settings(),
                           *mode == ESendMode::Everything ? EBasis::Nothing
                           : *mode == ESendMode::Verify   ? EBasis::Server
                                                          : EBasis::Manifest);
    const bool done = uploader.Run();
    m_lastSent = uploader.Sent();
    m_lastDeleted = uploader.Deleted();
    if (done) return EResult::Done;
    return uploader.Stopped() ? EResult::Stopped : EResult::Failed;
}

CPublisher::EResult CPublisher::Remove() {
    if (!EnsureConnectionSettings() || !EnsureValidCatalog()) return EResult::Stopped;
    const CRunLock serverLock(m_env.recordFile.parent_path() / "locks",
                              "server:" + CSiteUploader::ManifestKey(m_env));
    if (Locked(serverLock)) return EResult::Failed;
    if (m_env.ui.Choose(ChoiceFor(IDD_REMOVE_SITE, CFtpSession::Destination(m_env))).button != 0)
        return EResult::Stopped;
    CSiteRemover remover(m_env);
    return remover.Run() ? EResult::Done : EResult::Failed;
}
