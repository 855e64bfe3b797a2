// Column property setters: store the value and report what a view must show
// anew (the heading for caption, width and sort order; the cells for their
// style).
#include "grid/GridColumn.h"

#include <utility>

#include "grid/ResultGrid.h"

namespace grid {

GridColumn::GridColumn(ResultGrid& grid, int cellColumn, std::string key)
    : grid_(grid), cellColumn_(cellColumn), key_(std::move(key))
{
}

void GridColumn::SetCaption(const std::string& caption)
{
    caption_ = caption;
    HeadingChanged();
}

void GridColumn::SetWidth(float twips)
{
    widthTwips_ = twips;
    HeadingChanged();
}

void GridColumn::SetDataType(int code)
{
    dataType_ = code;
}

void GridColumn::SetSortOrder(int order)
{
    sortOrder_ = order;
    HeadingChanged();
}

void GridColumn::SetVisible(bool visible)
{
    visible_ = visible;
    HeadingChanged();
}

void GridColumn::StyleChanged(StyleTarget target)
{
    if (target == StyleTarget::Heading)
        HeadingChanged();
    else
        grid_.NotifyCellStyleChanged(cellColumn_);
}

void GridColumn::HeadingChanged()
{
    grid_.NotifyHeadingChanged(cellColumn_);
}

} // namespace grid
