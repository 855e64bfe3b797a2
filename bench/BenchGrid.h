// Filling a result table the way the window does: the default columns of its
// start-up, then for each found file one more row and its cells.
#pragma once

#include <vector>

#include "cDisk/ResultFacts.h"
#include "grid/CellValue.h"
#include "grid/ResultColumns.h"
#include "grid/ResultGrid.h"

namespace bench {

inline void AddDefaultColumns(grid::ResultGrid& table)
{
    grid::AddResultColumns(table, ColumnsOf(DefaultFactSelection()));
}

inline void FillGrid(grid::ResultGrid& table, const std::vector<std::vector<grid::CellValue>>& rows)
{
    for (const std::vector<grid::CellValue>& row : rows) {
        const int index = table.RowCount();
        table.SetRowCount(index + 1);
        for (std::size_t column = 0; column < row.size(); ++column)
            table.SetCellValue(index, static_cast<int>(column), row[column]);
    }
}

} // namespace bench
