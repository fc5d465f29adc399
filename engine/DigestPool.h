#pragma once
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Runs digests of large files on a few threads of its own while the walk goes on.
// The threads start with the first job and end with the pool. The work given must
// end soon once the search is stopped (a stop check between blocks).
class CDigestPool {
public:
    struct SJob {
        std::function<std::wstring()> work;
        std::wstring digest;
        std::exception_ptr error;   // what the work threw
        bool ended = false;         // guarded by the pool's lock
    };

    explicit CDigestPool(unsigned threads) : m_threads(threads) {}
    ~CDigestPool();
    CDigestPool(const CDigestPool&) = delete;
    CDigestPool& operator=(const CDigestPool&) = delete;

    unsigned Threads() const { return m_threads; }
    // Changes the thread count; only while no job is queued or running.
    void SetThreads(unsigned threads);

    std::shared_ptr<SJob> Submit(std::function<std::wstring()> work);
    bool Ended(const SJob& job) const;
    // Waits for the job's end; gives its digest or throws what its work threw.
    std::wstring Take(const SJob& job) const;
    // Waits for the job's end, whatever it was.
    void Wait(const SJob& job) const;
    // Jobs submitted and not yet ended.
    size_t Busy() const;

private:
    void Run();
    void StopThreads();

    unsigned m_threads;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;   // a job queued, ended, or the pool ends
    std::deque<std::shared_ptr<SJob>> m_queue;
    std::vector<std::thread> m_running;
    size_t m_busy = 0;
    bool m_ending = false;
};
