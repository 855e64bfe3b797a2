// Creates the result table's columns from their one description.
#include "grid/ResultColumns.h"

#include <utility>

#include "grid/ResultGrid.h"

namespace grid {

void AddResultColumns(ResultGrid& table)
{
    for (const ResultColumn& design : kResultColumns) {
        GridColumn& column = table.AddColumn(design.key);
        column.SetCaption(design.caption);
        if (design.textAlignment != kAlignGeneral) column.CellStyle().SetTextAlignment(design.textAlignment);
        if (*design.format != '\0') column.CellStyle().SetFormat(design.format);
        column.SetWidth(design.widthTwips);
        column.SetDataType(design.dataType);
    }
}

std::vector<xls::SheetColumn> ResultSheetColumns()
{
    std::vector<xls::SheetColumn> columns;
    for (const ResultColumn& design : kResultColumns) {
        xls::SheetColumn column;
        column.caption = design.caption;
        column.widthTwips = design.widthTwips;
        column.kind = SheetColumnKind(design.dataType);
        column.numberFormat = design.format;
        columns.push_back(std::move(column));
    }
    return columns;
}

} // namespace grid
