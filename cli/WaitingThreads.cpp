// Each thread sleeps until Start gives it the work or Cancel ends it.
#include "cli/WaitingThreads.h"

#include <pthread.h>
#include <sched.h>
#include <utility>

namespace cli {

namespace {

// The processors this thread may run on, the one it runs on now, and the
// others; `known` is false when they cannot be known or there are no others.
struct Processors {
    cpu_set_t allowed;
    cpu_set_t others;
    int current = -1;
    bool known = false;
};

Processors ProcessorsNow()
{
    Processors processors;
    CPU_ZERO(&processors.allowed);
    CPU_ZERO(&processors.others);
    const int current = ::sched_getcpu();
    if (current < 0 || ::sched_getaffinity(0, sizeof processors.allowed, &processors.allowed) != 0) return processors;
    processors.current = current;
    processors.others = processors.allowed;
    CPU_CLR(current, &processors.others);
    processors.known = CPU_COUNT(&processors.others) > 0;
    return processors;
}

} // namespace

WaitingThreads::WaitingThreads(unsigned count)
{
    // The creator keeps its processor and the threads share the others
    // while they live. Left to itself, the scheduler wakes a sleeping thread
    // on the processor of the thread that wakes it whenever the other
    // processor looks busy to it (as an idle virtual one does); both threads
    // then take turns on one processor while the other stays idle (measured:
    // the second processor idle for half of a run and more).
    const Processors processors = ProcessorsNow();
    if (processors.known && count > 0) {
        cpu_set_t creator;
        CPU_ZERO(&creator);
        CPU_SET(processors.current, &creator);
        creatorPinned_ = ::sched_setaffinity(0, sizeof creator, &creator) == 0;
        creatorAllowed_ = processors.allowed;
    }
    try {
        threads_.reserve(count);
        for (unsigned i = 0; i < count; ++i) {
            threads_.emplace_back([this, i] { WaitForWork(i); });
            if (processors.known)
                ::pthread_setaffinity_np(threads_.back().native_handle(), sizeof processors.others,
                                         &processors.others);
        }
    } catch (...) {
        // The threads already started end before the failure goes on.
        Cancel();
        throw;
    }
}

WaitingThreads::~WaitingThreads()
{
    Cancel();
}

void WaitingThreads::Cancel()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        cancelled_ = true;
    }
    workGiven_.notify_all();
    Join();
}

void WaitingThreads::Start(std::function<void(unsigned)> work)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (started_ || cancelled_) return;
        work_ = std::move(work);
        started_ = true;
    }
    workGiven_.notify_all();
}

void WaitingThreads::Join()
{
    for (std::thread& thread : threads_)
        if (thread.joinable()) thread.join();
    if (creatorPinned_) ::sched_setaffinity(0, sizeof creatorAllowed_, &creatorAllowed_);
    creatorPinned_ = false;
}

void WaitingThreads::WaitForWork(unsigned index)
{
    {
        std::unique_lock<std::mutex> lock(mutex_);
        workGiven_.wait(lock, [this] { return started_ || cancelled_; });
        if (!started_) return;
    }
    // work_ is written once, before started_, and never again.
    work_(index);
}

} // namespace cli
