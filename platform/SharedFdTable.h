// Descriptor tables of their own for worker threads. While threads share the
// process's descriptor table, every open and close takes that table's lock
// and every use of a descriptor counts a shared reference up and down, so two
// threads that open many small files slow each other down (measured: a fifth
// more processor time for the same rows). A worker that leaves the shared
// table opens and closes in a table no other thread touches; the descriptors
// it needs from the shared table (the folders it reads in) are copied over
// one at a time through a descriptor of the process itself (pidfd_getfd).
#pragma once

#include "platform/UniqueFd.h"

namespace platform {

class SharedFdTable {
public:
    // Call on the thread whose table the workers copy from, before they
    // start. Usable() tells whether the system allows copying.
    SharedFdTable();

    bool Usable() const noexcept { return process_.Get() >= 0; }

    // On a worker thread: gives the calling thread a table of its own that
    // keeps standard input, output and error and this handle, and closes its
    // copies of the rest. False, with the thread still on the shared table,
    // when that cannot be done; descriptors are then used as they are.
    bool LeaveOnThisThread() const noexcept;

    // On a thread that left: a descriptor in its own table for the same open
    // file as `fd` of the shared table. Not owned (-1) when it cannot be
    // copied.
    UniqueFd CopyIn(int fd) const noexcept;

private:
    UniqueFd process_;
};

} // namespace platform
