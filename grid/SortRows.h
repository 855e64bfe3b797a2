// The row order of a stable sort of the result table by one column.
#pragma once

#include <vector>

#include "grid/CellRow.h"
#include "grid/CellValue.h"

namespace grid {

using GridRow = CellRow;

enum class RowComparison {
    // Empty cells first, then sizes by value, then date-times by value, then
    // text in natural order.
    Typed,
    // Every cell as text (empty cells as the empty text) in natural order.
    Text,
};

// previousRowOf[newRow]: where each row stood before. Rows that compare equal
// keep their relative order in both directions. A row shorter than
// cellColumn reads as empty there.
std::vector<int> SortedRowOrder(const std::vector<GridRow>& rows, int cellColumn,
                                RowComparison comparison, bool descending);

} // namespace grid
