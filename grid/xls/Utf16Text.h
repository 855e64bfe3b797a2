// Conversion of UTF-8 text into the UTF-16 code units a workbook stores.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace grid::xls {

// Decodes utf8 into UTF-16. Every ill-formed sequence (stray continuation
// bytes, truncated or overlong sequences, surrogates, values past U+10FFFF)
// becomes one U+FFFD per maximal invalid subpart. The result holds at most
// maxUnits code units; a cut never separates the two halves of a surrogate
// pair.
std::u16string Utf8ToUtf16(std::string_view utf8, std::size_t maxUnits);

} // namespace grid::xls
