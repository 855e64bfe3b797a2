// The result table: keyed, typed columns over rows of cell values, with a
// stable sort by one column and export to an .xls workbook. Standard C++ only;
// views observe it through ResultGridObserver.
//
// Operations and their meaning here:
// - SetRowCount(0) empties the table; a larger count appends empty rows and
//   keeps earlier ones (one more row is a cheap single-row insertion); a
//   smaller count drops rows from the end.
// - SetColumnCount(0) removes every column; a larger count appends columns
//   with empty keys; a smaller one drops columns from the end. References to
//   removed columns are no longer valid.
// - Column(position) is 1-based; the column at position p is cell column p-1.
// - Sort(-1, -1, key, order, kind): the two leading arguments name a row range
//   in the calling convention; only "all rows" (-1, -1) is meaningful and
//   they are otherwise ignored. Order 1 ascending, 2 descending, any other
//   value leaves the rows as they are; the order is stored in the column's
//   SortOrder in every case. Kind 2 compares numbers, 5 date-times, 4 and any
//   other kind (0 the default) text. See SortRows.h for the comparisons.
// - Export(path, 3, flags) writes an .xls workbook; an existing file is never
//   replaced. Any other format, or a failure, throws ExportError. The flags
//   are accepted for the calling convention and do not change the output.
//   Returns how many cell texts were longer than a workbook cell holds
//   (32,767 characters) and were cut to fit.
// - SetRowDimmed(row, true) marks a row as one to show greyed (a row that
//   stands for something no longer there); the mark follows the row through
//   sorts and goes with it when rows are dropped.
// - Refresh() makes every view re-read headings and cells and repaint.
// - ColumnRange(first, last) asks the views to fit the columns at positions
//   first..last to their contents (each view measures its own font); the
//   columns' Width stays the design width the export uses.
//
// Misuse (a row or column outside the table, a negative count, an unknown
// sort key) throws std::out_of_range or std::invalid_argument: a failing call
// fails the caller, it never corrupts the table.
#pragma once

#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "grid/CellValue.h"
#include "grid/GridColumn.h"
#include "grid/GridStyle.h"
#include "grid/ResultGridObserver.h"
#include "grid/SortRows.h"

namespace grid {

// Comparison kinds of Sort.
inline constexpr int kSortKindDefault = 0;
inline constexpr int kSortKindNumber = 2;
inline constexpr int kSortKindText = 4;
inline constexpr int kSortKindDateTime = 5;

// Export format and flags as the window passes them.
inline constexpr int kExportFormatXls = 3;
inline constexpr int kExportFlagsDefault = 18;

// An export that did not write its file; what() names the cause.
class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ResultGrid {
public:
    ResultGrid();
    ~ResultGrid();
    ResultGrid(const ResultGrid&) = delete;
    ResultGrid& operator=(const ResultGrid&) = delete;

    void AddObserver(ResultGridObserver* observer);
    void RemoveObserver(ResultGridObserver* observer);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    void SetRowCount(int count);

    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    void SetColumnCount(int count);
    GridColumn& AddColumn(const std::string& key);
    GridColumn& Column(int position);
    const GridColumn& Column(int position) const;
    // The first column with this key, or nullptr.
    GridColumn* ColumnByKey(const std::string& key);
    const GridColumn* ColumnByKey(const std::string& key) const;

    void SetCellValue(int row, int cellColumn, CellValue value);
    // An unset cell reads as empty (std::monostate).
    const CellValue& CellValueAt(int row, int cellColumn) const;

    // Asks the processor to start fetching a row's cells, or, once they
    // have arrived, the texts they point to: a pass over many rows in an
    // order unrelated to where they lie in memory (a copy of a sorted
    // table) would otherwise wait on each in turn. A row outside the table
    // is ignored.
    void PrefetchRow(int row, bool texts) const noexcept;

    void SetRowDimmed(int row, bool dimmed);
    bool RowDimmed(int row) const;
    // Drops every dimmed row; the others keep their order. The views are
    // told the table was replaced.
    void RemoveDimmedRows();

    void Sort(int firstRow, int lastRow, const std::string& key, int order, int kind);
    std::uint64_t Export(std::string& path, int format, int flags) const;
    // Export of the given rows only, in the given order (what a filtered or
    // grouped view shows); a row outside the table throws std::out_of_range.
    std::uint64_t ExportRows(std::string& path, int format, int flags, std::span<const int> rows) const;
    void Refresh();
    void ColumnRange(int first, int last);

private:
    friend class GridColumn;
    void NotifyHeadingChanged(int cellColumn);
    void NotifyCellStyleChanged(int cellColumn);
    void CheckRow(int row) const;
    void CheckCellColumn(int cellColumn) const;
    void RemoveColumnsFrom(int firstCellColumn);
    std::uint64_t ExportRowsInOrder(std::string& path, int format, int flags, const std::span<const int>* rows) const;

    template <typename Call>
    void Notify(Call&& call)
    {
        for (ResultGridObserver* observer : observers_) call(*observer);
    }

    std::vector<std::unique_ptr<GridColumn>> columns_;
    // A row holds cells only up to its last set cell; a new row allocates
    // nothing.
    std::vector<GridRow> rows_;
    // One mark per row once any row was dimmed; empty (no row dimmed) until
    // then, so a table without dimmed rows pays nothing.
    std::vector<bool> dimmed_;
    std::vector<ResultGridObserver*> observers_;
};

} // namespace grid
