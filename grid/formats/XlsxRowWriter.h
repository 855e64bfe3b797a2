// Excel workbooks (.xlsx) written with libxlsxwriter: typed cells, a bold,
// frozen heading row with an autofilter, column widths from the columns, and
// further sheets (heading repeated) once a sheet is full.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "grid/formats/RowWriter.h"

namespace grid::formats {

// Data rows an xlsx sheet holds below its heading row.
inline constexpr std::size_t kXlsxRowsPerSheet = 1048575;

// rowsPerSheet 0 means kXlsxRowsPerSheet.
std::unique_ptr<RowWriter> MakeXlsxRowWriter(OutputSink& out, std::vector<grid::ResultColumn> columns,
                                             std::size_t rowsPerSheet);

} // namespace grid::formats
