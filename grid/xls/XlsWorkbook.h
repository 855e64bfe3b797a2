// Writer of Excel 97-2003 workbooks (.xls): BIFF8 records in a "Workbook"
// stream inside a compound file. Rows are encoded as they are added, so the
// writer never holds copies of the cell values; rows beyond what one sheet
// holds continue on further sheets, each starting with the caption row.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/CellValue.h"

namespace grid::xls {

enum class ColumnKind { Text, Number, DateTime };

struct SheetColumn {
    std::string caption;
    double widthTwips = 0.0;
    ColumnKind kind = ColumnKind::Text;
    // Number columns: the display format, e.g. "#,0"; empty means General.
    std::string numberFormat;
};

class WorkbookWriter {
public:
    explicit WorkbookWriter(std::vector<SheetColumn> columns);
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;
    WorkbookWriter(WorkbookWriter&&) noexcept;
    WorkbookWriter& operator=(WorkbookWriter&&) noexcept;

    // Appends one data row. Cells past the column count are ignored; missing
    // cells are blank. Text is UTF-8 (invalid bytes become U+FFFD), numbers
    // are fixed-point sizes (written as text where a spreadsheet number,
    // a double, would not hold them exactly), date-times are day counts since
    // 1899-12-30.
    void AddRow(std::span<const platform::CellValue> cells);

    // Writes the workbook through a temporary file in the same folder that is
    // renamed to path when complete, so a file under the final name is never
    // partial. With replaceExisting false an existing file is never replaced.
    // On failure the temporary file is removed, false is returned and error
    // names the path and the cause.
    bool Save(const std::string& path, bool replaceExisting, std::string& error);

    // Writes the same bytes to a stream; false when the stream fails.
    bool Write(std::ostream& out);

    // How many cell texts added so far were longer than a cell holds
    // (32,767 characters) and were cut to fit.
    std::uint64_t CutCellCount() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace grid::xls
