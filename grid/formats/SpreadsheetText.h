// Cell text for an xlsx workbook, whose cells are XML text of at most 32,767
// UTF-16 units.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace grid::formats {

inline constexpr std::size_t kMaxSpreadsheetTextUnits = 32767;

// Appends the text as a cell can hold it: each ill-formed UTF-8 subpart and
// each of U+FFFE and U+FFFF (which XML cannot carry) becomes U+FFFD, and the
// "_" of a literal "_xHHHH_" is written as "_x005F_" so that a reader does
// not take it for an escaped character. The text is cut at a character
// boundary to 32,767 UTF-16 units; returns whether it was cut.
bool AppendSpreadsheetText(std::string& out, std::string_view text);

} // namespace grid::formats
