// Wildcard matching with the greedy two-pointer method: on a mismatch the
// last "*" takes one more character, so the work is bounded by name length
// times pattern length and no pattern can make it backtrack exponentially.
// Texts are decoded one character at a time in place; nothing is copied.
#include "platform/WildcardMatch.h"

#include <cstdint>

namespace platform {
namespace {

// Length of the valid UTF-8 sequence starting at text[pos], or 0.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    std::uint32_t codePoint = 0;
    if ((lead & 0xE0) == 0xC0) { length = 2; minimum = 0x80; codePoint = lead & 0x1F; }
    else if ((lead & 0xF0) == 0xE0) { length = 3; minimum = 0x800; codePoint = lead & 0x0F; }
    else if ((lead & 0xF8) == 0xF0) { length = 4; minimum = 0x10000; codePoint = lead & 0x07; }
    else return 0;
    if (text.size() - pos < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
    return length;
}

bool IsValidUtf8(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) { ++pos; continue; }
        const std::size_t length = Utf8SequenceLength(text, pos);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

// Simple case folding to lower case for the letters of Latin-1, Latin
// Extended-A, Greek and Cyrillic; other characters are their own fold.
std::uint32_t FoldCase(std::uint32_t c)
{
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c >= 0x100 && c <= 0x137) return c | 1;
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
    if (c >= 0x14A && c <= 0x177) return c | 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    return c;
}

// Reads one character at `pos` and advances past it: a code point in UTF-8
// mode, a byte otherwise.
std::uint32_t NextCharacter(std::string_view text, std::size_t& pos, bool utf8)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (!utf8 || lead < 0x80) {
        ++pos;
        return lead;
    }
    const std::size_t length = Utf8SequenceLength(text, pos);
    std::uint32_t codePoint = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (std::size_t i = 1; i < length; ++i) codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
    pos += length;
    return codePoint;
}

bool MatchPattern(std::string_view name, std::string_view pattern, bool utf8)
{
    if (pattern == "*.*") return true;
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t patternAfterStar = std::string_view::npos;
    std::size_t nameAtStar = 0;
    while (n < name.size()) {
        if (p < pattern.size()) {
            std::size_t nextP = p;
            const std::uint32_t patternChar = NextCharacter(pattern, nextP, utf8);
            if (patternChar == '*') {
                patternAfterStar = nextP;
                nameAtStar = n;
                p = nextP;
                continue;
            }
            std::size_t nextN = n;
            const std::uint32_t nameChar = NextCharacter(name, nextN, utf8);
            if (patternChar == '?' || FoldCase(patternChar) == FoldCase(nameChar)) {
                p = nextP;
                n = nextN;
                continue;
            }
        }
        if (patternAfterStar == std::string_view::npos) return false;
        NextCharacter(name, nameAtStar, utf8);
        n = nameAtStar;
        p = patternAfterStar;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

} // namespace

bool MatchSpec(std::string_view name, std::string_view spec)
{
    if (spec.empty()) return false;
    const bool nameIsUtf8 = IsValidUtf8(name);
    std::size_t start = 0;
    while (start <= spec.size()) {
        std::size_t end = spec.find(';', start);
        if (end == std::string_view::npos) end = spec.size();
        std::string_view pattern = spec.substr(start, end - start);
        while (!pattern.empty() && pattern.front() == ' ') pattern.remove_prefix(1);
        if (MatchPattern(name, pattern, nameIsUtf8 && IsValidUtf8(pattern))) return true;
        start = end + 1;
    }
    return false;
}

bool EqualsIgnoringCase(std::string_view left, std::string_view right)
{
    const bool utf8 = IsValidUtf8(left) && IsValidUtf8(right);
    std::size_t l = 0;
    std::size_t r = 0;
    while (l < left.size() && r < right.size()) {
        if (FoldCase(NextCharacter(left, l, utf8)) != FoldCase(NextCharacter(right, r, utf8))) return false;
    }
    return l == left.size() && r == right.size();
}

} // namespace platform
