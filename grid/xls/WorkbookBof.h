// The BOF record that opens every substream of a BIFF8 workbook.
#pragma once

#include <cstdint>

#include "grid/xls/BiffRecordIds.h"
#include "grid/xls/ByteWriter.h"
#include "grid/xls/RecordWriter.h"

namespace grid::xls {

enum class BofKind : std::uint16_t { WorkbookGlobals = 0x0005, Worksheet = 0x0010 };

inline void WriteBof(ByteWriter& out, BofKind kind)
{
    RecordWriter record(out, biff::kBof);
    out.U16(0x0600); // BIFF8
    out.U16(static_cast<std::uint16_t>(kind));
    out.U16(0x0DBB); // build identifier
    out.U16(0x07CC); // build year
    out.U32(0);      // file history flags
    out.U32(0x0006); // lowest BIFF version able to read the file
    record.Close();
}

} // namespace grid::xls
