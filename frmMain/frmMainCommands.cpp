// The four button commands' dispatch, the search and cancel commands, the
// command tail that ends every command, and the table's column notification.
#include "frmMain/frmMain.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "VORN_STD_library/PathHelpers.h"
#include "VORN_STD_library/SortGridByColumn.h"
#include "frmMain/SearchInputCheck.h"
#include "grid/ResultGridModel.h"
#include "platform/desktop/EventLoopYieldHandler.h"

namespace {

QString OperationName(int index)
{
    switch (index) {
    case frmMain::kSearch: return QStringLiteral("search");
    case frmMain::kCancel: return QStringLiteral("cancel");
    case frmMain::kExport: return QStringLiteral("export");
    case frmMain::kBrowse: return QStringLiteral("folder selection");
    default: return QStringLiteral("command");
    }
}

} // namespace

void frmMain::cmd_Click(int Index)
{
    try {
        switch (Index) {
        case kSearch:
            if (!SearchCommand()) return;
            break;
        case kCancel: CancelCommand(); break;
        case kExport: ExportCommand(); break;
        case kBrowse: BrowseCommand(); break;
        default: break;
        }
    } catch (const std::exception& failure) {
        ReportFailure(OperationName(Index), failure);
        if (closing_) return;
    }
    try {
        CommandTail();
    } catch (const std::exception& failure) {
        ReportFailure(QStringLiteral("update of the result table"), failure);
    }
}

bool frmMain::SearchCommand()
{
    // With the executables box ticked an empty filter takes every name.
    std::string includeSpec = txt_[0]->text().toStdString();
    if (chkExecutables_->isChecked() && includeSpec.empty()) includeSpec.push_back('*');
    std::string startPath = QFile::encodeName(txt_[1]->text()).toStdString();
    std::string problem = FilterProblem(includeSpec);
    if (problem.empty()) problem = StartFolderProblem(txt_[1]->text().toStdString(), startPath);
    if (!problem.empty()) {
        lblInfo_->setText(QString::fromUtf8(problem));
        return false;
    }

    searchRoot_ = VORN_STD_library::NormalizeFolderPath(startPath);
    cmd_[kSearch]->setEnabled(false);
    cmd_[kCancel]->setEnabled(true);
    cmd_[kExport]->setEnabled(false);
    // From here on, whatever happens, the buttons return to their idle states
    // and the engine is released once the walk is over.
    struct ReleaseOnExit {
        frmMain& window;
        ~ReleaseOnExit()
        {
            window.dsk_.reset();
            window.model_->SetInsertBatching(false);
            window.SetIdleButtons();
        }
    } release{*this};

    SaveSettings();
    ClearComparison();
    grid_.SetRowCount(0);
    DropHiddenColumns();
    lblInfo_->setText(QString());
    searchCancelled_ = false;
    dsk_ = std::make_unique<cDisk>();
    dsk_->SetEvents(this);
    dsk_->SetIncludeHidden(chkHidden_->isChecked());
    dsk_->SetExecutablesOnly(chkExecutables_->isChecked());
    // Each row's reader looks at its file; the walk need not look first.
    dsk_->SetFileSizesWanted(false);
    // The table shows the found rows in batches from the event loop instead
    // of laying out and repainting for every row.
    model_->SetInsertBatching(true);

    const bool recurse = chk99_->checkState() == Qt::Checked;
    {
        desktop::ScopedYieldHandler yield(services_.yield);
        dsk_->SearchFiles(startPath, recurse, includeSpec, std::string(), platform::FixedDecimal(),
                          platform::FixedDecimal());
    }
    if (closing_) {
        QCoreApplication::quit();
        return false;
    }
    return true;
}

void frmMain::CancelCommand()
{
    if (dsk_) {
        dsk_->StopSearch();
        searchCancelled_ = true;
    }
    SetIdleButtons();
}

void frmMain::SetIdleButtons()
{
    // "search" comes back only when no walk is left to unwind, so a stopped
    // walk can never write into the table of a new search.
    cmd_[kSearch]->setEnabled(!dsk_);
    cmd_[kCancel]->setEnabled(false);
    cmd_[kExport]->setEnabled(true);
}

void frmMain::CommandTail()
{
    const int rows = grid_.RowCount();
    QString summary = rows <= 0 ? QStringLiteral("No files found.")
                                : QString::number(rows) + QStringLiteral(" files found.");
    // A cancelled search must not read like a finished one.
    if (searchCancelled_) summary += QStringLiteral(" (search cancelled)");
    if (!savedTo_.isEmpty()) summary += QStringLiteral(" Exported to ") + savedTo_;
    savedTo_.clear();
    lblInfo_->setText(summary);
    ShowFilterStatus();
    grid_.Refresh();
    grid_.ColumnRange(1, grid_.ColumnCount());
    const int columns = grid_.ColumnCount();
    for (int position = 1; position <= columns; ++position) {
        grid::GridColumn& column = grid_.Column(position);
        column.SetSortOrder(grid::kSortNone);
        column.HeadingStyle().SetForeColor(grid::kColorWindowText);
        column.HeadingStyle().SetUnderline(false);
    }
    VORN_STD_library::SortGridByColumn(grid_, 1);
}

void frmMain::grd_ColumnNotification(int position)
{
    try {
        VORN_STD_library::SortGridByColumn(grid_, position);
    } catch (const std::exception& failure) {
        ReportFailure(QStringLiteral("sort"), failure);
    }
}

void frmMain::ReportFailure(const QString& operation, const std::exception& failure)
{
    services_.messages->ShowFailure(this, operation, QString::fromUtf8(failure.what()));
}
