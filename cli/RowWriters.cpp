// tsv, csv, JSON Lines and xls output of result rows, counts and folders.
#include "cli/RowWriters.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "cli/TextEncoding.h"
#include "grid/xls/XlsWorkbook.h"

namespace cli {
namespace {

std::string SizeText(platform::FixedDecimal size)
{
    return std::to_string(size.Whole());
}

// A cell in a text format: texts under the format's field encoding, sizes as
// their whole bytes, dates in ISO form; an empty cell is the empty text, or
// null in json.
void AppendCell(OutputFormat format, const TextRules& rules, std::string& out, const grid::CellValue& cell)
{
    if (const auto* text = std::get_if<std::string>(&cell)) AppendField(format, rules, out, *text);
    else if (const auto* size = std::get_if<platform::FixedDecimal>(&cell)) {
        if (format == OutputFormat::Json) out.append(SizeText(*size));
        else AppendField(format, rules, out, SizeText(*size));
    } else if (const auto* date = std::get_if<platform::DateTime>(&cell))
        AppendField(format, rules, out, date->ToIsoText());
    else if (format == OutputFormat::Json) out.append("null");
    else AppendField(format, rules, out, {});
}

// The byte total is a double; whole bytes are exact up to 2^53.
std::string ByteTotalText(double totalBytes)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", std::round(totalBytes));
    return text;
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

// tsv and csv differ only in the separator, the line end and how a field is
// written; one writer serves both.
class DelimitedRowWriter : public RowWriter {
public:
    DelimitedRowWriter(FdWriter& out, OutputFormat format, const TextRules& rules,
                       std::vector<grid::ResultColumn> columns)
        : out_(out), format_(format), rules_(rules), columns_(std::move(columns)),
          separator_(format == OutputFormat::Csv ? ',' : '\t'), lineEnd_(format == OutputFormat::Csv ? "\r\n" : "\n") {}

    void Begin() override
    {
        line_.clear();
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (i != 0) line_.push_back(separator_);
            AppendField(format_, rules_, line_, columns_[i].caption);
        }
        line_.append(lineEnd_);
        out_.Write(line_);
    }

    void Row(std::span<const grid::CellValue> cells) override
    {
        line_.clear();
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i != 0) line_.push_back(separator_);
            AppendCell(format_, rules_, line_, cells[i]);
        }
        line_.append(lineEnd_);
        out_.Write(line_);
    }

    void End() override {}

private:
    FdWriter& out_;
    OutputFormat format_;
    TextRules rules_;
    std::vector<grid::ResultColumn> columns_;
    char separator_;
    std::string_view lineEnd_;
    std::string line_;
};

class JsonLinesRowWriter : public RowWriter {
public:
    JsonLinesRowWriter(FdWriter& out, const TextRules& rules, std::vector<grid::ResultColumn> columns)
        : out_(out), rules_(rules)
    {
        // Each cell's lead-in, "{\"key\":" or ",\"key\":"; keys are plain ASCII.
        for (const grid::ResultColumn& column : columns) {
            leadIns_.push_back((leadIns_.empty() ? "{\"" : ",\"") + std::string(column.key) + "\":");
            isDocument_.push_back(column.jsonDocument);
        }
    }

    void Begin() override {}

    void Row(std::span<const grid::CellValue> cells) override
    {
        line_.clear();
        for (std::size_t i = 0; i < cells.size(); ++i) {
            line_.append(leadIns_[i]);
            const auto* document = isDocument_[i] ? std::get_if<std::string>(&cells[i]) : nullptr;
            if (document) line_.append(*document);
            else AppendCell(OutputFormat::Json, rules_, line_, cells[i]);
        }
        line_.append(cells.empty() ? "{}\n" : "}\n");
        out_.Write(line_);
    }

    void End() override {}

private:
    FdWriter& out_;
    TextRules rules_;
    std::vector<std::string> leadIns_;
    std::vector<bool> isDocument_;
    std::string line_;
};

// Lets the workbook writer's stream output go through the checked writer.
class FdStreamBuffer : public std::streambuf {
public:
    explicit FdStreamBuffer(FdWriter& out) : out_(out) {}

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        out_.Write(std::string_view(&byte, 1));
        return out_.Failed() ? traits_type::eof() : c;
    }

    std::streamsize xsputn(const char* data, std::streamsize size) override
    {
        out_.Write(std::string_view(data, static_cast<std::size_t>(size)));
        return out_.Failed() ? 0 : size;
    }

private:
    FdWriter& out_;
};

class XlsRowWriter : public RowWriter {
public:
    XlsRowWriter(FdWriter& out, std::vector<grid::ResultColumn> columns)
        : out_(out), workbook_(grid::ResultSheetColumns(columns)) {}

    void Begin() override {}

    void Row(std::span<const grid::CellValue> cells) override { workbook_.AddRow(cells); }

    void End() override
    {
        FdStreamBuffer buffer(out_);
        std::ostream stream(&buffer);
        // A stream failure without a write error of our own (the workbook
        // writer gave up) still must not pass as success.
        if (!workbook_.Write(stream) || !stream.flush()) out_.Fail(EIO);
    }

    std::uint64_t CutValues() const override { return workbook_.CutCellCount(); }

private:
    FdWriter& out_;
    grid::xls::WorkbookWriter workbook_;
};

} // namespace

void AppendField(OutputFormat format, const TextRules& rules, std::string& out, std::string_view text)
{
    switch (format) {
    case OutputFormat::Csv: AppendCsvValue(rules, out, text); break;
    case OutputFormat::Json: AppendJsonString(out, text, rules.terminal); break;
    case OutputFormat::Tsv:
    case OutputFormat::Xls:
        if (rules.terminal) AppendTerminalSafe(out, text);
        else AppendTsvField(out, text);
        break;
    }
}

std::unique_ptr<RowWriter> MakeRowWriter(OutputFormat format, const TextRules& rules, FdWriter& out,
                                         std::vector<grid::ResultColumn> columns)
{
    switch (format) {
    case OutputFormat::Tsv:
    case OutputFormat::Csv: return std::make_unique<DelimitedRowWriter>(out, format, rules, std::move(columns));
    case OutputFormat::Json: return std::make_unique<JsonLinesRowWriter>(out, rules, std::move(columns));
    case OutputFormat::Xls: return std::make_unique<XlsRowWriter>(out, std::move(columns));
    }
    return nullptr;
}

void WriteCountSummary(OutputFormat format, FdWriter& out, std::int64_t count, double totalBytes)
{
    const std::string countText = std::to_string(count);
    const std::string bytesText = ByteTotalText(totalBytes);
    switch (format) {
    case OutputFormat::Csv:
        out.Write("Files,Bytes\r\n" + countText + "," + bytesText + "\r\n");
        break;
    case OutputFormat::Json:
        out.Write("{\"files\":" + countText + ",\"bytes\":" + bytesText + "}\n");
        break;
    case OutputFormat::Tsv:
    case OutputFormat::Xls:
        out.Write("Files\tBytes\n" + countText + "\t" + bytesText + "\n");
        break;
    }
}

void WriteFolderLine(OutputFormat format, const TextRules& rules, FdWriter& out, const std::string& folder)
{
    std::string line;
    AppendField(format, rules, line, folder);
    line.append(format == OutputFormat::Csv ? "\r\n" : "\n");
    out.Write(line);
}

} // namespace cli
