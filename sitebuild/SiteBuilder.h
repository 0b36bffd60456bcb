#pragma once
#include "sitebuild/BuildTypes.h"
#include "sitebuild/ExportedImages.h"
#include "sitebuild/ImageOutput.h"
#include "sitebuild/OutputFile.h"
#include <chrono>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <unordered_map>

class CBuildPool;
class CMemFile;
class CLinkUrls;
class CPageObject;
class CProgress;
class CRegionPixels;
class CRegionRenderer;
class CSite;
class CUserInteraction;
struct CBuildTiles;

// Runs one build of a site into a folder, from start to end, and is then
// thrown away. Shows a status window through the port and polls it for
// Cancel between pages and image items.
//
// The order of work is that of one thread: pages and items are taken in
// order, numbered, shared, asked about and written in order by the calling
// thread. Only the work that depends on nothing else (bringing the items of
// a page up to date, rendering an item's region, encoding it) runs on the
// workers of a small pool, a few items ahead of the writing; so the output
// is the same, byte for byte, whatever the number of jobs.
class SiteBuilder {
public:
    // `downloads` (may be null) is read for download links; the caller fills it.
    SiteBuilder(const BuildSettings& settings, CUserInteraction* ui,
                const DownloadList* downloads = nullptr);
    ~SiteBuilder();
    SiteBuilder(const SiteBuilder&) = delete;
    SiteBuilder& operator=(const SiteBuilder&) = delete;

    BuildResult Build(CSite& site);

    // The settings as the build left them (the large-object warning may have
    // been switched off by the user during the build).
    const BuildSettings& Settings() const { return m_settings; }

    // The page records of the last build, kept until the builder goes:
    // publishing reads from them which files each page needs on the server.
    const std::vector<BuildPage>& Pages() const { return m_pages; }
    // The pictures of the last build that went out with a WebP twin (see
    // WebpTwins); publishing sends the twins along.
    const WebpTwins& WebpTwinsWritten() const { return m_webpTwins; }

    // Progress weights of the phases, out of CProgress::kRange.
    static constexpr int kFirstPhaseWeight = 100000;
    static constexpr int kDataPhaseWeight = 700000;
    static constexpr int kWritingPhaseWeight = 100000;
    // Pictures the build rendered itself are kept from the first phase to
    // the data phase up to this many bytes; pages beyond it render again
    // when their turn comes. Together with releasing every page's pictures
    // once its images are written, this bounds a build's memory by its
    // largest page, not by the site.
    static constexpr std::size_t kKeptPictureBytes = std::size_t{96} << 20;

private:
    // The phases, in build order; each returns BuildOk or the code that ends
    // the build.
    BuildResult Classify(CSite& site);
    BuildResult Validate();
    BuildCode MakeFolders();
    BuildCode BuildData();
    BuildCode WriteFiles(const CSite& site);
    struct CItemJob;
    struct CItemPictures;
    struct CPagePlan;
    // Plans the image items of a page (bringing its pictures up to date
    // again if they were let go); BuildCancelled when cancelled meanwhile.
    BuildCode PlanPage(BuildPage& page, std::unique_ptr<CPagePlan>& out);
    // Hands the renders of the plan's items before `upTo` to the workers.
    void SubmitRenders(CPagePlan& plan, std::size_t upTo);
    // How many items the workers may render ahead of the writing.
    std::size_t RendersAhead() const;
    // Data phase of one page: styles, background, item images and links.
    // With `following`, its plan is made in `next` and its first renders
    // handed out as this page's end comes near.
    BuildCode BuildPageData(CPagePlan& plan, BuildPage* following,
                            std::unique_ptr<CPagePlan>& next);
    BuildCode WriteItemImages(BuildPage& page, const CItemJob& job, CItemPictures& made);
    // Writes one state's picture and returns its file name: a plain
    // re-encoded picture is handed to the workers to write (the name is
    // settled here, in order), one that may keep its own file is compared
    // and written right away.
    std::string WritePicture(const CMemFile& jpeg, const CPageObject& state, const CItemJob& job,
                             const std::string& base, const std::vector<uint8_t>& webp);
    // Hands the bytes to a worker to write as `file`; the result is taken
    // in order by CollectWrites.
    void QueueWrite(const std::filesystem::path& file, std::span<const uint8_t> bytes);
    // The scale-2 file of a state whose picture went out as `file`: written
    // once per file (a shared picture shares it too); empty for none.
    std::string WritePicture2x(const CItemPictures& made, int state, const CItemJob& job,
                               const std::string& file);
    // A picture being written by a worker; its result is taken in order.
    struct CPendingWrite {
        std::filesystem::path file;
        std::vector<uint8_t> bytes;
        std::error_code result = std::make_error_code(std::errc::operation_canceled);
        std::future<void> done;
    };
    // Takes the results of the writes in order until at most `keep` are
    // left in hand (finished ones are taken anyway); false once a write
    // failed (see m_failure).
    bool CollectWrites(std::size_t keep);
    // Waits for every write still in hand, results left untaken.
    void WaitForWrites();
    BuildCode RefreshPage(CPage& page);
    // Releases the pictures this build rendered for the page.
    void ReleasePictures(std::size_t page);
    // The large-object question; false when the user stops the build.
    bool AcceptLargeObject(const BuildPage& page, const CRect& a, const CRect& b);
    void ResolveLink(BuildPage& page, BuildItem& built);

    void SetPhase(int textId);
    void SetPage(const std::string& identifier);
    void Advance(int step);
    void SetPos(long long pos);
    bool Cancelled();
    // Asked while waiting for the workers, or working through a long
    // stretch; passes the question on to the status window at most every
    // few milliseconds. True when the user cancels.
    bool CancelledWhileWaiting();
    // A cancelled build takes away every file it wrote, and the folders it
    // made when they are left empty.
    void RemoveWhatWasWritten();
    std::string ImageUrl(const BuildPage& page, const std::string& file) const;

    BuildSettings m_settings;
    CUserInteraction* m_ui;
    const DownloadList* m_downloads;
    std::vector<BuildPage> m_pages;

    CSite* m_site = nullptr; // during Build
    std::unique_ptr<CProgress> m_progress;
    long long m_position = 0;
    std::unique_ptr<CBuildPool> m_pool;
    // Per page: the objects whose pictures this build rendered (the designer
    // keeps its own), and whether they were released after the first phase.
    struct CMadeHere {
        std::vector<CPageObject*> objects;
        std::size_t bytes = 0;
        bool kept = false;     // counted in m_keptBytes
        bool released = false; // to be rendered again before use
    };
    std::vector<CMadeHere> m_madeHere;
    std::size_t m_keptBytes = 0;
    CWriteFailure m_failure;
    std::vector<std::filesystem::path> m_written; // every file written, in order
    std::deque<std::unique_ptr<CPendingWrite>> m_writes;
    std::vector<std::vector<uint8_t>> m_spareBytes; // buffers of finished writes
    bool m_madeRoot = false, m_madeFiles = false;   // folders this build made
    bool m_cancelSeen = false;
    std::chrono::steady_clock::time_point m_lastPoll;
    std::unique_ptr<CLinkUrls> m_links;
    CExportedImages m_exported;
    BackgroundImageMap m_backgrounds;
    WebpTwins m_webpTwins;
    BackgroundImageMap m_backgrounds2x;
    // Item picture file -> its scale-2 file ("" for none), for pictures
    // shared between items.
    std::unordered_map<std::string, std::string> m_files2x;
    int m_imageCounter = 0;
    std::vector<CAccessFinding> m_findings; // the accessibility report so far
};
