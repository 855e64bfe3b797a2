// libxlsxwriter writes a workbook to a path, so rows go into a workbook on a
// temporary file (removed whatever happens, signals included) in constant
// memory mode, which streams each finished row out of memory; End() closes
// the workbook and copies the file into the sink.
#include "grid/formats/XlsxRowWriter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <variant>

#include <xlsxwriter.h>

#include "grid/formats/SpreadsheetText.h"
#include "grid/xls/CellFormatTable.h"
#include "grid/xls/SerialDate.h"
#include "platform/TemporaryFile.h"
#include "platform/UniqueFd.h"

namespace grid::formats {
namespace {

constexpr std::size_t kMaxSheetColumns = 16384;
constexpr double kTwipsPerCharacter = 15.0 * 7.0;
// Dates that no spreadsheet serial reaches but that still have calendar
// fields are kept as their text, as the .xls writer does.
constexpr double kMaxDaysAsText = 1.0e7;

std::string TemporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

class XlsxRowWriter : public RowWriter {
public:
    XlsxRowWriter(OutputSink& out, const std::vector<grid::ResultColumn>& columns, std::size_t rowsPerSheet)
        : out_(out), columns_(grid::ResultSheetColumns(columns)),
          rowsPerSheet_(rowsPerSheet == 0 ? kXlsxRowsPerSheet : std::min(rowsPerSheet, kXlsxRowsPerSheet)),
          tmpdir_(TemporaryFolder()), file_(tmpdir_ + "/lumbrel.xlsx")
    {
        columns_.resize(std::min(columns_.size(), kMaxSheetColumns));
        if (file_.Ok()) OpenWorkbook();
    }

    ~XlsxRowWriter() override
    {
        if (workbook_ != nullptr) lxw_workbook_free(workbook_);
    }

    XlsxRowWriter(const XlsxRowWriter&) = delete;
    XlsxRowWriter& operator=(const XlsxRowWriter&) = delete;

    // A working file or workbook that could not be made fails the output at
    // once, before any row is searched for.
    void Begin() override { ReportSetupFailure(); }

    void Row(std::span<const grid::CellValue> cells) override
    {
        if (sheet_ == nullptr) return;
        if (rowsOnSheet_ == rowsPerSheet_) {
            FinishSheet();
            StartSheet();
        }
        ++rowsOnSheet_;
        const auto row = static_cast<lxw_row_t>(rowsOnSheet_);
        const std::size_t count = std::min(cells.size(), columns_.size());
        for (std::size_t column = 0; column < count; ++column)
            WriteCell(row, static_cast<lxw_col_t>(column), cells[column]);
    }

    void End() override
    {
        if (finished_) return;
        if (workbook_ == nullptr) ReportSetupFailure();
        finished_ = true;
        if (workbook_ == nullptr) return;
        FinishSheet();
        errno = 0;
        const lxw_error closed = workbook_close(workbook_);
        workbook_ = nullptr;
        if (closed != LXW_NO_ERROR) {
            problem_ = std::string("cannot write the workbook: ") + lxw_strerror(closed);
            out_.Fail(errno != 0 ? errno : EIO);
            return;
        }
        CopyFileToSink();
    }

    std::uint64_t CutValues() const override { return cutValues_; }
    std::string Problem() const override { return problem_; }

private:
    void ReportSetupFailure()
    {
        if (!file_.Ok()) {
            problem_ = "cannot create a working file in " + tmpdir_ + ": " + std::strerror(file_.Error());
            out_.Fail(file_.Error());
        } else if (workbook_ == nullptr) {
            problem_ = "cannot start the workbook";
            out_.Fail(ENOMEM);
        }
    }

    void OpenWorkbook()
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = tmpdir_.data();
        options.use_zip64 = LXW_TRUE;
        workbook_ = workbook_new_opt(file_.Path().c_str(), &options);
        if (workbook_ == nullptr) return;
        heading_ = workbook_add_format(workbook_);
        format_set_bold(heading_);
        dateTime_ = workbook_add_format(workbook_);
        format_set_num_format(dateTime_, grid::xls::kDateTimeFormat);
        for (const grid::xls::SheetColumn& column : columns_) {
            lxw_format* number = nullptr;
            if (!column.numberFormat.empty()) {
                number = workbook_add_format(workbook_);
                format_set_num_format(number, column.numberFormat.c_str());
            }
            numberFormats_.push_back(number);
        }
        StartSheet();
    }

    void StartSheet()
    {
        sheet_ = workbook_add_worksheet(workbook_, nullptr);
        rowsOnSheet_ = 0;
        if (sheet_ == nullptr) return;
        for (std::size_t column = 0; column < columns_.size(); ++column) {
            const auto col = static_cast<lxw_col_t>(column);
            const double width = columns_[column].widthTwips / kTwipsPerCharacter;
            if (width > 0.0) worksheet_set_column(sheet_, col, col, std::min(width, 255.0), nullptr);
            if (!columns_[column].caption.empty())
                WriteText(0, col, columns_[column].caption, heading_);
        }
        worksheet_freeze_panes(sheet_, 1, 0);
    }

    void FinishSheet()
    {
        if (sheet_ == nullptr || columns_.empty()) return;
        worksheet_autofilter(sheet_, 0, 0, static_cast<lxw_row_t>(rowsOnSheet_),
                             static_cast<lxw_col_t>(columns_.size() - 1));
    }

    void WriteCell(lxw_row_t row, lxw_col_t column, const grid::CellValue& value)
    {
        if (const auto* text = std::get_if<std::string>(&value)) {
            if (!text->empty()) WriteText(row, column, *text, nullptr);
        } else if (const auto* number = std::get_if<platform::FixedDecimal>(&value)) {
            // Sizes a double cannot hold exactly are written as their digits.
            if (number->IsExactAsDouble())
                worksheet_write_number(sheet_, row, column, number->ToDouble(), numberFormats_[column]);
            else
                WriteText(row, column, number->ToText(), nullptr);
        } else if (const auto* date = std::get_if<platform::DateTime>(&value)) {
            const double days = date->Days();
            if (const auto serial = grid::xls::SpreadsheetSerial(days))
                worksheet_write_number(sheet_, row, column, *serial, dateTime_);
            else if (std::fabs(days) < kMaxDaysAsText)
                WriteText(row, column, date->ToIsoText(), nullptr);
            else if (std::isfinite(days))
                worksheet_write_number(sheet_, row, column, days, nullptr);
        }
    }

    void WriteText(lxw_row_t row, lxw_col_t column, const std::string& text, lxw_format* format)
    {
        cellText_.clear();
        if (AppendSpreadsheetText(cellText_, text)) ++cutValues_;
        worksheet_write_string(sheet_, row, column, cellText_.c_str(), format);
    }

    // The finished workbook, read back from the temporary file into the sink.
    void CopyFileToSink()
    {
        const platform::UniqueFd workbook(::open(file_.Path().c_str(), O_RDONLY | O_CLOEXEC));
        if (!workbook) {
            out_.Fail(errno);
            return;
        }
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t count = ::read(workbook.Get(), buffer, sizeof buffer);
            if (count == 0) return;
            if (count < 0) {
                if (errno == EINTR) continue;
                out_.Fail(errno);
                return;
            }
            out_.Write(std::string_view(buffer, static_cast<std::size_t>(count)));
            if (out_.Failed()) return;
        }
    }

    OutputSink& out_;
    std::vector<grid::xls::SheetColumn> columns_;
    std::size_t rowsPerSheet_;
    std::string tmpdir_;
    platform::TemporaryFile file_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* heading_ = nullptr;
    lxw_format* dateTime_ = nullptr;
    std::vector<lxw_format*> numberFormats_;
    std::size_t rowsOnSheet_ = 0;
    std::uint64_t cutValues_ = 0;
    std::string cellText_;
    std::string problem_;
    bool finished_ = false;
};

} // namespace

std::unique_ptr<RowWriter> MakeXlsxRowWriter(OutputSink& out, std::vector<grid::ResultColumn> columns,
                                             std::size_t rowsPerSheet)
{
    return std::make_unique<XlsxRowWriter>(out, columns, rowsPerSheet);
}

} // namespace grid::formats
