// How a result-table column looks: key, caption, width, data type, alignment
// and number format. The grid takes these descriptions as data: the engine's
// fact catalogue owns which columns exist and in what order; here they become
// table columns and workbook columns. Widths are in twips.
#pragma once

#include <span>
#include <vector>

#include "grid/GridColumn.h"
#include "grid/GridStyle.h"
#include "grid/xls/XlsWorkbook.h"

namespace grid {

class ResultGrid;

struct ResultColumn {
    const char* key;
    const char* caption;
    float widthTwips;
    int dataType;
    int textAlignment;   // the cell style's alignment code
    const char* format;  // the cell style's number format; empty for none
    // The cell is a JSON text, written into JSON output as it is; no other
    // output offers the column.
    bool jsonDocument = false;
};

// Adds the columns to the table, in order: for each, the column under its
// key, then its caption, the alignment and format that differ from the
// grid's defaults, its width and its data type.
void AddResultColumns(ResultGrid& table, std::span<const ResultColumn> columns);

// How a workbook shows a column of the given data type.
xls::ColumnKind SheetColumnKind(int dataType);

// The workbook columns for the given columns, as an export of a table made
// from them would write them.
std::vector<xls::SheetColumn> ResultSheetColumns(std::span<const ResultColumn> columns);

} // namespace grid
