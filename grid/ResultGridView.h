// The result table on screen: a strip with the group-by prompt above a
// QTableView. It shows any QAbstractItemModel (normally a ResultGridModel,
// possibly behind a proxy), applies column widths given in twips, shows the
// sort indicator on the column whose SortOrder is 1 or 2, and reports a click
// on a heading as columnNotification(position) with the 1-based position.
// The view never sorts by itself: the window decides what a click does.
#pragma once

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

signals:
    void columnNotification(int position);
    // A right-click on the heading row, at this global position.
    void headingMenuRequested(const QPoint& globalPosition);

private:
    // Widths (only where the model's width changed, so a column the user
    // resized keeps its size) and the sort indicator, from the header roles.
    void ApplyHeadings();
    void ApplyWidths(int first, int last);
    void ApplySortIndicator();
    void OnSectionClicked(int logicalIndex);
    int TwipsToPixelsX(double twips) const;
    int TwipsToPixelsY(double twips) const;

    QLabel* groupByStrip_;
    QTableView* table_;
    QAbstractItemModel* model_ = nullptr;
    std::vector<double> appliedWidthTwips_;
};

} // namespace grid
