// The slots form a ring indexed by sequence number modulo the window. A slot
// belongs to the caller's thread from when it is written until it is queued,
// to one worker from when it is taken until it is marked built, and to the
// caller's thread again until its row is written; the row's memory then goes
// back to the thread that built it, to be freed there. A worker, or the
// caller's thread when it would otherwise wait for the oldest row, takes a
// run of consecutive slots under the lock, builds them without it, and marks
// them built under it again; threads are woken only when someone sleeps.
#include "cli/OrderedRowBuilder.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "cDisk/ResultRow.h"
#include "platform/CloseBatch.h"
#include "platform/LocalOffsets.h"
#include "platform/OwnCredentials.h"

namespace cli {
namespace {

// The longest run a worker takes: long enough that waking it is paid rarely,
// short enough that every worker gets a share of a small folder.
constexpr std::size_t kLongestRun = 32;

// Files in flight per worker when the caller leaves the window open: eight
// runs each, so a worker always finds a run while the oldest is written. With
// four, the caller's thread, building the oldest run itself once the window
// was full, often left a worker nothing to take: the worker slept and had to
// be woken, and the scan took longer and more processor time.
constexpr std::size_t kWindowPerWorker = 8 * kLongestRun;

std::size_t WindowFor(std::size_t window, unsigned workers)
{
    return window != 0 ? window : kWindowPerWorker * std::max(workers, 1u);
}

std::size_t RunLength(std::size_t window, unsigned workers)
{
    return std::clamp<std::size_t>(window / (2 * std::max(workers, 1u)), 1, kLongestRun);
}

} // namespace

OrderedRowBuilder::OrderedRowBuilder(unsigned workers, FactSelection facts, std::string root,
                                     grid::formats::RowWriter& rows, std::size_t window)
    : OrderedRowBuilder(std::make_unique<WaitingThreads>(workers), std::move(facts), std::move(root), rows, window)
{
}

OrderedRowBuilder::OrderedRowBuilder(std::unique_ptr<WaitingThreads> workers, FactSelection facts, std::string root,
                                     grid::formats::RowWriter& rows, std::size_t window)
    : facts_(std::move(facts)), root_(std::move(root)), rows_(rows), lines_(rows.AsLineWriter()),
      slots_(WindowFor(window, workers->Count())),
      run_(RunLength(slots_.size(), workers->Count())), workers_(std::move(workers))
{
    // A worker has at most every slot's row waiting to be freed, so these
    // never grow once reserved.
    returned_.resize(workers_->Count());
    for (std::vector<Row>& rows : returned_) rows.reserve(slots_.size());
    workers_->Start([this](unsigned index) { Work(index); });
}

OrderedRowBuilder::~OrderedRowBuilder()
{
    Stop();
}

void OrderedRowBuilder::Stop()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    workAdded_.notify_all();
    workers_->Join();
}

void OrderedRowBuilder::Add(const std::string& folder, const std::string& name,
                            std::shared_ptr<const platform::UniqueFd> folderFd, bool seenRegular)
{
    // Only this thread moves filled_, queued_ and written_, so it reads them
    // without the lock; it takes the lock once per run it queues, not once
    // per file, so the workers seldom find it taken.
    if (filled_ - written_ == slots_.size()) {
        std::unique_lock<std::mutex> lock(mutex_);
        QueueFilled();
        while (queued_ - written_ == slots_.size()) WriteReady(lock, true);
    }
    // No worker looks at a slot before it is queued.
    Slot& slot = slots_[filled_ % slots_.size()];
    slot.folder = folder;
    slot.name = name;
    slot.folderFd = std::move(folderFd);
    slot.seenRegular = seenRegular;
    slot.built = false;
    ++filled_;
    if (filled_ - queued_ < run_) return;
    std::unique_lock<std::mutex> lock(mutex_);
    QueueFilled();
    WriteReady(lock, false);
}

void OrderedRowBuilder::QueueFilled()
{
    queued_ = filled_;
    if (idleWorkers_ > 0 && queued_ - taken_ >= run_) workAdded_.notify_one();
}

void OrderedRowBuilder::Flush()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    FlushLocked();
}

void OrderedRowBuilder::FlushLocked()
{
    QueueFilled();
    flushedTo_ = queued_;
    if (idleWorkers_ > 0 && taken_ < queued_) workAdded_.notify_all();
}

void OrderedRowBuilder::Finish()
{
    std::unique_lock<std::mutex> lock(mutex_);
    // Workers leave as soon as nothing is left to take, rather than sleep
    // until the destructor wakes them: waking a sleeping thread can take as
    // long as building a hundred rows on a virtual machine.
    finishing_ = true;
    FlushLocked();
    workAdded_.notify_all();
    while (written_ < queued_) WriteReady(lock, true);
}

void OrderedRowBuilder::WriteReady(std::unique_lock<std::mutex>& lock, bool waitForOldest)
{
    const auto oldestReady = [this] { return written_ == queued_ || slots_[written_ % slots_.size()].built; };
    if (waitForOldest && !oldestReady()) FlushLocked();
    while (waitForOldest && !oldestReady()) {
        // Rather than wait, this thread builds what no worker has taken yet.
        if (taken_ < queued_) {
            BuildRun(lock);
            continue;
        }
        writerWaiting_ = true;
        rowBuilt_.wait(lock, oldestReady);
        writerWaiting_ = false;
    }
    while (written_ < queued_) {
        // The rows built from the oldest on are written together, with the
        // lock let go once: the workers take it to mark rows built, and each
        // time it changes hands it costs a trip between the processors.
        std::uint64_t end = written_;
        while (end < queued_ && slots_[end % slots_.size()].built) ++end;
        if (end == written_) return;
        std::exception_ptr failure;
        lock.unlock();
        for (std::uint64_t sequence = written_; sequence < end && !failure; ++sequence) {
            // Only this thread queues slots again, so a built slot stays as
            // it is until written_ passes it.
            Slot& slot = slots_[sequence % slots_.size()];
            slot.folderFd.reset();
            failure = std::exchange(slot.failure, nullptr);
            if (failure) end = sequence + 1;
            else if (lines_ != nullptr) lines_->WriteLine(slot.line);
            else rows_.Row(slot.row);
            if (slot.builder == kCallerThread) Row().swap(slot.row);
        }
        lock.lock();
        // Rows handed over whole go back to the threads that built them, to
        // be freed as they build the slots' next rows (a line writer's rows
        // were freed where they were built).
        if (lines_ == nullptr) {
            for (std::uint64_t sequence = written_; sequence < end; ++sequence) {
                Slot& slot = slots_[sequence % slots_.size()];
                if (slot.builder != kCallerThread) returned_[slot.builder].push_back(std::move(slot.row));
            }
        }
        written_ = end;
        if (failure) std::rethrow_exception(failure);
    }
}

int OrderedRowBuilder::FolderFd(const Slot& slot, Worker* worker) const
{
    if (!slot.folderFd || !*slot.folderFd) return -1;
    if (worker == nullptr || !worker->ownTable) return slot.folderFd->Get();
    // While the worker holds it weakly, no other folder can take its place
    // at the same address, so comparing owners tells folders apart.
    const bool sameFolder =
        !worker->sharedFolder.owner_before(slot.folderFd) && !slot.folderFd.owner_before(worker->sharedFolder);
    if (!sameFolder) {
        worker->ownFolder = sharedFds_.CopyIn(slot.folderFd->Get());
        worker->sharedFolder = slot.folderFd;
    }
    return worker->ownFolder.Get();
}

void OrderedRowBuilder::Build(Slot& slot, int folderFd)
{
    try {
        slot.row = folderFd >= 0
                       ? BuildResultRowAt(folderFd, slot.folder, slot.name, facts_, root_, slot.seenRegular)
                       : BuildResultRow(slot.folder, slot.name, facts_, root_);
        if (lines_ != nullptr) {
            // The writing thread then copies one piece of text, instead of
            // reading cells scattered through this thread's memory, and the
            // row is freed where it was made.
            slot.line.clear();
            lines_->AppendLine(slot.row, slot.line);
            Row().swap(slot.row);
        }
    } catch (...) {
        slot.row.clear();
        slot.failure = std::current_exception();
    }
}

std::uint64_t OrderedRowBuilder::RunToTake() const
{
    const std::uint64_t left = queued_ - taken_;
    if (!finishing_) return std::min<std::uint64_t>(run_, left);
    // Once every file is queued, runs shrink with what is left, so that the
    // threads end together instead of one building a whole run alone while
    // the others wait for it.
    const std::uint64_t shares = 2 * (workers_->Count() + 1);
    return std::clamp<std::uint64_t>((left + shares - 1) / shares, 1, run_);
}

void OrderedRowBuilder::BuildRun(std::unique_lock<std::mutex>& lock, Worker* worker)
{
    const std::uint64_t first = taken_;
    const std::uint64_t end = first + RunToTake();
    taken_ = end;
    if (worker != nullptr) {
        std::vector<Row>& returned = returned_[worker->index];
        std::move(returned.begin(), returned.end(), std::back_inserter(worker->freeing));
        returned.clear();
    }
    lock.unlock();
    {
        // The run's files are closed a few at a time, the last of them as
        // the run ends.
        platform::CloseBatch closing;
        for (std::uint64_t sequence = first; sequence < end; ++sequence) {
            // One old row freed for each new one built: freed all at once,
            // they would overflow the allocator's per-thread cache of free
            // blocks.
            if (worker != nullptr && !worker->freeing.empty()) worker->freeing.pop_back();
            Slot& slot = slots_[sequence % slots_.size()];
            slot.builder = worker != nullptr ? worker->index : kCallerThread;
            Build(slot, FolderFd(slot, worker));
        }
    }
    lock.lock();
    for (std::uint64_t sequence = first; sequence < end; ++sequence) slots_[sequence % slots_.size()].built = true;
    if (writerWaiting_) rowBuilt_.notify_one();
}

void OrderedRowBuilder::Work(unsigned index)
{
    Worker worker;
    worker.index = index;
    worker.ownTable = sharedFds_.LeaveOnThisThread();
    platform::TakeOwnCredentials();
    const platform::LocalOffsetMemo offsets;
    worker.freeing.reserve(slots_.size());
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        ++idleWorkers_;
        workAdded_.wait(lock,
                        [this] { return stopping_ || finishing_ || queued_ - taken_ >= run_ || taken_ < flushedTo_; });
        --idleWorkers_;
        if (stopping_ || (finishing_ && taken_ == queued_)) return;
        BuildRun(lock, &worker);
    }
}

} // namespace cli
