// close_range through syscall(2), so the program builds against C libraries
// that do not wrap it yet.
#include "platform/CloseBatch.h"

#include <algorithm>
#include <cerrno>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {
namespace {

thread_local CloseBatch* currentBatch = nullptr;

} // namespace

bool CloseRange(unsigned first, unsigned last) noexcept
{
    return ::syscall(SYS_close_range, first, last, 0) == 0;
}

CloseBatch::CloseBatch() noexcept : outer_(currentBatch)
{
    currentBatch = this;
}

CloseBatch::~CloseBatch()
{
    Flush();
    currentBatch = outer_;
}

int CloseBatch::Capacity() noexcept
{
    // A sixty-fourth of the table: however many threads gather at once, the
    // batches leave most of it to the files and folders being read.
    static const int capacity = [] {
        rlimit limit{};
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 1;
        if (limit.rlim_cur == RLIM_INFINITY) return kMost;
        return static_cast<int>(std::clamp<rlim_t>(limit.rlim_cur / 64, 1, kMost));
    }();
    return capacity;
}

void CloseBatch::Flush() noexcept
{
    if (count_ == 0) return;
    const int savedErrno = errno;
    std::sort(held_, held_ + count_);
    for (int first = 0; first < count_;) {
        int last = first;
        while (last + 1 < count_ && held_[last + 1] == held_[last] + 1) ++last;
        if (last == first || !CloseRange(static_cast<unsigned>(held_[first]), static_cast<unsigned>(held_[last])))
            for (int i = first; i <= last; ++i) ::close(held_[i]);
        first = last + 1;
    }
    count_ = 0;
    errno = savedErrno;
}

void CloseSoon(UniqueFd descriptor) noexcept
{
    CloseBatch* const batch = currentBatch;
    const int capacity = CloseBatch::Capacity();
    if (!descriptor || batch == nullptr || capacity < 2) return;
    batch->held_[batch->count_++] = descriptor.Release();
    if (batch->count_ == capacity) batch->Flush();
}

} // namespace platform
