// The eight columns of the result table, in their order: the window creates
// them at start-up, the command line writes them as its columns and its
// workbook's columns. Widths are in twips.
#pragma once

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
};

inline constexpr ResultColumn kResultColumns[] = {
    {"filename", "Filename", 1500, kDataTypeText, kAlignGeneral, ""},
    {"version", "Version", 1200, kDataTypeText, kAlignRightCenter, ""},
    {"size", "Size", 900, kDataTypeInteger, kAlignRightCenter, "#,0"},
    {"date", "Date", 1800, kDataTypeDateTime, kAlignGeneral, ""},
    {"path", "Path", 1800, kDataTypeText, kAlignGeneral, ""},
    {"desc", "Description", 1800, kDataTypeText, kAlignGeneral, ""},
    {"product", "Product", 1800, kDataTypeText, kAlignGeneral, ""},
    {"company", "Company", 1800, kDataTypeText, kAlignGeneral, ""},
};

// Adds the eight columns to the table: for each, the column under its key,
// then its caption, the alignment and format that differ from the grid's
// defaults, its width and its data type.
void AddResultColumns(ResultGrid& table);

// How a workbook shows a column of the given data type.
xls::ColumnKind SheetColumnKind(int dataType);

// The workbook columns of the result table, as an export of the window's
// table would write them.
std::vector<xls::SheetColumn> ResultSheetColumns();

} // namespace grid
