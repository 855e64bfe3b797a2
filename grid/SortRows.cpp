// Stable sort of row indices by one column. Sort keys are computed once per
// row (natural-order keys for text), then the entries themselves are sorted,
// so no comparison re-reads or re-folds a cell.
#include "grid/SortRows.h"

#include <algorithm>
#include <cstdint>
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
    std::uint64_t fraction = magnitude % scale;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction + scale).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return text;
}

// The text a cell compares as when the comparison is by text. Text cells are
// returned as views; other cells are rendered into storage.
std::string_view PlainText(const CellValue& cell, std::string& storage)
{
    if (const auto* text = std::get_if<std::string>(&cell)) return *text;
    if (const auto* size = std::get_if<platform::FixedDecimal>(&cell)) storage = FixedDecimalText(*size);
    else if (const auto* date = std::get_if<platform::DateTime>(&cell)) storage = date->ToIsoText();
    return storage;
}

struct SortEntry {
    // Typed comparison: 0 empty, 1 size, 2 date-time, 3 text. Text
    // comparison: always 3.
    std::uint8_t rank = 0;
    std::int64_t scaled = 0;
    double days = 0.0;
    std::string key;
    std::string_view plain;
    int row = 0;
};

bool EntryLess(const SortEntry& left, const SortEntry& right)
{
    if (left.rank != right.rank) return left.rank < right.rank;
    switch (left.rank) {
    case 1:
        return left.scaled < right.scaled;
    case 2:
        return left.days < right.days;
    case 3:
        if (const int byKey = left.key.compare(right.key); byKey != 0) return byKey < 0;
        return left.plain < right.plain;
    default:
        return false;
    }
}

void FillEntry(SortEntry& entry, const CellValue& cell, RowComparison comparison, std::string& storage)
{
    if (comparison == RowComparison::Typed) {
        if (std::holds_alternative<std::monostate>(cell)) {
            entry.rank = 0;
            return;
        }
        if (const auto* size = std::get_if<platform::FixedDecimal>(&cell)) {
            entry.rank = 1;
            entry.scaled = size->Scaled();
            return;
        }
        if (const auto* date = std::get_if<platform::DateTime>(&cell)) {
            entry.rank = 2;
            entry.days = date->Days();
            return;
        }
    }
    entry.rank = 3;
    entry.plain = PlainText(cell, storage);
    entry.key = NaturalSortKey(entry.plain);
}

} // namespace

std::vector<int> SortedRowOrder(const std::vector<GridRow>& rows, int cellColumn,
                                RowComparison comparison, bool descending)
{
    // Rendered texts of non-text cells; sized once so views into it stay valid.
    std::vector<std::string> renderedText(rows.size());
    std::vector<SortEntry> entries(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        entries[i].row = static_cast<int>(i);
        FillEntry(entries[i], CellOf(rows[i], cellColumn), comparison, renderedText[i]);
    }
    if (descending)
        std::stable_sort(entries.begin(), entries.end(),
                         [](const SortEntry& a, const SortEntry& b) { return EntryLess(b, a); });
    else
        std::stable_sort(entries.begin(), entries.end(), EntryLess);

    std::vector<int> previousRowOf;
    previousRowOf.reserve(entries.size());
    for (const SortEntry& entry : entries) previousRowOf.push_back(entry.row);
    return previousRowOf;
}

} // namespace grid
