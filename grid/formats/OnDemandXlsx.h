// The xlsx writer reached through the on-demand module
// (platform/OnDemandModule.h), which holds MakeXlsxRowWriter, so libxlsxwriter
// is loaded only when a workbook is written.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "grid/formats/RowWriter.h"

namespace grid::formats::on_demand {

std::unique_ptr<RowWriter> MakeXlsxRowWriter(OutputSink& out, std::vector<grid::ResultColumn> columns,
                                             std::size_t rowsPerSheet);

} // namespace grid::formats::on_demand

// The module's entry point, declared once for both sides.
extern "C" std::unique_ptr<grid::formats::RowWriter>
lumbrel_ondemand_make_xlsx_row_writer(grid::formats::OutputSink& out, std::vector<grid::ResultColumn> columns,
                                      std::size_t rowsPerSheet);
