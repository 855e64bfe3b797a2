// Writers of the scan results in each output format, for any choice of
// columns: tsv and csv headings are the captions, json keys are the column
// keys. Text formats write every row as soon as it is handed over (nothing is
// kept); the xls writer encodes rows as they come and writes the workbook at
// the end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <span>
#include <string_view>
#include <vector>

#include "cli/FdWriter.h"
#include "cli/ScanOptions.h"
#include "grid/CellValue.h"
#include "grid/ResultColumns.h"

namespace cli {

// How values are made safe for where the output goes.
struct TextRules {
    // Standard output is a terminal: control characters are shown escaped.
    bool terminal = false;
    // csv values are written exactly, even those a spreadsheet would run as
    // formulas.
    bool csvRaw = false;
};

// Appends one value in the format's field encoding under the rules (not for
// xls, whose cells are typed).
void AppendField(OutputFormat format, const TextRules& rules, std::string& out, std::string_view text);

class RowWriter {
public:
    virtual ~RowWriter() = default;
    // The heading line, where the format has one.
    virtual void Begin() = 0;
    // One row: a cell per column, in column order.
    virtual void Row(std::span<const grid::CellValue> cells) = 0;
    // Whatever must follow the last row (the whole workbook for xls).
    virtual void End() = 0;
    // How many values were cut to fit the format (xls cells hold at most
    // 32,767 characters).
    virtual std::uint64_t CutValues() const { return 0; }
};

std::unique_ptr<RowWriter> MakeRowWriter(OutputFormat format, const TextRules& rules, FdWriter& out,
                                         std::vector<grid::ResultColumn> columns);

// The result of --count: the number of files and their byte total.
void WriteCountSummary(OutputFormat format, FdWriter& out, std::int64_t count, double totalBytes);

// One line of --folders output.
void WriteFolderLine(OutputFormat format, const TextRules& rules, FdWriter& out, const std::string& folder);

} // namespace cli
