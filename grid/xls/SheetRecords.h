// One worksheet's records. Cell records are encoded as rows arrive; the
// records that must precede them (column widths, dimensions) are produced when
// the workbook is written, from what the sheet then holds.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "grid/xls/XlsWorkbook.h"

namespace grid::xls {

// Rows of one worksheet, the heading row included.
constexpr std::uint32_t kMaxSheetRows = 65536;
constexpr std::size_t kMaxSheetColumns = 256;

class SheetRecords {
public:
    std::uint32_t RowCount() const { return rowCount_; }
    bool IsFull() const { return rowCount_ == kMaxSheetRows; }

    // Starts the next row; cells added afterwards belong to it.
    void BeginRow() { ++rowCount_; }
    void AddTextCell(std::uint16_t column, std::uint16_t xf, std::uint32_t stringIndex);
    void AddNumberCell(std::uint16_t column, std::uint16_t xf, double value);

    // The records before the cells: BOF, default and per-column widths and
    // the used range.
    std::vector<std::uint8_t> Prologue(std::span<const SheetColumn> columns) const;
    const std::vector<std::uint8_t>& Cells() const { return cells_; }
    // The records after the cells: the window settings and EOF.
    std::vector<std::uint8_t> Epilogue(bool selected) const;

private:
    std::vector<std::uint8_t> cells_;
    std::uint32_t rowCount_ = 0;
    std::uint16_t columnEnd_ = 0; // one past the rightmost column holding a cell
};

// Column width in 1/256 of a character from a width in twips: 15 twips per
// pixel, about 7 pixels per character of the default font.
std::uint16_t ColumnWidthUnits(double widthTwips);

} // namespace grid::xls
