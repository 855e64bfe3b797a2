// Qt item-model adapter over a ResultGrid: the grid owns the rows, this model
// only presents them and turns the grid's notifications into Qt's signals
// (row inserts, header changes for heading styles, a layout change after a
// sort).
//
// Appended rows are announced to views at once, or, while insert batching is
// on (a search filling the table one row at a time), gathered and announced
// together from the event loop at most once per batch interval: every
// announcement makes a view lay out and repaint all it shows, which would
// otherwise cost more than finding the rows. The model's rowCount() is always
// the count it has announced; rows not yet announced raise no signals. Any
// other change of the table (rows removed, columns, a sort, a refresh) first
// announces what is pending, so views always see the rows in the grid's order.
//
// Roles: DisplayRole is the formatted cell text (size through the column's
// number format, dates in the locale's short date and time format, text as
// UTF-8 with invalid bytes shown as U+FFFD); TextAlignmentRole follows the
// cell style; horizontal headerData gives the caption, the heading style's
// colour (ForegroundRole) and font (FontRole), and the extra roles below.
// With file icons on, the "filename" column's DecorationRole is the file's
// icon (folder from the "path" column), read only for the cells a view asks
// for, which are the ones it paints.
#pragma once

#include <QAbstractTableModel>
#include <QTimer>

#include <chrono>
#include <vector>

#include "grid/FileIconCache.h"
#include "grid/ResultGrid.h"
#include "grid/ResultGridObserver.h"

namespace grid {

class ResultGridModel : public QAbstractTableModel, private ResultGridObserver {
    Q_OBJECT
public:
    // Extra header roles, readable through any proxy model.
    enum HeaderRole {
        SortOrderRole = Qt::UserRole + 1, // int: the column's SortOrder
        WidthTwipsRole,                   // double: the column's Width
        KeyRole,                          // QString: the column's key
        VisibleRole,                      // bool: whether the column is shown
    };

    // Extra item role, readable through any proxy model: the row's index in
    // the grid (int).
    static constexpr int GridRowRole = Qt::UserRole + 20;

    // The grid must outlive the model.
    explicit ResultGridModel(ResultGrid& grid, QObject* parent = nullptr);
    ~ResultGridModel() override;

    ResultGrid& Grid() { return grid_; }

    // Gathers appended rows and announces them at most once per interval
    // (from the event loop) until batching is switched off, which announces
    // whatever is still pending.
    void SetInsertBatching(bool on, std::chrono::milliseconds interval = kDefaultInsertBatchInterval);
    bool InsertBatching() const { return batching_; }
    // Announces appended rows the views do not know of yet.
    void AnnouncePendingRows();

    static constexpr std::chrono::milliseconds kDefaultInsertBatchInterval{100};

    // Shows each file's icon in the file name column, from this cache (not
    // owned; nullptr: no icons).
    void SetFileIcons(FileIconCache* icons);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;

    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // A sort moved the rows: previousRowOf[newRow] is where each row stood.
    // Emitted between layoutAboutToBeChanged and layoutChanged, so proxies
    // can follow the rows without comparing them again.
    void rowsReordered(const std::vector<int>& previousRowOf);

    // The grid's column range: views fit cell columns first..last.
    void columnsFitRequested(int first, int last);

private:
    QVariant FileIcon(int row) const;

    void ColumnsFitRequested(int first, int last) override;
    void RowsAboutToBeInserted(int first, int last) override;
    void RowsInserted() override;
    void RowsAboutToBeRemoved(int first, int last) override;
    void RowsRemoved() override;
    void ColumnsAboutToBeInserted(int first, int last) override;
    void ColumnsInserted() override;
    void ColumnsAboutToBeRemoved(int first, int last) override;
    void ColumnsRemoved() override;
    void AboutToReset() override;
    void ResetDone() override;
    void CellChanged(int row, int cellColumn) override;
    void RowStyleChanged(int row) override;
    void HeadingChanged(int cellColumn) override;
    void CellStyleChanged(int cellColumn) override;
    void LayoutAboutToChange() override;
    void LayoutChanged(std::span<const int> previousRowOf) override;
    void Refreshed() override;

    ResultGrid& grid_;
    // Rows the views have been told of; the grid may hold more while
    // batching.
    int announcedRows_ = 0;
    bool batching_ = false;
    QTimer batchTimer_;
    FileIconCache* icons_ = nullptr;
};

} // namespace grid
