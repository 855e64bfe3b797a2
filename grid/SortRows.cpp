// Sort of row indices by one column, stable in both directions. Sort keys
// are computed once per row: numbers and dates as order-preserving 64-bit
// values, text as natural-order keys packed into one buffer. Text keys that
// all begin alike (file names of one product line) would make every
// comparison read that common start, so each entry carries the eight key bytes
// that follow the longest prefix common to all keys; most comparisons then
// touch no other memory. Only 16-byte entries move while sorting, and ties go
// by the original row, which makes the order total and the sort stable.
//
// Each row's cells, and each text's characters, live in their own heap
// blocks, so reading them one row after another waits on memory at every
// row. The cells are therefore read in passes that know the next addresses
// ahead and ask for them early.
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

// How many rows ahead the passes below ask for memory.
constexpr std::size_t kPrefetchDistance = 16;

const CellValue kEmptyCell{};

const CellValue& CellOf(const GridRow& row, int cellColumn)
{
    const auto index = static_cast<std::size_t>(cellColumn);
    return index < row.size() ? row[index] : kEmptyCell;
}

void PrefetchForRead(const void* address)
{
    __builtin_prefetch(address, 0, 1);
}

// Sixteen bytes per row: a rank, an unsigned number whose order is the
// cell's order within its rank (for sizes, with the ten-thousandths after
// it), and the row.
struct SortEntry {
    std::uint64_t value = 0;
    // Typed comparison: 0 empty, 1 size, 2 date-time, 3 text. Text
    // comparison: always 3.
    std::uint16_t rank = 0;
    std::uint16_t fraction = 0;
    int row = 0;
};

constexpr std::uint16_t kTextRank = 3;
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

// Natural-order keys of the text-ranked rows, all in one buffer, with the
// plain texts for the tie-break.
class TextKeys {
public:
    explicit TextKeys(std::size_t rows) : plain_(rows), keyEnd_(rows, 0) {}

    // The plain text of a row (numbers and dates rendered as text).
    void SetText(std::size_t row, const CellValue& cell)
    {
        if (const auto* value = std::get_if<std::string>(&cell)) {
            plain_[row] = *value;
        } else if (const auto* size = std::get_if<platform::FixedDecimal>(&cell)) {
            plain_[row] = rendered_.emplace_back(size->ToText());
        } else if (const auto* date = std::get_if<platform::DateTime>(&cell)) {
            plain_[row] = rendered_.emplace_back(date->ToIsoText());
        }
        textBytes_ += plain_[row].size();
    }

    // Builds the keys of the text-ranked rows, in row order, and finds the
    // prefix all of them share.
    void BuildKeys(const std::vector<SortEntry>& entries)
    {
        // Room for the usual key: the text plus a little for digit runs.
        buffer_.reserve(textBytes_ + textBytes_ / 4 + 4 * entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (i + kPrefetchDistance < entries.size()) PrefetchForRead(plain_[i + kPrefetchDistance].data());
            if (entries[i].rank == kTextRank) AppendNaturalSortKey(buffer_, plain_[i]);
            keyEnd_[i] = buffer_.size();
            if (entries[i].rank == kTextRank) NoteCommonPrefix(i);
        }
    }

    // Eight key bytes after the prefix all keys share, as a big-endian
    // number, zero-padded.
    std::uint64_t Prefix(std::size_t row) const
    {
        const std::string_view key = Key(row);
        std::uint64_t prefix = 0;
        for (std::size_t i = commonLength_; i < commonLength_ + kPrefixBytes; ++i)
            prefix = (prefix << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
        return prefix;
    }

    // Compares two rows whose prefixes are equal.
    int CompareAfterPrefix(std::size_t left, std::size_t right) const
    {
        const std::string_view leftKey = Key(left);
        const std::string_view rightKey = Key(right);
        // Equal prefixes mean equal bytes up to here in both keys (zero
        // padding aside, hence the shorter key's length bounds the skip).
        const std::size_t skip = std::min({commonLength_ + kPrefixBytes, leftKey.size(), rightKey.size()});
        if (const int byKey = leftKey.substr(skip).compare(rightKey.substr(skip)); byKey != 0) return byKey;
        return plain_[left].compare(plain_[right]);
    }

private:
    static constexpr std::size_t kPrefixBytes = 8;

    std::string_view Key(std::size_t row) const
    {
        const std::size_t begin = row == 0 ? 0 : keyEnd_[row - 1];
        return std::string_view(buffer_).substr(begin, keyEnd_[row] - begin);
    }

    void NoteCommonPrefix(std::size_t row)
    {
        const std::string_view key = Key(row);
        if (!anyKey_) {
            anyKey_ = true;
            firstKeyRow_ = row;
            commonLength_ = key.size();
            return;
        }
        const std::string_view first = Key(firstKeyRow_);
        const std::size_t limit = std::min(commonLength_, key.size());
        std::size_t same = 0;
        while (same < limit && key[same] == first[same]) ++same;
        commonLength_ = same;
    }

    std::vector<std::string_view> plain_;
    std::deque<std::string> rendered_; // stable addresses for plain_
    std::size_t textBytes_ = 0;
    std::string buffer_;
    // Where each row's key ends in buffer_; a row without a key ends where
    // the row before it does.
    std::vector<std::size_t> keyEnd_;
    bool anyKey_ = false;
    std::size_t firstKeyRow_ = 0;
    std::size_t commonLength_ = 0;
};

// Orders entries by rank, then value, then (text) the rest of the key and the
// plain text, in the requested direction; rows that still tie keep their
// original order in both directions.
class EntryLess {
public:
    EntryLess(const TextKeys& keys, bool descending) : keys_(keys), descending_(descending) {}

    bool operator()(const SortEntry& left, const SortEntry& right) const
    {
        const int order = Compare(left, right);
        if (order != 0) return descending_ ? order > 0 : order < 0;
        return left.row < right.row;
    }

private:
    int Compare(const SortEntry& left, const SortEntry& right) const
    {
        if (left.rank != right.rank) return left.rank < right.rank ? -1 : 1;
        if (left.value != right.value) return left.value < right.value ? -1 : 1;
        if (left.fraction != right.fraction) return left.fraction < right.fraction ? -1 : 1;
        if (left.rank != kTextRank) return 0;
        return keys_.CompareAfterPrefix(static_cast<std::size_t>(left.row), static_cast<std::size_t>(right.row));
    }

    const TextKeys& keys_;
    bool descending_;
};

} // namespace

std::vector<int> SortedRowOrder(const std::vector<GridRow>& rows, int cellColumn,
                                RowComparison comparison, bool descending)
{
    const std::size_t count = rows.size();
    const auto cellIndex = static_cast<std::size_t>(cellColumn);
    TextKeys keys(count);
    std::vector<SortEntry> entries(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (const std::size_t ahead = i + kPrefetchDistance; ahead < count && cellIndex < rows[ahead].size())
            PrefetchForRead(rows[ahead].data() + cellIndex);
        SortEntry& entry = entries[i];
        entry.row = static_cast<int>(i);
        const CellValue& cell = CellOf(rows[i], cellColumn);
        if (comparison == RowComparison::Typed) {
            if (std::holds_alternative<std::monostate>(cell)) continue;
            if (const auto* size = std::get_if<platform::FixedDecimal>(&cell)) {
                entry.rank = 1;
                entry.value = OrderedBits(size->Floor());
                entry.fraction = static_cast<std::uint16_t>(size->Fraction());
                continue;
            }
            if (const auto* date = std::get_if<platform::DateTime>(&cell)) {
                entry.rank = 2;
                entry.value = OrderedBits(date->Days());
                continue;
            }
        }
        entry.rank = kTextRank;
        keys.SetText(i, cell);
    }
    keys.BuildKeys(entries);
    for (SortEntry& entry : entries)
        if (entry.rank == kTextRank) entry.value = keys.Prefix(static_cast<std::size_t>(entry.row));

    // The row tie-break makes the order total, so an unstable sort gives the
    // stable result without a merge buffer.
    std::sort(entries.begin(), entries.end(), EntryLess(keys, descending));

    std::vector<int> previousRowOf;
    previousRowOf.reserve(count);
    for (const SortEntry& entry : entries) previousRowOf.push_back(entry.row);
    return previousRowOf;
}

} // namespace grid
