// Natural-order keys: UTF-8 is decoded strictly (overlong forms, surrogates
// and truncated sequences count as invalid and pass through byte by byte),
// letters are folded to lower case, and each run of ASCII digits becomes a
// marker, its significant length and its significant digits, so that byte
// order compares runs by value.
#include "grid/NaturalCompare.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace grid {
namespace {

constexpr char kDigitRunMarker = '0';
constexpr std::uint32_t kLongRunMark = 0xFF;

bool IsDigit(unsigned char byte)
{
    return byte >= '0' && byte <= '9';
}

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Decodes the code point at text[pos]; returns its byte length, or 0 when the
// bytes there are not a valid UTF-8 sequence.
std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& codePoint)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byteAt(pos);
    const std::size_t left = text.size() - pos;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    unsigned char minSecond = 0x80;
    unsigned char maxSecond = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        if (lead == 0xE0) minSecond = 0xA0;
        if (lead == 0xED) maxSecond = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        if (lead == 0xF0) minSecond = 0x90;
        if (lead == 0xF4) maxSecond = 0x8F;
    } else {
        return 0;
    }
    if (left < length) return 0;
    const unsigned char second = byteAt(pos + 1);
    if (second < minSecond || second > maxSecond) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byteAt(pos + i);
        if (!IsContinuation(next)) return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    return length;
}

// Lower case for ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic and the
// full-width Latin letters: the scripts file names of version resources use.
char32_t FoldCase(char32_t c)
{
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : c + 32;
    if (c >= 0x100 && c <= 0x137) return c | 1;
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
    if (c >= 0x14A && c <= 0x177) return c | 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 32;
    return c;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Marker, the count of significant digits, the digits. Counts below 255
// take one byte; longer runs write 255 and the count in four bytes
// (big-endian), which keeps byte order equal to count order.
void AppendDigitRun(std::string& out, std::string_view run)
{
    const std::size_t firstSignificant = std::min(run.find_first_not_of('0'), run.size());
    const std::string_view significant = run.substr(firstSignificant);
    const auto count = static_cast<std::uint32_t>(
        std::min<std::size_t>(significant.size(), std::numeric_limits<std::uint32_t>::max()));
    out.push_back(kDigitRunMarker);
    if (count < kLongRunMark) {
        out.push_back(static_cast<char>(count));
    } else {
        out.push_back(static_cast<char>(kLongRunMark));
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((count >> shift) & 0xFF));
    }
    out.append(significant);
}

} // namespace

std::string NaturalSortKey(std::string_view text)
{
    std::string key;
    key.reserve(text.size() + 8);
    AppendNaturalSortKey(key, text);
    return key;
}

void AppendNaturalSortKey(std::string& key, std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80 && !IsDigit(byte)) {
            // A run of ASCII other than digits: copied, then folded in place.
            std::size_t end = pos + 1;
            while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80 &&
                   !IsDigit(static_cast<unsigned char>(text[end])))
                ++end;
            const std::size_t start = key.size();
            key.append(text.substr(pos, end - pos));
            for (std::size_t i = start; i < key.size(); ++i)
                if (key[i] >= 'A' && key[i] <= 'Z') key[i] = static_cast<char>(key[i] + ('a' - 'A'));
            pos = end;
            continue;
        }
        if (IsDigit(byte)) {
            std::size_t end = pos;
            while (end < text.size() && IsDigit(static_cast<unsigned char>(text[end]))) ++end;
            AppendDigitRun(key, text.substr(pos, end - pos));
            pos = end;
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(text, pos, codePoint);
        if (length == 0) {
            key.push_back(static_cast<char>(byte));
            ++pos;
            continue;
        }
        AppendUtf8(key, FoldCase(codePoint));
        pos += length;
    }
}

int CompareNatural(std::string_view left, std::string_view right)
{
    const int byKey = NaturalSortKey(left).compare(NaturalSortKey(right));
    if (byKey != 0) return byKey;
    return left.compare(right);
}

} // namespace grid
