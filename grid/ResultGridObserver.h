// What a result table tells the views that show it. The calls come in the
// pairs a Qt item model needs (about-to / done), each with the affected
// rows or columns, so an adapter can forward them without a full reset.
#pragma once

#include <span>

#include "grid/GridStyle.h"

namespace grid {

class ResultGridObserver {
public:
    virtual ~ResultGridObserver() = default;

    // Rows first..last (0-based, inclusive) are appended or removed.
    virtual void RowsAboutToBeInserted(int first, int last) { (void)first; (void)last; }
    virtual void RowsInserted() {}
    virtual void RowsAboutToBeRemoved(int first, int last) { (void)first; (void)last; }
    virtual void RowsRemoved() {}

    // Cell columns first..last are appended or removed.
    virtual void ColumnsAboutToBeInserted(int first, int last) { (void)first; (void)last; }
    virtual void ColumnsInserted() {}
    virtual void ColumnsAboutToBeRemoved(int first, int last) { (void)first; (void)last; }
    virtual void ColumnsRemoved() {}

    // The whole table is replaced (the row count was set to 0).
    virtual void AboutToReset() {}
    virtual void ResetDone() {}

    virtual void CellChanged(int row, int cellColumn) { (void)row; (void)cellColumn; }
    // The row's look (dimmed or not) changed: every cell of it looks different.
    virtual void RowStyleChanged(int row) { (void)row; }
    // Caption, width, sort order or heading style of a column changed.
    virtual void HeadingChanged(int cellColumn) { (void)cellColumn; }
    // The cell style of a column changed: every cell of it looks different.
    virtual void CellStyleChanged(int cellColumn) { (void)cellColumn; }

    // Rows are reordered by a sort. previousRowOf[newRow] is the row's index
    // before the sort.
    virtual void LayoutAboutToChange() {}
    virtual void LayoutChanged(std::span<const int> previousRowOf) { (void)previousRowOf; }

    // Refresh: views re-read headings and cells and repaint.
    virtual void Refreshed() {}

    // Column range: views fit cell columns first..last to their contents.
    virtual void ColumnsFitRequested(int first, int last) { (void)first; (void)last; }
};

} // namespace grid
