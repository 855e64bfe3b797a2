// pidfd_open and pidfd_getfd through syscall(2), so the program builds
// against C libraries that do not wrap them yet.
#include "platform/SharedFdTable.h"

#include "platform/CloseBatch.h"

#include <climits>

#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {
namespace {

int PidFdOpen(pid_t pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

int PidFdGetFd(int process, int fd)
{
    return static_cast<int>(::syscall(SYS_pidfd_getfd, process, fd, 0));
}

} // namespace

SharedFdTable::SharedFdTable() : process_(PidFdOpen(::getpid()))
{
    // A sandbox may refuse the copy even where the handle opens: try once.
    if (!process_) return;
    const UniqueFd trial(PidFdGetFd(process_.Get(), process_.Get()));
    if (!trial) process_.Reset();
}

bool SharedFdTable::LeaveOnThisThread() const noexcept
{
    if (!Usable() || ::unshare(CLONE_FILES) != 0) return false;
    // The private table starts as a copy of the shared one; the copies would
    // keep files open that the other threads close.
    const unsigned kept = static_cast<unsigned>(process_.Get());
    if (kept > STDERR_FILENO) {
        if (kept > STDERR_FILENO + 1) CloseRange(STDERR_FILENO + 1, kept - 1);
        CloseRange(kept + 1, UINT_MAX);
    } else {
        CloseRange(STDERR_FILENO + 1, UINT_MAX);
    }
    return true;
}

UniqueFd SharedFdTable::CopyIn(int fd) const noexcept
{
    return UniqueFd(PidFdGetFd(process_.Get(), fd));
}

} // namespace platform
