// Sizes in the four-decimal fixed-point form: exact for whole bytes, and
// saturating rather than wrapping for sizes the form cannot hold.
#include "platform/FixedDecimal.h"

#include <gtest/gtest.h>

#include <limits>

using platform::FixedDecimal;

TEST(FixedDecimal, WholeBytesAreExact)
{
    const FixedDecimal fiveGiB = FixedDecimal::FromWhole(5LL << 30);
    EXPECT_EQ(fiveGiB.Scaled(), (5LL << 30) * 10000);
    EXPECT_EQ(fiveGiB.Whole(), 5LL << 30);
    EXPECT_DOUBLE_EQ(FixedDecimal::FromWhole(1234).ToDouble(), 1234.0);
    EXPECT_TRUE(FixedDecimal().IsZero());
}

TEST(FixedDecimal, EveryWholeSizeUpToTheLargestFileIsExact)
{
    // A sparse file may claim almost 8 EiB.
    constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
    for (const std::int64_t whole : {kLargest, kLargest - 1, std::int64_t{922337203685478}, std::int64_t{1} << 50})
        EXPECT_EQ(FixedDecimal::FromWhole(whole).Whole(), whole) << whole;
    EXPECT_LT(FixedDecimal::FromWhole(kLargest - 1), FixedDecimal::FromWhole(kLargest));
    EXPECT_GT(FixedDecimal::FromWhole(922337203685478LL), FixedDecimal::FromWhole(922337203685477LL));
    EXPECT_LT(FixedDecimal::FromWhole(std::numeric_limits<std::int64_t>::min()), FixedDecimal());
}

TEST(FixedDecimal, FractionsOrderAndTruncateLikeTheirValue)
{
    // -0.5 < -0.25 < 0 < 0.25 < 1; Whole() truncates toward zero.
    const FixedDecimal values[] = {FixedDecimal::FromScaled(-15000), FixedDecimal::FromScaled(-5000),
                                   FixedDecimal::FromScaled(-2500), FixedDecimal(), FixedDecimal::FromScaled(2500),
                                   FixedDecimal::FromWhole(1)};
    for (std::size_t i = 1; i < std::size(values); ++i) EXPECT_LT(values[i - 1], values[i]) << i;
    EXPECT_EQ(values[0].Whole(), -1);
    EXPECT_EQ(values[1].Whole(), 0);
    EXPECT_EQ(values[0].Scaled(), -15000);
    EXPECT_DOUBLE_EQ(values[1].ToDouble(), -0.5);
}
