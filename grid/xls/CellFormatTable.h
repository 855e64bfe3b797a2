// The workbook's formatting records: fonts, number formats, the extended
// formats (XF) that cells refer to, and the Normal style. The 16 style XFs a
// workbook must begin with come first (index 15 being the default cell
// format), followed by the heading, date-time and per-number-format XFs.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "grid/xls/ByteWriter.h"
#include "grid/xls/XlsWorkbook.h"

namespace grid::xls {

// The display format of date-time cells.
inline constexpr const char* kDateTimeFormat = "yyyy-mm-dd hh:mm:ss";

class CellFormatTable {
public:
    explicit CellFormatTable(std::span<const SheetColumn> columns);

    static constexpr std::uint16_t kGeneralXf = 15;
    static constexpr std::uint16_t kHeadingXf = 16;
    static constexpr std::uint16_t kDateTimeXf = 17;

    // The XF of a number cell in the given column: the column's number
    // format, else the date-time format for date-time columns, else General.
    std::uint16_t NumberXf(std::size_t column) const { return numberXfs_[column]; }

    // Appends the FONT, FORMAT, XF and STYLE records.
    void WriteRecords(ByteWriter& out) const;

private:
    // Custom formats in order; the first has number-format id 164, its XF
    // index is kDateTimeXf plus its position.
    std::vector<std::string> customFormats_;
    std::vector<std::uint16_t> numberXfs_;
};

} // namespace grid::xls
