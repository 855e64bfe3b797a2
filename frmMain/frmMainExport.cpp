// The export command (a numbered .xls file of the table, handed to its
// associated application) and the browse command (the path box from the
// folder dialog).
#include "frmMain/frmMain.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>

#include <stdexcept>

#include "VORN_STD_library/BrowseForFolderPath.h"
#include "VORN_STD_library/PathHelpers.h"
#include "grid/ResultGridView.h"

namespace {

constexpr std::int16_t kExportNameLength = 16;
constexpr std::int32_t kOrdinaryFiles = 0;

std::string FolderWithSeparator(const std::string& folder)
{
    return folder.ends_with('/') ? folder : folder + "/";
}

} // namespace

std::string frmMain::ExportToFolder(const std::string& folder, const std::string& date, std::uint64_t& cutCells)
{
    // The pattern names the folder, so the numbering looks where the file is
    // written and never picks the name of an existing export.
    const std::string pattern = FolderWithSeparator(folder) + "zr" + date + "#*";
    std::string fileName = VORN_STD_library::NextFreeFileName(pattern, kExportNameLength, kOrdinaryFiles) + ".xls";
    // A filtered or grouped table is written as it is shown: its file rows,
    // in their order.
    grd_->FinishFiltering();
    const std::optional<std::vector<int>> shown = grd_->ShownGridRows();
    cutCells = shown ? grid_.ExportRows(fileName, grid::kExportFormatXls, grid::kExportFlagsDefault, *shown)
                     : grid_.Export(fileName, grid::kExportFormatXls, grid::kExportFlagsDefault);
    return fileName;
}

void frmMain::ExportCommand()
{
    const std::string date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    const std::string programFolder = services_.programFolder();
    std::string exported;
    std::string causes;
    std::uint64_t cutCells = 0;
    try {
        exported = ExportToFolder(programFolder, date, cutCells);
    } catch (const std::exception& failure) {
        causes = "in " + programFolder + ": " + failure.what();
    }
    if (exported.empty()) {
        // The program folder may be read-only; the documents folder is the
        // user's own.
        const std::string documentsFolder = services_.documentsFolder();
        try {
            if (documentsFolder.empty()) throw std::runtime_error("there is no documents folder");
            QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(documentsFolder)));
            exported = ExportToFolder(documentsFolder, date, cutCells);
        } catch (const std::exception& failure) {
            causes += "\nin " + documentsFolder + ": " + failure.what();
            throw std::runtime_error("the table could not be written:\n" + causes);
        }
    }
    if (cutCells != 0)
        services_.messages->ShowWarning(
            this, QStringLiteral("%1 of %2 held more than the 32,767 characters a workbook cell holds and %3 "
                                 "cut to fit.")
                      .arg(cutCells == 1 ? QStringLiteral("One cell") : QString::number(cutCells) + " cells",
                           QFile::decodeName(QByteArray::fromStdString(exported)),
                           cutCells == 1 ? QStringLiteral("was") : QStringLiteral("were")));
    savedTo_ = QFile::decodeName(QByteArray::fromStdString(exported));
    services_.handOff->OpenWithAssociatedApplication(exported);
}

void frmMain::BrowseCommand()
{
    const std::string chosen = VORN_STD_library::BrowseForFolderPath(this, std::string(), 0, std::string());
    if (!chosen.empty()) txt_[1]->setText(QFile::decodeName(QByteArray::fromStdString(chosen)));
}
