// tsv and csv rows: they differ only in the separator, the line end and how
// a field is written, so one writer serves both.
#pragma once

#include <memory>
#include <vector>

#include "grid/formats/RowWriter.h"

namespace grid::formats {

std::unique_ptr<RowWriter> MakeDelimitedRowWriter(OutputSink& out, OutputFormat format, const TextRules& rules,
                                                  std::vector<grid::ResultColumn> columns);

} // namespace grid::formats
