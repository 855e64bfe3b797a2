// Export of the result table as an .xls workbook: one sheet column per grid
// column (caption, width, kind from the data type, number format from the
// cell style), the rows in the table's current order or in the order given. An existing file is
// never replaced.
#include <string>
#include <utility>
#include <vector>

#include "grid/ResultColumns.h"
#include "grid/ResultGrid.h"
#include "grid/xls/XlsWorkbook.h"

namespace grid {

xls::ColumnKind SheetColumnKind(int dataType)
{
    switch (dataType) {
    case kDataTypeInteger:
        return xls::ColumnKind::Number;
    case kDataTypeDateTime:
        return xls::ColumnKind::DateTime;
    default:
        return xls::ColumnKind::Text;
    }
}

std::uint64_t ResultGrid::Export(std::string& path, int format, int flags) const
{
    return ExportRowsInOrder(path, format, flags, nullptr);
}

std::uint64_t ResultGrid::ExportRows(std::string& path, int format, int flags, std::span<const int> rows) const
{
    for (int row : rows) CheckRow(row);
    return ExportRowsInOrder(path, format, flags, &rows);
}

std::uint64_t ResultGrid::ExportRowsInOrder(std::string& path, int format, int /*flags*/,
                                            const std::span<const int>* rows) const
{
    if (format != kExportFormatXls)
        throw ExportError("export format " + std::to_string(format) + " is not supported");
    if (path.empty()) throw ExportError("no file name was given for the export");

    // Hidden columns are left out of the workbook.
    std::vector<std::size_t> shown;
    std::vector<xls::SheetColumn> sheetColumns;
    sheetColumns.reserve(columns_.size());
    for (const auto& column : columns_) {
        if (!column->Visible()) continue;
        shown.push_back(static_cast<std::size_t>(column->CellColumn()));
        xls::SheetColumn sheetColumn;
        sheetColumn.caption = column->Caption();
        sheetColumn.widthTwips = column->Width();
        sheetColumn.kind = SheetColumnKind(column->DataType());
        sheetColumn.numberFormat = column->CellStyle().Format();
        sheetColumns.push_back(std::move(sheetColumn));
    }

    xls::WorkbookWriter writer(std::move(sheetColumns));
    std::vector<CellValue> cells(shown.size());
    const auto addRow = [&](const GridRow& row) {
        if (shown.size() == columns_.size()) {
            writer.AddRow(row);
            return;
        }
        for (std::size_t i = 0; i < shown.size(); ++i) cells[i] = shown[i] < row.size() ? row[shown[i]] : CellValue();
        writer.AddRow(cells);
    };
    if (rows) {
        for (int row : *rows) addRow(rows_[static_cast<std::size_t>(row)]);
    } else {
        for (const GridRow& row : rows_) addRow(row);
    }

    std::string error;
    if (!writer.Save(path, false, error)) throw ExportError(error);
    return writer.CutCellCount();
}

} // namespace grid
