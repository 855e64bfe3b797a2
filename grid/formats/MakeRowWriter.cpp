// Picks the writer of a format.
#include "grid/formats/RowWriter.h"

#include <utility>

#include "grid/formats/CycloneDxRowWriter.h"
#include "grid/formats/DelimitedRowWriter.h"
#include "grid/formats/JsonLinesRowWriter.h"
#include "grid/formats/XlsRowWriter.h"
#include "grid/formats/OnDemandXlsx.h"

namespace grid::formats {

std::unique_ptr<RowWriter> MakeRowWriter(OutputFormat format, const WriterSettings& settings, OutputSink& out,
                                         std::vector<grid::ResultColumn> columns)
{
    switch (format) {
    case OutputFormat::Tsv:
    case OutputFormat::Csv: return MakeDelimitedRowWriter(out, format, settings.rules, std::move(columns));
    case OutputFormat::Json: return MakeJsonLinesRowWriter(out, settings.rules, std::move(columns));
    case OutputFormat::Xls: return MakeXlsRowWriter(out, std::move(columns));
    case OutputFormat::Xlsx: return on_demand::MakeXlsxRowWriter(out, std::move(columns), settings.rowsPerSheet);
    case OutputFormat::CycloneDx: return MakeCycloneDxRowWriter(out, settings, std::move(columns));
    }
    return nullptr;
}

} // namespace grid::formats
