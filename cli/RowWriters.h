// Writers of the scan results in each output format. Text formats write every
// row as soon as it is handed over (nothing is kept); the xls writer encodes
// rows as they come and writes the workbook at the end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cDisk/FoundFileRow.h"
#include "cli/FdWriter.h"
#include "cli/ScanOptions.h"

namespace cli {

class RowWriter {
public:
    virtual ~RowWriter() = default;
    // The heading line, where the format has one.
    virtual void Begin() = 0;
    virtual void Row(const FoundFileRow& row) = 0;
    // Whatever must follow the last row (the whole workbook for xls).
    virtual void End() = 0;
};

std::unique_ptr<RowWriter> MakeRowWriter(OutputFormat format, FdWriter& out);

// The result of --count: the number of files and their byte total.
void WriteCountSummary(OutputFormat format, FdWriter& out, std::int64_t count, double totalBytes);

// One line of --folders output.
void WriteFolderLine(OutputFormat format, FdWriter& out, const std::string& folder);

} // namespace cli
