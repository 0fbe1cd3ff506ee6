#pragma once
// The workers of one extraction. Tasks are numbered in the set's order; workers take them in
// that order, at most `ahead` beyond the last one the caller's thread is through with, so
// that temporary files and memory stay bounded while the caller waits on a question.
#include "EntryReader.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace cw::zip {

class WorkerPool {
public:
    using Work = std::function<void(size_t task, EntryReader& reader)>;
    // With no threads, each task runs on the caller's thread when it is waited for.
    WorkerPool(size_t tasks, size_t threads, size_t ahead, Work work);
    ~WorkerPool() { stop(); }
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Returns true once the task is done. While it waits, whileWaiting (when given) runs on
    // the caller's thread after each poke() and at least every 100 ms; its false ends the
    // wait at once, and waitFor returns false.
    bool waitFor(size_t task, const std::function<bool()>& whileWaiting = {});
    void poke();               // a worker has news for the waiting caller
    void release(size_t task); // the caller is through with every task up to this one
    void stop();               // no task starts any more; returns when the workers are gone

private:
    void loop();

    size_t tasks_, ahead_;
    Work work_;
    std::mutex m_;
    std::condition_variable cv_;
    size_t next_ = 0, released_ = 0;
    unsigned long pokes_ = 0;
    bool stopping_ = false;
    std::vector<char> done_;
    std::vector<std::thread> threads_;
    std::unique_ptr<EntryReader> here_; // the caller's own, without threads
};

} // namespace cw::zip
