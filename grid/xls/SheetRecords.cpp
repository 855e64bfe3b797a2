// Encoding of worksheet substreams.
#include "grid/xls/SheetRecords.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

#include "grid/xls/BiffRecordIds.h"
#include "grid/xls/ByteWriter.h"
#include "grid/xls/CellFormatTable.h"
#include "grid/xls/RecordWriter.h"
#include "grid/xls/WorkbookBof.h"

namespace grid::xls {
namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr double kPixelsPerCharacter = 7.0;
constexpr double kMaxWidthUnits = 255 * 256;
constexpr std::uint16_t kDefaultColumnCharacters = 8;

// Grid lines, row and column headings, zeros, default heading colour and
// outline symbols shown.
constexpr std::uint16_t kWindowShowAll = 0x00B6;
constexpr std::uint16_t kWindowSelected = 0x0200;
constexpr std::uint16_t kWindowActive = 0x0400;
constexpr std::uint32_t kDefaultGridColour = 0x40;

// Cell records have a fixed layout: record header, row, column, XF, value.
// They are laid out in a small array and appended in one step, since this is
// the path every cell takes.
template <std::size_t Size>
class CellRecord {
public:
    CellRecord(std::uint16_t id, std::uint16_t row, std::uint16_t column, std::uint16_t xf)
    {
        Put16(id);
        Put16(static_cast<std::uint16_t>(Size - 4));
        Put16(row);
        Put16(column);
        Put16(xf);
    }
    void Put16(std::uint16_t value)
    {
        bytes_[used_++] = static_cast<std::uint8_t>(value);
        bytes_[used_++] = static_cast<std::uint8_t>(value >> 8);
    }
    void Put32(std::uint32_t value)
    {
        Put16(static_cast<std::uint16_t>(value));
        Put16(static_cast<std::uint16_t>(value >> 16));
    }
    void Put64(std::uint64_t value)
    {
        Put32(static_cast<std::uint32_t>(value));
        Put32(static_cast<std::uint32_t>(value >> 32));
    }
    void AppendTo(std::vector<std::uint8_t>& out) const { out.insert(out.end(), bytes_.begin(), bytes_.end()); }

private:
    std::array<std::uint8_t, Size> bytes_{};
    std::size_t used_ = 0;
};

} // namespace

std::uint16_t ColumnWidthUnits(double widthTwips)
{
    if (!(widthTwips > 0.0)) return 0;
    const double units = widthTwips / kTwipsPerPixel / kPixelsPerCharacter * 256.0;
    return static_cast<std::uint16_t>(std::lround(std::min(units, kMaxWidthUnits)));
}

void SheetRecords::AddTextCell(std::uint16_t column, std::uint16_t xf, std::uint32_t stringIndex)
{
    CellRecord<14> record(biff::kLabelSst, static_cast<std::uint16_t>(rowCount_ - 1), column, xf);
    record.Put32(stringIndex);
    record.AppendTo(cells_);
    columnEnd_ = std::max<std::uint16_t>(columnEnd_, column + 1);
}

void SheetRecords::AddNumberCell(std::uint16_t column, std::uint16_t xf, double value)
{
    CellRecord<18> record(biff::kNumber, static_cast<std::uint16_t>(rowCount_ - 1), column, xf);
    record.Put64(std::bit_cast<std::uint64_t>(value));
    record.AppendTo(cells_);
    columnEnd_ = std::max<std::uint16_t>(columnEnd_, column + 1);
}

std::vector<std::uint8_t> SheetRecords::Prologue(std::span<const SheetColumn> columns) const
{
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    WriteBof(out, BofKind::Worksheet);

    RecordWriter defaultWidth(out, biff::kDefColWidth);
    out.U16(kDefaultColumnCharacters);
    defaultWidth.Close();

    const std::size_t columnCount = std::min(columns.size(), kMaxSheetColumns);
    for (std::size_t column = 0; column < columnCount; ++column) {
        const std::uint16_t width = ColumnWidthUnits(columns[column].widthTwips);
        if (width == 0) continue;
        RecordWriter colInfo(out, biff::kColInfo);
        out.U16(static_cast<std::uint16_t>(column));
        out.U16(static_cast<std::uint16_t>(column));
        out.U16(width);
        out.U16(CellFormatTable::kGeneralXf);
        out.U16(0);  // visible, no outline
        out.U16(0);
        colInfo.Close();
    }

    RecordWriter dimensions(out, biff::kDimensions);
    const bool empty = columnEnd_ == 0;
    out.U32(0);
    out.U32(empty ? 0 : rowCount_);
    out.U16(0);
    out.U16(columnEnd_);
    out.U16(0);
    dimensions.Close();
    return bytes;
}

std::vector<std::uint8_t> SheetRecords::Epilogue(bool selected) const
{
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    RecordWriter window(out, biff::kWindow2);
    out.U16(selected ? kWindowShowAll | kWindowSelected | kWindowActive : kWindowShowAll);
    out.U16(0); // top row
    out.U16(0); // left column
    out.U32(kDefaultGridColour);
    out.U16(0); // page-break preview zoom: default
    out.U16(0); // normal zoom: default
    out.U32(0);
    window.Close();

    RecordWriter eof(out, biff::kEof);
    eof.Close();
    return bytes;
}

} // namespace grid::xls
