// Looks the entry point up once and then calls straight through.
#include "grid/formats/OnDemandXlsx.h"

#include <utility>

#include "platform/OnDemandModule.h"

namespace grid::formats::on_demand {

std::unique_ptr<RowWriter> MakeXlsxRowWriter(OutputSink& out, std::vector<grid::ResultColumn> columns,
                                             std::size_t rowsPerSheet)
{
    static auto* const entry = platform::OnDemandFunction<decltype(lumbrel_ondemand_make_xlsx_row_writer)>(
        "lumbrel_ondemand_make_xlsx_row_writer");
    return entry(out, std::move(columns), rowsPerSheet);
}

} // namespace grid::formats::on_demand
