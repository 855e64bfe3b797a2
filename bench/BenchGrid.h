// Filling a result table the way the window does: the eight columns of its
// start-up, then for each found file one more row and its eight cells.
#pragma once

#include <vector>

#include "cDisk/FoundFileRow.h"
#include "grid/ResultColumns.h"
#include "grid/ResultGrid.h"

namespace bench {

inline void FillGrid(grid::ResultGrid& table, const std::vector<FoundFileRow>& rows)
{
    for (const FoundFileRow& row : rows) {
        const int index = table.RowCount();
        table.SetRowCount(index + 1);
        table.SetCellValue(index, 0, row.fileName);
        table.SetCellValue(index, 1, row.version);
        table.SetCellValue(index, 2, row.size);
        if (row.modified) table.SetCellValue(index, 3, *row.modified);
        table.SetCellValue(index, 4, row.path);
        table.SetCellValue(index, 5, row.desc);
        table.SetCellValue(index, 6, row.product);
        table.SetCellValue(index, 7, row.company);
    }
}

} // namespace bench
