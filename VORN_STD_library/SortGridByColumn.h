// Sorting the result table by one column: the column's heading is marked
// (blue, underlined), every other heading returns to the plain look with its
// sort order cleared. Without a direction, repeated calls for one column
// alternate ascending and descending; another column starts ascending.
#pragma once

#include <optional>

#include "grid/ResultGrid.h"

namespace VORN_STD_library {

// The comparison kind the table's sort uses for a column data type code:
// numeric types 2, integer and decimal types give 2, date-time 7 gives 5,
// text 8 gives 4, anything else the default 0.
int SortKindForDataType(int dataType);

// Sorts grid by the column at position (1-based). With a direction it is used
// as given; without one the column's SortOrder decides: 1 gives 2, 0 and 2
// give 1, any other value gives 0 (the rows stay as they are). An empty table
// is not sorted, but the headings are marked all the same.
// Throws std::overflow_error when the grid holds more than 32767 columns and
// std::out_of_range when position names no column.
void SortGridByColumn(grid::ResultGrid& grid, int position, std::optional<int> direction = std::nullopt);

} // namespace VORN_STD_library
