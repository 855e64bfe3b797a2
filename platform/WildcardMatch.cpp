// Wildcard matching with the greedy two-pointer method: on a mismatch the
// last "*" takes one more character, so the work is bounded by name length
// times pattern length and no pattern can make it backtrack exponentially.
// Texts are decoded one character at a time in place; nothing is copied.
#include "platform/WildcardMatch.h"

#include "platform/Utf8Text.h"

#include <algorithm>
#include <cstdint>

namespace platform {
namespace {

bool IsValidUtf8(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t length = WellFormedUtf8Length(text.substr(pos));
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

// Reads one character at `pos` and advances past it: a code point in UTF-8
// mode (the text is known to be well formed), a byte otherwise.
char32_t NextCharacter(std::string_view text, std::size_t& pos, bool utf8)
{
    char32_t c = static_cast<unsigned char>(text[pos]);
    pos += utf8 ? DecodeUtf8(text.substr(pos), c) : 1;
    return c;
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
            const char32_t patternChar = NextCharacter(pattern, nextP, utf8);
            if (patternChar == '*') {
                patternAfterStar = nextP;
                nameAtStar = n;
                p = nextP;
                continue;
            }
            std::size_t nextN = n;
            const char32_t nameChar = NextCharacter(name, nextN, utf8);
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
    // An ASCII name matches byte by byte exactly as it would character by
    // character: no character outside ASCII folds into it. Most names are
    // ASCII, so they skip decoding.
    const bool nameIsUtf8 = !IsAscii(name) && IsValidUtf8(name);
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
    // Two ASCII texts compare byte by byte, without decoding.
    if (IsAscii(left) && IsAscii(right))
        return std::equal(left.begin(), left.end(), right.begin(), right.end(), [](char l, char r) {
            return FoldCase(static_cast<unsigned char>(l)) == FoldCase(static_cast<unsigned char>(r));
        });
    const bool utf8 = IsValidUtf8(left) && IsValidUtf8(right);
    std::size_t l = 0;
    std::size_t r = 0;
    while (l < left.size() && r < right.size()) {
        if (FoldCase(NextCharacter(left, l, utf8)) != FoldCase(NextCharacter(right, r, utf8))) return false;
    }
    return l == left.size() && r == right.size();
}

} // namespace platform
