// Workbook globals: written once with placeholder sheet positions, which are
// filled in when the size of the globals themselves is known.
#include "grid/xls/WorkbookGlobals.h"

#include <string>

#include "grid/xls/BiffRecordIds.h"
#include "grid/xls/ByteWriter.h"
#include "grid/xls/RecordWriter.h"
#include "grid/xls/WorkbookBof.h"
#include "grid/xls/XlsStrings.h"

namespace grid::xls {
namespace {

constexpr std::uint16_t kCodePageUtf16 = 1200;

void WriteSimpleRecord(ByteWriter& out, std::uint16_t id, std::uint16_t value)
{
    RecordWriter record(out, id);
    out.U16(value);
    record.Close();
}

void WriteWindow1(ByteWriter& out)
{
    RecordWriter record(out, biff::kWindow1);
    out.U16(0x0168); // left, in twips
    out.U16(0x0168); // top
    out.U16(0x4000); // width
    out.U16(0x2000); // height
    out.U16(0x0038); // horizontal and vertical scroll bars, sheet tabs shown
    out.U16(0);      // active sheet
    out.U16(0);      // first visible tab
    out.U16(1);      // selected sheets
    out.U16(0x0258); // tab bar width ratio
    record.Close();
}

std::u16string SheetName(std::size_t index)
{
    const std::string name = "Sheet" + std::to_string(index + 1);
    return std::u16string(name.begin(), name.end());
}

} // namespace

std::vector<std::uint8_t> BuildWorkbookGlobals(const CellFormatTable& formats, const SharedStringTable& strings,
                                               std::span<const std::uint64_t> sheetSizes)
{
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    WriteBof(out, BofKind::WorkbookGlobals);
    WriteSimpleRecord(out, biff::kCodePage, kCodePageUtf16);
    WriteWindow1(out);
    WriteSimpleRecord(out, biff::kDate1904, 0);
    formats.WriteRecords(out);

    std::vector<std::size_t> positionFields;
    for (std::size_t sheet = 0; sheet < sheetSizes.size(); ++sheet) {
        RecordWriter record(out, biff::kBoundSheet);
        positionFields.push_back(out.Size());
        out.U32(0);
        out.U8(0); // visible
        out.U8(0); // worksheet
        AppendShortUnicodeString(out, SheetName(sheet));
        record.Close();
    }

    strings.WriteRecords(out);
    RecordWriter eof(out, biff::kEof);
    eof.Close();

    std::uint64_t position = bytes.size();
    for (std::size_t sheet = 0; sheet < sheetSizes.size(); ++sheet) {
        out.PatchU32(positionFields[sheet], static_cast<std::uint32_t>(position));
        position += sheetSizes[sheet];
    }
    return bytes;
}

} // namespace grid::xls
