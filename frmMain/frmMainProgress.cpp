// The handlers of the engine's events: the status line follows the walk and
// every found file gets its row.
#include "frmMain/frmMain.h"

#include <QFile>
#include <QLabel>

#include <limits>
#include <utility>

#include "cDisk/FoundFileRow.h"
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

    FoundFileRow row = BuildFoundFileRow(CurrentPath, CurrentFile);
    const int rowIndex = FileFound - 1;
    grid_.SetRowCount(FileFound);
    // The row's texts move into their cells; nothing else reads the row.
    grid_.SetCellValue(rowIndex, 0, std::move(row.fileName));
    grid_.SetCellValue(rowIndex, 1, std::move(row.version));
    grid_.SetCellValue(rowIndex, 2, row.size);
    grid_.SetCellValue(rowIndex, 3,
                       row.modified ? grid::CellValue(*row.modified) : grid::CellValue(std::monostate{}));
    grid_.SetCellValue(rowIndex, 4, std::move(row.path));
    grid_.SetCellValue(rowIndex, 5, std::move(row.desc));
    grid_.SetCellValue(rowIndex, 6, std::move(row.product));
    grid_.SetCellValue(rowIndex, 7, std::move(row.company));
}
