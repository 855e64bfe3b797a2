// Number-by-number comparison of versions, falling back to the natural order
// for texts that are not plain dotted numbers.
#include "cDisk/VersionOrder.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "grid/NaturalCompare.h"

namespace {

// The numbers of "a.b.c.d", without trailing zeros; empty optional when the
// text is anything else (or a number has more than 18 digits).
std::optional<std::vector<std::uint64_t>> DottedNumbers(std::string_view text)
{
    std::vector<std::uint64_t> numbers;
    std::size_t pos = 0;
    while (true) {
        std::uint64_t value = 0;
        std::size_t digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            if (++digits > 18) return std::nullopt;
            value = value * 10 + static_cast<std::uint64_t>(text[pos++] - '0');
        }
        if (digits == 0) return std::nullopt;
        numbers.push_back(value);
        if (pos == text.size()) break;
        if (text[pos++] != '.') return std::nullopt;
    }
    while (!numbers.empty() && numbers.back() == 0) numbers.pop_back();
    return numbers;
}

} // namespace

int CompareVersions(std::string_view left, std::string_view right)
{
    const auto leftNumbers = DottedNumbers(left);
    const auto rightNumbers = DottedNumbers(right);
    if (!leftNumbers || !rightNumbers) return CompareVersionTexts(left, right);
    if (*leftNumbers < *rightNumbers) return -1;
    return *leftNumbers == *rightNumbers ? 0 : 1;
}

int CompareVersionTexts(std::string_view left, std::string_view right)
{
    const int order = grid::NaturalSortKey(left).compare(grid::NaturalSortKey(right));
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}
