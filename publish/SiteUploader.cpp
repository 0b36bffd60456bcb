#include "publish/SiteUploader.h"
#include "model/Page.h"
#include "model/Site.h"
#include "publish/DownloadListBuilder.h"
#include "publish/PublishEnvironment.h"
#include "publish/PublishRecord.h"
#include "services/Cp1252.h"
#include "sitebuild/ImageOutput.h"
#include "services/Settings.h"
#include "services/StringTable.h"
#include "services/UserInteraction.h"
#include <algorithm>
#include <cstring>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <set>

namespace fs = std::filesystem;

namespace {

// The front page goes under every name a server may take for the start page.
constexpr const char* kFrontPageNames[] = {"default.htm", "default.html", "index.htm",
                                           "index.html"};

// The file a relative URL of the build names: its last component.
std::string UrlFileName(const std::string& url) {
    const size_t cut = url.find_last_of('/');
    return cut == std::string::npos ? url : url.substr(cut + 1);
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

uintmax_t SizeOf(const fs::path& file) {
    std::error_code ec;
    const uintmax_t size = fs::file_size(file, ec);
    return ec ? 0 : size;
}

std::array<int16_t, 5> LocalNow() {
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&t, &tm);
    return {static_cast<int16_t>(tm.tm_year + 1900), static_cast<int16_t>(tm.tm_mon + 1),
            static_cast<int16_t>(tm.tm_mday), static_cast<int16_t>(tm.tm_hour),
            static_cast<int16_t>(tm.tm_min)};
}

// The folder and name of a manifest path; false for a path no publish makes.
bool SplitPath(const std::string& path, CSiteUploader::EFolder& folder, std::string& name) {
    using EFolder = CSiteUploader::EFolder;
    const std::string files = std::string(kFilesFolderName) + "/";
    const std::string download = files + kDownloadFolderName + "/";
    if (path.rfind(download, 0) == 0) {
        folder = EFolder::Download;
        name = path.substr(download.size());
    } else if (path.rfind(files, 0) == 0) {
        folder = EFolder::Files;
        name = path.substr(files.size());
    } else {
        folder = EFolder::Catalog;
        name = path;
    }
    return !name.empty() && name.find('/') == std::string::npos;
}

uintmax_t CountCarriageReturns(const fs::path& file) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return 0;
    uintmax_t count = 0;
    for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f))
        count += c == '\r';
    std::fclose(f);
    return count;
}

} // namespace

std::string CSiteUploader::CFile::Path() const {
    switch (folder) {
    case EFolder::Catalog:
        return remote;
    case EFolder::Files:
        return std::string(kFilesFolderName) + "/" + remote;
    case EFolder::Download:
        break;
    }
    return std::string(kFilesFolderName) + "/" + kDownloadFolderName + "/" + remote;
}

CSiteUploader::CSiteUploader(CPublishEnvironment& env, CSite& site,
                             const std::vector<BuildPage>& pages, const BuildSettings& build,
                             EBasis basis)
    : m_env(env), m_site(site), m_pages(pages), m_build(build), m_basis(basis),
      m_session(env), m_manifestFile(ManifestFile(env)), m_manifestKey(ManifestKey(env)) {}

CSiteUploader::~CSiteUploader() = default;

std::string CSiteUploader::ManifestKey(const CPublishEnvironment& env) {
    const CSettings& s = env.settings;
    // FTP and FTPS reach the same files; SFTP may see another folder.
    const char* scheme = s.GetFtpKind() == EConnectionKind::Sftp ? "sftp" : "ftp";
    return CPublishManifest::DestinationKey(scheme, s.GetFtpServer(), s.GetFtpPort(),
                                            s.GetFtpUser(), s.GetFtpCatalog());
}

fs::path CSiteUploader::ManifestFile(const CPublishEnvironment& env) {
    return CPublishManifest::FileFor(env.recordFile.parent_path() / "manifests", ManifestKey(env));
}

std::vector<CSiteUploader::CFile> CSiteUploader::SiteFiles() const {
    std::vector<CFile> pictures, downloads, pagesOut;
    std::set<std::string> seen;
    auto add = [&](std::vector<CFile>& list, const std::string& url, const std::string& label) {
        const std::string name = cp1252::ToUtf8(UrlFileName(url));
        if (name.empty() || !seen.insert(name).second) return;
        const fs::path local = m_build.filesFolder / name;
        list.push_back({local, name, EFolder::Files, !EndsWith(name, ".html"), label,
                        SizeOf(local), {}});
    };
    // The 2x file and the WebP twins a build may have written beside a
    // picture; the build folder is the run's own, so what is there is this
    // build's.
    auto addVariants = [&](const std::string& url, const std::string& url2x,
                           const std::string& label) {
        if (!url2x.empty()) add(pictures, url2x, label);
        for (const std::string* u : {&url, &url2x}) {
            if (u->empty()) continue;
            const std::string twin = WebpName(*u);
            std::error_code ec;
            if (fs::is_regular_file(m_build.filesFolder / cp1252::ToUtf8(UrlFileName(twin)), ec))
                add(pictures, twin, label);
        }
    };
    std::set<std::string> downloadNames;
    for (const BuildPage& page : m_pages) {
        if (!page.page) continue;
        const std::string identifier = cp1252::ToUtf8(page.keyName);
        if (!page.frontPage) add(pagesOut, page.fileName, identifier);
        const BackgroundRecord& bg = page.background;
        if (bg.fillType == bgImage || bg.fillType == bgGradient) {
            add(pictures, bg.imageUrl, identifier);
            addVariants(bg.imageUrl, bg.imageUrl2x, identifier);
        }
        for (const BuildItem& item : page.items) {
            add(pictures, item.imageUrl, identifier);
            addVariants(item.imageUrl, item.imageUrl2x, identifier);
            if (item.hasMouseOver) {
                add(pictures, item.mouseOverImageUrl, identifier);
                addVariants(item.mouseOverImageUrl, item.mouseOverImageUrl2x, identifier);
            }
        }
        for (const std::string& path : PageDownloadPaths(*page.page)) {
            const DownloadEntry* entry = FindDownload(m_env.downloads, path);
            if (!entry) continue;
            const std::string name = cp1252::ToUtf8(entry->fileName);
            if (!downloadNames.insert(name).second) continue;
            const fs::path local = DownloadSourceFile(path, m_site);
            downloads.push_back({local, name, EFolder::Download, true, name, SizeOf(local),
                                 cp1252::ToUtf8(page.page->Identifier())});
        }
    }
    add(pagesOut, "error.html", "error.html");
    add(pagesOut, "noscript.html", "noscript.html");

    std::vector<CFile> files = std::move(pictures);
    files.insert(files.end(), downloads.begin(), downloads.end());
    files.insert(files.end(), pagesOut.begin(), pagesOut.end());
    std::string frontLabel = kFrontPageFile;
    for (const BuildPage& page : m_pages)
        if (page.frontPage && page.page) frontLabel = cp1252::ToUtf8(page.page->Identifier());
    const fs::path front = m_build.rootFolder / kFrontPageFile;
    for (const char* name : kFrontPageNames)
        files.push_back({front, name, EFolder::Catalog, false, frontLabel, SizeOf(front), {}});
    return files;
}

int CSiteUploader::OnProgress(int bytes) {
    if (m_parallel) { // on a sending thread: the window is the main thread's
        m_parallelBytes += bytes;
        return m_cancel ? 0 : 1;
    }
    if (!m_progress) return 1;
    // Asked with no bytes every few milliseconds of every command: the
    // window takes its Cancel click even while the server is slow to answer.
    if (bytes > 0) {
        m_bytes += bytes;
        m_progress->SetPos(std::min(m_bytes, m_range));
    }
    return m_progress->IsCancelled() ? 0 : 1;
}

bool CSiteUploader::Run() {
    m_manifest.Read(m_manifestFile, m_manifestKey);
    const std::vector<CFile> all = SiteFiles();
    for (const CFile& file : all)
        if (!m_hashes.count(file.local.string()))
            if (auto hash = pw::HashFile(file.local)) m_hashes[file.local.string()] = *hash;

    if (!m_session.Connect([this](int bytes) { return OnProgress(bytes); })) return false;
    if (!EnterCatalog() || !PrepareFilesFolder()) return false;
    if (m_basis == EBasis::Server && !CheckManifestAgainstServer(all)) return false;
    // A run that ended half way may have left upload files under passing
    // names; they go, and the files they stood for are sent again.
    const fs::path unfinished = m_manifestFile.string() + ".unfinished";
    std::error_code ec;
    if (fs::exists(unfinished, ec) && !SweepUnfinished()) return false;
    if (!fs::exists(m_manifestFile.parent_path(), ec))
        fs::create_directories(m_manifestFile.parent_path(), ec);
    std::FILE* marker = std::fopen(unfinished.c_str(), "wb");
    if (marker) std::fclose(marker);

    const std::vector<CFile> files = FilesToSend(all);
    const CDialogText& d = CStringTable::Dialog(IDD_UPLOAD_STATUS);
    m_progress = m_env.ui.OpenProgress(IDD_UPLOAD_STATUS, d.caption);
    if (m_progress) {
        m_progress->SetPhase(CFtpSession::Destination(m_env));
        uintmax_t total = 0;
        for (const CFile& f : files)
            total += f.size;
        m_range = std::max<long long>(1, static_cast<long long>(total));
        m_progress->SetRange(m_range);
        m_progress->SetPos(0);
    }
    const bool ok = SendFiles(files) && DeleteLeftovers(all);
    m_progress.reset();
    SaveManifest();
    if (!ok) return false;
    fs::remove(unfinished, ec);
    Finish();
    return true;
}

bool CSiteUploader::SweepUnfinished() {
    for (EFolder folder : {EFolder::Catalog, EFolder::Files, EFolder::Download}) {
        if (!ChangeFolder(folder)) return false;
        CFtp& ftp = m_session.Ftp();
        std::map<std::string, long long> listed;
        if (!ftp.list(listed))
            return m_session.Fail(CFtpSession::EFailure::ReadFolder, ftp.GetCurrentDir()), false;
        for (const auto& [name, size] : listed) {
            std::string stood;
            for (const char* prefix : {".pw-upload.", ".pw-old."})
                if (name.rfind(prefix, 0) == 0) stood = name.substr(std::strlen(prefix));
            if (stood.empty()) continue;
            // A refusal leaves a stray file, never a wrong site.
            if (!ftp.remove(name) && ftp.GetStatus() != FTP_REFUSED)
                return m_session.Fail(CFtpSession::EFailure::Delete, name), false;
            CFile file;
            file.folder = folder;
            file.remote = stood;
            m_manifest.files.erase(file.Path());
        }
    }
    return ChangeFolder(EFolder::Catalog);
}

bool CSiteUploader::EnterCatalog() {
    CFtp& ftp = m_session.Ftp();
    for (const std::string& part : CatalogParts(m_env.settings.GetFtpCatalog())) {
        if (ftp.chdir(part)) continue;
        if (!ftp.mkdir(part))
            return m_session.Fail(CFtpSession::EFailure::CreateFolder, part), false;
        if (!ftp.chdir(part)) return m_session.Fail(CFtpSession::EFailure::ReadFolder, part), false;
    }
    return true;
}

bool CSiteUploader::PrepareFilesFolder() {
    CFtp& ftp = m_session.Ftp();
    using F = CFtpSession::EFailure;
    const std::string files = kFilesFolderName, download = kDownloadFolderName;
    if (!ftp.chdir(files)) {
        if (!ftp.mkdir(files)) return m_session.Fail(F::CreateFolder, files), false;
        if (!ftp.chdir(files)) return m_session.Fail(F::ReadFolder, files), false;
    }
    // Entering an existing Download folder takes one level more, which the
    // extra ".." undoes; either way the catalog is current afterwards.
    if (ftp.chdir(download)) {
        if (!ftp.chdir("..")) return m_session.Fail(F::ReadFolder, files), false;
    } else if (!ftp.mkdir(download)) {
        return m_session.Fail(F::CreateFolder, download), false;
    }
    if (!ftp.chdir(".."))
        return m_session.Fail(F::ReadFolder, m_env.settings.GetFtpCatalog()), false;
    m_folder = EFolder::Catalog;
    return true;
}

std::vector<CSiteUploader::CFile> CSiteUploader::FilesToSend(const std::vector<CFile>& all) {
    auto differs = [this](const CFile& file) {
        if (m_basis == EBasis::Nothing) return true;
        const auto known = m_manifest.files.find(file.Path());
        const auto hash = m_hashes.find(file.local.string());
        return known == m_manifest.files.end() || hash == m_hashes.end() ||
               !(known->second == hash->second);
    };
    // The user decides about download files page by page (or once for all).
    std::set<std::string> declinedPages;
    bool askAgain = true, send = true;
    std::string asked;
    for (const CFile& file : all) {
        if (file.folder != EFolder::Download || !differs(file) || file.page == asked) continue;
        asked = file.page;
        if (askAgain) {
            const CDialogText& d = CStringTable::Dialog(IDD_SEND_DOWNLOADS);
            const CChoiceResult answer = m_env.ui.Choose(
                {IDD_SEND_DOWNLOADS, d.caption, file.page, d.buttons, d.checkBox, false});
            send = answer.button == 0;
            askAgain = !answer.checked;
        }
        if (!send) declinedPages.insert(file.page);
    }
    std::vector<CFile> out;
    for (const CFile& file : all)
        if (differs(file) && !(file.folder == EFolder::Download && declinedPages.count(file.page)))
            out.push_back(file);
    return out;
}

bool CSiteUploader::CheckManifestAgainstServer(const std::vector<CFile>& all) {
    std::map<std::string, const CFile*> built;
    for (const CFile& file : all)
        built[file.Path()] = &file;
    std::map<EFolder, std::map<std::string, long long>> listed;
    for (EFolder folder : {EFolder::Catalog, EFolder::Files, EFolder::Download}) {
        if (!ChangeFolder(folder)) return false;
        if (!m_session.Ftp().list(listed[folder])) {
            m_session.Fail(CFtpSession::EFailure::ReadFolder, m_session.Ftp().GetCurrentDir());
            return false;
        }
    }
    for (auto it = m_manifest.files.begin(); it != m_manifest.files.end();) {
        EFolder folder;
        std::string name;
        const auto& sizes = listed[SplitPath(it->first, folder, name) ? folder : EFolder::Catalog];
        const auto there = sizes.find(name);
        bool fits = there != sizes.end();
        if (fits && there->second >= 0 && uintmax_t(there->second) != it->second.size) {
            // A page goes in text mode: the server may store its lines with
            // its own line ends, so without the CRs is the same file too.
            const auto file = built.find(it->first);
            fits = file != built.end() && !file->second->binary &&
                   uintmax_t(there->second) == it->second.size - CountCarriageReturns(file->second->local);
        }
        it = fits ? std::next(it) : m_manifest.files.erase(it);
    }
    return ChangeFolder(EFolder::Catalog);
}

bool CSiteUploader::ChangeFolder(EFolder folder) {
    CFtp& ftp = m_session.Ftp();
    auto go = [&](const std::string& name, const std::string& report) {
        if (ftp.chdir(name)) return true;
        m_session.Fail(CFtpSession::EFailure::ReadFolder, report);
        return false;
    };
    const int from = static_cast<int>(m_folder), to = static_cast<int>(folder);
    for (int level = from; level > to; --level)
        if (!go("..", m_env.settings.GetFtpCatalog())) return false;
    if (from < 1 && to >= 1 && !go(kFilesFolderName, kFilesFolderName)) return false;
    if (from < 2 && to >= 2 && !go(kDownloadFolderName, kDownloadFolderName)) return false;
    m_folder = folder;
    return true;
}

bool CSiteUploader::Put(const CFile& file) {
    if (m_progress) m_progress->SetPage(file.label);
    if (!ChangeFolder(file.folder)) return false;
    CFtp& ftp = m_session.Ftp();
    if (ftp.put(file.local, file.remote, file.binary)) {
        Arrived(file);
        return true;
    }
    // An upload straight to the final name leaves a file nobody knows.
    if (ftp.UploadsInPlace()) m_manifest.files.erase(file.Path());
    m_session.Fail(CFtpSession::EFailure::Upload, file.remote);
    return false;
}

void CSiteUploader::Arrived(const CFile& file) {
    const std::lock_guard<std::mutex> hold(m_lock);
    const auto hash = m_hashes.find(file.local.string());
    if (hash != m_hashes.end())
        m_manifest.files[file.Path()] = hash->second;
    else
        m_manifest.files.erase(file.Path());
    m_sent.push_back(file.Path());
}

bool CSiteUploader::SendFiles(const std::vector<CFile>& files) {
    const int connections = m_env.settings.GetPublishConnections();
    if (connections > 1 && files.size() > 1) return SendParallel(files, connections);
    for (const CFile& file : files)
        if (!Put(file)) return false;
    return true;
}

bool CSiteUploader::DeleteLeftovers(const std::vector<CFile>& all) {
    std::set<std::string> wanted;
    for (const CFile& file : all)
        wanted.insert(file.Path());
    std::vector<std::string> leftovers;
    for (const auto& [path, entry] : m_manifest.files)
        if (!wanted.count(path)) leftovers.push_back(path);
    for (const std::string& path : leftovers) {
        EFolder folder;
        std::string name;
        if (!SplitPath(path, folder, name)) {
            m_manifest.files.erase(path);
            continue;
        }
        if (!ChangeFolder(folder)) return false;
        CFtp& ftp = m_session.Ftp();
        if (ftp.remove(name) || ftp.GetStatus() == FTP_REFUSED) {
            // A refusal usually means the file is gone already; either way
            // the site is complete without it, and nothing more is tried.
            m_manifest.files.erase(path);
            m_deleted.push_back(path);
            continue;
        }
        m_session.Fail(CFtpSession::EFailure::Delete, name);
        return false;
    }
    return true;
}

void CSiteUploader::SaveManifest() {
    if (m_manifest.Write(m_manifestFile, m_manifestKey)) return;
    // An old manifest would describe files this run replaced; without one
    // the next publish simply sends everything again.
    std::error_code ec;
    fs::remove(m_manifestFile, ec);
}

void CSiteUploader::Finish() {
    m_session.Close();
    const CDialogText& d = CStringTable::Dialog(IDD_PUBLISHED);
    m_env.ui.Message({IDD_PUBLISHED, d.caption, CFtpSession::Destination(m_env),
                      CMessage::Icon::Information, CMessage::Buttons::Ok});
    m_site.lastPublished = m_env.now ? m_env.now() : LocalNow();
    m_env.record.MarkPublished(m_site);
    m_env.record.Save(m_site, m_env.recordFile);
}
