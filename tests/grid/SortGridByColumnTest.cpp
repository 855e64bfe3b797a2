// Sorting by a column: direction toggling, the sort kind per data type, the
// heading marks, and the empty-table and failure cases.
#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "VORN_STD_library/SortGridByColumn.h"

namespace {

using grid::ResultGrid;
using grid::testing::FirstColumnTexts;
using Texts = std::vector<std::string>;
using VORN_STD_library::SortGridByColumn;

// Three files whose size order differs from their name order.
void FillThreeFiles(ResultGrid& grid)
{
    grid::testing::AddWindowColumns(grid);
    const std::pair<const char*, std::int64_t> files[] = {{"b.dll", 300}, {"a.dll", 1000}, {"c.dll", 20}};
    for (const auto& [name, size] : files) {
        const int row = grid.RowCount();
        grid.SetRowCount(row + 1);
        grid.SetCellValue(row, 0, std::string(name));
        grid.SetCellValue(row, 2, platform::FixedDecimal::FromWhole(size));
    }
}

void ExpectMarkedOnly(const ResultGrid& grid, int position)
{
    for (int p = 1; p <= grid.ColumnCount(); ++p) {
        const grid::GridStyle& heading = grid.Column(p).HeadingStyle();
        SCOPED_TRACE("column " + std::to_string(p));
        EXPECT_EQ(heading.ForeColor(), p == position ? grid::kColorBlue : grid::kColorWindowText);
        EXPECT_EQ(heading.Underline(), p == position);
        if (p != position) {
            EXPECT_EQ(grid.Column(p).SortOrder(), 0);
        }
    }
}

TEST(SortGridByColumn, RepeatedCallsAlternateAscendingAndDescending)
{
    ResultGrid grid;
    FillThreeFiles(grid);
    SortGridByColumn(grid, 3);
    EXPECT_EQ(FirstColumnTexts(grid), (Texts{"c.dll", "b.dll", "a.dll"}));
    EXPECT_EQ(grid.Column(3).SortOrder(), 1);
    SortGridByColumn(grid, 3);
    EXPECT_EQ(FirstColumnTexts(grid), (Texts{"a.dll", "b.dll", "c.dll"}));
    EXPECT_EQ(grid.Column(3).SortOrder(), 2);
    SortGridByColumn(grid, 3);
    EXPECT_EQ(FirstColumnTexts(grid), (Texts{"c.dll", "b.dll", "a.dll"}));
    EXPECT_EQ(grid.Column(3).SortOrder(), 1);
    ExpectMarkedOnly(grid, 3);
}

TEST(SortGridByColumn, AnotherColumnStartsAscendingAndClearsThePreviousOne)
{
    ResultGrid grid;
    FillThreeFiles(grid);
    SortGridByColumn(grid, 3);
    SortGridByColumn(grid, 3);
    SortGridByColumn(grid, 1);
    EXPECT_EQ(FirstColumnTexts(grid), (Texts{"a.dll", "b.dll", "c.dll"}));
    EXPECT_EQ(grid.Column(1).SortOrder(), 1);
    ExpectMarkedOnly(grid, 1);

    SortGridByColumn(grid, 3);
    EXPECT_EQ(grid.Column(3).SortOrder(), 1) << "switching back starts afresh";
}

TEST(SortGridByColumn, ExplicitDirectionWinsOverTheStoredOrder)
{
    ResultGrid grid;
    FillThreeFiles(grid);
    SortGridByColumn(grid, 1, 2);
    EXPECT_EQ(FirstColumnTexts(grid), (Texts{"c.dll", "b.dll", "a.dll"}));
    SortGridByColumn(grid, 1, 2);
    EXPECT_EQ(grid.Column(1).SortOrder(), 2);

    grid.Column(1).SetSortOrder(5);
    SortGridByColumn(grid, 1);
    EXPECT_EQ(grid.Column(1).SortOrder(), 0) << "an unknown stored order gives direction 0";
    EXPECT_EQ(FirstColumnTexts(grid), (Texts{"c.dll", "b.dll", "a.dll"}));
}

TEST(SortGridByColumn, EmptyTableMarksHeadingsWithoutSorting)
{
    ResultGrid grid;
    grid::testing::AddWindowColumns(grid);
    grid.Column(2).SetSortOrder(1);
    grid.Column(2).HeadingStyle().SetForeColor(grid::kColorBlue);
    grid::testing::RecordingObserver observer;
    grid.AddObserver(&observer);

    SortGridByColumn(grid, 4);
    SortGridByColumn(grid, 4);

    ExpectMarkedOnly(grid, 4);
    EXPECT_EQ(grid.Column(4).SortOrder(), 0) << "no sort ran, so nothing stored a direction";
    EXPECT_EQ(std::count(observer.events.begin(), observer.events.end(), "layout"), 0);
}

TEST(SortGridByColumn, SortKindFollowsTheDataType)
{
    using VORN_STD_library::SortKindForDataType;
    for (int numeric : {2, 3, 4, 5, 6, 11, 14, 17}) EXPECT_EQ(SortKindForDataType(numeric), 2) << numeric;
    EXPECT_EQ(SortKindForDataType(7), 5);
    EXPECT_EQ(SortKindForDataType(8), 4);
    for (int other : {0, 1, 9, 12, 16, 8192}) EXPECT_EQ(SortKindForDataType(other), 0) << other;
}

TEST(SortGridByColumn, BadPositionFailsBeforeChangingAnyHeading)
{
    ResultGrid grid;
    FillThreeFiles(grid);
    SortGridByColumn(grid, 2);
    EXPECT_THROW(SortGridByColumn(grid, 9), std::out_of_range);
    EXPECT_THROW(SortGridByColumn(grid, 0), std::out_of_range);
    ExpectMarkedOnly(grid, 2);
    EXPECT_EQ(grid.Column(2).SortOrder(), 1);
}

TEST(SortGridByColumn, MoreThan32767ColumnsOverflow)
{
    ResultGrid grid;
    grid.SetColumnCount(32768);
    EXPECT_THROW(SortGridByColumn(grid, 1), std::overflow_error);
    grid.SetColumnCount(32767);
    EXPECT_NO_THROW(SortGridByColumn(grid, 32767));
}

} // namespace
