// The result table on screen: a strip with the group-by prompt above a
// QTableView. It shows any QAbstractItemModel (normally a ResultGridModel,
// possibly behind a proxy), applies column widths given in twips, shows the
// sort indicator on the column whose SortOrder is 1 or 2, and reports a click
// on a heading as columnNotification(position) with the 1-based position.
// The view never sorts by itself: the window decides what a click does.
#pragma once

#include <QWidget>

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

private:
    void ApplyHeadings();
    void ApplyHeadingRange(int first, int last);
    int TwipsToPixelsX(double twips) const;
    int TwipsToPixelsY(double twips) const;

    QLabel* groupByStrip_;
    QTableView* table_;
    QAbstractItemModel* model_ = nullptr;
};

} // namespace grid
