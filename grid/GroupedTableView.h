// The table view of the result grid that also shows group rows: a row the
// model marks as a group (GroupingProxyModel::GroupTextRole) is painted across
// the whole width with an expand mark and its text, indented by its level.
// A click on the mark, a double-click on the row, or Left / Right on it
// collapses or expands the group. Everything else is a plain QTableView.
#pragma once

#include <QTableView>

namespace grid {

class GroupingProxyModel;

class GroupedTableView : public QTableView {
    Q_OBJECT
public:
    explicit GroupedTableView(QWidget* parent = nullptr);

    // The grouping proxy the view shows (nullptr: no group rows).
    void SetGrouping(GroupingProxyModel* grouping) { grouping_ = grouping; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool IsGroupRow(int row) const;
    void Toggle(int row);
    int MarkRight(int level) const;

    GroupingProxyModel* grouping_ = nullptr;
};

} // namespace grid
