// Style setters: store the value and tell the owning column, which reports
// the change to the grid's observers.
#include "grid/GridStyle.h"

#include "grid/GridColumn.h"

namespace grid {

void GridStyle::SetTextAlignment(int code)
{
    textAlignment_ = code;
    Changed();
}

void GridStyle::SetFormat(const std::string& format)
{
    format_ = format;
    Changed();
}

void GridStyle::SetForeColor(GridColor color)
{
    foreColor_ = color;
    Changed();
}

void GridStyle::SetUnderline(bool underline)
{
    underline_ = underline;
    Changed();
}

void GridStyle::Changed()
{
    owner_.StyleChanged(target_);
}

} // namespace grid
