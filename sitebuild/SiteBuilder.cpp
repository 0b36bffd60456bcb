#include "sitebuild/SiteBuilder.h"
#include "sitebuild/BuildPool.h"
#include "sitebuild/HtmlWriter.h"
#include "sitebuild/LinkUrls.h"
#include "sitebuild/PageClassify.h"
#include "sitebuild/RegionRenderer.h"
#include "image/Image.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/BackgroundFill.h"
#include "services/Cp1252.h"
#include "services/StringTable.h"
#include "services/UserInteraction.h"
#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Files left read-only by an earlier build (or copied from a read-only
// medium) would make this build fail half way; give them write access.
void MakeFilesWritable(const fs::path& folder) {
    std::error_code ec;
    // A link in the folder's place is replaced later; what it points at is
    // not ours to change.
    if (!fs::is_directory(fs::symlink_status(folder, ec))) return;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ignored;
        const fs::file_status status = it->symlink_status(ignored);
        const fs::perms wanted = fs::perms::owner_read | fs::perms::owner_write;
        if (fs::is_regular_file(status) && (status.permissions() & wanted) != wanted)
            fs::permissions(it->path(), wanted, fs::perm_options::add, ignored);
    }
}

// A folder is usable when it exists as a folder or can be made. (The root
// folder is the caller's choice and may well be a link to a folder.)
bool EnsureFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return true;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec);
}

BuildResult EndedWith(int code) {
    BuildResult result;
    result.code = code;
    return result;
}

const CPage* FrontPageOf(const CSite& site) {
    if (const CPage* front = site.FrontPage()) return front;
    // A site always has a front page; should the flag be missing, the first
    // page stands in, so the built site still has its default.htm.
    return site.PageCount() > 0 ? &site.PageAt(0) : nullptr;
}

} // namespace

SiteBuilder::SiteBuilder(const BuildSettings& settings, CUserInteraction* ui,
                         const DownloadList* downloads)
    : m_settings(settings), m_ui(ui), m_downloads(downloads) {}

SiteBuilder::~SiteBuilder() = default;

void SiteBuilder::SetPhase(int textId) {
    if (m_progress) m_progress->SetPhase(CStringTable::Get(textId));
}

void SiteBuilder::SetPage(const std::string& identifier) {
    if (m_progress) m_progress->SetPage(cp1252::ToUtf8(identifier));
}

void SiteBuilder::SetPos(long long pos) {
    // The per-page steps are rounded, so a phase may end a little past the
    // mark the next one starts from; the bar never goes back for that, nor
    // past its end.
    m_position = std::clamp(pos, m_position, static_cast<long long>(CProgress::kRange - 1));
    if (m_progress) m_progress->SetPos(m_position);
}

void SiteBuilder::Advance(int step) {
    SetPos(m_position + step);
}

bool SiteBuilder::Cancelled() {
    return m_progress && m_progress->IsCancelled();
}

bool SiteBuilder::CancelledWhileWaiting() {
    return m_progress && m_progress->PollWhileWaiting();
}

std::string SiteBuilder::ImageUrl(const BuildPage& page, const std::string& file) const {
    return m_links->FileUrl(file, page);
}

BuildResult SiteBuilder::Build(CSite& site) {
    m_site = &site;
    m_pages.clear();
    m_exported = CExportedImages();
    m_backgrounds.clear();
    m_imageCounter = 0;
    m_position = 0;
    m_madeHere.clear();
    m_keptBytes = 0;
    m_failure = {};
    m_pool = std::make_unique<CBuildPool>(m_settings.jobs);
    m_links = std::make_unique<CLinkUrls>(m_pages, m_settings.previewMode, m_downloads);
    if (m_ui) {
        m_progress =
            m_ui->OpenProgress(IDD_BUILD_STATUS, CStringTable::Dialog(IDD_BUILD_STATUS).caption);
        if (m_progress) m_progress->SetRange(CProgress::kRange);
    }
    SetPhase(IDS_BUILD_VALIDATING);
    SetPage({});
    MakeFilesWritable(m_settings.filesFolder);
    RemoveStaleOutputTemps(m_settings.rootFolder);
    RemoveStaleOutputTemps(m_settings.filesFolder);

    BuildResult result = Classify(site);
    if (result.code == BuildOk) result = Validate();
    if (result.code == BuildOk) result.code = MakeFolders();
    if (result.code == BuildOk) result.code = BuildData();
    if (result.code == BuildOk) result.code = WriteFiles(site);
    if (result.code == BuildOk) SetPos(CProgress::kRange - 1);
    if (result.code == BuildWriteFailed && m_failure) {
        result.failure = CFailure(EFailure::Write,
                                  m_failure.file.string() + ": " + m_failure.error.message());
    }
    // Closing the status window on every way out.
    m_progress.reset();
    m_pool.reset();
    // Whatever way the build ended, the pictures it rendered go.
    for (std::size_t i = 0; i < m_madeHere.size(); ++i)
        ReleasePictures(i);
    m_site = nullptr;
    return result;
}

BuildResult SiteBuilder::Classify(CSite& site) {
    const int count = site.PageCount();
    const int step = ProgressStep(kFirstPhaseWeight, count);
    const CPage* front = FrontPageOf(site);
    m_pages.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CPage& page = site.PageAt(i);
        SetPage(page.Identifier());
        CMadeHere& made = m_madeHere.emplace_back();
        for (const auto& item : page.Items())
            for (CPageObject* object : {&item->Normal(), item->MouseOver()})
                if (object && object->IsDirty()) made.objects.push_back(object);
        if (RefreshPage(page) != BuildOk) return EndedWith(BuildCancelled);
        m_pages.push_back(MakeBuildPage(page, i, &page == front));
        BuildPage& built = m_pages.back();
        DecideTextsAndCounters(built, m_settings.previewMode);
        for (BuildItem& item : built.items)
            if (item.htmlText)
                item.linkRuns = CHtmlWriter::CollectLinkRuns(
                    static_cast<const CTextObject&>(item.item->Current()));
        // HTML texts are written from their objects; their pictures are
        // small and stay.
        for (const BuildItem& item : built.items)
            if (item.htmlText)
                std::erase(made.objects, &item.item->Current());
        for (const CPageObject* object : made.objects)
            if (const CImage* image = object->GetImage())
                made.bytes += image->RowBytes() * static_cast<std::size_t>(image->Height());
        if (m_keptBytes + made.bytes > kKeptPictureBytes) {
            ReleasePictures(static_cast<std::size_t>(i));
        } else {
            m_keptBytes += made.bytes;
            made.kept = true;
        }
        Advance(step);
        // A site of many pages spends seconds here; Cancel must not wait
        // for validation to be seen.
        if (Cancelled()) return EndedWith(BuildCancelled);
    }
    return {};
}

BuildResult SiteBuilder::Validate() {
    SetPos(kFirstPhaseWeight);
    const int step = ProgressStep(kFirstPhaseWeight, static_cast<int>(m_pages.size()));
    for (const BuildPage& page : m_pages) {
        const int failed = FirstOverlappedMouseOver(page);
        if (failed >= 0) {
            BuildResult result;
            result.code = BuildInvalid;
            result.pageName = page.page->Identifier();
            result.reason = CStringTable::Get(IDS_BUILD_MOUSEOVER_OVERLAPPED);
            result.item = page.items[static_cast<std::size_t>(failed)].item;
            return result;
        }
        Advance(step);
        if (Cancelled()) return EndedWith(BuildCancelled);
    }
    return {};
}

BuildCode SiteBuilder::MakeFolders() {
    SetPos(2 * kFirstPhaseWeight);
    // A link planted where the files folder goes is replaced by a folder, so
    // the build never writes where it points.
    if (!EnsureFolder(m_settings.rootFolder) || !MakeOutputFolder(m_settings.filesFolder))
        return BuildNoFolder;
    return BuildOk;
}

BuildCode SiteBuilder::BuildData() {
    SetPhase(IDS_BUILD_DATA);
    SetPage({});
    const int step = ProgressStep(kDataPhaseWeight, static_cast<int>(m_pages.size()));
    for (BuildPage& page : m_pages) {
        SetPage(page.page->Identifier());
        const BuildCode code = BuildPageData(page);
        ReleasePictures(static_cast<std::size_t>(page.position));
        if (code != BuildOk) return code;
        Advance(step);
        if (Cancelled()) return BuildCancelled;
    }
    return BuildOk;
}

BuildCode SiteBuilder::WriteFiles(const CSite& site) {
    SetPos(kFirstPhaseWeight * 2 + kDataPhaseWeight);
    SetPhase(IDS_BUILD_WRITING);
    if (!CHtmlWriter::WriteNoticePages(m_settings.filesFolder, &m_failure)) return BuildWriteFailed;
    CHtmlWriter writer(site, m_settings, [this](const CObjectLink& link, const BuildPage& from) {
        return m_links->Resolve(link, from);
    });
    const int step = ProgressStep(kWritingPhaseWeight, static_cast<int>(m_pages.size()));
    for (BuildPage& page : m_pages) {
        SetPage(page.page->Identifier());
        const fs::path file = page.frontPage ? m_settings.rootFolder / kFrontPageFile
                                             : m_settings.filesFolder / page.fileName;
        if (!writer.WritePage(file, page, &m_failure)) return BuildWriteFailed;
        Advance(step);
        if (Cancelled()) return BuildCancelled;
    }
    return BuildOk;
}

BuildCode SiteBuilder::RefreshPage(CPage& page) {
    page.Background().Render();
    // In the designer a picture that cannot be found is asked for through
    // the window system, which only the calling thread may do; its objects
    // are mostly up to date anyway.
    if (CBackgroundFill::DefaultPictureContext()) {
        RefreshPageForBuild(page);
        return BuildOk;
    }
    const bool done = m_pool->ForEach(
        page.ItemCount(),
        [&page](int i, CBuildWorker& worker) { RefreshItemForBuild(page, i, worker.scratch); },
        [this] { return CancelledWhileWaiting(); });
    return done ? BuildOk : BuildCancelled;
}

void SiteBuilder::ReleasePictures(std::size_t page) {
    if (page >= m_madeHere.size()) return;
    CMadeHere& made = m_madeHere[page];
    if (made.kept) m_keptBytes -= made.bytes;
    made.kept = false;
    for (CPageObject* object : made.objects)
        object->ReleaseImage();
    made.released = true;
}
