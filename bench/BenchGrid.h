// Filling a result table the way the window does: the eight columns of its
// start-up, then for each found file one more row and its eight cells.
#pragma once

#include <vector>

#include "cDisk/FoundFileRow.h"
#include "grid/ResultGrid.h"

namespace bench {

inline void AddResultColumns(grid::ResultGrid& table)
{
    struct Spec {
        const char* key;
        const char* caption;
        float width;
        int type;
    };
    const Spec specs[] = {
        {"filename", "Filename", 1500, grid::kDataTypeText}, {"version", "Version", 1200, grid::kDataTypeText},
        {"size", "Size", 900, grid::kDataTypeInteger},       {"date", "Date", 1800, grid::kDataTypeDateTime},
        {"path", "Path", 1800, grid::kDataTypeText},         {"desc", "Description", 1800, grid::kDataTypeText},
        {"product", "Product", 1800, grid::kDataTypeText},   {"company", "Company", 1800, grid::kDataTypeText},
    };
    for (const Spec& spec : specs) {
        grid::GridColumn& column = table.AddColumn(spec.key);
        column.SetCaption(spec.caption);
        if (std::string(spec.key) == "size") column.CellStyle().SetFormat("#,0");
        column.SetWidth(spec.width);
        column.SetDataType(spec.type);
    }
}

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
