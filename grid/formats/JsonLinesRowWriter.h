// JSON Lines rows: one object per row, keyed by the column keys.
#pragma once

#include <memory>
#include <vector>

#include "grid/formats/RowWriter.h"

namespace grid::formats {

std::unique_ptr<RowWriter> MakeJsonLinesRowWriter(OutputSink& out, const TextRules& rules,
                                                  std::vector<grid::ResultColumn> columns);

} // namespace grid::formats
