// Save as: the table, in its current order, written to a file the user names
// in the file dialog (which asks before an existing file is replaced). The
// file is written beside its target under a temporary name and renamed over
// it only when complete, so a failure never leaves a half-written file.
#include "frmMain/frmMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>


namespace {

const QString kXlsFilter = QStringLiteral("Excel 97-2003 workbook (*.xls)");

} // namespace

void frmMain::SaveAsCommand()
{
    if (!services_.chooseSaveFile || !cmd_[kExport]->isEnabled()) return;
    QString chosenFilter = kXlsFilter;
    const QString suggested = QDir(QFile::decodeName(QByteArray::fromStdString(services_.documentsFolder())))
                                  .filePath(QStringLiteral("inventory.xls"));
    const QString chosen = services_.chooseSaveFile(this, suggested, {kXlsFilter}, chosenFilter);
    if (chosen.isEmpty()) return;
    const std::string target = QFile::encodeName(chosen).toStdString();
    try {
        // The grid never replaces a file: write a fresh one in a folder of
        // its own beside the target, then rename it over the target the user
        // agreed to replace.
        QTemporaryDir scratch(QFileInfo(chosen).absolutePath() + QStringLiteral("/.lumbrel-save-XXXXXX"));
        if (!scratch.isValid()) throw std::runtime_error(scratch.errorString().toStdString());
        std::string written = QFile::encodeName(scratch.filePath(QStringLiteral("table"))).toStdString();
        grid_.Export(written, grid::kExportFormatXls, grid::kExportFlagsDefault);
        if (std::rename(written.c_str(), target.c_str()) != 0)
            throw std::runtime_error(std::string("the file could not be put in place: ") + std::strerror(errno));
    } catch (const std::exception& failure) {
        ReportFailure(QStringLiteral("save as"), failure);
        return;
    }
    const int rows = grid_.RowCount();
    lblInfo_->setText((rows <= 0 ? QStringLiteral("No files found.")
                                 : QString::number(rows) + QStringLiteral(" files found.")) +
                      QStringLiteral(" Saved to ") + chosen);
}
