// Natural-order keys: UTF-8 is decoded strictly (overlong forms, surrogates
// and truncated sequences count as invalid and pass through byte by byte),
// letters are folded to lower case with the folding wildcard matching uses, and each run of ASCII digits becomes a
// marker, its significant length and its significant digits, so that byte
// order compares runs by value.
#include "grid/NaturalCompare.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/Utf8Text.h"

namespace grid {
namespace {

constexpr char kDigitRunMarker = '0';
constexpr std::uint32_t kLongRunMark = 0xFF;

bool IsDigit(unsigned char byte)
{
    return byte >= '0' && byte <= '9';
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
                key[i] = static_cast<char>(platform::FoldAsciiCase(static_cast<unsigned char>(key[i])));
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
        const std::size_t length = platform::DecodeUtf8(text.substr(pos), codePoint);
        if (length == 0) {
            key.push_back(static_cast<char>(byte));
            ++pos;
            continue;
        }
        platform::AppendUtf8(key, platform::FoldCase(codePoint));
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
