// Count summary and folder lines in tsv, csv and json.
#include "grid/formats/SummaryLines.h"

#include <cmath>
#include <cstdio>

#include "grid/formats/FieldText.h"

namespace grid::formats {
namespace {

// The byte total is a double; whole bytes are exact up to 2^53.
std::string ByteTotalText(double totalBytes)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", std::round(totalBytes));
    return text;
}

} // namespace

void WriteCountSummary(OutputFormat format, OutputSink& out, std::int64_t count, double totalBytes)
{
    const std::string countText = std::to_string(count);
    const std::string bytesText = ByteTotalText(totalBytes);
    switch (format) {
    case OutputFormat::Csv:
        out.Write("Files,Bytes\r\n" + countText + "," + bytesText + "\r\n");
        break;
    case OutputFormat::Json:
    case OutputFormat::CycloneDx:
        out.Write("{\"files\":" + countText + ",\"bytes\":" + bytesText + "}\n");
        break;
    case OutputFormat::Tsv:
    case OutputFormat::Xls:
    case OutputFormat::Xlsx:
        out.Write("Files\tBytes\n" + countText + "\t" + bytesText + "\n");
        break;
    }
}

void WriteFolderLine(OutputFormat format, const TextRules& rules, OutputSink& out, const std::string& folder)
{
    std::string line;
    AppendField(format, rules, line, folder);
    line.append(format == OutputFormat::Csv ? "\r\n" : "\n");
    out.Write(line);
}

} // namespace grid::formats
