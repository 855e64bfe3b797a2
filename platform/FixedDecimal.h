// A signed 64-bit fixed-point number with four decimal places: the stored
// integer is the value times 10,000. It is the form of file sizes, size limits
// and size cells throughout the program.
#pragma once

#include <compare>
#include <cstdint>
#include <limits>

namespace platform {

class FixedDecimal {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr FixedDecimal() = default;

    // A whole number of bytes. Values too large for the fixed-point form (over
    // about 922 TB) saturate instead of wrapping.
    static constexpr FixedDecimal FromWhole(std::int64_t whole)
    {
        constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max() / kScale;
        constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min() / kScale;
        if (whole > kMax) return FromScaled(std::numeric_limits<std::int64_t>::max());
        if (whole < kMin) return FromScaled(std::numeric_limits<std::int64_t>::min());
        return FromScaled(whole * kScale);
    }
    static constexpr FixedDecimal FromScaled(std::int64_t scaled)
    {
        FixedDecimal value;
        value.scaled_ = scaled;
        return value;
    }

    constexpr std::int64_t Scaled() const { return scaled_; }
    // The whole part, truncated toward zero.
    constexpr std::int64_t Whole() const { return scaled_ / kScale; }
    constexpr double ToDouble() const { return static_cast<double>(scaled_) / kScale; }
    constexpr bool IsZero() const { return scaled_ == 0; }

    constexpr auto operator<=>(const FixedDecimal&) const = default;

private:
    std::int64_t scaled_ = 0;
};

} // namespace platform
