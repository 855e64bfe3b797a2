// Threads started before their work is ready, on other processors than the
// thread that creates them. On a virtual machine a new thread can wait
// milliseconds before it first runs, so the scan starts its workers before
// the rest of its set-up and hands them their work later.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <sched.h>
#include <thread>
#include <vector>

namespace cli {

class WaitingThreads {
public:
    explicit WaitingThreads(unsigned count);
    // Threads never given work end without running any.
    ~WaitingThreads();
    WaitingThreads(const WaitingThreads&) = delete;
    WaitingThreads& operator=(const WaitingThreads&) = delete;

    unsigned Count() const { return static_cast<unsigned>(threads_.size()); }
    // Runs work(i) on the i-th thread, once; `work` must stay callable until
    // Join returns.
    void Start(std::function<void(unsigned)> work);
    // Waits until every thread has ended; the creating thread may then run
    // on any processor again. Called on the creating thread.
    void Join();

private:
    void WaitForWork(unsigned index);
    // Ends the threads not yet given work and waits for all of them.
    void Cancel();

    std::mutex mutex_;
    std::condition_variable workGiven_;
    std::function<void(unsigned)> work_;
    bool started_ = false;
    bool cancelled_ = false;
    // Whether the creating thread was kept to its processor, and where it
    // may run once the threads have ended.
    bool creatorPinned_ = false;
    cpu_set_t creatorAllowed_{};
    // Declared last: the threads use every other member.
    std::vector<std::thread> threads_;
};

} // namespace cli
