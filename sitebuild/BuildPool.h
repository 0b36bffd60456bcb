#pragma once
#include "sitebuild/RegionRenderer.h"
#include "image/PixMap.h"
#include "services/MemFile.h"
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class CPage;

// What one worker of a build keeps between its tasks, so that a build of a
// thousand pictures does not allocate (and the kernel does not zero) a
// thousand sets of buffers: the two tile buffers, the 256 x 256 scratch map
// objects render through, the pixels of the region in hand, the encoded
// picture, and the renderer of the page the worker is on.
struct CBuildWorker {
    CBuildTiles tiles;
    CPixMap scratch;
    CRegionPixels pixels;
    std::optional<CRegionRenderer> renderer;
    const CPage* rendererPage = nullptr;

    CBuildWorker();
    // The region renderer for `page`, made anew when the worker moves on to
    // another page.
    CRegionRenderer& RendererFor(CPage& page, const std::vector<bool>& drawn);
};

// The heap as a build wants it, for as long as the object lives. Objects
// render through a few fresh pictures each (the shape, its texture, the
// effects, the crop), a few hundred kilobytes apiece, and a page's pictures
// go all at once when it is written. Left to itself the C library hands
// such memory back to the kernel on almost every free, in every worker's
// own arena, and the next picture takes it back page by page: three times
// the page faults of one job, and a third more processor time in all, so
// that two jobs built slower than one. So during a build freed memory stays in
// the process (pictures up to 1 MB come from the arenas, and an arena is
// only trimmed beyond 128 MB free), and what is free is handed back once
// the build ends, so the designer does not keep it.
class CBuildHeap {
public:
    CBuildHeap();
    ~CBuildHeap();
    CBuildHeap(const CBuildHeap&) = delete;
    CBuildHeap& operator=(const CBuildHeap&) = delete;
};

enum class ETaskUrgency { Queued, Urgent };

// A small, bounded pool of build workers. Tasks run in the order they were
// given; each runs on one worker with that worker's buffers. With one job
// there is no thread at all: a task runs on the caller's thread when it is
// given, which is exactly the order of work of a build without the pool.
class CBuildPool {
public:
    using Task = std::function<void(CBuildWorker&)>;

    // `jobs` < 1 means one per processor core.
    explicit CBuildPool(int jobs);
    ~CBuildPool();
    CBuildPool(const CBuildPool&) = delete;
    CBuildPool& operator=(const CBuildPool&) = delete;

    int Jobs() const { return m_jobs; }
    // The number of jobs a request of `jobs` gives on this machine.
    static int JobsFor(int jobs);

    // The future is ready once the task has run, or has been skipped
    // because the pool was stopped first. Urgent tasks (writing a finished
    // picture: short, and waited for in order) run before every queued task
    // that is not urgent, in the order they were given.
    std::future<void> Submit(Task task, ETaskUrgency urgency = ETaskUrgency::Queued);
    // Queued tasks are skipped from now on, and running ones may look at
    // Stopped() to end early.
    void Stop() { m_stop = true; }
    bool Stopped() const { return m_stop; }
    const std::atomic<bool>& StopFlag() const { return m_stop; }

    // Runs fn(i, worker) for i in 0..count-1 and waits for all of them;
    // `poll` is called every few milliseconds while waiting (without
    // threads: after every task) and may stop the pool (it then returns
    // false).
    bool ForEach(int count, const std::function<void(int, CBuildWorker&)>& fn,
                 const std::function<bool()>& poll);

private:
    void Run(CBuildWorker& worker);

    int m_jobs;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::packaged_task<void(CBuildWorker&)>> m_queue, m_urgent;
    bool m_closing = false;
    std::vector<std::unique_ptr<CBuildWorker>> m_workers;
    std::vector<std::jthread> m_threads;
};

// Waits for a task of the pool; `poll` is called about every 20 ms while
// the task runs and once it has run (so it should be cheap to call often).
// False when `poll` asked to stop (the task may still run; stop the pool
// and wait again).
bool WaitPolling(std::future<void>& done, const std::function<bool()>& poll);
