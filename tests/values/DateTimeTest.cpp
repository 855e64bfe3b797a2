// Day-count date-times: the epoch, leap years, negative fractions and the
// local-time conversion must all land on the calendar fields people expect.
#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using platform::CalendarFields;
using platform::DateTime;

TEST(DateTime, DayCountMatchesSpreadsheetSerials)
{
    EXPECT_DOUBLE_EQ(DateTime::FromFields({1899, 12, 30, 0, 0, 0}).Days(), 0.0);
    EXPECT_DOUBLE_EQ(DateTime::FromFields({1900, 1, 1, 0, 0, 0}).Days(), 2.0);
    EXPECT_DOUBLE_EQ(DateTime::FromFields({2026, 12, 7, 12, 0, 0}).Days(), 46363.5);
    EXPECT_DOUBLE_EQ(DateTime::FromFields({1601, 1, 1, 0, 0, 0}).Days(), -109205.0);
}

TEST(DateTime, FieldsRoundTripAcrossLeapDaysAndCenturies)
{
    const CalendarFields samples[] = {
        {2024, 2, 29, 23, 59, 59}, {2000, 2, 29, 0, 0, 1}, {1900, 3, 1, 6, 30, 0},
        {1601, 1, 1, 0, 0, 0},     {2100, 12, 31, 12, 0, 0}, {1899, 12, 29, 18, 0, 0},
    };
    for (const CalendarFields& f : samples) {
        EXPECT_EQ(DateTime::FromFields(f).Fields(), f) << f.year << "-" << f.month << "-" << f.day;
    }
}

TEST(DateTime, BeforeTheEpochTheFractionStillCountsForward)
{
    // 1899-12-29 18:00 is -0.75 days: the time of day must not come out as 06:00.
    const DateTime t = DateTime::FromFields({1899, 12, 29, 18, 0, 0});
    EXPECT_DOUBLE_EQ(t.Days(), -0.25);
    EXPECT_EQ(t.ToIsoText(), "1899-12-29 18:00:00");
}

TEST(DateTime, UnixSecondsInUtcAndLocalTime)
{
    EXPECT_EQ(DateTime::FromUnixUtc(0).ToIsoText(), "1970-01-01 00:00:00");
    EXPECT_EQ(DateTime::FromUnixUtc(1796644800).ToIsoText(), "2026-12-07 12:00:00");

    const char* saved = std::getenv("TZ");
    const std::string savedValue = saved ? saved : "";
    setenv("TZ", "Asia/Kolkata", 1);
    tzset();
    EXPECT_EQ(DateTime::FromUnixLocal(1796644800).ToIsoText(), "2026-12-07 17:30:00");
    if (saved) setenv("TZ", savedValue.c_str(), 1); else unsetenv("TZ");
    tzset();
}

TEST(DateTime, OrderFollowsTime)
{
    EXPECT_LT(DateTime::FromFields({2020, 1, 1, 0, 0, 0}), DateTime::FromFields({2020, 1, 1, 0, 0, 1}));
}
