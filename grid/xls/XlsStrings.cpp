// Serialisation of BIFF8 strings in their compressed or UTF-16 form.
#include "grid/xls/XlsStrings.h"

#include <algorithm>

namespace grid::xls {

bool FitsCompressed(std::u16string_view units)
{
    return std::all_of(units.begin(), units.end(), [](char16_t unit) { return unit < 0x100; });
}

void AppendCharacters(ByteWriter& out, std::u16string_view units, bool compressed)
{
    for (const char16_t unit : units) {
        if (compressed) out.U8(static_cast<std::uint8_t>(unit));
        else out.U16(static_cast<std::uint16_t>(unit));
    }
}

void AppendUnicodeString(ByteWriter& out, std::u16string_view units)
{
    const bool compressed = FitsCompressed(units);
    out.U16(static_cast<std::uint16_t>(units.size()));
    out.U8(compressed ? 0 : kHighByteFlag);
    AppendCharacters(out, units, compressed);
}

void AppendShortUnicodeString(ByteWriter& out, std::u16string_view units)
{
    const bool compressed = FitsCompressed(units);
    out.U8(static_cast<std::uint8_t>(units.size()));
    out.U8(compressed ? 0 : kHighByteFlag);
    AppendCharacters(out, units, compressed);
}

} // namespace grid::xls
