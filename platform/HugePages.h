// Huge pages for a large buffer that is about to be written once from end to
// end (the text of a million copied rows): with ordinary 4 KiB pages every
// page costs a fault of its own, which on a virtual machine can take longer
// than writing the page. Only advice: where the kernel declines, nothing
// changes.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>

namespace platform {

inline void AdviseHugePages(void* data, std::size_t bytes) noexcept
{
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    // Only whole huge pages inside the buffer: the advice applies to whole
    // mappings' pages and must not reach memory the buffer does not own.
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (start + bytes) & ~(kHugePage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

} // namespace platform
