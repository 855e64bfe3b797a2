// Wildcard matching with the greedy two-pointer method: on a mismatch the
// last "*" takes one more character, so the work is bounded by name length
// times pattern length and no pattern can make it backtrack exponentially.
// Texts are decoded one character at a time in place; nothing is copied.
// ASCII names, nearly all of them, take a byte-wise path, and a pattern that
// is a star and an ending is matched as a suffix.
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

// How a name and a pattern are read. An ASCII name is read byte by byte and
// only A to Z fold: no character outside ASCII folds into ASCII, so a
// pattern character outside it can never match there. A well-formed UTF-8
// name is read by code point, anything else byte by byte.
enum class Reading { Ascii, Bytes, Utf8 };

// Reads one character at `pos` and advances past it.
template <Reading mode>
char32_t NextCharacter(std::string_view text, std::size_t& pos)
{
    char32_t c = static_cast<unsigned char>(text[pos]);
    pos += mode == Reading::Utf8 ? DecodeUtf8(text.substr(pos), c) : 1;
    return c;
}

// The same for a text read by code point (`utf8`) or byte by byte.
char32_t NextCharacter(std::string_view text, std::size_t& pos, bool utf8)
{
    return utf8 ? NextCharacter<Reading::Utf8>(text, pos) : NextCharacter<Reading::Bytes>(text, pos);
}

template <Reading mode>
char32_t Folded(char32_t c)
{
    if constexpr (mode == Reading::Ascii) return FoldAsciiCase(c);
    else return FoldCase(c);
}

// Whether two bytes of ASCII texts are the same letter, case aside.
bool SameAsciiFolded(char left, char right)
{
    return FoldAsciiCase(static_cast<unsigned char>(left)) == FoldAsciiCase(static_cast<unsigned char>(right));
}

// A star followed by plain characters ("*.dll", the common case) matches
// exactly the names that end with those characters.
bool MatchEnding(std::string_view name, std::string_view ending)
{
    return name.size() >= ending.size() &&
           std::equal(ending.begin(), ending.end(), name.end() - static_cast<std::ptrdiff_t>(ending.size()),
                      SameAsciiFolded);
}

template <Reading mode>
bool MatchPattern(std::string_view name, std::string_view pattern)
{
    if (pattern == "*.*") return true;
    if constexpr (mode == Reading::Ascii) {
        if (pattern.size() > 1 && pattern.front() == '*' && pattern.find_first_of("*?", 1) == std::string_view::npos)
            return MatchEnding(name, pattern.substr(1));
    }
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t patternAfterStar = std::string_view::npos;
    std::size_t nameAtStar = 0;
    while (n < name.size()) {
        if (p < pattern.size()) {
            std::size_t nextP = p;
            const char32_t patternChar = NextCharacter<mode>(pattern, nextP);
            if (patternChar == '*') {
                patternAfterStar = nextP;
                nameAtStar = n;
                p = nextP;
                continue;
            }
            std::size_t nextN = n;
            const char32_t nameChar = NextCharacter<mode>(name, nextN);
            if (patternChar == '?' || Folded<mode>(patternChar) == Folded<mode>(nameChar)) {
                p = nextP;
                n = nextN;
                continue;
            }
        }
        if (patternAfterStar == std::string_view::npos) return false;
        NextCharacter<mode>(name, nameAtStar);
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
    const bool nameIsAscii = IsAscii(name);
    const bool nameIsUtf8 = !nameIsAscii && IsValidUtf8(name);
    std::size_t start = 0;
    while (start <= spec.size()) {
        std::size_t end = spec.find(';', start);
        if (end == std::string_view::npos) end = spec.size();
        std::string_view pattern = spec.substr(start, end - start);
        while (!pattern.empty() && pattern.front() == ' ') pattern.remove_prefix(1);
        const bool matched = nameIsAscii                           ? MatchPattern<Reading::Ascii>(name, pattern)
                             : nameIsUtf8 && IsValidUtf8(pattern) ? MatchPattern<Reading::Utf8>(name, pattern)
                                                                  : MatchPattern<Reading::Bytes>(name, pattern);
        if (matched) return true;
        start = end + 1;
    }
    return false;
}

bool EqualsIgnoringCase(std::string_view left, std::string_view right)
{
    // Two ASCII texts compare byte by byte, without decoding.
    if (IsAscii(left) && IsAscii(right))
        return std::equal(left.begin(), left.end(), right.begin(), right.end(), SameAsciiFolded);
    const bool utf8 = IsValidUtf8(left) && IsValidUtf8(right);
    std::size_t l = 0;
    std::size_t r = 0;
    while (l < left.size() && r < right.size()) {
        if (FoldCase(NextCharacter(left, l, utf8)) != FoldCase(NextCharacter(right, r, utf8))) return false;
    }
    return l == left.size() && r == right.size();
}

} // namespace platform
