// The local time zone's offset from UTC at a moment, remembered by quarter
// hour while a LocalOffsetMemo lives on the thread. The C library's
// conversion to local time takes a lock the whole process shares, so threads
// that each convert a date per row queue on it (measured: 2% of the time of a
// scan on two threads). Rows' dates cluster (a package's files share theirs),
// so most conversions then find their quarter hour remembered.
#pragma once

#include <cstdint>
#include <optional>

namespace platform {

class LocalOffsetMemo {
public:
    // Remembers offsets on the calling thread from now on, until it ends; an
    // outer memo on the same thread resumes then. The time zone is not
    // looked up again while a memo lives, so one is meant for one scan.
    LocalOffsetMemo() noexcept;
    ~LocalOffsetMemo();
    LocalOffsetMemo(const LocalOffsetMemo&) = delete;
    LocalOffsetMemo& operator=(const LocalOffsetMemo&) = delete;

private:
    friend std::optional<long> LocalOffsetAt(std::int64_t seconds);

    // A quarter hour seen once holds the offset found then; seen again, it
    // is checked to hold one offset throughout, and from then on is `steady`.
    struct QuarterHour {
        std::int64_t number = INT64_MIN;
        long offset = 0;
        bool steady = false;
    };
    static constexpr int kRemembered = 8;
    QuarterHour quarters_[kRemembered];
    LocalOffsetMemo* const outer_;
};

// Seconds to add to `seconds` (since 1970-01-01 UTC) for the local time;
// empty when the C library cannot tell.
std::optional<long> LocalOffsetAt(std::int64_t seconds);

} // namespace platform
