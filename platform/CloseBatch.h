// Closing many descriptors with few system calls. A scan opens and closes one
// file per row, and on a virtual machine a system call's entry and exit alone
// cost about a microsecond, as much as a tenth of a row. While a CloseBatch
// lives on a thread, the descriptors that thread hands to CloseSoon stay open
// until a handful have gathered and are then closed together, one
// close_range per run of adjacent numbers. Only descriptors handed over are
// ever closed: a number between two of them that is not theirs is skipped.
#pragma once

#include "platform/UniqueFd.h"

namespace platform {

class CloseBatch {
public:
    // Gathers the calling thread's descriptors from now on, until it ends; an
    // outer batch on the same thread resumes then. A thread that is to
    // change descriptor tables (unshare) must not have one open across it.
    CloseBatch() noexcept;
    // Closes what it holds.
    ~CloseBatch();
    CloseBatch(const CloseBatch&) = delete;
    CloseBatch& operator=(const CloseBatch&) = delete;

    // Closes what it holds now.
    void Flush() noexcept;

private:
    friend void CloseSoon(UniqueFd descriptor) noexcept;
    // The most descriptors a batch holds: few enough that a table near its
    // limit does not run short because of them.
    static int Capacity() noexcept;

    static constexpr int kMost = 16;
    int held_[kMost] = {};
    int count_ = 0;
    CloseBatch* const outer_;
};

// Closes `descriptor` with the calling thread's batch, or at once when the
// thread has none. errno is left as it was.
void CloseSoon(UniqueFd descriptor) noexcept;

// Closes the descriptors numbered first to last, all of them the caller's.
// False when the system cannot close a range (before Linux 5.9, or forbidden
// by a sandbox); nothing was closed then.
bool CloseRange(unsigned first, unsigned last) noexcept;

} // namespace platform
