// The result table on screen: a strip with the group-by prompt above a
// QTableView. It shows any QAbstractItemModel (normally a ResultGridModel,
// possibly behind a proxy), applies column widths given in twips, shows the
// sort indicator on the column whose SortOrder is 1 or 2, and reports a click
// on a heading as columnNotification(position) with the 1-based position.
// The view never sorts by itself: the window decides what a click does.
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
#include <vector>

class QAbstractItemModel;
class QLabel;
class QTableView;

namespace grid {

inline constexpr const char* kGroupByPrompt = "Drag a column header here to group by that column";

class ResultGridView : public QWidget {
    Q_OBJECT
public:
    explicit ResultGridView(QWidget* parent = nullptr);

    // The view does not take ownership of the model.
    void SetModel(QAbstractItemModel* model);
    QAbstractItemModel* Model() const;

    // Fills the rectangle (in twips) of the parent widget.
    void Place(double leftTwips, double topTwips, double widthTwips, double heightTwips);

    QTableView* Table() const { return table_; }
    QLabel* GroupByStrip() const { return groupByStrip_; }

    // The table rows (ResultGrid row indexes) that are selected, in the
    // order the view shows them, through any proxy between the table and
    // the view. Every mapping from the view to the table goes through here.
    std::vector<int> SelectedGridRows() const;
    // Every table row the view shows, in the order it shows them.
    std::vector<int> ShownGridRows() const;
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
    void OnSectionClicked(int logicalIndex);
    int TwipsToPixelsX(double twips) const;
    int TwipsToPixelsY(double twips) const;
    QString ColumnKey(int column) const;
    // Sets a width without taking it for the user's own.
    void SetWidthQuietly(int column, int pixels);
    int ContentWidth(int column) const;
    // Whether the cell's whole text fits its cell.
    bool TextFits(const QModelIndex& index) const;

    QLabel* groupByStrip_;
    QTableView* table_;
    QAbstractItemModel* model_ = nullptr;
    std::vector<double> appliedWidthTwips_;
    QMap<QString, int> userWidths_;
    QString fillColumnKey_;
    bool settingWidths_ = false;
};

} // namespace grid
