// The result table's rows, columns and sort, with every change reported to
// the observers in the order a Qt item model needs.
#include "grid/ResultGrid.h"

#include <algorithm>
#include <string>
#include <utility>

#include "grid/SortRows.h"

namespace grid {
namespace {

const CellValue kEmptyCell{};

RowComparison ComparisonForKind(int kind)
{
    return (kind == kSortKindNumber || kind == kSortKindDateTime) ? RowComparison::Typed
                                                                  : RowComparison::Text;
}

} // namespace

ResultGrid::ResultGrid() = default;
ResultGrid::~ResultGrid() = default;

void ResultGrid::AddObserver(ResultGridObserver* observer)
{
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void ResultGrid::RemoveObserver(ResultGridObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void ResultGrid::SetRowCount(int count)
{
    if (count < 0) throw std::invalid_argument("row count " + std::to_string(count) + " is negative");
    const int current = RowCount();
    if (count == 0) {
        Notify([](ResultGridObserver& o) { o.AboutToReset(); });
        rows_.clear();
        rows_.shrink_to_fit();
        dimmed_.clear();
        dimmed_.shrink_to_fit();
        Notify([](ResultGridObserver& o) { o.ResetDone(); });
    } else if (count > current) {
        Notify([&](ResultGridObserver& o) { o.RowsAboutToBeInserted(current, count - 1); });
        rows_.resize(static_cast<std::size_t>(count));
        if (!dimmed_.empty()) dimmed_.resize(rows_.size(), false);
        Notify([](ResultGridObserver& o) { o.RowsInserted(); });
    } else if (count < current) {
        Notify([&](ResultGridObserver& o) { o.RowsAboutToBeRemoved(count, current - 1); });
        rows_.resize(static_cast<std::size_t>(count));
        if (!dimmed_.empty()) dimmed_.resize(rows_.size());
        Notify([](ResultGridObserver& o) { o.RowsRemoved(); });
    }
}

void ResultGrid::SetColumnCount(int count)
{
    if (count < 0) throw std::invalid_argument("column count " + std::to_string(count) + " is negative");
    if (count < ColumnCount()) {
        RemoveColumnsFrom(count);
        return;
    }
    while (ColumnCount() < count) AddColumn(std::string());
}

GridColumn& ResultGrid::AddColumn(const std::string& key)
{
    const int cellColumn = ColumnCount();
    Notify([&](ResultGridObserver& o) { o.ColumnsAboutToBeInserted(cellColumn, cellColumn); });
    columns_.push_back(std::make_unique<GridColumn>(*this, cellColumn, key));
    Notify([](ResultGridObserver& o) { o.ColumnsInserted(); });
    return *columns_.back();
}

void ResultGrid::RemoveColumnsFrom(int firstCellColumn)
{
    const int last = ColumnCount() - 1;
    Notify([&](ResultGridObserver& o) { o.ColumnsAboutToBeRemoved(firstCellColumn, last); });
    columns_.resize(static_cast<std::size_t>(firstCellColumn));
    for (GridRow& row : rows_) {
        if (row.size() > static_cast<std::size_t>(firstCellColumn)) {
            row.resize(static_cast<std::size_t>(firstCellColumn));
            row.shrink_to_fit();
        }
    }
    Notify([](ResultGridObserver& o) { o.ColumnsRemoved(); });
}

GridColumn& ResultGrid::Column(int position)
{
    CheckCellColumn(position - 1);
    return *columns_[static_cast<std::size_t>(position - 1)];
}

const GridColumn& ResultGrid::Column(int position) const
{
    CheckCellColumn(position - 1);
    return *columns_[static_cast<std::size_t>(position - 1)];
}

GridColumn* ResultGrid::ColumnByKey(const std::string& key)
{
    for (auto& column : columns_)
        if (column->Key() == key) return column.get();
    return nullptr;
}

const GridColumn* ResultGrid::ColumnByKey(const std::string& key) const
{
    for (const auto& column : columns_)
        if (column->Key() == key) return column.get();
    return nullptr;
}

void ResultGrid::SetCellValue(int row, int cellColumn, CellValue value)
{
    CheckRow(row);
    CheckCellColumn(cellColumn);
    GridRow& cells = rows_[static_cast<std::size_t>(row)];
    const auto index = static_cast<std::size_t>(cellColumn);
    if (cells.size() <= index) {
        // A row is usually filled cell by cell: allocate its full width once.
        cells.reserve(std::max(index + 1, columns_.size()));
        cells.resize(index + 1);
    }
    // A text built by concatenation often holds spare capacity (or a heap
    // block for what fits inside the string itself); a million rows would
    // carry that waste.
    if (auto* text = std::get_if<std::string>(&value)) text->shrink_to_fit();
    cells[index] = std::move(value);
    Notify([&](ResultGridObserver& o) { o.CellChanged(row, cellColumn); });
}

const CellValue& ResultGrid::CellValueAt(int row, int cellColumn) const
{
    CheckRow(row);
    CheckCellColumn(cellColumn);
    const GridRow& cells = rows_[static_cast<std::size_t>(row)];
    const auto index = static_cast<std::size_t>(cellColumn);
    return index < cells.size() ? cells[index] : kEmptyCell;
}

void ResultGrid::PrefetchRow(int row, bool texts) const noexcept
{
    if (row < 0 || row >= RowCount()) return;
    const GridRow& cells = rows_[static_cast<std::size_t>(row)];
    constexpr std::size_t kCacheLine = 64;
    if (!texts) {
        // The row's own length lies in the block being fetched: the table's
        // width bounds it without waiting for it (a prefetch never faults).
        const auto* bytes = reinterpret_cast<const char*>(cells.data());
        if (!bytes) return;
        for (std::size_t at = 0; at < columns_.size() * sizeof(CellValue); at += kCacheLine)
            __builtin_prefetch(bytes + at);
        return;
    }
    for (const CellValue& cell : cells)
        if (const auto* text = std::get_if<std::string>(&cell)) __builtin_prefetch(text->data());
}

void ResultGrid::SetRowDimmed(int row, bool dimmed)
{
    CheckRow(row);
    if (RowDimmed(row) == dimmed) return;
    if (dimmed_.empty()) dimmed_.resize(rows_.size(), false);
    dimmed_[static_cast<std::size_t>(row)] = dimmed;
    Notify([&](ResultGridObserver& o) { o.RowStyleChanged(row); });
}

bool ResultGrid::RowDimmed(int row) const
{
    CheckRow(row);
    return !dimmed_.empty() && dimmed_[static_cast<std::size_t>(row)];
}

void ResultGrid::RemoveDimmedRows()
{
    if (dimmed_.empty()) return;
    Notify([](ResultGridObserver& o) { o.AboutToReset(); });
    std::size_t kept = 0;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (dimmed_[row]) continue;
        // A vector moved onto itself would be left empty.
        if (kept != row) rows_[kept] = std::move(rows_[row]);
        ++kept;
    }
    rows_.resize(kept);
    dimmed_.clear();
    dimmed_.shrink_to_fit();
    Notify([](ResultGridObserver& o) { o.ResetDone(); });
}

void ResultGrid::Sort(int /*firstRow*/, int /*lastRow*/, const std::string& key, int order, int kind)
{
    GridColumn* column = ColumnByKey(key);
    if (!column) throw std::invalid_argument("no column has the key \"" + key + "\"");
    if (order == kSortAscending || order == kSortDescending) {
        std::vector<int> previousRowOf =
            SortedRowOrder(rows_, column->CellColumn(), ComparisonForKind(kind), order == kSortDescending);
        Notify([](ResultGridObserver& o) { o.LayoutAboutToChange(); });
        std::vector<GridRow> sorted;
        sorted.reserve(rows_.size());
        for (int previous : previousRowOf) sorted.push_back(std::move(rows_[static_cast<std::size_t>(previous)]));
        rows_ = std::move(sorted);
        if (!dimmed_.empty()) {
            std::vector<bool> dimmed(dimmed_.size());
            for (std::size_t row = 0; row < previousRowOf.size(); ++row)
                dimmed[row] = dimmed_[static_cast<std::size_t>(previousRowOf[row])];
            dimmed_ = std::move(dimmed);
        }
        Notify([&](ResultGridObserver& o) { o.LayoutChanged(previousRowOf); });
    }
    column->SetSortOrder(order);
}

void ResultGrid::Refresh()
{
    Notify([](ResultGridObserver& o) { o.Refreshed(); });
}

void ResultGrid::ColumnRange(int first, int last)
{
    if (first < 1 || last > ColumnCount() || last < first - 1)
        throw std::out_of_range("column range " + std::to_string(first) + " to " + std::to_string(last) +
                                " is outside the " + std::to_string(ColumnCount()) + " columns");
    if (last >= first) Notify([&](ResultGridObserver& o) { o.ColumnsFitRequested(first - 1, last - 1); });
}

void ResultGrid::NotifyHeadingChanged(int cellColumn)
{
    Notify([&](ResultGridObserver& o) { o.HeadingChanged(cellColumn); });
}

void ResultGrid::NotifyCellStyleChanged(int cellColumn)
{
    Notify([&](ResultGridObserver& o) { o.CellStyleChanged(cellColumn); });
}

void ResultGrid::CheckRow(int row) const
{
    if (row < 0 || row >= RowCount())
        throw std::out_of_range("row " + std::to_string(row) + " is outside the " +
                                std::to_string(RowCount()) + " rows");
}

void ResultGrid::CheckCellColumn(int cellColumn) const
{
    if (cellColumn < 0 || cellColumn >= ColumnCount())
        throw std::out_of_range("column " + std::to_string(cellColumn + 1) + " is outside the " +
                                std::to_string(ColumnCount()) + " columns");
}

} // namespace grid
