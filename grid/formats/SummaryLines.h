// The outputs that are not file rows: the --count summary and the lines of
// a folder list, in the text formats.
#pragma once

#include <cstdint>
#include <string>

#include "grid/formats/OutputFormat.h"
#include "grid/formats/OutputSink.h"
#include "grid/formats/RowWriter.h"

namespace grid::formats {

// The number of files and their byte total, with a heading.
void WriteCountSummary(OutputFormat format, OutputSink& out, std::int64_t count, double totalBytes);

// One folder of a folder list.
void WriteFolderLine(OutputFormat format, const TextRules& rules, OutputSink& out, const std::string& folder);

} // namespace grid::formats
