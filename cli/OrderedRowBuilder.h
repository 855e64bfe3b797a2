// Builds result rows on several threads and hands them to the row writer in
// exactly the order the files were found, so the output is the same for any
// number of threads. The walk (the caller's thread) adds files in walk order;
// workers read each file and build its row; the caller's thread writes every
// row whose turn has come, and builds rows itself whenever it would otherwise
// wait, so it counts as one of the threads that build. At most `window` files are in flight: when the
// oldest row is not built yet, Add waits for it, so memory stays bounded
// however large the tree. Workers take files in runs, so waking a thread is
// paid once per run, not once per file; the walk hands them over in runs too,
// so the lock they share changes hands once per run.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "cDisk/ResultFacts.h"
#include "cli/WaitingThreads.h"
#include "grid/formats/RowWriter.h"
#include "grid/CellValue.h"
#include "platform/SharedFdTable.h"
#include "platform/UniqueFd.h"

namespace cli {

class OrderedRowBuilder {
public:
    // `root` is the start folder (ending in "/") that relative paths start from.
    // `window` 0: enough files in flight to keep every worker busy.
    OrderedRowBuilder(unsigned workers, FactSelection facts, std::string root, grid::formats::RowWriter& rows,
                      std::size_t window = 0);
    // Builds on `workers`, threads started before the rest was ready.
    OrderedRowBuilder(std::unique_ptr<WaitingThreads> workers, FactSelection facts, std::string root,
                      grid::formats::RowWriter& rows, std::size_t window = 0);
    // Stops the workers; rows not yet written are dropped.
    ~OrderedRowBuilder();
    OrderedRowBuilder(const OrderedRowBuilder&) = delete;
    OrderedRowBuilder& operator=(const OrderedRowBuilder&) = delete;

    // Queues the file `name` in `folder` (ending in "/"); files are handed to
    // the building threads a run at a time (or at Flush), and the rows that
    // are ready then are written in order. With `folderFd` (a descriptor of that folder
    // kept open while the row is built) the file is looked up by its name
    // there, else by its path; `seenRegular` as for BuildResultRowAt. A
    // failure to build a row is rethrown here.
    void Add(const std::string& folder, const std::string& name,
             std::shared_ptr<const platform::UniqueFd> folderFd = nullptr, bool seenRegular = false);
    // Has the files queued so far built without waiting for a full run, so
    // their rows do not wait while the caller spends long on other things.
    void Flush();
    // Waits for every queued row and writes them in order; the workers end
    // once nothing is left for them.
    void Finish();

private:
    using Row = std::vector<grid::CellValue>;
    // Slot::builder of a row the caller's thread built.
    static constexpr unsigned kCallerThread = ~0u;

    struct Slot {
        std::string folder;
        std::string name;
        std::shared_ptr<const platform::UniqueFd> folderFd;
        bool seenRegular = false;
        // The built row; with a line writer, its line instead (the row's
        // memory freed at once by the thread that built it).
        Row row;
        std::string line;
        std::exception_ptr failure;
        bool built = false;
        // The worker that built the row, or kCallerThread.
        unsigned builder = kCallerThread;
    };

    // What a worker keeps between runs.
    struct Worker {
        unsigned index = 0;
        // Whether it has a descriptor table of its own, and there its copy of
        // the folder it last read in. The folder is held weakly: were a
        // worker with a table of its own to let go of a folder's last
        // reference, the folder's descriptor would be closed in that table
        // (whatever has its number there) and left open in the shared one.
        bool ownTable = false;
        std::weak_ptr<const platform::UniqueFd> sharedFolder;
        platform::UniqueFd ownFolder;
        // Written rows it built, taken from returned_, freed one per row it
        // builds. With returned_, never more than one per slot.
        std::vector<Row> freeing;
    };

    void Work(unsigned index);
    // Takes the next run of queued files and builds it. Called with the lock
    // held; unlocks it while building. `worker` is null on the caller's
    // thread.
    void BuildRun(std::unique_lock<std::mutex>& lock, Worker* worker = nullptr);
    // How many of the queued files the next run takes. Called with the lock
    // held.
    std::uint64_t RunToTake() const;
    // The descriptor of the slot's folder the building thread can use; -1
    // when the file is to be looked up by its path.
    int FolderFd(const Slot& slot, Worker* worker) const;
    void Build(Slot& slot, int folderFd);
    // Queues the files filled in since the last call. Called with the lock
    // held.
    void QueueFilled();
    // Called with the lock held.
    void FlushLocked();
    // Writes the rows that are built, oldest first; with `waitForOldest` it
    // first waits until the oldest queued row is built. Called with the lock
    // held; unlocks it while writing.
    void WriteReady(std::unique_lock<std::mutex>& lock, bool waitForOldest);
    void Stop();

    const FactSelection facts_;
    const std::string root_;
    grid::formats::RowWriter& rows_;
    // rows_ as a writer of lines, whose lines the building threads make;
    // null for other writers, which are handed the rows themselves.
    grid::formats::LineRowWriter* const lines_;
    std::vector<Slot> slots_;
    // How many files a worker takes at a time, and wakes for.
    const std::size_t run_;
    std::mutex mutex_;
    std::condition_variable workAdded_;
    std::condition_variable rowBuilt_;
    // Sequence numbers: files put in their slots by the caller's thread,
    // queued for building, taken by a worker, and written.
    std::uint64_t filled_ = 0;
    std::uint64_t queued_ = 0;
    std::uint64_t taken_ = 0;
    std::uint64_t written_ = 0;
    // Files queued before this one are taken even when short of a run.
    std::uint64_t flushedTo_ = 0;
    unsigned idleWorkers_ = 0;
    bool writerWaiting_ = false;
    bool stopping_ = false;
    // Finish was called: no more files come.
    bool finishing_ = false;
    // Workers open and close files in tables of their own where they can.
    const platform::SharedFdTable sharedFds_;
    // Per worker, the rows it built that have been written. Each row's memory
    // is freed by the thread that allocated it: freeing another thread's
    // memory makes the two threads' allocators wait on each other (measured:
    // most of the extra processor time of two threads over one).
    std::vector<std::vector<Row>> returned_;
    // Declared last: the workers use every other member.
    const std::unique_ptr<WaitingThreads> workers_;
};

} // namespace cli
