// The string layouts of BIFF8: a character count, an option byte whose low bit
// says whether characters are stored as UTF-16 (1) or as their low bytes only
// (0, possible when every unit is below U+0100), then the characters.
#pragma once

#include <string>
#include <string_view>

#include "grid/xls/ByteWriter.h"

namespace grid::xls {

constexpr std::uint8_t kHighByteFlag = 0x01;

bool FitsCompressed(std::u16string_view units);

// The characters alone, one byte each when compressed, else two.
void AppendCharacters(ByteWriter& out, std::u16string_view units, bool compressed);

// 16-bit count form; the caller keeps units within 65,535.
void AppendUnicodeString(ByteWriter& out, std::u16string_view units);

// 8-bit count form; the caller keeps units within 255.
void AppendShortUnicodeString(ByteWriter& out, std::u16string_view units);

} // namespace grid::xls
