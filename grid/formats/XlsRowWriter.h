// Excel 97-2003 workbooks (.xls) through the BIFF8 writer of grid/xls.
#pragma once

#include <memory>
#include <vector>

#include "grid/formats/RowWriter.h"

namespace grid::formats {

std::unique_ptr<RowWriter> MakeXlsRowWriter(OutputSink& out, std::vector<grid::ResultColumn> columns);

} // namespace grid::formats
