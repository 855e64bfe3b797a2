// WorkbookWriter: turns rows of cell values into worksheet records as they
// arrive and assembles globals, sheets and the compound file when written.
#include "grid/xls/XlsWorkbook.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "grid/xls/AtomicFileSave.h"
#include "grid/xls/CellFormatTable.h"
#include "grid/xls/CompoundFile.h"
#include "grid/xls/SerialDate.h"
#include "grid/xls/SharedStringTable.h"
#include "grid/xls/SheetRecords.h"
#include "grid/xls/WorkbookGlobals.h"

namespace grid::xls {
namespace {

// Dates that no spreadsheet serial reaches but that still have calendar
// fields are kept as their text.
constexpr double kMaxDaysAsText = 1.0e7;

// Why the workbook cannot be written at all, or empty when it can.
std::string UnwritableReason(std::size_t columnCount, std::uint64_t streamSize)
{
    if (columnCount > kMaxSheetColumns) return "a worksheet holds at most 256 columns";
    if (streamSize > kMaxCompoundStreamSize) return "the workbook exceeds the 2 GiB an .xls file can hold";
    return {};
}

} // namespace

struct WorkbookWriter::State {
    explicit State(std::vector<SheetColumn> sheetColumns)
        : columns(std::move(sheetColumns)), formats(columns)
    {
    }

    std::vector<SheetColumn> columns;
    CellFormatTable formats;
    SharedStringTable strings;
    std::vector<SheetRecords> sheets;

    std::size_t WrittenColumns() const { return std::min(columns.size(), kMaxSheetColumns); }

    // Opens a new sheet whose first row holds the column captions.
    void StartSheet()
    {
        sheets.emplace_back();
        SheetRecords& sheet = sheets.back();
        sheet.BeginRow();
        for (std::size_t column = 0; column < WrittenColumns(); ++column) {
            if (columns[column].caption.empty()) continue;
            sheet.AddTextCell(static_cast<std::uint16_t>(column), CellFormatTable::kHeadingXf,
                              strings.Intern(columns[column].caption));
        }
    }

    void AddCell(SheetRecords& sheet, std::uint16_t column, const platform::CellValue& value)
    {
        if (const auto* text = std::get_if<std::string>(&value)) {
            if (!text->empty()) sheet.AddTextCell(column, CellFormatTable::kGeneralXf, strings.Intern(*text));
        } else if (const auto* number = std::get_if<platform::FixedDecimal>(&value)) {
            // Sizes a double cannot hold exactly are written as their digits.
            if (number->IsExactAsDouble())
                sheet.AddNumberCell(column, formats.NumberXf(column), number->ToDouble());
            else
                sheet.AddTextCell(column, CellFormatTable::kGeneralXf, strings.Intern(number->ToText()));
        } else if (const auto* date = std::get_if<platform::DateTime>(&value)) {
            AddDateCell(sheet, column, *date);
        }
    }

    void AddDateCell(SheetRecords& sheet, std::uint16_t column, const platform::DateTime& date)
    {
        const double days = date.Days();
        if (const auto serial = SpreadsheetSerial(days)) {
            sheet.AddNumberCell(column, CellFormatTable::kDateTimeXf, *serial);
        } else if (std::fabs(days) < kMaxDaysAsText) {
            sheet.AddTextCell(column, CellFormatTable::kGeneralXf, strings.Intern(date.ToIsoText()));
        } else if (std::isfinite(days)) {
            sheet.AddNumberCell(column, CellFormatTable::kGeneralXf, days);
        }
    }

    // Writes the whole compound file. False with reason set when the workbook
    // cannot be represented, false with reason empty when the sink failed.
    bool WriteTo(ByteSink& sink, std::string& reason) const
    {
        std::vector<std::vector<std::uint8_t>> prologues;
        std::vector<std::vector<std::uint8_t>> epilogues;
        std::vector<std::uint64_t> sheetSizes;
        for (std::size_t index = 0; index < sheets.size(); ++index) {
            prologues.push_back(sheets[index].Prologue(columns));
            epilogues.push_back(sheets[index].Epilogue(index == 0));
            sheetSizes.push_back(prologues.back().size() + sheets[index].Cells().size() + epilogues.back().size());
        }
        const std::vector<std::uint8_t> globals = BuildWorkbookGlobals(formats, strings, sheetSizes);

        std::uint64_t streamSize = globals.size();
        for (const std::uint64_t size : sheetSizes) streamSize += size;
        reason = UnwritableReason(columns.size(), streamSize);
        if (!reason.empty()) return false;

        std::vector<std::span<const std::uint8_t>> parts{globals};
        for (std::size_t index = 0; index < sheets.size(); ++index) {
            parts.emplace_back(prologues[index]);
            parts.emplace_back(sheets[index].Cells());
            parts.emplace_back(epilogues[index]);
        }
        return WriteSingleStreamCompoundFile(sink, u"Workbook", parts);
    }
};

WorkbookWriter::WorkbookWriter(std::vector<SheetColumn> columns)
    : state_(std::make_unique<State>(std::move(columns)))
{
    state_->StartSheet();
}

WorkbookWriter::~WorkbookWriter() = default;
WorkbookWriter::WorkbookWriter(WorkbookWriter&&) noexcept = default;
WorkbookWriter& WorkbookWriter::operator=(WorkbookWriter&&) noexcept = default;

void WorkbookWriter::AddRow(std::span<const platform::CellValue> cells)
{
    if (state_->sheets.back().IsFull()) state_->StartSheet();
    SheetRecords& sheet = state_->sheets.back();
    sheet.BeginRow();
    const std::size_t count = std::min(cells.size(), state_->WrittenColumns());
    for (std::size_t column = 0; column < count; ++column) {
        state_->AddCell(sheet, static_cast<std::uint16_t>(column), cells[column]);
    }
}

bool WorkbookWriter::Write(std::ostream& out)
{
    OstreamSink sink(out);
    std::string reason;
    return state_->WriteTo(sink, reason);
}

std::uint64_t WorkbookWriter::CutCellCount() const
{
    return state_->strings.CutCount();
}

bool WorkbookWriter::Save(const std::string& path, bool replaceExisting, std::string& error)
{
    std::string reason;
    const bool saved = SaveAtomically(
        path, replaceExisting, [&](ByteSink& sink) { return state_->WriteTo(sink, reason); }, error);
    if (!reason.empty()) error = "Cannot save \"" + path + "\": " + reason;
    return saved;
}

} // namespace grid::xls
