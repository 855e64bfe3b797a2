// Field encodings of tsv, csv and json, with the formula guard and the
// terminal escaping the rules ask for.
#include "grid/formats/FieldText.h"

#include <array>
#include <charconv>
#include <variant>

#include "grid/formats/TextEncoding.h"

namespace grid::formats {
namespace {

// The whole bytes of a size, written into `buffer`.
std::string_view SizeText(platform::FixedDecimal size, std::array<char, 24>& buffer)
{
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), size.Whole());
    return {buffer.data(), static_cast<std::size_t>(written.ptr - buffer.data())};
}

bool TabSeparated(OutputFormat format)
{
    return format == OutputFormat::Tsv || format == OutputFormat::Xls || format == OutputFormat::Xlsx;
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
    std::array<char, 24> buffer;
    if (const auto* text = std::get_if<std::string>(&cell)) AppendField(format, rules, out, *text);
    else if (const auto* size = std::get_if<platform::FixedDecimal>(&cell)) {
        if (json) out.append(SizeText(*size, buffer));
        else AppendField(format, rules, out, SizeText(*size, buffer));
    } else if (const auto* date = std::get_if<platform::DateTime>(&cell)) {
        // Digits, '-', ' ' and ':' need no escape in tab-separated text.
        if (TabSeparated(format)) date->AppendIsoText(out);
        else AppendField(format, rules, out, date->ToIsoText());
    } else if (json) out.append("null");
    else AppendField(format, rules, out, {});
}

} // namespace grid::formats
