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

TEST(FixedDecimal, HugeSizesSaturate)
{
    // A sparse file may claim almost 8 EiB; the form holds about 922 TB.
    const FixedDecimal huge = FixedDecimal::FromWhole(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(huge.Scaled(), std::numeric_limits<std::int64_t>::max());
    EXPECT_GT(huge, FixedDecimal::FromWhole(1LL << 49));
    EXPECT_LT(FixedDecimal::FromWhole(std::numeric_limits<std::int64_t>::min()), FixedDecimal());
}
