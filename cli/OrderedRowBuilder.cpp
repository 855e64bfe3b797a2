// The slots form a ring indexed by sequence number modulo the window. A slot
// belongs to the caller's thread from when it is written until it is queued,
// to one worker from when it is taken until it is marked built, and to the
// caller's thread again until its row is written.
#include "cli/OrderedRowBuilder.h"

#include <utility>

#include "cDisk/ResultRow.h"

namespace cli {

OrderedRowBuilder::OrderedRowBuilder(unsigned workers, FactSelection facts, std::string root,
                                     grid::formats::RowWriter& rows, std::size_t window)
    : facts_(std::move(facts)), root_(std::move(root)), rows_(rows), slots_(window == 0 ? 1 : window)
{
    workers_.reserve(workers);
    for (unsigned i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
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
    for (std::thread& worker : workers_)
        if (worker.joinable()) worker.join();
}

void OrderedRowBuilder::Add(const std::string& folder, const std::string& name,
                            std::shared_ptr<const platform::UniqueFd> folderFd)
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (queued_ - written_ == slots_.size()) WriteReady(lock, true);
    Slot& slot = slots_[queued_ % slots_.size()];
    slot.folder = folder;
    slot.name = name;
    slot.folderFd = std::move(folderFd);
    slot.built = false;
    ++queued_;
    workAdded_.notify_one();
    WriteReady(lock, false);
}

void OrderedRowBuilder::Finish()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (written_ < queued_) WriteReady(lock, true);
}

void OrderedRowBuilder::WriteReady(std::unique_lock<std::mutex>& lock, bool waitForOldest)
{
    if (waitForOldest)
        rowBuilt_.wait(lock, [this] { return written_ == queued_ || slots_[written_ % slots_.size()].built; });
    while (written_ < queued_) {
        Slot& slot = slots_[written_ % slots_.size()];
        if (!slot.built) return;
        const std::vector<grid::CellValue> row = std::move(slot.row);
        const std::exception_ptr failure = std::exchange(slot.failure, nullptr);
        slot.folderFd.reset();
        ++written_;
        lock.unlock();
        if (failure) {
            lock.lock();
            std::rethrow_exception(failure);
        }
        rows_.Row(row);
        lock.lock();
    }
}

void OrderedRowBuilder::Work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        workAdded_.wait(lock, [this] { return stopping_ || taken_ < queued_; });
        if (stopping_) return;
        Slot& slot = slots_[taken_++ % slots_.size()];
        lock.unlock();
        std::vector<grid::CellValue> row;
        std::exception_ptr failure;
        try {
            row = slot.folderFd && *slot.folderFd
                      ? BuildResultRowAt(slot.folderFd->Get(), slot.folder, slot.name, facts_, root_)
                      : BuildResultRow(slot.folder, slot.name, facts_, root_);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        slot.row = std::move(row);
        slot.failure = failure;
        slot.built = true;
        rowBuilt_.notify_one();
    }
}

} // namespace cli
