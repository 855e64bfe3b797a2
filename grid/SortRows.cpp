// Stable sort of row indices by one column. Sort keys are computed once per
// row: numbers and dates as order-preserving 64-bit values, text as
// natural-order keys packed into one buffer, each entry carrying its key's
// first eight bytes so most comparisons touch no other memory. Only
// 16-byte entries move while sorting.
#include "grid/SortRows.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <string_view>

#include "grid/NaturalCompare.h"

namespace grid {
namespace {

const CellValue kEmptyCell{};

const CellValue& CellOf(const GridRow& row, int cellColumn)
{
    const auto index = static_cast<std::size_t>(cellColumn);
    return index < row.size() ? row[index] : kEmptyCell;
}

// Whole part and up to four decimals, without trailing zeros.
std::string FixedDecimalText(platform::FixedDecimal value)
{
    const std::int64_t scaled = value.Scaled();
    const bool negative = scaled < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(scaled)
                                             : static_cast<std::uint64_t>(scaled);
    const auto scale = static_cast<std::uint64_t>(platform::FixedDecimal::kScale);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / scale);
    const std::uint64_t fraction = magnitude % scale;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction + scale).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return text;
}

// Natural-order keys of text cells, all in one buffer, with the plain texts
// for the tie-break.
class TextKeys {
public:
    explicit TextKeys(std::size_t rows) : spans_(rows), plain_(rows) {}

    void Add(std::size_t row, const CellValue& cell)
    {
        std::string_view text;
        if (const auto* value = std::get_if<std::string>(&cell)) {
            text = *value;
        } else if (const auto* size = std::get_if<platform::FixedDecimal>(&cell)) {
            text = rendered_.emplace_back(FixedDecimalText(*size));
        } else if (const auto* date = std::get_if<platform::DateTime>(&cell)) {
            text = rendered_.emplace_back(date->ToIsoText());
        }
        plain_[row] = text;
        const std::size_t offset = buffer_.size();
        AppendNaturalSortKey(buffer_, text);
        spans_[row] = {offset, buffer_.size() - offset};
    }

    // The first eight key bytes as a big-endian number, zero-padded.
    std::uint64_t Prefix(std::size_t row) const
    {
        const std::string_view key = Key(row);
        std::uint64_t prefix = 0;
        for (std::size_t i = 0; i < 8; ++i)
            prefix = (prefix << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
        return prefix;
    }

    int Compare(std::size_t left, std::size_t right) const
    {
        if (const int byKey = Key(left).compare(Key(right)); byKey != 0) return byKey;
        return plain_[left].compare(plain_[right]);
    }

private:
    struct Span {
        std::size_t offset = 0;
        std::size_t length = 0;
    };
    std::string_view Key(std::size_t row) const
    {
        return std::string_view(buffer_).substr(spans_[row].offset, spans_[row].length);
    }

    std::string buffer_;
    std::vector<Span> spans_;
    std::vector<std::string_view> plain_;
    std::deque<std::string> rendered_; // stable addresses for plain_
};

// Sixteen bytes per row: a rank, an unsigned number whose order is the
// cell's order within its rank, and the row.
struct SortEntry {
    std::uint64_t value = 0;
    // Typed comparison: 0 empty, 1 size, 2 date-time, 3 text. Text
    // comparison: always 3.
    std::uint32_t rank = 0;
    int row = 0;
};

constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;

std::uint64_t OrderedBits(std::int64_t value)
{
    return static_cast<std::uint64_t>(value) ^ kSignBit;
}

std::uint64_t OrderedBits(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits & kSignBit) ? ~bits : bits | kSignBit;
}

class EntryLess {
public:
    explicit EntryLess(const TextKeys& keys) : keys_(keys) {}

    bool operator()(const SortEntry& left, const SortEntry& right) const
    {
        if (left.rank != right.rank) return left.rank < right.rank;
        if (left.value != right.value) return left.value < right.value;
        return left.rank == kTextRank &&
               keys_.Compare(static_cast<std::size_t>(left.row), static_cast<std::size_t>(right.row)) < 0;
    }

    static constexpr std::uint32_t kTextRank = 3;

private:
    const TextKeys& keys_;
};

} // namespace

std::vector<int> SortedRowOrder(const std::vector<GridRow>& rows, int cellColumn,
                                RowComparison comparison, bool descending)
{
    TextKeys keys(rows.size());
    std::vector<SortEntry> entries(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SortEntry& entry = entries[i];
        entry.row = static_cast<int>(i);
        const CellValue& cell = CellOf(rows[i], cellColumn);
        if (comparison == RowComparison::Typed) {
            if (std::holds_alternative<std::monostate>(cell)) continue;
            if (const auto* size = std::get_if<platform::FixedDecimal>(&cell)) {
                entry.rank = 1;
                entry.value = OrderedBits(size->Scaled());
                continue;
            }
            if (const auto* date = std::get_if<platform::DateTime>(&cell)) {
                entry.rank = 2;
                entry.value = OrderedBits(date->Days());
                continue;
            }
        }
        entry.rank = EntryLess::kTextRank;
        keys.Add(i, cell);
        entry.value = keys.Prefix(i);
    }
    const EntryLess less(keys);
    if (descending)
        std::stable_sort(entries.begin(), entries.end(),
                         [&less](const SortEntry& a, const SortEntry& b) { return less(b, a); });
    else
        std::stable_sort(entries.begin(), entries.end(), less);

    std::vector<int> previousRowOf;
    previousRowOf.reserve(entries.size());
    for (const SortEntry& entry : entries) previousRowOf.push_back(entry.row);
    return previousRowOf;
}

} // namespace grid
