// A fixed-point number with four decimal places, counting bytes: the form of
// file sizes, size limits and size cells throughout the program. Every whole
// number of bytes up to 2^63 - 1 is held exactly: the value is kept as its
// floor and the ten-thousandths above it.
#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace platform {

class FixedDecimal {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr FixedDecimal() = default;

    // A whole number of bytes.
    static constexpr FixedDecimal FromWhole(std::int64_t whole) { return FixedDecimal(whole, 0); }
    // A value given in ten-thousandths.
    static constexpr FixedDecimal FromScaled(std::int64_t scaled)
    {
        std::int64_t floor = scaled / kScale;
        std::int64_t fraction = scaled % kScale;
        if (fraction < 0) {
            --floor;
            fraction += kScale;
        }
        return FixedDecimal(floor, static_cast<std::int32_t>(fraction));
    }

    // The value is Floor() + Fraction() / 10,000, with 0 <= Fraction() < 10,000.
    constexpr std::int64_t Floor() const { return floor_; }
    constexpr std::int32_t Fraction() const { return fraction_; }
    // The value in ten-thousandths, exact over the whole range.
    constexpr __int128 Scaled() const { return static_cast<__int128>(floor_) * kScale + fraction_; }
    // The whole part, truncated toward zero.
    constexpr std::int64_t Whole() const { return floor_ < 0 && fraction_ != 0 ? floor_ + 1 : floor_; }
    constexpr double ToDouble() const { return static_cast<double>(floor_) + fraction_ / static_cast<double>(kScale); }
    constexpr bool IsZero() const { return floor_ == 0 && fraction_ == 0; }
    // Whether a double (a spreadsheet's number) holds the value exactly: whole
    // numbers of at most 53 bits, and smaller values with their
    // ten-thousandths.
    constexpr bool IsExactAsDouble() const
    {
        constexpr std::int64_t kExactWhole = std::int64_t{1} << 53;
        constexpr std::int64_t kExactWithFraction = kExactWhole / kScale;
        const std::int64_t limit = fraction_ == 0 ? kExactWhole : kExactWithFraction;
        return floor_ <= limit && floor_ >= -limit;
    }
    // The exact value as plain digits: the whole part, then up to four
    // decimals without trailing zeros ("-1.5", "9223372036854775807").
    std::string ToText() const
    {
        const __int128 scaled = Scaled();
        const bool negative = scaled < 0;
        const auto magnitude = static_cast<unsigned __int128>(negative ? -scaled : scaled);
        std::string text = negative ? "-" : "";
        text += std::to_string(static_cast<std::uint64_t>(magnitude / kScale));
        if (const auto fraction = static_cast<std::uint64_t>(magnitude % kScale); fraction != 0) {
            std::string digits = std::to_string(fraction + kScale).substr(1);
            digits.erase(digits.find_last_not_of('0') + 1);
            text += '.';
            text += digits;
        }
        return text;
    }

    constexpr auto operator<=>(const FixedDecimal&) const = default;

private:
    constexpr FixedDecimal(std::int64_t floor, std::int32_t fraction) : floor_(floor), fraction_(fraction) {}

    std::int64_t floor_ = 0;
    std::int32_t fraction_ = 0;
};

} // namespace platform
