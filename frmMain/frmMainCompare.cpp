// Compare with: the table's rows are compared with a saved inventory (one a
// json scan wrote) and a Change column says, per file, what changed since
// then. Files only in the inventory get rows of their own, greyed, holding
// the inventory's facts in the columns the table has. Clearing the
// comparison (or a new search) removes the column and those rows again.
// Grouping and the quick filter work on the Change column like on any other.
#include "frmMain/frmMain.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include <charconv>
#include <cstdio>

#include "cDisk/Comparison.h"
#include "cDisk/InventoryFormat.h"
#include "cDisk/OnDemandInventory.h"
#include "cDisk/RowTable.h"
#include "grid/ResultColumns.h"
#include "grid/ResultGridView.h"

namespace {

constexpr const char* kChangeKey = "change";
constexpr const char* kFileNameKey = "filename";
constexpr const char* kFolderKey = "path";

const grid::ResultColumn kChangeColumn = {kChangeKey, "Change", 1200, grid::kDataTypeText, grid::kAlignGeneral, ""};

// An inventory's text back as the cell the table's column holds: sizes as
// numbers, dates as date-times, the rest as text; the empty text as an
// empty cell. A text that does not read as the column's kind stays text.
grid::CellValue CellFromInventoryText(std::string_view text, int dataType)
{
    if (text.empty()) return {};
    if (dataType == grid::kDataTypeInteger) {
        std::int64_t whole = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole);
        if (error == std::errc() && end == text.data() + text.size()) return platform::FixedDecimal::FromWhole(whole);
    } else if (dataType == grid::kDataTypeDateTime) {
        platform::CalendarFields fields;
        char rest = 0;
        const std::string copy(text);
        if (std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &fields.year, &fields.month, &fields.day,
                        &fields.hour, &fields.minute, &fields.second, &rest) == 6)
            return platform::DateTime::FromFields(fields);
    }
    return std::string(text);
}

std::string_view FolderPart(std::string_view relativePath)
{
    const std::size_t slash = relativePath.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : relativePath.substr(0, slash + 1);
}

} // namespace

void frmMain::CreateCompareActions()
{
    compareAction_ = new QAction(QStringLiteral("Compare with\u2026"), this);
    compareAction_->setShortcut(Qt::CTRL | Qt::Key_D);
    compareAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(compareAction_);
    connect(compareAction_, &QAction::triggered, this, [this] {
        if (!services_.chooseOpenFile || !cmd_[kExport]->isEnabled()) return;
        const QString chosen = services_.chooseOpenFile(this, QStringLiteral("Compare with"),
                                                        {QStringLiteral("Inventory (*.json)"),
                                                         QStringLiteral("All files (*)")});
        if (!chosen.isEmpty()) CompareWith(chosen);
    });
    clearComparisonAction_ = new QAction(QStringLiteral("Clear comparison"), this);
    connect(clearComparisonAction_, &QAction::triggered, this, &frmMain::ClearComparison);
}

bool frmMain::Comparing() const
{
    return grid_.ColumnByKey(kChangeKey) != nullptr;
}

bool frmMain::CompareWith(const QString& inventoryPath)
{
    InventoryLoad older = on_demand::LoadInventory(QFile::encodeName(inventoryPath).toStdString());
    if (!older.error.empty()) {
        services_.messages->ShowWarning(this, QStringLiteral("Cannot compare: ") + QString::fromStdString(older.error));
        return false;
    }
    ClearComparison();

    // The table's rows as the newer side, with the relative path every row
    // is matched by.
    std::vector<std::string> keys;
    std::vector<int> cellColumns;
    for (std::size_t i = 0; i < resultFacts_.size(); ++i) {
        if (resultFacts_[i]->column.key == kRelativePathKey) continue;
        keys.emplace_back(resultFacts_[i]->column.key);
        cellColumns.push_back(static_cast<int>(i));
    }
    keys.emplace_back(kRelativePathKey);
    RowTable newer(keys);
    const int nameColumn = grid_.ColumnByKey(kFileNameKey)->CellColumn();
    const int folderColumn = grid_.ColumnByKey(kFolderKey)->CellColumn();
    const int tableRows = grid_.RowCount();
    std::vector<grid::CellValue> cells(keys.size());
    for (int row = 0; row < tableRows; ++row) {
        for (std::size_t i = 0; i < cellColumns.size(); ++i) cells[i] = grid_.CellValueAt(row, cellColumns[i]);
        const std::string folder = RowFolder(row);
        const std::string relative =
            !searchRoot_.empty() && folder.starts_with(searchRoot_) ? folder.substr(searchRoot_.size()) : folder;
        cells.back() = relative + RowName(row);
        newer.AddRow(std::span<const grid::CellValue>(cells));
    }

    const Comparison comparison = CompareRowTables(older.rows, newer, MatchRules{}, /*keepSame=*/true);
    if (!comparison.error.empty()) {
        services_.messages->ShowWarning(this, QStringLiteral("Cannot compare: ") +
                                                  QString::fromStdString(comparison.error));
        return false;
    }

    grid::AddResultColumns(grid_, std::span(&kChangeColumn, 1));
    const int changeColumn = grid_.ColumnCount() - 1;
    std::size_t removed = 0;
    for (const RowChange& change : comparison.changes)
        if (change.newer == kNoRow) ++removed;
    grid_.SetRowCount(tableRows + static_cast<int>(removed));

    // Where each table column's values lie in the inventory, if it has them.
    std::vector<std::optional<std::size_t>> olderColumn(static_cast<std::size_t>(grid_.ColumnCount()));
    for (int position = 1; position <= changeColumn; ++position)
        olderColumn[static_cast<std::size_t>(position - 1)] = older.rows.ColumnIndex(grid_.Column(position).Key());
    const std::size_t olderRelative = *older.rows.ColumnIndex(kRelativePathKey);
    const std::string olderRoot = older.header.root.empty() || older.header.root.ends_with('/')
                                      ? older.header.root
                                      : older.header.root + '/';

    int nextRemovedRow = tableRows;
    for (const RowChange& change : comparison.changes) {
        const std::string kind(ChangeKindName(change.kind));
        if (change.newer != kNoRow) {
            grid_.SetCellValue(static_cast<int>(change.newer), changeColumn, kind);
            continue;
        }
        const int row = nextRemovedRow++;
        grid_.SetRowDimmed(row, true);
        for (int column = 0; column < changeColumn; ++column)
            if (const auto& at = olderColumn[static_cast<std::size_t>(column)])
                grid_.SetCellValue(row, column,
                                   CellFromInventoryText(older.rows.Cell(change.older, *at),
                                                         grid_.Column(column + 1).DataType()));
        // The file name and folder name the row's file even where the
        // inventory did not keep them.
        const std::string_view relative = older.rows.Cell(change.older, olderRelative);
        if (!olderColumn[static_cast<std::size_t>(nameColumn)])
            grid_.SetCellValue(row, nameColumn, std::string(BareFileName(relative)));
        if (!olderColumn[static_cast<std::size_t>(folderColumn)])
            grid_.SetCellValue(row, folderColumn, olderRoot + std::string(FolderPart(relative)));
        grid_.SetCellValue(row, changeColumn, kind);
    }

    QString summary = QStringLiteral("Compared with ") + QFileInfo(inventoryPath).fileName() + QLatin1Char(':');
    bool first = true;
    for (std::size_t kind = 0; kind < kChangeKindCount; ++kind) {
        if (comparison.counts[kind] == 0) continue;
        summary += (first ? QStringLiteral(" ") : QStringLiteral(", ")) + QString::number(comparison.counts[kind]) +
                   QLatin1Char(' ') + QString::fromUtf8(ChangeKindName(static_cast<ChangeKind>(kind)).data());
        first = false;
    }
    if (first) summary += QStringLiteral(" no files on either side");
    lblInfo_->setText(summary + QLatin1Char('.'));
    ShowFilterStatus();
    grid_.Refresh();
    grid_.ColumnRange(changeColumn + 1, changeColumn + 1);
    return true;
}

void frmMain::ClearComparison()
{
    const grid::GridColumn* change = grid_.ColumnByKey(kChangeKey);
    if (change == nullptr) return;
    grd_->Ungroup(kChangeKey);
    grid_.RemoveDimmedRows();
    grid_.SetColumnCount(change->CellColumn());
    const int rows = grid_.RowCount();
    lblInfo_->setText(rows <= 0 ? QStringLiteral("No files found.")
                                : QString::number(rows) + QStringLiteral(" files found."));
    ShowFilterStatus();
    grid_.Refresh();
}

void frmMain::AddFactColumnKeepingComparison(const ResultFact& fact)
{
    const grid::GridColumn* change = grid_.ColumnByKey(kChangeKey);
    if (change == nullptr) {
        AddFilledColumn(fact);
        return;
    }
    // The fact columns come first, in fact order: the Change column is taken
    // out while the new one is added, then put back at the end.
    const int changeColumn = change->CellColumn();
    std::vector<grid::CellValue> kinds(static_cast<std::size_t>(grid_.RowCount()));
    for (int row = 0; row < grid_.RowCount(); ++row)
        kinds[static_cast<std::size_t>(row)] = grid_.CellValueAt(row, changeColumn);
    grid_.SetColumnCount(changeColumn);
    AddFilledColumn(fact);
    // A removed file is no longer there to be read: its new fact stays empty.
    const int added = grid_.ColumnCount() - 1;
    for (int row = 0; row < grid_.RowCount(); ++row)
        if (grid_.RowDimmed(row)) grid_.SetCellValue(row, added, grid::CellValue());
    grid::AddResultColumns(grid_, std::span(&kChangeColumn, 1));
    const int restored = grid_.ColumnCount() - 1;
    for (int row = 0; row < grid_.RowCount(); ++row)
        grid_.SetCellValue(row, restored, std::move(kinds[static_cast<std::size_t>(row)]));
    grid_.Refresh();
}

void frmMain::AppendComparisonColumn(std::vector<grid::ResultColumn>& columns, std::vector<int>& cellColumns) const
{
    const grid::GridColumn* change = grid_.ColumnByKey(kChangeKey);
    if (change == nullptr || !change->Visible()) return;
    columns.push_back(kChangeColumn);
    cellColumns.push_back(change->CellColumn());
}
