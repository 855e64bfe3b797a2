// Save as: the table's shown columns, rows in the order the view shows them,
// written in any format of the one format list to a file the user names in
// the file dialog (which asks before an existing file is replaced). The file
// is written under a temporary name beside its target and moved into place
// only when complete, so a failure leaves an existing file as it was.
#include "frmMain/frmMain.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>
#include <stdexcept>

#include "cli/OutputFile.h"
#include "grid/ResultGridView.h"
#include "grid/formats/FdWriter.h"
#include "grid/formats/RowWriter.h"

namespace {

QString DialogFilter(const grid::formats::FormatInfo& format)
{
    return QString::fromUtf8(format.caption) + QStringLiteral(" (*.") + QString::fromUtf8(format.extension) +
           QLatin1Char(')');
}

} // namespace

void frmMain::SaveAsCommand()
{
    if (!services_.chooseSaveFile || !cmd_[kExport]->isEnabled()) return;
    QStringList filters;
    for (const grid::formats::FormatInfo& format : grid::formats::AllFormats()) filters.append(DialogFilter(format));
    QString chosenFilter = DialogFilter(grid::formats::InfoOf(grid::formats::OutputFormat::Xls));
    const QString suggested = QDir(QFile::decodeName(QByteArray::fromStdString(services_.documentsFolder())))
                                  .filePath(QStringLiteral("inventory.xls"));
    const QString chosen = services_.chooseSaveFile(this, suggested, filters, chosenFilter);
    if (chosen.isEmpty()) return;
    const grid::formats::FormatInfo* format = &grid::formats::InfoOf(grid::formats::OutputFormat::Xls);
    for (const grid::formats::FormatInfo& candidate : grid::formats::AllFormats())
        if (DialogFilter(candidate) == chosenFilter) format = &candidate;

    std::vector<grid::ResultColumn> columns;
    std::vector<int> cellColumns;
    for (std::size_t i = 0; i < resultFacts_.size(); ++i) {
        if (!grid_.Column(static_cast<int>(i) + 1).Visible()) continue;
        columns.push_back(resultFacts_[i]->column);
        cellColumns.push_back(static_cast<int>(i));
    }
    AppendComparisonColumn(columns, cellColumns);
    std::uint64_t cutValues = 0;
    try {
        cli::OutputFile file(QFile::encodeName(chosen).toStdString());
        if (!file.Ok()) throw std::runtime_error(std::strerror(file.Error()));
        grid::formats::FdWriter sink(file.Fd());
        grid::formats::WriterSettings settings;
        settings.scanRoot = QFile::encodeName(txt_[1]->text()).toStdString();
        std::unique_ptr<grid::formats::RowWriter> writer =
            grid::formats::MakeRowWriter(format->format, settings, sink, std::move(columns));
        writer->Begin();
        std::vector<grid::CellValue> cells(cellColumns.size());
        for (int row : grd_->RowsInViewOrder()) {
            if (sink.Failed()) break;
            for (std::size_t i = 0; i < cellColumns.size(); ++i) cells[i] = grid_.CellValueAt(row, cellColumns[i]);
            writer->Row(cells);
        }
        if (!sink.Failed()) writer->End();
        if (sink.Flush() && !file.Finish()) sink.Fail(file.Error());
        if (sink.Failed()) throw std::runtime_error(std::strerror(sink.Error()));
        cutValues = writer->CutValues();
    } catch (const std::exception& failure) {
        ReportFailure(QStringLiteral("save as"), std::runtime_error(chosen.toStdString() + ": " + failure.what()));
        return;
    }
    if (cutValues != 0)
        services_.messages->ShowWarning(
            this, QStringLiteral("%1 values were longer than the format holds and were cut to fit in %2.")
                      .arg(cutValues)
                      .arg(chosen));
    const int rows = grid_.RowCount();
    lblInfo_->setText((rows <= 0 ? QStringLiteral("No files found.")
                                 : QString::number(rows) + QStringLiteral(" files found.")) +
                      QStringLiteral(" Saved to ") + chosen);
}
