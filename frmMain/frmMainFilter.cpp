// The quick filter's status line: while a filter is set it counts the rows
// shown against the rows found; once it is cleared the status it replaced
// comes back. During a walk the progress texts keep the line.
#include "frmMain/frmMain.h"

#include <QLabel>

#include "grid/ResultGridView.h"

void frmMain::ShowFilterStatus()
{
    if (Searching()) return;
    if (!grd_->Filtering()) {
        if (!statusBeforeFilter_.isEmpty()) lblInfo_->setText(statusBeforeFilter_);
        statusBeforeFilter_.clear();
        return;
    }
    const QString current = lblInfo_->text();
    if (statusBeforeFilter_.isEmpty() || !current.endsWith(QStringLiteral(" files shown.")))
        statusBeforeFilter_ = current;
    lblInfo_->setText(QStringLiteral("%1 of %2 files shown.").arg(grd_->ShownFileCount()).arg(grid_.RowCount()));
}
