// Date-time values in the day-count form: days since 1899-12-30 00:00:00, the
// fraction being the time of day. Whole seconds, no time zone of its own.
#pragma once

#include <compare>
#include <cstdint>
#include <ctime>
#include <string>

namespace platform {

struct CalendarFields {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const CalendarFields&) const = default;
};

class DateTime {
public:
    constexpr DateTime() = default;

    static DateTime FromDays(double days);
    static DateTime FromFields(const CalendarFields& fields);
    // Seconds since 1970-01-01 UTC, shown in UTC.
    static DateTime FromUnixUtc(std::int64_t seconds);
    // Seconds since 1970-01-01 UTC, shown in the process's local time zone.
    static DateTime FromUnixLocal(std::int64_t seconds);

    double Days() const { return days_; }
    // Calendar fields, rounded to the nearest second.
    CalendarFields Fields() const;
    // "YYYY-MM-DD HH:MM:SS".
    std::string ToIsoText() const;
    // The same text appended to `out` (no temporary: copies and exports
    // write a date on every row).
    void AppendIsoText(std::string& out) const;

    auto operator<=>(const DateTime&) const = default;

private:
    double days_ = 0.0;
};

} // namespace platform
