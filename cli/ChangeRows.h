// The rows a comparison is written as: change, relpath, old and new version,
// old and new size, the keys of the facts that differ, then an old and a new
// column for each other fact that differs in any written row.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "cDisk/Comparison.h"
#include "cDisk/RowTable.h"
#include "grid/CellValue.h"
#include "grid/ResultColumns.h"

namespace cli {

class ChangeRows {
public:
    ChangeRows(const Comparison& comparison, const RowTable& older, const RowTable& newer);
    ChangeRows(const ChangeRows&) = delete;
    ChangeRows& operator=(const ChangeRows&) = delete;

    // Valid as long as this object lives.
    const std::vector<grid::ResultColumn>& Columns() const { return columns_; }
    std::vector<grid::CellValue> Row(const RowChange& change) const;

private:
    void AddColumn(std::string key, std::string caption, const grid::ResultColumn& look);
    // The cell of `key` from one side's row; empty when that side has no row.
    grid::CellValue SideCell(const RowTable& table, std::uint32_t row, std::optional<std::size_t> column,
                             const grid::ResultColumn& look) const;

    const Comparison& comparison_;
    const RowTable& older_;
    const RowTable& newer_;
    // Keys and captions the columns point at.
    std::deque<std::string> names_;
    std::vector<grid::ResultColumn> columns_;
    // Compared columns shown with an old and a new column.
    std::vector<std::size_t> shown_;
};

} // namespace cli
