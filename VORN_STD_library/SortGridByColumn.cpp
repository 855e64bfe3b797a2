// Sorting the result table by one column and marking its heading.
#include "VORN_STD_library/SortGridByColumn.h"

#include <stdexcept>
#include <string>

namespace VORN_STD_library {
namespace {

constexpr int kMaxColumnCount = 32767;

int ToggledDirection(int sortOrder)
{
    switch (sortOrder) {
    case grid::kSortAscending:
        return grid::kSortDescending;
    case grid::kSortNone:
    case grid::kSortDescending:
        return grid::kSortAscending;
    default:
        return grid::kSortNone;
    }
}

} // namespace

int SortKindForDataType(int dataType)
{
    switch (dataType) {
    case 2: case 3: case 4: case 5: case 6: case 11: case 14: case 17:
        return grid::kSortKindNumber;
    case grid::kDataTypeDateTime:
        return grid::kSortKindDateTime;
    case grid::kDataTypeText:
        return grid::kSortKindText;
    default:
        return grid::kSortKindDefault;
    }
}

void SortGridByColumn(grid::ResultGrid& grid, int position, std::optional<int> direction)
{
    const int columnCount = grid.ColumnCount();
    if (columnCount > kMaxColumnCount)
        throw std::overflow_error("the grid holds " + std::to_string(columnCount) +
                                  " columns, more than " + std::to_string(kMaxColumnCount));

    // Looked up first so that a position outside the table changes nothing.
    grid::GridColumn& sorted = grid.Column(position);
    for (int other = 1; other <= columnCount; ++other) {
        if (other == position) continue;
        grid::GridColumn& column = grid.Column(other);
        column.SetSortOrder(grid::kSortNone);
        column.HeadingStyle().SetForeColor(grid::kColorWindowText);
        column.HeadingStyle().SetUnderline(false);
    }

    const int order = direction.value_or(ToggledDirection(sorted.SortOrder()));
    const int kind = SortKindForDataType(sorted.DataType());
    if (grid.RowCount() > 0) grid.Sort(-1, -1, sorted.Key(), order, kind);

    sorted.HeadingStyle().SetForeColor(grid::kColorBlue);
    sorted.HeadingStyle().SetUnderline(true);
}

} // namespace VORN_STD_library
