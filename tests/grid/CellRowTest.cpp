// The one-block row of the result table: its cells survive growing,
// shrinking, copying and moving with their values intact.
#include <gtest/gtest.h>

#include <string>

#include "grid/CellRow.h"

namespace grid {
namespace {

// A text too long for a string's inline buffer, so a lost or doubly freed
// cell shows under the sanitizers.
const std::string kLongText(40, 'x');

TEST(CellRow, KeepsItsCellsThroughGrowShrinkCopyAndMove)
{
    CellRow row;
    EXPECT_TRUE(row.empty());
    row.resize(2);
    row[1] = kLongText;
    row.reserve(8);  // moves the cells to a larger block
    row.resize(3);
    row[2] = platform::FixedDecimal::FromWhole(7);
    ASSERT_EQ(row.size(), 3u);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(row[0]));
    EXPECT_EQ(std::get<std::string>(row[1]), kLongText);

    CellRow copy = row;
    row.resize(2);
    row.shrink_to_fit();
    EXPECT_EQ(row.capacity(), 2u);
    EXPECT_EQ(copy.size(), 3u);
    EXPECT_EQ(std::get<platform::FixedDecimal>(copy[2]), platform::FixedDecimal::FromWhole(7));

    CellRow moved = std::move(copy);
    EXPECT_TRUE(copy.empty());
    EXPECT_EQ(std::get<std::string>(moved[1]), kLongText);
    moved = CellRow{CellValue(kLongText)};
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(std::get<std::string>(moved[0]), kLongText);

    row.resize(0);
    row.shrink_to_fit();
    EXPECT_EQ(row.capacity(), 0u);
}

} // namespace
} // namespace grid
