// The one writer interface of every output format, for any choice of
// columns: tsv and csv headings are the captions, json keys are the column
// keys. Text formats write every row as soon as it is handed over (nothing is
// kept); workbooks encode rows as they come and write the file at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "grid/CellValue.h"
#include "grid/ResultColumns.h"
#include "grid/formats/OutputFormat.h"
#include "grid/formats/OutputSink.h"

namespace grid::formats {

// How values are made safe for where the output goes.
struct TextRules {
    // The output is a terminal: control characters are shown escaped.
    bool terminal = false;
    // csv values are written exactly, even those a spreadsheet would run as
    // formulas.
    bool csvRaw = false;
};

// What a writer needs beyond its columns.
struct WriterSettings {
    TextRules rules;
    // The folder the rows were found under (named in a bill of materials).
    std::string scanRoot;
    // The program's version (named as the tool in a bill of materials).
    std::string toolVersion;
    // Data rows per worksheet before a workbook continues on a new sheet;
    // 0 is the format's own limit.
    std::size_t rowsPerSheet = 0;
};

class LineRowWriter;

class RowWriter {
public:
    virtual ~RowWriter() = default;
    // The heading, where the format has one.
    virtual void Begin() = 0;
    // One row: a cell per column, in column order.
    virtual void Row(std::span<const grid::CellValue> cells) = 0;
    // Whatever must follow the last row (the whole workbook for xls).
    virtual void End() = 0;
    // How many values were cut to fit the format (xls cells hold at most
    // 32,767 characters).
    virtual std::uint64_t CutValues() const { return 0; }
    // Why the writer made the sink fail, when the cause is more than the
    // sink's error number tells (a working file, a library's error); empty
    // otherwise.
    virtual std::string Problem() const { return {}; }
    // The writer as one whose rows are lines of their own, or null.
    virtual LineRowWriter* AsLineWriter() { return nullptr; }
};

// A writer whose every row is a line made from its cells alone (tsv, csv,
// json lines). The lines can be made on any thread, several at once, and
// written later in order: Row is AppendLine, then WriteLine.
class LineRowWriter : public RowWriter {
public:
    explicit LineRowWriter(OutputSink& out) : out_(out) {}
    void Row(std::span<const grid::CellValue> cells) final
    {
        line_.clear();
        AppendLine(cells, line_);
        WriteLine(line_);
    }
    // Appends the row's line, its end included. Changes nothing in the
    // writer, so any thread may call it at any time.
    virtual void AppendLine(std::span<const grid::CellValue> cells, std::string& line) const = 0;
    // Writes a line made by AppendLine.
    void WriteLine(std::string_view line) { out_.Write(line); }
    LineRowWriter* AsLineWriter() final { return this; }

private:
    OutputSink& out_;
    std::string line_;
};

// The writer of the format into the sink, which must outlive it.
std::unique_ptr<RowWriter> MakeRowWriter(OutputFormat format, const WriterSettings& settings, OutputSink& out,
                                         std::vector<grid::ResultColumn> columns);

} // namespace grid::formats
