#include "sitebuild/SiteBuilder.h"
#include "sitebuild/BuildPool.h"
#include "sitebuild/HtmlWriter.h"
#include "sitebuild/LinkUrls.h"
#include "sitebuild/OwnWords.h"
#include "sitebuild/PageClassify.h"
#include "sitebuild/PageWeight.h"
#include "sitebuild/RegionRenderer.h"
#include "image/Image.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "model/PageObject.h"
#include "model/TextObject.h"
#include "model/BackgroundFill.h"
#include "services/Cp1252.h"
#include "services/StringTable.h"
#include "services/UserInteraction.h"
#include <algorithm>
#include <chrono>
#include <future>
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

// Whether the pictures of a page are small enough to be made while the page
// before it still holds its own: judged by the rectangles of its objects.
bool PicturesAheadFit(const CPage& page) {
    constexpr double kAheadBytes = 32.0 * (1 << 20);
    double bytes = 0;
    for (const auto& item : page.Items())
        for (const CPageObject* object : {&item->Normal(), item->MouseOver()})
            if (object) {
                const CRect r = object->GetRect();
                bytes += 4.0 * std::max(r.Width(), 0) * std::max(r.Height(), 0);
            }
    return bytes <= kAheadBytes;
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
    using namespace std::chrono_literals;
    if (!m_progress) return false;
    if (m_cancelSeen) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastPoll < 10ms) return false;
    m_lastPoll = now;
    m_cancelSeen = m_progress->PollWhileWaiting();
    return m_cancelSeen;
}

void SiteBuilder::RemoveWhatWasWritten() {
    std::error_code ec;
    for (const fs::path& file : m_written)
        fs::remove(file, ec);
    m_written.clear();
    // Only folders this build made, and only when nothing else lies in them.
    if (m_madeFiles && fs::is_empty(m_settings.filesFolder, ec))
        fs::remove(m_settings.filesFolder, ec);
    if (m_madeRoot && fs::is_empty(m_settings.rootFolder, ec))
        fs::remove(m_settings.rootFolder, ec);
}

std::string SiteBuilder::ImageUrl(const BuildPage& page, const std::string& file) const {
    return m_links->FileUrl(file, page);
}

BuildResult SiteBuilder::Build(CSite& site) {
    // Outlives everything below: the pictures are let go before the free
    // memory is handed back.
    const CBuildHeap heap;
    m_site = &site;
    m_pages.clear();
    m_exported = CExportedImages();
    m_backgrounds.clear();
    m_webpTwins.clear();
    m_imageCounter = 0;
    m_findings.clear();
    m_position = 0;
    m_madeHere.clear();
    m_keptBytes = 0;
    m_failure = {};
    m_written.clear();
    m_writes.clear();
    m_failure.written = &m_written;
    m_madeRoot = m_madeFiles = false;
    m_cancelSeen = false;
    m_lastPoll = {};
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
    if (result.code == BuildOk) {
        result.pageWeights = MeasurePageWeights(m_pages, m_settings.filesFolder, m_webpTwins);
        result.accessibility = std::move(m_findings);
        SetPos(CProgress::kRange - 1);
    }
    if (result.code == BuildWriteFailed && m_failure) {
        result.failure = CFailure(EFailure::Write,
                                  m_failure.file.string() + ": " + m_failure.error.message());
    }
    // No worker may still be busy with the site once the build returns.
    m_pool.reset();
    m_writes.clear();
    m_spareBytes.clear();
    if (result.code == BuildCancelled) RemoveWhatWasWritten();
    // Closing the status window on every way out.
    m_progress.reset();
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
    m_madeHere.reserve(static_cast<std::size_t>(count));
    // With several workers the items of the next page are brought up to date
    // while this one is classified, so the workers do not stand idle at
    // every page waiting for its slowest item. A page of large pictures is
    // not started ahead: memory stays bounded by the largest page.
    const bool ahead = m_pool->Jobs() > 1 && !CBackgroundFill::DefaultPictureContext();
    std::vector<std::future<void>> current, next;
    struct CDrain {
        CBuildPool& pool;
        std::vector<std::future<void>>& a;
        std::vector<std::future<void>>& b;
        ~CDrain() {
            bool busy = false;
            for (auto* tasks : {&a, &b})
                for (auto& task : *tasks)
                    busy = busy || (task.valid() && task.wait_for(std::chrono::seconds(0)) !=
                                                        std::future_status::ready);
            if (busy) pool.Stop();
            for (auto* tasks : {&a, &b})
                for (auto& task : *tasks)
                    if (task.valid()) task.wait();
        }
    } drain{*m_pool, current, next};
    const auto start = [&](int index, std::vector<std::future<void>>& tasks) {
        CPage& page = site.PageAt(index);
        CMadeHere& made = m_madeHere.emplace_back();
        for (const auto& item : page.Items())
            for (CPageObject* object : {&item->Normal(), item->MouseOver()})
                if (object && object->IsDirty()) made.objects.push_back(object);
        if (!ahead) return;
        page.Background().Render();
        for (int k = 0; k < page.ItemCount(); ++k)
            tasks.push_back(m_pool->Submit(
                [&page, k](CBuildWorker& w) { RefreshItemForBuild(page, k, w.scratch); }));
    };
    if (count > 0) start(0, current);
    for (int i = 0; i < count; ++i) {
        CPage& page = site.PageAt(i);
        SetPage(page.Identifier());
        const bool nextAhead = ahead && i + 1 < count && PicturesAheadFit(site.PageAt(i + 1));
        if (nextAhead) start(i + 1, next);
        for (auto& task : current)
            if (!WaitPolling(task, [this] { return CancelledWhileWaiting(); }))
                return EndedWith(BuildCancelled);
        // A page the workers had nothing to do for is brought up to date here.
        if (current.empty() && RefreshPage(page) != BuildOk) return EndedWith(BuildCancelled);
        CMadeHere& made = m_madeHere[static_cast<std::size_t>(i)];
        m_pages.push_back(MakeBuildPage(page, i, &page == front));
        BuildPage& built = m_pages.back();
        DecideTextsAndCounters(built, m_settings.previewMode);
        for (BuildItem& item : built.items)
            item.altText = AltTextFor(item, m_settings.Classic());
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
        if (i + 1 < count && !nextAhead) start(i + 1, next);
        std::swap(current, next);
        next.clear();
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
    std::error_code ec;
    m_madeRoot = !fs::exists(fs::symlink_status(m_settings.rootFolder, ec));
    m_madeFiles = !fs::is_directory(fs::symlink_status(m_settings.filesFolder, ec));
    if (!EnsureFolder(m_settings.rootFolder) || !MakeOutputFolder(m_settings.filesFolder))
        return BuildNoFolder;
    return BuildOk;
}

BuildCode SiteBuilder::WriteFiles(const CSite& site) {
    SetPos(kFirstPhaseWeight * 2 + kDataPhaseWeight);
    SetPhase(IDS_BUILD_WRITING);
    if (!CHtmlWriter::WriteNoticePages(m_settings.filesFolder, &m_failure)) return BuildWriteFailed;
    CHtmlWriter writer(site, m_settings, [this](const CObjectLink& link, const BuildPage& from) {
        return m_links->Resolve(link, from);
    });
    writer.SetWebpTwins(&m_webpTwins);
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
        for (int i = 0; i < page.ItemCount(); ++i) {
            RefreshItemForBuild(page, i, page.TileBuffer());
            if (CancelledWhileWaiting()) return BuildCancelled;
        }
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
