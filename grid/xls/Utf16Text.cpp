// UTF-8 text into UTF-16 units, with the one UTF-8 decoder: one U+FFFD per
// maximal subpart of an ill-formed sequence.
#include "grid/xls/Utf16Text.h"

#include "platform/Utf8Text.h"

namespace grid::xls {

std::u16string Utf8ToUtf16(std::string_view utf8, std::size_t maxUnits)
{
    std::u16string units;
    units.reserve(utf8.size() < maxUnits ? utf8.size() : maxUnits);
    std::size_t pos = 0;
    while (pos < utf8.size() && units.size() < maxUnits) {
        const platform::Utf8Step decoded = platform::DecodeUtf8Step(utf8.substr(pos));
        pos += decoded.length;
        if (decoded.codePoint < 0x10000) {
            units.push_back(static_cast<char16_t>(decoded.codePoint));
            continue;
        }
        if (units.size() + 2 > maxUnits) break;
        const char32_t offset = decoded.codePoint - 0x10000;
        units.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
        units.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
    }
    return units;
}

} // namespace grid::xls
