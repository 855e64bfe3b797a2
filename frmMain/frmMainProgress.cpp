// The handlers of the engine's events: the status line follows the walk and
// every found file gets its row.
#include "frmMain/frmMain.h"

#include <QFile>
#include <QLabel>

#include <limits>
#include <utility>
#include <vector>

#include "cDisk/ResultRow.h"
#include "platform/EventLoopYield.h"

namespace {

constexpr std::int32_t kFoldersPerStatusUpdate = 25;

void YieldThreeTimes()
{
    platform::YieldToEventLoop();
    platform::YieldToEventLoop();
    platform::YieldToEventLoop();
}

QString DisplayPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

void frmMain::PathChange(std::string& CurrentPath)
{
    dsk_PathChange(CurrentPath);
}

void frmMain::Progress(std::string& CurrentPath, std::string& CurrentFile, std::int32_t& FileFound, double&, bool&)
{
    dsk_progress(CurrentPath, CurrentFile, FileFound);
}

void frmMain::dsk_PathChange(const std::string& CurrentPath)
{
    if (folderCounter_ % kFoldersPerStatusUpdate == 0) {
        lblInfo_->setText(QStringLiteral("Now in ") + DisplayPath(CurrentPath));
        YieldThreeTimes();
    }
    if (folderCounter_ < std::numeric_limits<std::int32_t>::max()) ++folderCounter_;
}

void frmMain::dsk_progress(const std::string& CurrentPath, const std::string& CurrentFile, std::int32_t FileFound)
{
    lblInfo_->setText(DisplayPath(CurrentPath) + QStringLiteral("      (") + QString::number(FileFound) +
                      QStringLiteral(" files found)"));
    YieldThreeTimes();

    // The file is looked up by its name in the folder the walk holds open,
    // not along its whole path, when the walk has that folder at hand.
    const int folderFd = dsk_ ? dsk_->CurrentFolderDescriptor() : -1;
    std::vector<grid::CellValue> cells =
        folderFd >= 0 ? BuildResultRowAt(folderFd, CurrentPath, CurrentFile, resultFacts_, searchRoot_,
                                         dsk_->CurrentFileSeenRegular())
                      : BuildResultRow(CurrentPath, CurrentFile, resultFacts_, searchRoot_);
    const int rowIndex = FileFound - 1;
    grid_.SetRowCount(FileFound);
    // The row's values move into their cells; nothing else reads the row.
    for (std::size_t column = 0; column < cells.size(); ++column)
        grid_.SetCellValue(rowIndex, static_cast<int>(column), std::move(cells[column]));
}
