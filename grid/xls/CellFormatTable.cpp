// Formatting records of the workbook globals.
#include "grid/xls/CellFormatTable.h"

#include <algorithm>

#include "grid/xls/BiffRecordIds.h"
#include "grid/xls/RecordWriter.h"
#include "grid/xls/Utf16Text.h"
#include "grid/xls/XlsStrings.h"

namespace grid::xls {
namespace {

constexpr std::uint16_t kFirstCustomFormatId = 164;
constexpr std::size_t kMaxFormatUnits = 255;
constexpr std::uint16_t kRegularFont = 0;
// Font index 4 does not exist in BIFF8; the fifth FONT record is index 5.
constexpr std::uint16_t kBoldFont = 5;
constexpr std::uint16_t kStyleXfCount = 15;

constexpr std::uint16_t kFontHeightTwips = 200;
constexpr std::uint16_t kWeightRegular = 400;
constexpr std::uint16_t kWeightBold = 700;
constexpr std::uint16_t kAutomaticColour = 0x7FFF;

// XF option bits.
constexpr std::uint16_t kLocked = 0x0001;
constexpr std::uint16_t kStyleXf = 0x0004;
constexpr std::uint16_t kNoParent = 0xFFF0;
constexpr std::uint8_t kAlignBottom = 0x20;
constexpr std::uint8_t kOwnNumberFormat = 0x04;
constexpr std::uint8_t kOwnFont = 0x08;
// In style XFs a set bit marks an attribute group the style leaves alone.
constexpr std::uint8_t kStyleIgnoresAllButFont = 0xF4;
constexpr std::uint16_t kDefaultPatternColours = 0x40 | (0x41 << 7);

void WriteFont(ByteWriter& out, std::uint16_t weight)
{
    RecordWriter record(out, biff::kFont);
    out.U16(kFontHeightTwips);
    out.U16(0); // not italic, not struck out
    out.U16(kAutomaticColour);
    out.U16(weight);
    out.U16(0); // no super- or subscript
    out.U8(0);  // no underline
    out.U8(0);  // family
    out.U8(0);  // character set
    out.U8(0);
    AppendShortUnicodeString(out, u"Arial");
    record.Close();
}

void WriteXf(ByteWriter& out, std::uint16_t font, std::uint16_t format, std::uint16_t options,
             std::uint8_t usedAttributes)
{
    RecordWriter record(out, biff::kXf);
    out.U16(font);
    out.U16(format);
    out.U16(options);
    out.U8(kAlignBottom);
    out.U8(0); // rotation
    out.U8(0); // indent, shrink, reading order
    out.U8(usedAttributes);
    out.U32(0); // borders
    out.U32(0); // border colours, fill pattern
    out.U16(kDefaultPatternColours);
    record.Close();
}

} // namespace

CellFormatTable::CellFormatTable(std::span<const SheetColumn> columns)
{
    customFormats_.push_back(kDateTimeFormat);
    auto xfOfFormat = [this](const std::string& format) {
        auto found = std::find(customFormats_.begin(), customFormats_.end(), format);
        if (found == customFormats_.end()) found = customFormats_.insert(found, format);
        return static_cast<std::uint16_t>(kDateTimeXf + (found - customFormats_.begin()));
    };
    for (const SheetColumn& column : columns) {
        if (!column.numberFormat.empty()) numberXfs_.push_back(xfOfFormat(column.numberFormat));
        else if (column.kind == ColumnKind::DateTime) numberXfs_.push_back(kDateTimeXf);
        else numberXfs_.push_back(kGeneralXf);
    }
}

void CellFormatTable::WriteRecords(ByteWriter& out) const
{
    for (int i = 0; i < 4; ++i) WriteFont(out, kWeightRegular);
    WriteFont(out, kWeightBold);

    for (std::size_t i = 0; i < customFormats_.size(); ++i) {
        RecordWriter record(out, biff::kFormat);
        out.U16(static_cast<std::uint16_t>(kFirstCustomFormatId + i));
        AppendUnicodeString(out, Utf8ToUtf16(customFormats_[i], kMaxFormatUnits));
        record.Close();
    }

    WriteXf(out, kRegularFont, 0, kLocked | kStyleXf | kNoParent, 0);
    for (std::uint16_t i = 1; i < kStyleXfCount; ++i) {
        WriteXf(out, kRegularFont, 0, kLocked | kStyleXf | kNoParent, kStyleIgnoresAllButFont);
    }
    WriteXf(out, kRegularFont, 0, kLocked, 0);
    WriteXf(out, kBoldFont, 0, kLocked, kOwnFont);
    for (std::size_t i = 0; i < customFormats_.size(); ++i) {
        WriteXf(out, kRegularFont, static_cast<std::uint16_t>(kFirstCustomFormatId + i), kLocked, kOwnNumberFormat);
    }

    RecordWriter style(out, biff::kStyle);
    out.U16(0x8000); // built-in style on XF 0
    out.U8(0);       // Normal
    out.U8(0xFF);    // no outline level
    style.Close();
}

} // namespace grid::xls
