// Sending the files of a publish over several connections at once. Every
// file costs the server a few round trips, so over a distant line the time
// goes in waiting; several connections wait side by side.
#include "publish/CurlSupport.h"
#include "publish/PublishEnvironment.h"
#include "publish/SiteUploader.h"
#include "services/Settings.h"
#include "services/UserInteraction.h"
#include <array>
#include <barrier>
#include <chrono>
#include <condition_variable>
#include <thread>

namespace {

// How often the status window is asked for a Cancel click while the
// connections work: the click must stop them well within 100 ms.
constexpr int kPollMs = 5;

using CFile = CSiteUploader::CFile;
using EFolder = CSiteUploader::EFolder;
using EFail = CFtpSession::EFailure;

// Takes `ftp` from wherever it is to `target` (folders below the login
// folder), through the nearest folder both share.
bool GoTo(CFtp& ftp, const std::vector<std::string>& target) {
    const std::vector<std::string> current = pw::curl::SplitFolders(ftp.GetCurrentDir());
    size_t common = 0;
    while (common < current.size() && common < target.size() && current[common] == target[common])
        ++common;
    for (size_t i = common; i < current.size(); ++i)
        if (!ftp.chdir("..")) return false;
    for (size_t i = common; i < target.size(); ++i)
        if (!ftp.chdir(target[i])) return false;
    return true;
}

// What must have arrived before a file may go: the pictures and downloads
// first (stage 0), then the pages that show them (1), then the front page
// that leads to the pages (2).
int StageOf(const CFile& file) {
    if (file.folder == EFolder::Catalog) return 2;
    return file.binary ? 0 : 1;
}

} // namespace

bool CSiteUploader::SendParallel(const std::vector<CFile>& files, int connections) {
    std::array<std::vector<const CFile*>, 3> stages;
    for (const CFile& file : files)
        stages[size_t(StageOf(file))].push_back(&file);
    const std::vector<std::string> catalog = CatalogParts(m_env.settings.GetFtpCatalog());
    auto folderOf = [&catalog](EFolder folder) {
        std::vector<std::string> dir = catalog;
        if (folder != EFolder::Catalog) dir.push_back(kFilesFolderName);
        if (folder == EFolder::Download) dir.push_back(kDownloadFolderName);
        return dir;
    };

    struct CFailure {
        int status = FTP_OK;
        EFail kind = EFail::Upload;
        std::string what;
    } failure;
    std::mutex stateLock;
    std::condition_variable changed;
    std::vector<std::string> labels; // of the files started, for the status window
    std::array<std::atomic<size_t>, 3> next{};
    std::atomic<bool> failed{false};
    const int lanes = static_cast<int>(std::min<size_t>(size_t(connections), files.size()));
    std::atomic<int> running{lanes};
    std::barrier stageDone(lanes);

    auto fail = [&](int status, EFail kind, const std::string& what) {
        const std::lock_guard<std::mutex> hold(stateLock);
        // The first failure is what went wrong; a user's stop beats the
        // failures it caused on the other connections.
        if (failure.status == FTP_OK || status == FTP_STOPPED) failure = {status, kind, what};
        failed = true;
    };
    // One connection's share: files of each stage until none is left, then
    // it waits for the others before the next stage. A connection the server
    // did not give (null) only waits.
    auto work = [&](CFtp* ftp) {
        for (size_t stage = 0; stage < stages.size(); ++stage) {
            for (size_t i = 0; ftp && !failed && (i = next[stage]++) < stages[stage].size();) {
                const CFile& file = *stages[stage][i];
                {
                    const std::lock_guard<std::mutex> hold(stateLock);
                    labels.push_back(file.label);
                }
                changed.notify_one();
                if (!GoTo(*ftp, folderOf(file.folder))) {
                    fail(ftp->GetStatus(), EFail::ReadFolder, ftp->GetCurrentDir());
                    break;
                }
                if (ftp->put(file.local, file.remote, file.binary)) {
                    Arrived(file);
                    continue;
                }
                // An upload straight to the final name leaves a file nobody knows.
                if (ftp->UploadsInPlace()) {
                    const std::lock_guard<std::mutex> hold(m_lock);
                    m_manifest.files.erase(file.Path());
                }
                fail(ftp->GetStatus(), EFail::Upload, file.remote);
            }
            stageDone.arrive_and_wait();
        }
        // After Afbryd an idle connection goes without the goodbye that
        // would cost a round trip.
        if (ftp && m_cancel) ftp->Abandon();
        --running;
        changed.notify_one();
    };

    m_parallelBytes = m_bytes;
    m_cancel = false;
    m_parallel = true;
    std::vector<std::thread> threads;
    threads.emplace_back(work, &m_session.Ftp());
    for (int lane = 1; lane < lanes; ++lane)
        threads.emplace_back([&] {
            auto own = m_session.OpenAnother([this](int bytes) { return OnProgress(bytes); });
            work(own.get());
        });
    // The status window belongs to this thread: it shows what the others do.
    size_t shown = 0;
    std::string lastLabel;
    for (;;) {
        std::vector<std::string> fresh;
        {
            std::unique_lock<std::mutex> hold(stateLock);
            changed.wait_for(hold, std::chrono::milliseconds(kPollMs));
            fresh.assign(labels.begin() + long(shown), labels.end());
            shown = labels.size();
        }
        if (m_progress) {
            for (const std::string& label : fresh)
                if (label != lastLabel) m_progress->SetPage(lastLabel = label);
            m_progress->SetPos(std::min<long long>(m_parallelBytes, m_range));
            if (m_progress->IsCancelled()) m_cancel = true;
        }
        if (running == 0) break;
    }
    for (std::thread& thread : threads)
        thread.join();
    m_parallel = false;
    m_bytes = m_parallelBytes;

    if (failed) {
        m_session.Fail(failure.status, failure.kind, failure.what);
        return false;
    }
    if (!GoTo(m_session.Ftp(), folderOf(EFolder::Catalog))) {
        m_session.Fail(EFail::ReadFolder, m_env.settings.GetFtpCatalog());
        return false;
    }
    m_folder = EFolder::Catalog;
    return true;
}
