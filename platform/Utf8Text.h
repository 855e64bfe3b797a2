// The one UTF-8 unit of the code base: strict decoding and encoding of code
// points, the one case folding that matching and sorting share, and the JSON
// string encoding built on them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Appends the text as a JSON string, quotes included. Quote and backslash are
// escaped, control characters become \u00XX, and every byte that does not
// belong to a well-formed UTF-8 sequence becomes U+FFFD, so the result is
// always valid UTF-8. With escapeC1 the C1 controls U+0080..U+009F are
// written as \u00XX too (for a terminal).
void AppendJsonString(std::string& out, std::string_view text, bool escapeC1 = false);

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// One step of strict UTF-8 decoding at text[0] (text not empty): a
// well-formed sequence gives its code point and length; an ill-formed one
// gives U+FFFD and the length of its maximal subpart (at least one byte), so
// that each maximal subpart becomes one replacement character, as Unicode
// recommends.
struct Utf8Step {
    char32_t codePoint;
    std::size_t length;
    bool wellFormed;
};
Utf8Step DecodeUtf8Step(std::string_view text);

// Length of the well-formed UTF-8 sequence starting at text[0] (1 to 4), or 0
// when the bytes there are not one (overlong forms, surrogates and values past
// U+10FFFF are not well formed).
std::size_t WellFormedUtf8Length(std::string_view text);

// Whether every byte of `text` is ASCII (below 0x80).
bool IsAscii(std::string_view text);

// Decodes the well-formed sequence at text[0] into codePoint and returns its
// length, or returns 0 (codePoint unchanged) as WellFormedUtf8Length does.
std::size_t DecodeUtf8(std::string_view text, char32_t& codePoint);

// Appends the UTF-8 form of a code point (at most U+10FFFF, not a surrogate).
void AppendUtf8(std::string& out, char32_t codePoint);

// Simple lower-case folding of the letters of ASCII, Latin-1, Latin
// Extended-A, Greek, Cyrillic and the full-width Latin letters; every other
// character is its own fold. Wildcard matching and the table's sort both fold
// with this, so they never treat a letter differently.
char32_t FoldCase(char32_t c);

// FoldCase of an ASCII character (A to Z become a to z), for byte-wise loops
// over text known to be ASCII; any other value is returned as it is.
constexpr char32_t FoldAsciiCase(char32_t c)
{
    return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
}

// Appends the text with every well-formed character folded by FoldCase;
// bytes that are not well-formed UTF-8 are kept as they are. Two texts that
// differ only by case give the same folded text.
void AppendFoldedText(std::string& out, std::string_view text);

// FoldCase, then a Latin letter with a diacritic becomes its base letter
// ("É" and "é" give "e", "Ł" gives "l", "ß" stays): the fold of the table's
// quick filter, which ignores case and accents.
char32_t FoldCaseAndAccents(char32_t c);

// Appends the text folded by FoldCaseAndAccents, combining diacritical marks
// (U+0300..U+036F) left out and ill-formed bytes as U+FFFD. ASCII takes a
// fast path: a filter folds every shown cell of a million rows.
void AppendFoldedForSearch(std::string& out, std::string_view text);

// Whether a well-formed sequence is one of the C1 controls U+0080..U+009F.
bool IsC1Control(std::string_view sequence);

} // namespace platform
