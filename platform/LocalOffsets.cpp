// A quarter hour is taken to hold one offset throughout when the offset at its
// first second, at its last second and at a moment inside it all agree: a
// single change of offset inside it would make its two ends differ, and no
// time zone has changed its offset twice within fifteen minutes.
#include "platform/LocalOffsets.h"

#include <ctime>

namespace platform {
namespace {

constexpr std::int64_t kQuarterHour = 900;

thread_local LocalOffsetMemo* currentMemo = nullptr;

std::optional<long> AskLibrary(std::int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) return std::nullopt;
    return local.tm_gmtoff;
}

// The quarter hour `seconds` lies in, rounding down before 1970 too.
std::int64_t QuarterHourOf(std::int64_t seconds)
{
    return seconds / kQuarterHour - (seconds % kQuarterHour < 0 ? 1 : 0);
}

} // namespace

LocalOffsetMemo::LocalOffsetMemo() noexcept : outer_(currentMemo)
{
    currentMemo = this;
}

LocalOffsetMemo::~LocalOffsetMemo()
{
    currentMemo = outer_;
}

std::optional<long> LocalOffsetAt(std::int64_t seconds)
{
    LocalOffsetMemo* const memo = currentMemo;
    if (memo == nullptr) return AskLibrary(seconds);
    const std::int64_t number = QuarterHourOf(seconds);
    LocalOffsetMemo::QuarterHour& quarter =
        memo->quarters_[static_cast<std::uint64_t>(number) % LocalOffsetMemo::kRemembered];
    if (quarter.number == number && quarter.steady) return quarter.offset;
    const std::optional<long> offset = AskLibrary(seconds);
    if (!offset) return offset;
    if (quarter.number != number) {
        quarter = {number, *offset, false};
        return offset;
    }
    const std::int64_t first = number * kQuarterHour;
    quarter.steady = quarter.offset == *offset && AskLibrary(first) == offset &&
                     AskLibrary(first + kQuarterHour - 1) == offset;
    quarter.offset = *offset;
    return offset;
}

} // namespace platform
