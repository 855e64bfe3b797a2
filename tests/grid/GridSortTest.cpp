// Sorting the result table: stability, directions, and the text, number and
// date comparisons.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "GridTestSupport.h"
#include "grid/NaturalCompare.h"
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

TEST(GridSort, DimmedRowsKeepTheirMarkThroughSortsAndGrowthAndAreDroppedInOrder)
{
    ResultGrid grid;
    Fill(grid, 0, {{"c", {}}, {"a", {}}, {"d", {}}, {"b", {}}});
    grid.SetRowDimmed(0, true);
    grid.SetRowDimmed(3, true);
    grid.SetRowCount(5);
    grid.SetCellValue(4, 0, std::string("e"));
    grid.Sort(-1, -1, "filename", kSortAscending, kSortKindText);
    ASSERT_EQ(testing::FirstColumnTexts(grid), (Texts{"a", "b", "c", "d", "e"}));
    std::vector<bool> dimmed;
    for (int row = 0; row < grid.RowCount(); ++row) dimmed.push_back(grid.RowDimmed(row));
    EXPECT_EQ(dimmed, (std::vector<bool>{false, true, true, false, false}));

    grid.RemoveDimmedRows();
    EXPECT_EQ(testing::FirstColumnTexts(grid), (Texts{"a", "d", "e"}));
    for (int row = 0; row < grid.RowCount(); ++row) EXPECT_FALSE(grid.RowDimmed(row));
    EXPECT_THROW(grid.SetRowDimmed(3, true), std::out_of_range);
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

// Texts built from pieces that stress the packed keys: long shared starts,
// one text the start of another, digit runs with leading zeros (a run of
// zeros packs to a zero byte, like the padding of a short key), a NUL
// character, case variants, accented letters and bytes that are not UTF-8.
std::string RandomText(std::mt19937& random, std::size_t minimumPieces = 0)
{
    static const std::string pieces[] = {"component", "Component", "COMPONENT", "_",          ".",
                                         "dll",       "DLL",       "0",         "00",         "007",
                                         "7",         "10",        "9",         "a",          "B",
                                         "\xC3\xA9",  "\xC3\x89",  "\xFF",      {"\0", 1}, " "};
    std::string text;
    const std::size_t pieceCount = minimumPieces + random() % 6;
    for (std::size_t i = 0; i < pieceCount; ++i) text += pieces[random() % std::size(pieces)];
    return text;
}

// Sorting many generated texts matches a plain stable sort by the natural
// comparison, in both directions, whatever prefix the texts happen to share.
TEST(GridSort, LargeTextSortsMatchTheNaturalComparison)
{
    std::mt19937 random(7);
    for (const std::string sharedStart : {"", "component", "x"}) {
        ResultGrid grid;
        std::vector<std::pair<std::string, CellValue>> rows;
        std::vector<std::string> texts;
        for (int i = 0; i < 2000; ++i) {
            texts.push_back(sharedStart + RandomText(random, sharedStart.empty() ? 0 : 1));
            rows.emplace_back(std::to_string(i), texts.back());
        }
        Fill(grid, 5, rows);
        for (const int order : {kSortAscending, kSortDescending}) {
            std::vector<int> expectedRows(texts.size());
            std::iota(expectedRows.begin(), expectedRows.end(), 0);
            // The grid's rows are in their previous sorted order; rank them
            // from where they stand now.
            std::vector<std::string> current;
            for (const std::string& id : testing::FirstColumnTexts(grid)) current.push_back(texts[std::stoul(id)]);
            std::stable_sort(expectedRows.begin(), expectedRows.end(), [&](int a, int b) {
                const int byText = CompareNatural(current[a], current[b]);
                return order == kSortAscending ? byText < 0 : byText > 0;
            });
            const Texts before = testing::FirstColumnTexts(grid);
            Texts expected;
            for (const int row : expectedRows) expected.push_back(before[static_cast<std::size_t>(row)]);

            grid.Sort(-1, -1, "desc", order, kSortKindText);
            ASSERT_EQ(testing::FirstColumnTexts(grid), expected) << "shared start \"" << sharedStart << "\"";
        }
    }
}

// Mixed cells under the number comparison: empty first, then sizes, then
// dates, then text; equal values keep their order in both directions.
TEST(GridSort, MixedCellsSortByRankValueAndTextStably)
{
    std::mt19937 random(11);
    ResultGrid grid;
    std::vector<std::pair<std::string, CellValue>> rows;
    struct Reference {
        int rank;
        double value;
        std::string text;
    };
    std::vector<Reference> references;
    for (int i = 0; i < 600; ++i) {
        CellValue cell;
        Reference reference{0, 0, ""};
        switch (random() % 4) {
        case 0: break;
        case 1: {
            const auto whole = static_cast<std::int64_t>(random() % 20) - 10;
            cell = Bytes(whole);
            reference = {1, static_cast<double>(whole), ""};
            break;
        }
        case 2: {
            const auto day = static_cast<int>(random() % 5) + 1;
            cell = platform::DateTime::FromFields({2001, 1, day, 0, 0, 0});
            reference = {2, static_cast<double>(day), ""};
            break;
        }
        default: {
            reference = {3, 0, RandomText(random)};
            cell = reference.text;
        }
        }
        references.push_back(reference);
        rows.emplace_back(std::to_string(i), cell);
    }
    Fill(grid, 2, rows);
    const auto compare = [&](int a, int b) {
        const Reference& left = references[static_cast<std::size_t>(a)];
        const Reference& right = references[static_cast<std::size_t>(b)];
        if (left.rank != right.rank) return left.rank < right.rank ? -1 : 1;
        if (left.value != right.value) return left.value < right.value ? -1 : 1;
        return left.rank == 3 ? CompareNatural(left.text, right.text) : 0;
    };
    for (const int order : {kSortDescending, kSortAscending}) {
        // Ids in the grid's current order, stable-sorted by the reference.
        std::vector<int> ids;
        for (const std::string& id : testing::FirstColumnTexts(grid)) ids.push_back(std::stoi(id));
        std::stable_sort(ids.begin(), ids.end(), [&](int a, int b) {
            const int byValue = compare(a, b);
            return order == kSortAscending ? byValue < 0 : byValue > 0;
        });
        Texts expected;
        for (const int id : ids) expected.push_back(std::to_string(id));
        grid.Sort(-1, -1, "size", order, kSortKindNumber);
        ASSERT_EQ(testing::FirstColumnTexts(grid), expected) << "order " << order;
    }
}

} // namespace
} // namespace grid
