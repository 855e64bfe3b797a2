// Creates table and workbook columns from column descriptions.
#include "grid/ResultColumns.h"

#include <utility>

#include "grid/ResultGrid.h"

namespace grid {

void AddResultColumns(ResultGrid& table, std::span<const ResultColumn> columns)
{
    for (const ResultColumn& design : columns) {
        GridColumn& column = table.AddColumn(design.key);
        column.SetCaption(design.caption);
        if (design.textAlignment != kAlignGeneral) column.CellStyle().SetTextAlignment(design.textAlignment);
        if (*design.format != '\0') column.CellStyle().SetFormat(design.format);
        column.SetWidth(design.widthTwips);
        column.SetDataType(design.dataType);
    }
}

std::vector<xls::SheetColumn> ResultSheetColumns(std::span<const ResultColumn> columns)
{
    std::vector<xls::SheetColumn> sheetColumns;
    for (const ResultColumn& design : columns) {
        xls::SheetColumn column;
        column.caption = design.caption;
        column.widthTwips = design.widthTwips;
        column.kind = SheetColumnKind(design.dataType);
        column.numberFormat = design.format;
        sheetColumns.push_back(std::move(column));
    }
    return sheetColumns;
}

} // namespace grid
