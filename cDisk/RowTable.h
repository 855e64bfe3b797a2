// Rows of text cells under named columns, held compactly: every cell text of
// the table in one buffer and one end offset per cell, so that a
// million-row inventory costs little more than its text. Saved inventories
// and scans that are to be compared are both loaded into one of these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "grid/CellValue.h"

class RowTable {
public:
    RowTable() = default;
    explicit RowTable(std::vector<std::string> columns);

    const std::vector<std::string>& Columns() const { return columns_; }
    // The position of the column with this key; empty when there is none.
    std::optional<std::size_t> ColumnIndex(std::string_view key) const;

    std::size_t RowCount() const { return columns_.empty() ? 0 : cellEnds_.size() / columns_.size(); }
    std::string_view Cell(std::size_t row, std::size_t column) const;

    // Room for this many bytes of cell text and this many rows, so that a
    // known-size load grows nothing; untouched room costs no memory.
    void Reserve(std::size_t textBytes, std::size_t rows);

    // Adds one row: a text per column, in column order.
    void AddRow(std::span<const std::string> cells);
    void AddRow(std::span<const std::string_view> cells);
    // Adds one row of typed cells, each as its inventory text.
    void AddRow(std::span<const grid::CellValue> cells);

private:
    void EndCell() { cellEnds_.push_back(text_.size()); }

    std::vector<std::string> columns_;
    std::string text_;
    std::vector<std::uint64_t> cellEnds_;
};

// How a cell is written as text in an inventory (and held in a RowTable):
// texts as they are, sizes as their whole bytes, dates in ISO form, an empty
// cell as the empty text.
void AppendInventoryText(std::string& out, const grid::CellValue& cell);
