// Sorting the result table: stability, directions, and the text, number and
// date comparisons.
#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "grid/ResultGrid.h"

namespace grid {
namespace {

using Texts = std::vector<std::string>;

// Rows with a name in column 0 and the given value in cell column `column`.
void Fill(ResultGrid& grid, int column, const std::vector<std::pair<std::string, CellValue>>& rows)
{
    testing::AddWindowColumns(grid);
    for (const auto& [name, value] : rows) {
        const int row = grid.RowCount();
        grid.SetRowCount(row + 1);
        grid.SetCellValue(row, 0, name);
        if (!std::holds_alternative<std::monostate>(value)) grid.SetCellValue(row, column, value);
    }
}

platform::FixedDecimal Bytes(std::int64_t whole)
{
    return platform::FixedDecimal::FromWhole(whole);
}

TEST(GridSort, EqualKeysKeepTheirOrderInBothDirections)
{
    ResultGrid grid;
    Fill(grid, 6, {{"a1", std::string("Beta")},
                                    {"a2", std::string("alpha")},
                                    {"a3", std::string("beta")},
                                    {"a4", std::string("ALPHA")},
                                    {"a5", std::string("Beta")}});
    grid.Sort(-1, -1, "product", kSortAscending, kSortKindText);
    // Case is ignored; ties between different spellings are broken by the
    // plain bytes ("ALPHA" < "alpha", "Beta" < "beta"); exact duplicates
    // keep their order.
    EXPECT_EQ(testing::FirstColumnTexts(grid), (Texts{"a4", "a2", "a1", "a5", "a3"}));
    EXPECT_EQ(grid.Column(7).SortOrder(), kSortAscending);

    grid.Sort(-1, -1, "product", kSortDescending, kSortKindText);
    EXPECT_EQ(testing::FirstColumnTexts(grid), (Texts{"a3", "a1", "a5", "a2", "a4"}));
    EXPECT_EQ(grid.Column(7).SortOrder(), kSortDescending);
}

TEST(GridSort, OtherDirectionsLeaveRowsButAreStored)
{
    ResultGrid grid;
    Fill(grid, 0, {{"b", {}}, {"a", {}}});
    testing::RecordingObserver observer;
    grid.AddObserver(&observer);
    grid.Sort(-1, -1, "filename", 0, kSortKindText);
    EXPECT_EQ(testing::FirstColumnTexts(grid), (Texts{"b", "a"}));
    EXPECT_EQ(grid.Column(1).SortOrder(), 0);
    grid.Sort(-1, -1, "filename", 7, kSortKindText);
    EXPECT_EQ(grid.Column(1).SortOrder(), 7);
    EXPECT_EQ(observer.events, (std::vector<std::string>{"heading 0", "heading 0"}));
}

TEST(GridSort, UnknownKeyFailsWithoutTouchingTheRows)
{
    ResultGrid grid;
    Fill(grid, 0, {{"b", {}}, {"a", {}}});
    EXPECT_THROW(grid.Sort(-1, -1, "nope", kSortAscending, kSortKindText), std::invalid_argument);
    EXPECT_EQ(testing::FirstColumnTexts(grid), (Texts{"b", "a"}));
}

TEST(GridSort, NumbersCompareByValueWithEmptyCellsFirst)
{
    ResultGrid grid;
    Fill(grid, 2, {{"big", Bytes(10'000'000'000)},
                                    {"none", {}},
                                    {"nine", Bytes(9)},
                                    {"half", platform::FixedDecimal::FromScaled(5000)},
                                    {"ten", Bytes(10)},
                                    {"zero", Bytes(0)}});
    grid.Sort(-1, -1, "size", kSortAscending, kSortKindNumber);
    EXPECT_EQ(testing::FirstColumnTexts(grid), (Texts{"none", "zero", "half", "nine", "ten", "big"}));
    grid.Sort(-1, -1, "size", kSortDescending, kSortKindNumber);
    EXPECT_EQ(testing::FirstColumnTexts(grid), (Texts{"big", "ten", "nine", "half", "zero", "none"}));
}

TEST(GridSort, NumberKindDiffersFromTextOrderOfTheSameCells)
{
    // As text "1.5" comes after "1.25" (5 < 25 fails), as numbers before.
    ResultGrid grid;
    Fill(grid, 2, {{"one and a half", platform::FixedDecimal::FromScaled(15000)},
                                    {"one and a quarter", platform::FixedDecimal::FromScaled(12500)}});
    grid.Sort(-1, -1, "size", kSortAscending, kSortKindText);
    EXPECT_EQ(testing::FirstColumnTexts(grid), (Texts{"one and a half", "one and a quarter"}));
    grid.Sort(-1, -1, "size", kSortAscending, kSortKindNumber);
    EXPECT_EQ(testing::FirstColumnTexts(grid), (Texts{"one and a quarter", "one and a half"}));
}

TEST(GridSort, DatesCompareByTimeNotByText)
{
    using platform::DateTime;
    ResultGrid grid;
    Fill(grid, 3, {{"2010", DateTime::FromFields({2010, 5, 1, 0, 0, 0})},
                                    {"1999 late", DateTime::FromFields({1999, 12, 31, 23, 59, 59})},
                                    {"1999 early", DateTime::FromFields({1999, 12, 31, 0, 0, 1})},
                                    {"1899", DateTime::FromFields({1899, 1, 1, 0, 0, 0})},
                                    {"none", {}}});
    grid.Sort(-1, -1, "date", kSortAscending, kSortKindDateTime);
    EXPECT_EQ(testing::FirstColumnTexts(grid), (Texts{"none", "1899", "1999 early", "1999 late", "2010"}));
}

TEST(GridSort, TextOrderIsNaturalAndDefaultKindSortsAsText)
{
    ResultGrid grid;
    Fill(grid, 1, {{"a", std::string("10.0.1")},
                                    {"b", std::string("6.1.7601")},
                                    {"c", std::string("6.1.760")},
                                    {"d", std::string("")},
                                    {"e", std::string("6.01.7601")}});
    grid.Sort(-1, -1, "version", kSortAscending, kSortKindDefault);
    EXPECT_EQ(testing::FirstColumnTexts(grid), (Texts{"d", "c", "e", "b", "a"}));
}

TEST(GridSort, RowsAddedAfterASortGoToTheEnd)
{
    ResultGrid grid;
    Fill(grid, 0, {{"b", {}}, {"a", {}}});
    grid.Sort(-1, -1, "filename", kSortAscending, kSortKindText);
    grid.SetRowCount(3);
    grid.SetCellValue(2, 0, std::string("0"));
    EXPECT_EQ(testing::FirstColumnTexts(grid), (Texts{"a", "b", "0"}));
}

} // namespace
} // namespace grid
