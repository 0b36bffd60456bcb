// The data phase of SiteBuilder: per page the text styles, the background
// and the pictures and links of the image items.
#include "sitebuild/AccessReport.h"
#include "sitebuild/BuildPool.h"
#include "sitebuild/ContrastCheck.h"
#include "sitebuild/HtmlWriter.h"
#include "sitebuild/LinkUrls.h"
#include "sitebuild/PageClassify.h"
#include "sitebuild/RegionRenderer.h"
#include "sitebuild/SiteBuilder.h"
#include "image/Image.h"
#include "model/ObjectFill.h"
#include "model/ObjectLink.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageScale.h"
#include "model/Site.h"
#include "services/Cp1252.h"
#include "services/MemFile.h"
#include "services/StringTable.h"
#include "services/UserInteraction.h"
#include <algorithm>
#include <chrono>
#include <future>

namespace fs = std::filesystem;

namespace {

// Pictures larger than this many pixels make a page slow to load.
constexpr long long kLargeObjectArea = 160000;

long long Area(const CRect& r) {
    return r.IsEmpty() ? 0 : static_cast<long long>(r.Width()) * r.Height();
}

void SetRect(BuildItem& built, const CRect& r) {
    built.left = r.left;
    built.top = r.top;
    built.width = r.Width();
    built.height = r.Height();
}

} // namespace

// One image item of a page as the data phase plans it before any work
// starts: what to render, where, and whether later items cover it.
struct SiteBuilder::CItemJob {
    int index = 0; // in page.items
    int z = 0;     // in the page's stacking order (and its scaled copy's)
    const CPageItem* item = nullptr;
    bool twin = false;
    bool animatedGif = false;
    bool overlapped = false;
    CRect rect;                 // clipped to the page
    CRect normalRect, overRect; // each state's own, for the large-object question
    CPageObject* states[2] = {nullptr, nullptr};
};

// What a worker made of one item: per state, whether the region could be
// rendered, its pixel hash and its encoded picture. Slots are reused from
// item to item, so their buffers are too.
struct SiteBuilder::CItemPictures {
    bool rendered[2] = {false, false};
    bool encoded[2] = {false, false};
    uint64_t hash[2] = {0, 0};
    CMemFile jpeg[2];
    std::vector<uint8_t> webp[2]; // empty: no WebP twin (off, or not smaller)
    // The same at scale 2 (builds with hiDpi).
    bool encoded2x[2] = {false, false};
    CMemFile jpeg2x[2];
    std::vector<uint8_t> webp2x[2];
};

namespace {
// The scale of the second set of pictures a hiDpi build writes.
constexpr int kHiDpiScale = 2;

// Encodes the rendered region as the build's JPEG and, when asked, its WebP
// twin; true when the JPEG was made. With the item's `state`, the twin also
// stays under the size of the picture's own file where the build may keep
// that instead.
bool EncodeRegion(const CRegionPixels& pixels, bool webp, CMemFile& jpeg,
                  std::vector<uint8_t>& webpBytes, const CPageObject* state = nullptr,
                  const CRect* clipped = nullptr, bool overlapped = false) {
    jpeg.SetLength(0);
    jpeg.SeekToBegin();
    webpBytes.clear();
    if (!EncodeBuildJpeg(pixels.Map(), jpeg)) return false;
    if (webp)
        EncodeBuildWebp(pixels.Map(), jpeg, webpBytes,
                        state && clipped ? WebpSizeLimit(jpeg, *state, *clipped, overlapped) : 0);
    return true;
}
} // namespace

// One page of the data phase as planned, and the workers' renders of its
// items handed out so far. The next page's plan is made while this one is
// still being written, so that the workers go on with its first items
// instead of waiting at every page for the last item and the writing.
struct SiteBuilder::CPagePlan {
    BuildPage* page = nullptr;
    CPage* source = nullptr;
    // The page at scale 2, drawn for the @2x pictures; null without hiDpi.
    std::unique_ptr<CPage> scaled;
    std::vector<bool> drawn;
    std::vector<CItemJob> jobs;
    std::vector<CItemPictures> slots; // item j's results are in slot j % size
    std::vector<std::future<void>> done;
    std::size_t submitted = 0;
    // The contrast of the page's texts, measured by a worker meanwhile.
    std::future<void> contrast;
    std::vector<CAccessFinding> contrastFindings;

    // Waits for every render handed out.
    void Wait() {
        for (auto& task : done)
            if (task.valid()) task.wait();
        if (contrast.valid()) contrast.wait();
    }
};

std::size_t SiteBuilder::RendersAhead() const {
    return m_pool->Jobs() == 1 ? 1 : 4 * static_cast<std::size_t>(m_pool->Jobs());
}

BuildCode SiteBuilder::BuildData() {
    SetPhase(IDS_BUILD_DATA);
    SetPage({});
    const int step = ProgressStep(kDataPhaseWeight, static_cast<int>(m_pages.size()));
    std::unique_ptr<CPagePlan> plan, next;
    // Whatever way the phase ends, no worker may still use a plan.
    struct CDrain {
        SiteBuilder& builder;
        std::unique_ptr<CPagePlan>& a;
        std::unique_ptr<CPagePlan>& b;
        bool stop = true;
        ~CDrain() {
            if (stop) builder.m_pool->Stop();
            for (auto* plan : {&a, &b})
                if (*plan) (*plan)->Wait();
            builder.WaitForWrites();
        }
    } drain{*this, plan, next};
    for (std::size_t p = 0; p < m_pages.size(); ++p) {
        BuildPage& page = m_pages[p];
        SetPage(page.page->Identifier());
        plan = std::move(next);
        if (!plan && PlanPage(page, plan) != BuildOk) return BuildCancelled;
        // With one job everything happens in order, page by page.
        const bool following = m_pool->Jobs() > 1 && p + 1 < m_pages.size();
        const BuildCode code = BuildPageData(*plan, following ? &m_pages[p + 1] : nullptr, next);
        // A page that ended early may still have renders running: its
        // pictures go with the rest once the drain has waited for them.
        if (code != BuildOk) return code;
        ReleasePictures(static_cast<std::size_t>(page.position));
        Advance(step);
        if (Cancelled()) return BuildCancelled;
    }
    drain.stop = false;
    return BuildOk;
}

BuildCode SiteBuilder::PlanPage(BuildPage& page, std::unique_ptr<CPagePlan>& out) {
    CPage& source = m_site->PageAt(page.position);
    // The first phase brought the page's fills and objects up to date,
    // unless it had to let their pictures go again.
    if (m_madeHere[static_cast<std::size_t>(page.position)].released &&
        RefreshPage(source) != BuildOk)
        return BuildCancelled;
    auto plan = std::make_unique<CPagePlan>();
    plan->page = &page;
    plan->source = &source;
    plan->drawn.assign(static_cast<std::size_t>(source.ItemCount()), false);
    for (const BuildItem& built : page.items)
        plan->drawn[static_cast<std::size_t>(built.zIndex)] =
            IsDrawnInImages(built, m_settings.previewMode);

    // Plan every image item first; nothing of this is visible.
    const CRect pageRect = PageRect(*page.page);
    std::vector<CItemJob>& jobs = plan->jobs;
    for (int i = 0; i < static_cast<int>(page.items.size()); ++i) {
        BuildItem& built = page.items[static_cast<std::size_t>(i)];
        built.zIndex = source.IndexOf(*built.item);
        if (!IsImageItem(built, m_settings.previewMode)) {
            const CPageObject& object = built.item->Current();
            if (object.GetKind() == KIND_HTML || object.GetKind() == KIND_FORM)
                SetRect(built, object.GetRect());
            continue;
        }
        CItemJob& job = jobs.emplace_back();
        job.index = i;
        job.z = built.zIndex;
        job.item = built.item;
        job.twin = built.item->HasMouseOver() && built.item->MouseOver();
        if (job.twin) {
            job.states[0] = &built.item->Normal();
            job.states[1] = built.item->MouseOver();
            job.normalRect = job.states[0]->GetRect().Intersect(pageRect);
            job.overRect = job.states[1]->GetRect().Intersect(pageRect);
            job.rect =
                UnionRect(job.states[0]->GetRect(), job.states[1]->GetRect()).Intersect(pageRect);
        } else {
            job.states[0] = &built.item->Current();
            job.rect = job.states[0]->GetRect().Intersect(pageRect);
            job.normalRect = job.overRect = job.rect;
            job.animatedGif = IsAnimatedGifPicture(*job.states[0]);
        }
        job.overlapped = IsOverlapped(page, i, job.rect);
    }
    // The page at scale 2, its objects brought up to date like the page's
    // own (a copy that cannot be made leaves the page without @2x pictures).
    if (m_settings.hiDpi) {
        plan->scaled = pw::ScaledPageCopy(source, kHiDpiScale);
        if (plan->scaled && RefreshPage(*plan->scaled) != BuildOk) return BuildCancelled;
    }
    plan->slots.resize(std::max<std::size_t>(1, std::min(RendersAhead(), jobs.size())));
    plan->done.resize(jobs.size());
    out = std::move(plan);
    return BuildOk;
}

void SiteBuilder::SubmitRenders(CPagePlan& plan, std::size_t upTo) {
    const std::atomic<bool>& stop = m_pool->StopFlag();
    for (; plan.submitted < std::min(upTo, plan.jobs.size()); ++plan.submitted) {
        const CItemJob& job = plan.jobs[plan.submitted];
        if (job.animatedGif) continue;
        CItemPictures& made = plan.slots[plan.submitted % plan.slots.size()];
        plan.done[plan.submitted] = m_pool->Submit(
            [&job, &made, &source = *plan.source, scaled = plan.scaled.get(), &drawn = plan.drawn,
             &stop, webp = m_settings.webp](CBuildWorker& w) {
                CRegionRenderer& renderer = w.RendererFor(source, drawn);
                renderer.SetStopFlag(&stop);
                for (int k = 0; k < (job.twin ? 2 : 1); ++k) {
                    made.rendered[k] = renderer.Render(job.rect, job.item, job.states[k], w.pixels);
                    made.encoded[k] = false;
                    if (!made.rendered[k]) continue;
                    made.hash[k] = CExportedImages::PixelHash(w.pixels);
                    made.encoded[k] = EncodeRegion(w.pixels, webp, made.jpeg[k], made.webp[k],
                                                   job.states[k], &job.rect, job.overlapped);
                }
                made.encoded2x[0] = made.encoded2x[1] = false;
                if (!scaled) return;
                // The same region of the page at scale 2, through a renderer
                // of its own: a scaled copy lives for one page only, and the
                // worker's renderer is kept for the page itself.
                CRegionRenderer large(w.tiles, w.scratch, *scaled, drawn);
                large.SetStopFlag(&stop);
                const CPageItem& item = scaled->ItemAt(job.z);
                const CRect rect{job.rect.left * kHiDpiScale, job.rect.top * kHiDpiScale,
                                 job.rect.right * kHiDpiScale, job.rect.bottom * kHiDpiScale};
                for (int k = 0; k < (job.twin ? 2 : 1); ++k) {
                    CPageObject* state = job.twin ? (k == 0 ? &item.Normal() : item.MouseOver())
                                                  : &item.Current();
                    if (made.rendered[k] && large.Render(rect, &item, state, w.pixels))
                        made.encoded2x[k] =
                            EncodeRegion(w.pixels, webp, made.jpeg2x[k], made.webp2x[k]);
                }
            });
    }
}

BuildCode SiteBuilder::BuildPageData(CPagePlan& plan, BuildPage* following,
                                     std::unique_ptr<CPagePlan>& next) {
    BuildPage& page = *plan.page;
    for (const BuildItem& built : page.items)
        if (built.htmlText) CHtmlWriter::AddTextStyles(page, built);
    if (!WritePageBackground(page, m_settings, m_backgrounds, m_failure,
                             m_settings.webp ? &m_webpTwins : nullptr))
        return BuildWriteFailed;
    if (plan.scaled && !WritePageBackground2x(page, plan.scaled->Background(), kHiDpiScale,
                                              m_settings, m_backgrounds2x, m_failure,
                                              m_settings.webp ? &m_webpTwins : nullptr))
        return BuildWriteFailed;
    if (m_settings.accessibilityReport)
        plan.contrast = m_pool->Submit([&plan](CBuildWorker& w) {
            CheckPageContrast(*plan.source, *plan.page, plan.drawn, w.tiles, w.scratch,
                              plan.contrastFindings);
        });

    // Workers render and encode a few items ahead of the writing; the items
    // are numbered, shared and written here, in order. Near the page's end
    // the window reaches into the next page.
    const std::size_t ahead = RendersAhead();
    const std::size_t count = plan.jobs.size();
    const auto submit = [&](std::size_t upTo) {
        SubmitRenders(plan, upTo);
        if (!following || upTo <= count) return;
        // A next page that cannot be planned now (cancelled) is tried again
        // in its turn.
        if (!next && PlanPage(*following, next) != BuildOk) return;
        SubmitRenders(*next, upTo - count);
    };
    // Writes in hand beyond this wait for the first of them: memory stays
    // bounded when the disk is slower than the workers.
    const std::size_t writesInHand = 4 * static_cast<std::size_t>(m_pool->Jobs());

    for (std::size_t j = 0; j < count; ++j) {
        const CItemJob& job = plan.jobs[j];
        BuildItem& built = page.items[static_cast<std::size_t>(job.index)];
        if (!AcceptLargeObject(page, job.normalRect, job.overRect)) return BuildCancelled;
        submit(j + ahead);
        if (plan.done[j].valid() &&
            !WaitPolling(plan.done[j], [this] { return CancelledWhileWaiting(); }))
            return BuildCancelled;
        if (const BuildCode code = WriteItemImages(page, job, plan.slots[j % plan.slots.size()]);
            code != BuildOk)
            return code;
        if (!CollectWrites(writesInHand)) return BuildWriteFailed;
        ResolveLink(page, built);
        ++m_imageCounter;
        if (Cancelled()) return BuildCancelled;
    }
    // A page without image items still starts the next one's renders.
    if (count == 0) submit(ahead);
    if (!CollectWrites(0)) return BuildWriteFailed;
    if (m_settings.accessibilityReport) {
        // The texts' pictures go with the page's once it is done.
        if (plan.contrast.valid() &&
            !WaitPolling(plan.contrast, [this] { return CancelledWhileWaiting(); }))
            return BuildCancelled;
        std::vector<CAccessFinding> found = std::move(plan.contrastFindings);
        CheckPageTextsAndLinks(*m_site, page, m_settings.previewMode, found);
        SortFindings(found);
        m_findings.insert(m_findings.end(), found.begin(), found.end());
    }
    return BuildOk;
}

std::string SiteBuilder::WritePicture(const CMemFile& jpeg, const CPageObject& state,
                                      const CItemJob& job, const std::string& base,
                                      const std::vector<uint8_t>& webp) {
    if (MayUseOwnFile(state, job.rect, job.overlapped)) {
        const std::string name = WriteItemImage(jpeg, state, job.rect, job.overlapped,
                                                m_settings.filesFolder, base, m_failure);
        // The picture's own file is offered as WebP only where the WebP
        // is smaller still.
        std::error_code ec;
        const auto ownSize = fs::file_size(m_settings.filesFolder / name, ec);
        if (!name.empty() && !webp.empty() && !ec && webp.size() < ownSize) {
            m_written.push_back(m_settings.filesFolder / WebpName(name));
            WriteWebpTwin(m_settings.filesFolder / name, webp, m_webpTwins, m_failure);
        }
        return name;
    }
    const std::string name = base + ".jpg";
    if (!webp.empty()) {
        const fs::path twin = m_settings.filesFolder / WebpName(name);
        m_written.push_back(twin);
        QueueWrite(twin, webp);
        m_webpTwins.insert(name);
    }
    // Listed now: a cancelled build takes it away whether or not it got
    // that far.
    m_written.push_back(m_settings.filesFolder / name);
    QueueWrite(m_settings.filesFolder / name,
               std::span(jpeg.Data().data(), jpeg.GetLength()));
    return name;
}

void SiteBuilder::QueueWrite(const fs::path& file, std::span<const uint8_t> bytes) {
    auto& write = *m_writes.emplace_back(std::make_unique<CPendingWrite>());
    write.file = file;
    if (!m_spareBytes.empty()) {
        write.bytes = std::move(m_spareBytes.back());
        m_spareBytes.pop_back();
    }
    write.bytes.assign(bytes.begin(), bytes.end());
    write.done = m_pool->Submit(
        [&write](CBuildWorker&) { write.result = WriteOutputFile(write.file, write.bytes); },
        ETaskUrgency::Urgent);
}

std::string SiteBuilder::WritePicture2x(const CItemPictures& made, int state, const CItemJob& job,
                                        const std::string& file) {
    if (file.empty()) return {};
    if (auto known = m_files2x.find(file); known != m_files2x.end()) return known->second;
    std::string name;
    // A picture that may go out as its own file is shown at the file's own
    // size: at scale 2 it is sharper only from a file with more pixels.
    const CPageObject& object = *job.states[state];
    const CImage* source = object.GetFill() ? object.GetFill()->GetImage() : nullptr;
    const bool morePixels =
        source && static_cast<long long>(source->Width()) * source->Height() >
                      static_cast<long long>(job.rect.Width()) * job.rect.Height();
    if (made.encoded2x[state] && (!MayUseOwnFile(object, job.rect, job.overlapped) || morePixels)) {
        name = TwoXName(file);
        const std::vector<uint8_t>& webp = made.webp2x[state];
        if (!webp.empty()) {
            const fs::path twin = m_settings.filesFolder / WebpName(name);
            m_written.push_back(twin);
            QueueWrite(twin, webp);
            m_webpTwins.insert(name);
        }
        // Listed now: a cancelled build takes it away whether or not it got
        // that far.
        const CMemFile& jpeg = made.jpeg2x[state];
        m_written.push_back(m_settings.filesFolder / name);
        QueueWrite(m_settings.filesFolder / name, std::span(jpeg.Data().data(), jpeg.GetLength()));
    }
    m_files2x.emplace(file, name);
    return name;
}

bool SiteBuilder::CollectWrites(std::size_t keep) {
    while (!m_writes.empty()) {
        CPendingWrite& write = *m_writes.front();
        if (m_writes.size() > keep)
            write.done.wait();
        else if (write.done.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            break;
        if (write.result) m_failure.Check(write.file, write.result);
        m_spareBytes.push_back(std::move(write.bytes));
        m_writes.pop_front();
    }
    return !m_failure;
}

void SiteBuilder::WaitForWrites() {
    for (const auto& write : m_writes)
        if (write->done.valid()) write->done.wait();
}

BuildCode SiteBuilder::WriteItemImages(BuildPage& page, const CItemJob& job, CItemPictures& made) {
    BuildItem& built = page.items[static_cast<std::size_t>(job.index)];
    built.number = m_imageCounter;
    SetRect(built, job.rect);
    const std::filesystem::path& folder = m_settings.filesFolder;
    const std::string base = "IMG_" + std::to_string(m_imageCounter);
    if (job.animatedGif) {
        const std::string file = CopyAnimatedGif(*job.states[0], folder, base, m_failure);
        if (m_failure) return BuildWriteFailed;
        built.imageUrl = file.empty() ? std::string() : ImageUrl(page, file);
        return BuildOk;
    }
    for (int k = 0; k < (job.twin ? 2 : 1); ++k)
        if (made.rendered[k] && !made.encoded[k]) {
            // Only a picture the encoder cannot take (or no memory) gets here.
            m_failure.Check(m_settings.filesFolder / (base + ".jpg"),
                            std::make_error_code(std::errc::not_enough_memory));
            return BuildWriteFailed;
        }
    CExportedImages::CFiles files;
    if (!job.twin) {
        if (made.rendered[0]) {
            const CExportedImages::CKey key{job.rect.Width(), job.rect.Height(), made.hash[0], 0};
            if (const CExportedImages::CFiles* known = m_exported.Find(key)) {
                files.normal = known->normal;
            } else {
                files.normal = WritePicture(made.jpeg[0], *job.states[0], job, base, made.webp[0]);
                if (m_failure) return BuildWriteFailed;
                if (!files.normal.empty()) m_exported.Add(key, {files.normal, {}});
            }
        }
        built.imageUrl = files.normal.empty() ? std::string() : ImageUrl(page, files.normal);
        if (m_settings.hiDpi) {
            const std::string twoX = WritePicture2x(made, 0, job, files.normal);
            built.imageUrl2x = twoX.empty() ? std::string() : ImageUrl(page, twoX);
        }
        return BuildOk;
    }
    built.hasMouseOver = true;
    const std::string overBase = "IMG_" + std::to_string(m_imageCounter + 1);
    ++m_imageCounter;
    if (made.rendered[0] && made.rendered[1]) {
        const CExportedImages::CKey key{job.rect.Width(), job.rect.Height(), made.hash[0],
                                        made.hash[1]};
        if (const CExportedImages::CFiles* known = m_exported.Find(key)) {
            files = *known;
        } else {
            files.normal = WritePicture(made.jpeg[0], *job.states[0], job, base, made.webp[0]);
            if (m_failure) return BuildWriteFailed;
            files.mouseOver = WritePicture(made.jpeg[1], *job.states[1], job, overBase, made.webp[1]);
            if (m_failure) return BuildWriteFailed;
            if (!files.normal.empty() && !files.mouseOver.empty()) m_exported.Add(key, files);
        }
    }
    built.imageUrl = files.normal.empty() ? std::string() : ImageUrl(page, files.normal);
    built.mouseOverImageUrl =
        files.mouseOver.empty() ? std::string() : ImageUrl(page, files.mouseOver);
    if (m_settings.hiDpi) {
        const std::string normal2x = WritePicture2x(made, 0, job, files.normal);
        const std::string over2x = WritePicture2x(made, 1, job, files.mouseOver);
        // Both states at scale 2 or neither: the script swaps them in pairs.
        if (!normal2x.empty() && !over2x.empty()) {
            built.imageUrl2x = ImageUrl(page, normal2x);
            built.mouseOverImageUrl2x = ImageUrl(page, over2x);
        }
    }
    return BuildOk;
}

bool SiteBuilder::AcceptLargeObject(const BuildPage& page, const CRect& a, const CRect& b) {
    if (!m_settings.largeObjectWarning || !m_ui) return true;
    if (Area(a) <= kLargeObjectArea && Area(b) <= kLargeObjectArea) return true;
    const CDialogText& dialog = CStringTable::Dialog(IDD_LARGE_OBJECTS);
    CChoice choice;
    choice.id = IDD_LARGE_OBJECTS;
    choice.caption = dialog.caption;
    choice.text = CStringTable::FillIn(dialog.text, {cp1252::ToUtf8(page.page->Identifier())});
    choice.buttons = dialog.buttons;
    choice.checkBox = dialog.checkBox;
    const CChoiceResult answer = m_ui->Choose(choice);
    if (answer.checked) m_settings.largeObjectWarning = false;
    // Buttons: "&Afbryd" (stop), "&Fortsæt" (go on); closing the dialog stops.
    return answer.button == 1;
}

void SiteBuilder::ResolveLink(BuildPage& page, BuildItem& built) {
    const CObjectLink* link = built.item->Current().GetLink();
    built.hasLink = link && link->enabled;
    built.linkUrl = built.hasLink ? m_links->Resolve(*link, page) : std::string();
}
