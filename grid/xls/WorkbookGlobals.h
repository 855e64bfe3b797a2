// The workbook globals substream: the records every sheet shares (code page,
// window, formats, sheet directory, shared strings). It comes first in the
// workbook stream, so its byte positions are stream positions.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "grid/xls/CellFormatTable.h"
#include "grid/xls/SharedStringTable.h"

namespace grid::xls {

// Builds the globals for sheets named "Sheet1", "Sheet2", ... whose complete
// substreams follow the globals back to back with the given sizes in bytes.
// The caller keeps the whole stream below 4 GiB.
std::vector<std::uint8_t> BuildWorkbookGlobals(const CellFormatTable& formats, const SharedStringTable& strings,
                                               std::span<const std::uint64_t> sheetSizes);

} // namespace grid::xls
