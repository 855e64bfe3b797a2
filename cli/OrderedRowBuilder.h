// Builds result rows on several threads and hands them to the row writer in
// exactly the order the files were found, so the output is the same for any
// number of threads. The walk (the caller's thread) adds files in walk order;
// workers read each file and build its row; the caller's thread writes every
// row whose turn has come. At most `window` files are in flight: when the
// oldest row is not built yet, Add waits for it, so memory stays bounded
// however large the tree.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cDisk/ResultFacts.h"
#include "grid/formats/RowWriter.h"
#include "grid/CellValue.h"
#include "platform/UniqueFd.h"

namespace cli {

class OrderedRowBuilder {
public:
    // `root` is the start folder (ending in "/") that relative paths start from.
    OrderedRowBuilder(unsigned workers, FactSelection facts, std::string root, grid::formats::RowWriter& rows,
                      std::size_t window = 1024);
    // Stops the workers; rows not yet written are dropped.
    ~OrderedRowBuilder();
    OrderedRowBuilder(const OrderedRowBuilder&) = delete;
    OrderedRowBuilder& operator=(const OrderedRowBuilder&) = delete;

    // Queues the file `name` in `folder` (ending in "/") and writes the rows
    // that are ready in order. With `folderFd` (a descriptor of that folder
    // kept open while the row is built) the file is looked up by its name
    // there, else by its path. A failure to build a row is rethrown here.
    void Add(const std::string& folder, const std::string& name,
             std::shared_ptr<const platform::UniqueFd> folderFd = nullptr);
    // Waits for every queued row and writes them in order.
    void Finish();

private:
    struct Slot {
        std::string folder;
        std::string name;
        std::shared_ptr<const platform::UniqueFd> folderFd;
        std::vector<grid::CellValue> row;
        std::exception_ptr failure;
        bool built = false;
    };

    void Work();
    // Writes the rows that are built, oldest first; with `waitForOldest` it
    // first waits until the oldest queued row is built. Called with the lock
    // held; unlocks it while writing.
    void WriteReady(std::unique_lock<std::mutex>& lock, bool waitForOldest);
    void Stop();

    const FactSelection facts_;
    const std::string root_;
    grid::formats::RowWriter& rows_;
    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable workAdded_;
    std::condition_variable rowBuilt_;
    // Sequence numbers: files queued, taken by a worker, and written.
    std::uint64_t queued_ = 0;
    std::uint64_t taken_ = 0;
    std::uint64_t written_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

} // namespace cli
