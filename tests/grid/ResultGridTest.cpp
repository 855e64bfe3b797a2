// The result table's rows, columns, cells and the notifications views rely on.
#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "grid/ResultGrid.h"

namespace grid {
namespace {

using testing::RecordingObserver;
using EventList = std::vector<std::string>;

TEST(ResultGridRows, GrowingByOneKeepsEarlierRowsAndInsertsOneRow)
{
    ResultGrid grid;
    grid.AddColumn("filename");
    RecordingObserver observer;
    grid.AddObserver(&observer);

    grid.SetRowCount(1);
    grid.SetCellValue(0, 0, std::string("a.dll"));
    grid.SetRowCount(2);

    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(std::get<std::string>(grid.CellValueAt(0, 0)), "a.dll");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(grid.CellValueAt(1, 0)));
    EXPECT_EQ(observer.events, (EventList{"insert rows 0 0", "cell 0 0", "insert rows 1 1"}));
}

TEST(ResultGridRows, ZeroEmptiesShrinkDropsFromTheEndNegativeFails)
{
    ResultGrid grid;
    grid.AddColumn("filename");
    grid.SetRowCount(3);
    grid.SetCellValue(0, 0, std::string("first"));
    RecordingObserver observer;
    grid.AddObserver(&observer);

    grid.SetRowCount(1);
    EXPECT_EQ(std::get<std::string>(grid.CellValueAt(0, 0)), "first");
    grid.SetRowCount(0);
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_THROW(grid.SetRowCount(-1), std::invalid_argument);
    EXPECT_EQ(observer.events, (EventList{"remove rows 1 2", "reset"}));

    grid.SetRowCount(1);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(grid.CellValueAt(0, 0)));
}

TEST(ResultGridColumns, AddReturnsTheNewLastColumnAndPositionsAreOneBased)
{
    ResultGrid grid;
    GridColumn& first = grid.AddColumn("filename");
    GridColumn& second = grid.AddColumn("size");

    EXPECT_EQ(grid.ColumnCount(), 2);
    EXPECT_EQ(second.Position(), 2);
    EXPECT_EQ(&grid.Column(1), &first);
    EXPECT_EQ(&grid.Column(2), &second);
    EXPECT_EQ(grid.Column(2).CellColumn(), 1);
    EXPECT_EQ(grid.ColumnByKey("size"), &second);
    EXPECT_EQ(grid.ColumnByKey("missing"), nullptr);
    EXPECT_THROW(grid.Column(0), std::out_of_range);
    EXPECT_THROW(grid.Column(3), std::out_of_range);
}

TEST(ResultGridColumns, ColumnCountZeroRemovesColumnsAndTheirCells)
{
    ResultGrid grid;
    grid.AddColumn("a");
    grid.AddColumn("b");
    grid.SetRowCount(1);
    grid.SetCellValue(0, 1, std::string("kept only while b exists"));
    RecordingObserver observer;
    grid.AddObserver(&observer);

    grid.SetColumnCount(0);
    EXPECT_EQ(grid.ColumnCount(), 0);
    EXPECT_EQ(grid.RowCount(), 1);

    grid.SetColumnCount(2);
    EXPECT_TRUE(grid.Column(2).Key().empty());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(grid.CellValueAt(0, 1)));
    EXPECT_EQ(observer.events, (EventList{"remove columns 0 1", "insert columns 0 0", "insert columns 1 1"}));
}

TEST(ResultGridColumns, PropertiesReadBackAndReportTheRightChange)
{
    ResultGrid grid;
    testing::AddWindowColumns(grid);
    RecordingObserver observer;
    grid.AddObserver(&observer);

    GridColumn& size = grid.Column(3);
    size.HeadingStyle().SetForeColor(kColorBlue);
    size.HeadingStyle().SetUnderline(true);
    size.CellStyle().SetFormat("#,##0");
    size.SetSortOrder(2);
    size.SetDataType(kDataTypeInteger);

    EXPECT_EQ(size.HeadingStyle().ForeColor(), kColorBlue);
    EXPECT_TRUE(size.HeadingStyle().Underline());
    EXPECT_FALSE(size.CellStyle().Underline());
    EXPECT_EQ(size.CellStyle().TextAlignment(), kAlignRightCenter);
    EXPECT_EQ(size.CellStyle().Format(), "#,##0");
    EXPECT_EQ(size.SortOrder(), 2);
    EXPECT_EQ(size.Width(), 900.0f);
    EXPECT_EQ(observer.events, (EventList{"heading 2", "heading 2", "cell style 2", "heading 2"}));
}

TEST(ResultGridCells, TypedValuesRoundTripAndMisuseChangesNothing)
{
    ResultGrid grid;
    testing::AddWindowColumns(grid);
    grid.SetRowCount(1);
    const auto size = platform::FixedDecimal::FromWhole(5'000'000'000);
    const auto date = platform::DateTime::FromFields({2024, 2, 29, 13, 45, 7});
    grid.SetCellValue(0, 2, size);
    grid.SetCellValue(0, 3, date);
    grid.SetCellValue(0, 7, std::string("Comp\xC3\xA1ny"));

    EXPECT_EQ(std::get<platform::FixedDecimal>(grid.CellValueAt(0, 2)), size);
    EXPECT_EQ(std::get<platform::DateTime>(grid.CellValueAt(0, 3)), date);
    EXPECT_EQ(std::get<std::string>(grid.CellValueAt(0, 7)), "Comp\xC3\xA1ny");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(grid.CellValueAt(0, 5)));

    EXPECT_THROW(grid.SetCellValue(1, 0, std::string("x")), std::out_of_range);
    EXPECT_THROW(grid.SetCellValue(0, 8, std::string("x")), std::out_of_range);
    EXPECT_THROW(grid.SetCellValue(-1, 0, std::string("x")), std::out_of_range);
    EXPECT_THROW(grid.CellValueAt(0, -1), std::out_of_range);
    EXPECT_EQ(grid.RowCount(), 1);
}

TEST(ResultGridCommands, RefreshNotifiesAndColumnRangeChecksItsArguments)
{
    ResultGrid grid;
    RecordingObserver observer;
    grid.AddObserver(&observer);
    EXPECT_NO_THROW(grid.ColumnRange(1, 0));
    testing::AddWindowColumns(grid);
    observer.events.clear();

    grid.Refresh();
    EXPECT_NO_THROW(grid.ColumnRange(1, 8));
    EXPECT_THROW(grid.ColumnRange(1, 9), std::out_of_range);
    EXPECT_THROW(grid.ColumnRange(0, 8), std::out_of_range);
    EXPECT_EQ(observer.events, (EventList{"refresh"}));

    grid.RemoveObserver(&observer);
    grid.Refresh();
    EXPECT_EQ(observer.events.size(), 1u);
}

} // namespace
} // namespace grid
