#include "engine/DigestPool.h"

#include <system_error>

CDigestPool::~CDigestPool() { StopThreads(); }

void CDigestPool::StopThreads() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_ending = true;
    }
    m_changed.notify_all();
    for (std::thread& t : m_running) t.join();
    m_running.clear();
    m_ending = false;
}

void CDigestPool::SetThreads(unsigned threads) {
    StopThreads();
    m_threads = threads;
}

std::shared_ptr<CDigestPool::SJob> CDigestPool::Submit(std::function<std::wstring()> work) {
    auto job = std::make_shared<SJob>();
    bool queued = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_running.size() < m_threads && m_running.size() <= m_busy) {
            try {
                m_running.emplace_back([this] { Run(); });
            } catch (const std::system_error&) {
                // No thread to be had: an existing one takes it, or it runs here.
            }
        }
        if (!m_running.empty()) {
            job->work = std::move(work);
            m_queue.push_back(job);
            ++m_busy;
            queued = true;
        }
    }
    if (!queued) {
        try {
            job->digest = work();
        } catch (...) {
            job->error = std::current_exception();
        }
        std::lock_guard<std::mutex> guard(m_lock);
        job->ended = true;
        return job;
    }
    m_changed.notify_all();
    return job;
}

void CDigestPool::Run() {
    std::unique_lock<std::mutex> guard(m_lock);
    for (;;) {
        m_changed.wait(guard, [this] { return m_ending || !m_queue.empty(); });
        if (m_queue.empty()) return;   // ending, and nothing left to do
        std::shared_ptr<SJob> job = std::move(m_queue.front());
        m_queue.pop_front();
        guard.unlock();
        // Nothing a job throws leaves this thread: it goes to whoever takes the job.
        std::wstring digest;
        std::exception_ptr error;
        try {
            digest = job->work();
        } catch (...) {
            error = std::current_exception();
        }
        guard.lock();
        job->digest = std::move(digest);
        job->error = error;
        job->work = nullptr;
        job->ended = true;
        --m_busy;
        m_changed.notify_all();
    }
}

bool CDigestPool::Ended(const SJob& job) const {
    std::lock_guard<std::mutex> guard(m_lock);
    return job.ended;
}

void CDigestPool::Wait(const SJob& job) const {
    std::unique_lock<std::mutex> guard(m_lock);
    m_changed.wait(guard, [&] { return job.ended; });
}

std::wstring CDigestPool::Take(const SJob& job) const {
    Wait(job);
    if (job.error) std::rethrow_exception(job.error);
    return job.digest;
}

size_t CDigestPool::Busy() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_busy;
}
