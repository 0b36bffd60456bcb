#include "sitebuild/BuildPool.h"
#include "model/Page.h"
#include <algorithm>
#include <chrono>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

CBuildHeap::CBuildHeap() {
#if defined(__GLIBC__)
    // Set once: the values stay for the process, and mallopt takes the
    // main arena's lock every time.
    static const bool tuned = [] {
        // Blocks beyond 1 MB (large pictures, a few per page at most) still
        // get their own mapping, given back when freed: kept in the arenas
        // they split them up and raised the peak of a site of tall pages by
        // a third. 128 MB is beyond the 64 MB a worker's arena can grow to,
        // so those are never trimmed while a build runs.
        mallopt(M_MMAP_THRESHOLD, 1 << 20);
        mallopt(M_TRIM_THRESHOLD, 128 << 20);
        return true;
    }();
    (void)tuned;
#endif
}

CBuildHeap::~CBuildHeap() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

CBuildWorker::CBuildWorker() : scratch(WithAlpha(IMAGE_RGB8), CPage::kTileSize, CPage::kTileSize) {}

CRegionRenderer& CBuildWorker::RendererFor(CPage& page, const std::vector<bool>& drawn) {
    if (!renderer || rendererPage != &page) {
        renderer.emplace(tiles, scratch, page, drawn);
        rendererPage = &page;
    }
    return *renderer;
}

int CBuildPool::JobsFor(int jobs) {
    if (jobs >= 1) return std::min(jobs, 256);
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(std::min(cores, 256u));
}

CBuildPool::CBuildPool(int jobs) : m_jobs(JobsFor(jobs)) {
    m_workers.reserve(static_cast<std::size_t>(m_jobs));
    for (int i = 0; i < m_jobs; ++i)
        m_workers.push_back(std::make_unique<CBuildWorker>());
    if (m_jobs == 1) return;
    m_threads.reserve(static_cast<std::size_t>(m_jobs));
    for (auto& worker : m_workers)
        m_threads.emplace_back([this, w = worker.get()] { Run(*w); });
}

CBuildPool::~CBuildPool() {
    {
        std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_all();
    m_threads.clear(); // joins
}

std::future<void> CBuildPool::Submit(Task task, ETaskUrgency urgency) {
    std::packaged_task<void(CBuildWorker&)> job([this, task = std::move(task)](CBuildWorker& w) {
        if (!m_stop) task(w);
    });
    std::future<void> done = job.get_future();
    if (m_threads.empty()) {
        job(*m_workers.front());
        return done;
    }
    {
        std::lock_guard lock(m_mutex);
        (urgency == ETaskUrgency::Urgent ? m_urgent : m_queue).push_back(std::move(job));
    }
    m_wake.notify_one();
    return done;
}

void CBuildPool::Run(CBuildWorker& worker) {
    for (;;) {
        std::packaged_task<void(CBuildWorker&)> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock,
                        [this] { return m_closing || !m_queue.empty() || !m_urgent.empty(); });
            auto& queue = m_urgent.empty() ? m_queue : m_urgent;
            if (queue.empty()) return;
            job = std::move(queue.front());
            queue.pop_front();
        }
        job(worker);
    }
}

bool CBuildPool::ForEach(int count, const std::function<void(int, CBuildWorker&)>& fn,
                         const std::function<bool()>& poll) {
    std::vector<std::future<void>> done;
    done.reserve(static_cast<std::size_t>(std::max(count, 0)));
    bool going = true;
    for (int i = 0; i < count && going; ++i) {
        done.push_back(Submit([&fn, i](CBuildWorker& w) { fn(i, w); }));
        // Without threads every task has run by now; ask between them.
        if (m_threads.empty() && poll && poll()) going = false, Stop();
    }
    for (auto& task : done) {
        if (going && !WaitPolling(task, poll)) {
            going = false;
            Stop();
        }
        task.wait();
    }
    return going && !Stopped();
}

bool WaitPolling(std::future<void>& done, const std::function<bool()>& poll) {
    using namespace std::chrono_literals;
    while (done.wait_for(20ms) != std::future_status::ready)
        if (poll && poll()) return false;
    // Asked after every task as well: a run of short tasks never waits the
    // full 20 ms for any of them, and Cancel must still get through.
    return !(poll && poll());
}
