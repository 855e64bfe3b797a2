// Field encodings of tsv, csv and json, with the formula guard and the
// terminal escaping the rules ask for.
#include "grid/formats/FieldText.h"

#include <variant>

#include "grid/formats/TextEncoding.h"

namespace grid::formats {
namespace {

std::string SizeText(platform::FixedDecimal size)
{
    return std::to_string(size.Whole());
}

// A value guarded against formula evaluation and escaped for a terminal, as
// the rules ask, before its csv quoting.
void AppendCsvValue(const TextRules& rules, std::string& out, std::string_view text)
{
    if (rules.csvRaw && !rules.terminal) {
        AppendCsvField(out, text);
        return;
    }
    std::string value;
    if (!rules.csvRaw && StartsSpreadsheetFormula(text)) value.push_back('\'');
    if (rules.terminal) AppendTerminalSafe(value, text);
    else value.append(text);
    AppendCsvField(out, value);
}

} // namespace

void AppendField(OutputFormat format, const TextRules& rules, std::string& out, std::string_view text)
{
    switch (format) {
    case OutputFormat::Csv: AppendCsvValue(rules, out, text); break;
    case OutputFormat::Json:
    case OutputFormat::CycloneDx: AppendJsonString(out, text, rules.terminal); break;
    case OutputFormat::Tsv:
    case OutputFormat::Xls:
    case OutputFormat::Xlsx:
        if (rules.terminal) AppendTerminalSafe(out, text);
        else AppendTsvField(out, text);
        break;
    }
}

void AppendCell(OutputFormat format, const TextRules& rules, std::string& out, const grid::CellValue& cell)
{
    const bool json = format == OutputFormat::Json || format == OutputFormat::CycloneDx;
    if (const auto* text = std::get_if<std::string>(&cell)) AppendField(format, rules, out, *text);
    else if (const auto* size = std::get_if<platform::FixedDecimal>(&cell)) {
        if (json) out.append(SizeText(*size));
        else AppendField(format, rules, out, SizeText(*size));
    } else if (const auto* date = std::get_if<platform::DateTime>(&cell))
        AppendField(format, rules, out, date->ToIsoText());
    else if (json) out.append("null");
    else AppendField(format, rules, out, {});
}

} // namespace grid::formats
