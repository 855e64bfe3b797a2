// The compact row table: one text buffer and the end offset of every cell.
#include "cDisk/RowTable.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <variant>

RowTable::RowTable(std::vector<std::string> columns) : columns_(std::move(columns)) {}

std::optional<std::size_t> RowTable::ColumnIndex(std::string_view key) const
{
    const auto found = std::find(columns_.begin(), columns_.end(), key);
    if (found == columns_.end()) return std::nullopt;
    return static_cast<std::size_t>(found - columns_.begin());
}

std::string_view RowTable::Cell(std::size_t row, std::size_t column) const
{
    const std::size_t index = row * columns_.size() + column;
    const std::uint64_t start = index == 0 ? 0 : cellEnds_[index - 1];
    return std::string_view(text_).substr(start, cellEnds_[index] - start);
}

void RowTable::Reserve(std::size_t textBytes, std::size_t rows)
{
    text_.reserve(textBytes);
    cellEnds_.reserve(rows * columns_.size());
}

void RowTable::AddRow(std::span<const std::string> cells)
{
    if (cells.size() != columns_.size()) throw std::invalid_argument("row width differs from the table's");
    for (const std::string& cell : cells) {
        text_.append(cell);
        EndCell();
    }
}

void RowTable::AddRow(std::span<const std::string_view> cells)
{
    if (cells.size() != columns_.size()) throw std::invalid_argument("row width differs from the table's");
    for (std::string_view cell : cells) {
        text_.append(cell);
        EndCell();
    }
}

void RowTable::AddRow(std::span<const grid::CellValue> cells)
{
    if (cells.size() != columns_.size()) throw std::invalid_argument("row width differs from the table's");
    for (const grid::CellValue& cell : cells) {
        AppendInventoryText(text_, cell);
        EndCell();
    }
}

void AppendInventoryText(std::string& out, const grid::CellValue& cell)
{
    if (const auto* text = std::get_if<std::string>(&cell)) out.append(*text);
    else if (const auto* size = std::get_if<platform::FixedDecimal>(&cell)) out.append(std::to_string(size->Whole()));
    else if (const auto* date = std::get_if<platform::DateTime>(&cell)) out.append(date->ToIsoText());
}
