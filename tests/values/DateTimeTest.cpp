// Day-count date-times: the epoch, leap years, negative fractions and the
// local-time conversion must all land on the calendar fields people expect.
#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/LocalOffsets.h"

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

namespace {

// Puts the TZ variable back as it was, however the test ends.
struct TimeZoneRestorer {
    std::optional<std::string> saved = std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
    ~TimeZoneRestorer()
    {
        if (saved) setenv("TZ", saved->c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
};

} // namespace

TEST(DateTime, RememberedOffsetsMatchTheLibraryAcrossEveryKindOfChange)
{
    struct Change {
        const char* zone;
        std::int64_t at;
    };
    // Summer time starting and ending, a change of half an hour, and a local
    // mean time ending in the middle of a quarter hour.
    const Change changes[] = {{"Europe/Berlin", 1774746000},
                              {"Europe/Berlin", 1792890000},
                              {"Australia/Lord_Howe", 1791041400},
                              {"Europe/Berlin", -2422054408}};
    const TimeZoneRestorer restorer;
    for (const Change& change : changes) {
        setenv("TZ", change.zone, 1);
        tzset();
        std::vector<std::pair<std::int64_t, std::string>> expected;
        for (std::int64_t t = change.at - 7200; t <= change.at + 7200; t += 97) {
            for (const std::int64_t moment : {t, change.at - 1, change.at}) {
                const std::time_t asTime = static_cast<std::time_t>(moment);
                std::tm local{};
                ASSERT_NE(localtime_r(&asTime, &local), nullptr);
                expected.emplace_back(moment, DateTime::FromUnixUtc(moment + local.tm_gmtoff).ToIsoText());
            }
        }
        const platform::LocalOffsetMemo memo;
        for (int pass = 0; pass < 2; ++pass)
            for (const auto& [moment, text] : expected)
                ASSERT_EQ(DateTime::FromUnixLocal(moment).ToIsoText(), text) << change.zone << " " << moment;
    }
}
