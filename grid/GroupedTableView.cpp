// Group rows painted over the table's cells, and their expand and collapse
// gestures.
#include "grid/GroupedTableView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "grid/GroupingProxyModel.h"

namespace grid {
namespace {

constexpr int kIndentPerLevel = 16;
constexpr int kMarkWidth = 16;

} // namespace

GroupedTableView::GroupedTableView(QWidget* parent) : QTableView(parent) {}

bool GroupedTableView::IsGroupRow(int row) const
{
    return grouping_ && model() == grouping_ && grouping_->IsGroupRow(row);
}

int GroupedTableView::MarkRight(int level) const
{
    return 4 + level * kIndentPerLevel + kMarkWidth;
}

void GroupedTableView::Toggle(int row)
{
    const bool expanded = grouping_->index(row, 0).data(GroupingProxyModel::GroupExpandedRole).toBool();
    grouping_->SetExpanded(row, !expanded);
}

void GroupedTableView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (!grouping_ || model() != grouping_ || !grouping_->Grouped()) return;
    const int first = rowAt(0);
    if (first < 0) return;
    int last = rowAt(viewport()->height() - 1);
    if (last < 0) last = model()->rowCount() - 1;
    QPainter painter(viewport());
    const QPalette colours = palette();
    for (int row = first; row <= last; ++row) {
        if (!IsGroupRow(row)) continue;
        const QModelIndex at = grouping_->index(row, 0);
        const QRect band(0, rowViewportPosition(row), viewport()->width(), rowHeight(row));
        const bool selected = selectionModel() && selectionModel()->isRowSelected(row, QModelIndex());
        painter.fillRect(band, selected ? colours.highlight() : colours.alternateBase());
        painter.setPen(selected ? colours.color(QPalette::HighlightedText) : colours.color(QPalette::Text));
        const int level = at.data(GroupingProxyModel::GroupLevelRole).toInt();
        QStyleOption mark;
        mark.initFrom(this);
        mark.rect = QRect(4 + level * kIndentPerLevel, band.top(), kMarkWidth, band.height());
        mark.state |= QStyle::State_Children;
        if (at.data(GroupingProxyModel::GroupExpandedRole).toBool()) mark.state |= QStyle::State_Open;
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &mark, &painter, this);
        QFont bold = font();
        bold.setBold(true);
        painter.setFont(bold);
        painter.drawText(band.adjusted(MarkRight(level) + 4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         at.data(GroupingProxyModel::GroupTextRole).toString());
    }
}

void GroupedTableView::mousePressEvent(QMouseEvent* event)
{
    const int row = rowAt(event->position().toPoint().y());
    if (event->button() == Qt::LeftButton && IsGroupRow(row)) {
        const int level = grouping_->index(row, 0).data(GroupingProxyModel::GroupLevelRole).toInt();
        if (event->position().x() < MarkRight(level)) {
            Toggle(row);
            return;
        }
    }
    QTableView::mousePressEvent(event);
}

void GroupedTableView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int row = rowAt(event->position().toPoint().y());
    if (IsGroupRow(row)) {
        Toggle(row);
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void GroupedTableView::keyPressEvent(QKeyEvent* event)
{
    const int row = currentIndex().row();
    if (IsGroupRow(row) && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
        grouping_->SetExpanded(row, event->key() == Qt::Key_Right);
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace grid
