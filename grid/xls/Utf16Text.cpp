// UTF-8 decoding with replacement characters, following the Unicode
// recommendation of one U+FFFD per maximal subpart of an ill-formed sequence.
#include "grid/xls/Utf16Text.h"

#include <cstdint>

namespace grid::xls {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

struct Decoded {
    char32_t codePoint;
    std::size_t length; // bytes consumed, at least 1
};

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes the sequence starting at text[pos]; an invalid sequence yields
// U+FFFD and consumes exactly its maximal valid prefix (at least one byte).
Decoded DecodeOne(std::string_view text, std::size_t pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) return {lead, 1};

    std::size_t need = 0;
    char32_t value = 0;
    unsigned char lowest = 0x80;  // allowed range of the second byte
    unsigned char highest = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        value = lead & 0x0F;
        if (lead == 0xE0) lowest = 0xA0;   // overlong
        if (lead == 0xED) highest = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        value = lead & 0x07;
        if (lead == 0xF0) lowest = 0x90;   // overlong
        if (lead == 0xF4) highest = 0x8F;  // past U+10FFFF
    } else {
        return {kReplacement, 1};
    }

    std::size_t consumed = 1;
    for (std::size_t i = 0; i < need; ++i) {
        if (pos + consumed >= text.size()) return {kReplacement, consumed};
        const auto next = static_cast<unsigned char>(text[pos + consumed]);
        const bool inRange = i == 0 ? (next >= lowest && next <= highest) : IsContinuation(next);
        if (!inRange) return {kReplacement, consumed};
        value = (value << 6) | (next & 0x3F);
        ++consumed;
    }
    return {value, consumed};
}

} // namespace

std::u16string Utf8ToUtf16(std::string_view utf8, std::size_t maxUnits)
{
    std::u16string units;
    units.reserve(utf8.size() < maxUnits ? utf8.size() : maxUnits);
    std::size_t pos = 0;
    while (pos < utf8.size() && units.size() < maxUnits) {
        const Decoded decoded = DecodeOne(utf8, pos);
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
