// The result table on screen: the quick filter box ("Filter rows"), the
// grouping strip and the table. Given a ResultGridModel it shows it through
// two proxies, the quick filter and the grouping (rows are never copied);
// any other model is shown as it is. It applies column widths given in twips,
// shows the sort indicator on the column whose SortOrder is 1 or 2, and
// reports a click on a heading as columnNotification(position) with the
// 1-based position. The view never sorts by itself: the window decides what
// a click does.
//
// Grouping: a heading dragged onto the strip (or GroupBy) adds a level; a
// chip's close mark, a chip dragged back onto the heading row, or Ungroup
// removes one. Ctrl+F focuses the filter box, Esc in it clears it.
//
// The grid's column range fits columns to their contents (a sample of the
// rows, so a million rows fit as fast as a thousand): no column wider than
// half the table, the fill column taking what the others leave. Widths the
// user drags are kept by column key and win over fitting and design widths.
// A cell whose text is cut shows the whole text as its tooltip.
#pragma once

#include <QMap>
#include <QString>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "grid/GroupStrip.h"

class QAbstractItemModel;
class QLabel;
class QLineEdit;
class QModelIndex;
class QTableView;

namespace grid {

class GroupedTableView;
class GroupingProxyModel;
class RowFilterProxyModel;

class ResultGridView : public QWidget {
    Q_OBJECT
public:
    explicit ResultGridView(QWidget* parent = nullptr);
    ~ResultGridView() override;

    // The view does not take ownership of the model.
    void SetModel(QAbstractItemModel* model);
    QAbstractItemModel* Model() const;

    // Fills the rectangle (in twips) of the parent widget.
    void Place(double leftTwips, double topTwips, double widthTwips, double heightTwips);

    QTableView* Table() const;
    // The strip's prompt label.
    QLabel* GroupByStrip() const { return strip_->Prompt(); }
    GroupStrip* Strip() const { return strip_; }
    QLineEdit* FilterBox() const { return filterBox_; }

    // The grid row a view index shows; -1 for a group row or no row. Every
    // mapping from what the table shows to the grid's rows goes through here.
    int GridRowOf(const QModelIndex& viewIndex) const;
    // The grid rows of the file rows in the order the table shows them
    // (rows of collapsed groups included), when a filter or grouping is in
    // force; nullopt when the table shows every row in the grid's order.
    std::optional<std::vector<int>> ShownGridRows() const;
    // How many file rows pass the filter, and whether one is set.
    int ShownFileCount() const;
    bool Filtering() const;

    // Grouping by column keys, outer level first.
    void SetGroupKeys(std::vector<std::string> keys);
    std::vector<std::string> GroupKeys() const;
    void GroupBy(const std::string& key);
    void Ungroup(const std::string& key);
    void SetAllGroupsExpanded(bool expanded);

    // Applies the filter text now, without waiting for the event loop.
    void FinishFiltering();

    GroupingProxyModel* Grouping() const { return grouping_; }
    RowFilterProxyModel* Filter() const { return filter_; }

    // The table rows (ResultGrid row indexes) that are selected, in the
    // order the view shows them (through GridRowOf).
    std::vector<int> SelectedGridRows() const;
    // Every file row in the order the view shows it: the shown rows under a
    // filter or grouping, else every table row in the table's order.
    std::vector<int> RowsInViewOrder() const;
    // The table row of the view's current index; -1 when there is none.
    int CurrentGridRow() const;

    // Fits the cell columns first..last (0-based) to their contents.
    void FitColumns(int first, int last);
    // The column, by key, that takes the width the others leave.
    void SetFillColumnKey(const QString& key) { fillColumnKey_ = key; }
    // Widths the user dragged, in pixels by column key.
    QMap<QString, int> UserColumnWidths() const { return userWidths_; }
    void SetUserColumnWidths(const QMap<QString, int>& widths);

signals:
    void columnNotification(int position);
    // A right-click on the heading row, at this global position.
    void headingMenuRequested(const QPoint& globalPosition);
    // The grouping columns changed (by any gesture).
    void groupingChanged();
    // A filter pass finished: the shown rows may be others now.
    void filterApplied();
    // A right-click on the rows (the row under it is selected first).
    void rowMenuRequested(const QPoint& globalPosition);
    // A double-click on a row, as its table row.
    void rowActivated(int gridRow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Widths (only where the model's width changed, so a column the user
    // resized keeps its size) and the sort indicator, from the header roles.
    void ApplyHeadings();
    void ApplyWidths(int first, int last);
    void ApplySortIndicator();
    void ApplyChips();
    void OnSectionClicked(int logicalIndex);
    bool HeadingDragEvent(QEvent* event);
    int TwipsToPixelsX(double twips) const;
    int TwipsToPixelsY(double twips) const;
    QString ColumnKey(int column) const;
    // Sets a width without taking it for the user's own.
    void SetWidthQuietly(int column, int pixels);
    int ContentWidth(int column) const;
    // Whether the cell's whole text fits its cell.
    bool TextFits(const QModelIndex& index) const;

    QLineEdit* filterBox_;
    GroupStrip* strip_;
    GroupedTableView* table_;
    QAbstractItemModel* model_ = nullptr;
    // What the table shows: the grouping proxy, or the model itself.
    QAbstractItemModel* shown_ = nullptr;
    RowFilterProxyModel* filter_ = nullptr;
    GroupingProxyModel* grouping_ = nullptr;
    std::vector<double> appliedWidthTwips_;
    int pressedSection_ = -1;
    QPoint pressedAt_;
    QMap<QString, int> userWidths_;
    QString fillColumnKey_;
    bool settingWidths_ = false;
};

} // namespace grid
