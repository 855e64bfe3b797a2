// Conversions between the day-count form and calendar fields, using the
// proleptic Gregorian calendar (days-from-civil arithmetic, no table).
#include "platform/DateTime.h"

#include "platform/LocalOffsets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace platform {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// Days from 1970-01-01 back to 1899-12-30.
constexpr std::int64_t kEpochOffsetDays = 25569;

// Days since 1970-01-01 of a civil date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

std::int64_t SecondsSince1899(double days)
{
    return static_cast<std::int64_t>(std::llround(days * kSecondsPerDay));
}

DateTime FromSecondsSince1899(std::int64_t seconds)
{
    return DateTime::FromDays(static_cast<double>(seconds) / kSecondsPerDay);
}

} // namespace

DateTime DateTime::FromDays(double days)
{
    DateTime value;
    value.days_ = days;
    return value;
}

DateTime DateTime::FromFields(const CalendarFields& f)
{
    const std::int64_t days =
        DaysFromCivil(f.year, static_cast<unsigned>(f.month), static_cast<unsigned>(f.day)) +
        kEpochOffsetDays;
    return FromSecondsSince1899(days * kSecondsPerDay + f.hour * 3600 + f.minute * 60 + f.second);
}

DateTime DateTime::FromUnixUtc(std::int64_t seconds)
{
    return FromSecondsSince1899(seconds + kEpochOffsetDays * kSecondsPerDay);
}

DateTime DateTime::FromUnixLocal(std::int64_t seconds)
{
    const std::optional<long> offset = LocalOffsetAt(seconds);
    return FromUnixUtc(offset ? seconds + *offset : seconds);
}

CalendarFields DateTime::Fields() const
{
    const std::int64_t total = SecondsSince1899(days_);
    std::int64_t dayNumber = total / kSecondsPerDay;
    std::int64_t secondOfDay = total % kSecondsPerDay;
    if (secondOfDay < 0) {
        secondOfDay += kSecondsPerDay;
        --dayNumber;
    }
    CalendarFields f;
    CivilFromDays(dayNumber - kEpochOffsetDays, f.year, f.month, f.day);
    f.hour = static_cast<int>(secondOfDay / 3600);
    f.minute = static_cast<int>(secondOfDay / 60 % 60);
    f.second = static_cast<int>(secondOfDay % 60);
    return f;
}

std::string DateTime::ToIsoText() const
{
    std::string text;
    AppendIsoText(text);
    return text;
}

void DateTime::AppendIsoText(std::string& out) const
{
    const CalendarFields f = Fields();
    char text[48];
    if (f.year < 0 || f.year > 9999) {
        const int length = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month,
                                         f.day, f.hour, f.minute, f.second);
        out.append(text, static_cast<std::size_t>(std::clamp(length, 0, static_cast<int>(sizeof text) - 1)));
        return;
    }
    // Four-digit years, the only ones files carry, are written digit by digit.
    const auto put = [&text](int at, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10) text[at + i] = static_cast<char>('0' + value % 10);
    };
    put(0, f.year, 4);
    text[4] = '-';
    put(5, f.month, 2);
    text[7] = '-';
    put(8, f.day, 2);
    text[10] = ' ';
    put(11, f.hour, 2);
    text[13] = ':';
    put(14, f.minute, 2);
    text[16] = ':';
    put(17, f.second, 2);
    out.append(text, 19);
}

} // namespace platform
