// tsv, csv, JSON Lines and xls output of result rows, counts and folders.
#include "cli/RowWriters.h"

#include <iterator>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string_view>
#include <vector>

#include "cli/TextEncoding.h"
#include "grid/ResultColumns.h"
#include "grid/xls/XlsWorkbook.h"

namespace cli {
namespace {

std::string SizeText(platform::FixedDecimal size)
{
    return std::to_string(size.Whole());
}

std::string DateText(const FoundFileRow& row)
{
    return row.modified ? row.modified->ToIsoText() : std::string();
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
    DelimitedRowWriter(FdWriter& out, OutputFormat format, const TextRules& rules)
        : out_(out), format_(format), rules_(rules), separator_(format == OutputFormat::Csv ? ',' : '\t'),
          lineEnd_(format == OutputFormat::Csv ? "\r\n" : "\n") {}

    void Begin() override
    {
        line_.clear();
        for (const grid::ResultColumn& column : grid::kResultColumns) {
            if (!line_.empty()) line_.push_back(separator_);
            AppendField(format_, rules_, line_, column.caption);
        }
        line_.append(lineEnd_);
        out_.Write(line_);
    }

    void Row(const FoundFileRow& row) override
    {
        const std::string size = SizeText(row.size);
        const std::string date = DateText(row);
        const std::string_view texts[] = {row.fileName, row.version, size,        date,
                                          row.path,     row.desc,    row.product, row.company};
        line_.clear();
        for (std::size_t i = 0; i < std::size(texts); ++i) {
            if (i != 0) line_.push_back(separator_);
            AppendField(format_, rules_, line_, texts[i]);
        }
        line_.append(lineEnd_);
        out_.Write(line_);
    }

    void End() override {}

private:
    FdWriter& out_;
    OutputFormat format_;
    TextRules rules_;
    char separator_;
    std::string_view lineEnd_;
    std::string line_;
};

class JsonLinesRowWriter : public RowWriter {
public:
    JsonLinesRowWriter(FdWriter& out, const TextRules& rules) : out_(out), rules_(rules) {}

    void Begin() override {}

    void Row(const FoundFileRow& row) override
    {
        line_.clear();
        line_.append("{\"filename\":");
        AppendField(OutputFormat::Json, rules_, line_, row.fileName);
        line_.append(",\"version\":");
        AppendField(OutputFormat::Json, rules_, line_, row.version);
        line_.append(",\"size\":");
        line_.append(SizeText(row.size));
        line_.append(",\"date\":");
        if (row.modified) AppendField(OutputFormat::Json, rules_, line_, row.modified->ToIsoText());
        else line_.append("null");
        line_.append(",\"path\":");
        AppendField(OutputFormat::Json, rules_, line_, row.path);
        line_.append(",\"desc\":");
        AppendField(OutputFormat::Json, rules_, line_, row.desc);
        line_.append(",\"product\":");
        AppendField(OutputFormat::Json, rules_, line_, row.product);
        line_.append(",\"company\":");
        AppendField(OutputFormat::Json, rules_, line_, row.company);
        line_.append("}\n");
        out_.Write(line_);
    }

    void End() override {}

private:
    FdWriter& out_;
    TextRules rules_;
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
    explicit XlsRowWriter(FdWriter& out) : out_(out), workbook_(grid::ResultSheetColumns()) {}

    void Begin() override {}

    void Row(const FoundFileRow& row) override
    {
        const grid::CellValue cells[8] = {
            row.fileName,
            row.version,
            row.size,
            row.modified ? grid::CellValue(*row.modified) : grid::CellValue(),
            row.path,
            row.desc,
            row.product,
            row.company,
        };
        workbook_.AddRow(cells);
    }

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

std::unique_ptr<RowWriter> MakeRowWriter(OutputFormat format, const TextRules& rules, FdWriter& out)
{
    switch (format) {
    case OutputFormat::Tsv:
    case OutputFormat::Csv: return std::make_unique<DelimitedRowWriter>(out, format, rules);
    case OutputFormat::Json: return std::make_unique<JsonLinesRowWriter>(out, rules);
    case OutputFormat::Xls: return std::make_unique<XlsRowWriter>(out);
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
