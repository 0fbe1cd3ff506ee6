#include "WorkerPool.h"

#include <chrono>

namespace cw::zip {

WorkerPool::WorkerPool(size_t tasks, size_t threads, size_t ahead, Work work)
    : tasks_(tasks), ahead_(ahead), work_(std::move(work)), done_(tasks, 0) {
    if (threads == 0)
        here_ = std::make_unique<EntryReader>();
    for (size_t i = 0; i < threads && i < tasks; ++i)
        threads_.emplace_back([this] { loop(); });
}

void WorkerPool::loop() {
    EntryReader reader;
    std::unique_lock lock(m_);
    for (;;) {
        cv_.wait(lock,
                 [this] { return stopping_ || next_ >= tasks_ || next_ < released_ + ahead_; });
        if (stopping_ || next_ >= tasks_)
            return;
        const size_t task = next_++;
        lock.unlock();
        try {
            work_(task, reader);
        } catch (...) { // the task keeps the failure it was given at the start
        }
        lock.lock();
        done_[task] = 1;
        cv_.notify_all();
    }
}

bool WorkerPool::waitFor(size_t task, const std::function<bool()>& whileWaiting) {
    if (here_) {
        if (!done_[task]) {
            work_(task, *here_);
            done_[task] = 1;
        }
        return true;
    }
    std::unique_lock lock(m_);
    const auto ready = [&] { return done_[task] || (stopping_ && task >= next_); };
    while (!ready()) {
        const unsigned long seen = pokes_;
        cv_.wait_for(lock, std::chrono::milliseconds(100),
                     [&] { return ready() || pokes_ != seen; });
        if (ready() || !whileWaiting)
            continue;
        lock.unlock();
        const bool goOn = whileWaiting();
        lock.lock();
        if (!goOn)
            return false;
    }
    return true;
}

void WorkerPool::poke() {
    {
        const std::lock_guard lock(m_);
        ++pokes_;
    }
    cv_.notify_all();
}

void WorkerPool::release(size_t task) {
    {
        const std::lock_guard lock(m_);
        released_ = std::max(released_, task + 1);
    }
    cv_.notify_all();
}

void WorkerPool::stop() {
    {
        const std::lock_guard lock(m_);
        stopping_ = true;
    }
    cv_.notify_all();
    for (auto& t : threads_)
        if (t.joinable())
            t.join();
    threads_.clear();
}

} // namespace cw::zip
