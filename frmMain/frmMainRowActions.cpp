// What can be done with the table's rows: the context menu with Copy (the
// selected rows as tab-separated text, values as the command line's tsv
// writes them), Copy full path, Open containing folder (handed to the
// desktop's file manager) and Properties; a double-click opens Properties.
// Rows are always taken through the view's mapping to the table, so sorted,
// grouped or filtered views give the rows the user sees.
#include "frmMain/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QStringDecoder>
#include <QTableView>

#include "grid/formats/FieldText.h"
#include "frmMain/PropertiesDialog.h"
#include "grid/ResultGridView.h"
#include "platform/HugePages.h"

namespace {

constexpr const char* kFileNameKey = "filename";
constexpr const char* kFolderKey = "path";
// How many copied rows estimate the size of the whole copied text.
constexpr std::size_t kRowsToEstimateFrom = 256;
// How many rows ahead of the one being copied its cells, then its texts,
// are fetched.
constexpr std::size_t kPrefetchCellsAhead = 24;
constexpr std::size_t kPrefetchTextsAhead = 12;
// The size of the pieces the copied text is made in.
constexpr std::size_t kCopyPieceBytes = std::size_t{1} << 18;

} // namespace

void frmMain::CreateRowActions()
{
    copyAction_ = new QAction(QStringLiteral("Copy"), this);
    copyAction_->setShortcut(QKeySequence::Copy);
    // Ctrl+C copies rows only while the table has the focus; the text boxes
    // keep their own.
    copyAction_->setShortcutContext(Qt::WidgetShortcut);
    grd_->Table()->addAction(copyAction_);
    connect(copyAction_, &QAction::triggered, this, &frmMain::CopySelectedRows);

    copyPathAction_ = new QAction(QStringLiteral("Copy full path"), this);
    connect(copyPathAction_, &QAction::triggered, this, &frmMain::CopyFullPaths);
    openFolderAction_ = new QAction(QStringLiteral("Open containing folder"), this);
    connect(openFolderAction_, &QAction::triggered, this, &frmMain::OpenContainingFolder);
    propertiesAction_ = new QAction(QStringLiteral("Properties"), this);
    connect(propertiesAction_, &QAction::triggered, this, [this] {
        const std::vector<int> rows = grd_->SelectedGridRows();
        const int row = grd_->CurrentGridRow() >= 0 ? grd_->CurrentGridRow() : (rows.empty() ? -1 : rows.front());
        if (row >= 0) ShowProperties(row);
    });

    connect(grd_, &grid::ResultGridView::rowMenuRequested, this, [this](const QPoint& globalPosition) {
        QMenu* menu = BuildRowMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(globalPosition);
    });
    connect(grd_, &grid::ResultGridView::rowActivated, this, [this](int row) { ShowProperties(row); });
}

QMenu* frmMain::BuildRowMenu()
{
    auto* menu = new QMenu(this);
    const bool anySelected = !grd_->SelectedGridRows().empty();
    for (QAction* action : {copyAction_, copyPathAction_, openFolderAction_, propertiesAction_}) {
        action->setEnabled(anySelected);
        menu->addAction(action);
    }
    menu->addSeparator();
    menu->addAction(saveAsAction_);
    menu->addSeparator();
    compareAction_->setEnabled(cmd_[kExport]->isEnabled());
    clearComparisonAction_->setEnabled(Comparing());
    menu->addAction(compareAction_);
    menu->addAction(clearComparisonAction_);
    return menu;
}

std::string frmMain::RowFolder(int gridRow) const
{
    const auto* text =
        std::get_if<std::string>(&grid_.CellValueAt(gridRow, grid_.ColumnByKey(kFolderKey)->CellColumn()));
    return text ? *text : std::string();
}

std::string frmMain::RowName(int gridRow) const
{
    const auto* text =
        std::get_if<std::string>(&grid_.CellValueAt(gridRow, grid_.ColumnByKey(kFileNameKey)->CellColumn()));
    return text ? *text : std::string();
}

QString frmMain::SelectedRowsText() const
{
    std::vector<int> shown;
    std::string text;
    for (int position = 1; position <= grid_.ColumnCount(); ++position) {
        const grid::GridColumn& column = grid_.Column(position);
        if (!column.Visible()) continue;
        if (!shown.empty()) text += '\t';
        grid::formats::AppendField(grid::formats::OutputFormat::Tsv, {}, text, column.Caption());
        shown.push_back(column.CellColumn());
    }
    text += '\n';
    // The text is made in pieces of about kCopyPieceBytes, each decoded
    // straight onto the end of the copied text while it is still in the
    // cache: no second copy of a million rows' text is ever held.
    QString copied;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    std::size_t flushedBytes = 0;
    const auto flush = [&] {
        // A UTF-8 byte makes at most one UTF-16 unit.
        const qsizetype at = copied.size();
        copied.resize(at + static_cast<qsizetype>(text.size()));
        QChar* end = decoder.appendToBuffer(copied.data() + at, QByteArrayView(text.data(), text.size()));
        copied.truncate(end - copied.constData());
        flushedBytes += text.size();
        text.clear();
    };
    const std::vector<int> rows = grd_->SelectedGridRows();
    text.reserve(kCopyPieceBytes + kCopyPieceBytes / 4);
    for (std::size_t done = 0; done < rows.size(); ++done) {
        // The first rows tell the size of the whole text: one allocation
        // instead of a doubling one.
        if (done == kRowsToEstimateFrom) {
            copied.reserve(static_cast<qsizetype>((flushedBytes + text.size()) / done * rows.size() * 9 / 8));
            platform::AdviseHugePages(copied.data(), static_cast<std::size_t>(copied.capacity()) * sizeof(QChar));
        }
        // Rows of a sorted table lie anywhere in memory: their cells and
        // texts are fetched a few rows ahead of their turn.
        if (done + kPrefetchCellsAhead < rows.size()) grid_.PrefetchRow(rows[done + kPrefetchCellsAhead], false);
        if (done + kPrefetchTextsAhead < rows.size()) grid_.PrefetchRow(rows[done + kPrefetchTextsAhead], true);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (i != 0) text += '\t';
            grid::formats::AppendCell(grid::formats::OutputFormat::Tsv, {}, text,
                                      grid_.CellValueAt(rows[done], shown[i]));
        }
        text += '\n';
        if (text.size() >= kCopyPieceBytes) flush();
    }
    flush();
    return copied;
}

void frmMain::CopySelectedRows()
{
    if (grd_->SelectedGridRows().empty()) return;
    QApplication::clipboard()->setText(SelectedRowsText());
}

void frmMain::CopyFullPaths()
{
    QStringList paths;
    for (int row : grd_->SelectedGridRows())
        paths.append(QFile::decodeName(QByteArray::fromStdString(RowFolder(row) + RowName(row))));
    if (!paths.isEmpty()) QApplication::clipboard()->setText(paths.join(QLatin1Char('\n')));
}

void frmMain::OpenContainingFolder()
{
    const std::vector<int> rows = grd_->SelectedGridRows();
    const int row = grd_->CurrentGridRow() >= 0 ? grd_->CurrentGridRow() : (rows.empty() ? -1 : rows.front());
    if (row >= 0) services_.handOff->OpenWithAssociatedApplication(RowFolder(row));
}

PropertiesDialog* frmMain::ShowProperties(int gridRow)
{
    auto* dialog = new PropertiesDialog(RowFolder(gridRow), RowName(gridRow), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}
