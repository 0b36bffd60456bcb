#include "publish/SiteUploader.h"
#include "model/Page.h"
#include "model/Site.h"
#include "publish/DownloadListBuilder.h"
#include "publish/PublishEnvironment.h"
#include "publish/PublishRecord.h"
#include "services/Cp1252.h"
#include "services/Settings.h"
#include "services/StringTable.h"
#include "services/UserInteraction.h"
#include <algorithm>
#include <chrono>
#include <ctime>

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

} // namespace

CSiteUploader::CSiteUploader(CPublishEnvironment& env, CSite& site,
                             const std::vector<BuildPage>& pages, const BuildSettings& build)
    : m_env(env), m_site(site), m_pages(pages), m_build(build), m_session(env) {}

CSiteUploader::~CSiteUploader() = default;

bool CSiteUploader::FrontPagePending() const {
    for (const BuildPage& page : m_pages)
        if (page.frontPage && page.page && page.page->PublishPending()) return true;
    return false;
}

std::vector<CSiteUploader::CFile> CSiteUploader::PageFiles() const {
    std::vector<CFile> files;
    auto add = [&](const std::string& url, const std::string& label) {
        if (url.empty()) return;
        const std::string name = UrlFileName(url);
        const fs::path local = m_build.filesFolder / cp1252::ToUtf8(name);
        files.push_back(
            {local, cp1252::ToUtf8(name), !EndsWith(name, ".html"), label, SizeOf(local)});
    };
    for (const BuildPage& page : m_pages) {
        if (!page.page || !page.page->PublishPending()) continue;
        const std::string identifier = cp1252::ToUtf8(page.keyName);
        if (!page.frontPage) add(page.fileName, identifier);
        const BackgroundRecord& bg = page.background;
        if (bg.fillType == bgImage || bg.fillType == bgGradient) add(bg.imageUrl, identifier);
        for (const BuildItem& item : page.items) {
            add(item.imageUrl, identifier);
            if (item.hasMouseOver) add(item.mouseOverImageUrl, identifier);
        }
    }
    add("error.html", "error.html");
    add("noscript.html", "noscript.html");
    return files;
}

uintmax_t CSiteUploader::TotalBytes(const std::vector<CFile>& files) const {
    uintmax_t total = 0;
    for (const CFile& f : files)
        total += f.size;
    if (FrontPagePending()) total += 4 * SizeOf(m_build.rootFolder / kFrontPageFile);
    return total;
}

int CSiteUploader::OnProgress(int bytes) {
    if (!m_progress) return 1;
    m_sent += bytes;
    m_progress->SetPos(std::min(m_sent, m_range));
    return m_progress->IsCancelled() ? 0 : 1;
}

bool CSiteUploader::Run() {
    if (!m_session.Connect([this](int bytes) { return OnProgress(bytes); })) return false;
    if (!EnterCatalog() || !PrepareFilesFolder()) return false;

    const std::vector<CFile> files = PageFiles();
    const CDialogText& d = CStringTable::Dialog(IDD_UPLOAD_STATUS);
    m_progress = m_env.ui.OpenProgress(IDD_UPLOAD_STATUS, d.caption);
    if (m_progress) {
        m_progress->SetPhase(CFtpSession::Destination(m_env));
        m_range = std::max<long long>(1, static_cast<long long>(TotalBytes(files)));
        m_progress->SetRange(m_range);
        m_progress->SetPos(0);
    }
    bool ok = SendFrontPage() && SendFiles(files) && SendDownloads();
    m_progress.reset();
    if (!ok) return false;
    Finish();
    return true;
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
    return true;
}

bool CSiteUploader::Put(const CFile& file) {
    if (m_progress) m_progress->SetPage(file.label);
    if (m_session.Ftp().put(file.local, file.remote, file.binary)) return true;
    m_session.Fail(CFtpSession::EFailure::Upload, file.remote);
    return false;
}

bool CSiteUploader::SendFrontPage() {
    if (FrontPagePending()) {
        std::string label = kFrontPageFile;
        for (const BuildPage& page : m_pages)
            if (page.frontPage && page.page) label = cp1252::ToUtf8(page.page->Identifier());
        const fs::path local = m_build.rootFolder / kFrontPageFile;
        for (const char* name : kFrontPageNames)
            if (!Put({local, name, false, label, 0})) return false;
    }
    if (!m_session.Ftp().chdir(kFilesFolderName)) {
        m_session.Fail(CFtpSession::EFailure::ReadFolder, kFilesFolderName);
        return false;
    }
    return true;
}

bool CSiteUploader::SendFiles(const std::vector<CFile>& files) {
    for (const CFile& file : files)
        if (!Put(file)) return false;
    return true;
}

bool CSiteUploader::SendDownloads() {
    if (!m_session.Ftp().chdir(kDownloadFolderName)) {
        m_session.Fail(CFtpSession::EFailure::ReadFolder, kDownloadFolderName);
        return false;
    }
    bool askAgain = true;
    bool send = true;
    for (const BuildPage& page : m_pages) {
        if (!page.page || !page.page->PublishPending()) continue;
        std::vector<CFile> files;
        for (const std::string& path : PageDownloadPaths(*page.page)) {
            const DownloadEntry* entry = FindDownload(m_env.downloads, path);
            if (!entry) continue;
            const fs::path local = DownloadSourceFile(path, m_site);
            const std::string name = cp1252::ToUtf8(entry->fileName);
            files.push_back({local, name, true, name, SizeOf(local)});
        }
        if (files.empty()) continue;
        if (askAgain) {
            const CDialogText& d = CStringTable::Dialog(IDD_SEND_DOWNLOADS);
            const CChoiceResult answer = m_env.ui.Choose({IDD_SEND_DOWNLOADS, d.caption,
                                                          cp1252::ToUtf8(page.page->Identifier()),
                                                          d.buttons, d.checkBox, false});
            send = answer.button == 0;
            askAgain = !answer.checked;
        }
        if (!send) continue;
        uintmax_t total = 0;
        for (const CFile& f : files)
            total += f.size;
        m_sent = 0;
        if (m_progress) {
            m_range = std::max<long long>(1, static_cast<long long>(total));
            m_progress->SetRange(m_range);
            m_progress->SetPos(0);
        }
        if (!SendFiles(files)) return false;
    }
    return true;
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
