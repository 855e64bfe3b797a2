// Which facts the table shows: the heading row's menu lists every fact that
// makes a cell with a check mark. Checking one shows its column (a new column is added at the
// end and filled from each row's file); unchecking hides it. The file name
// and folder columns always exist, hidden when not chosen, because they name
// each row's file. The chosen columns are remembered for the next start.
#include "frmMain/frmMain.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>

#include <algorithm>

#include "cDisk/ResultRow.h"
#include "grid/ResultColumns.h"
#include "grid/ResultGridView.h"

namespace {

const QString kSettingsSection = QStringLiteral("settings");
const QString kColumnsKey = QStringLiteral("columns");

constexpr const char* kFileNameKey = "filename";
constexpr const char* kFolderKey = "path";

bool Contains(const FactSelection& facts, const ResultFact* fact)
{
    return std::find(facts.begin(), facts.end(), fact) != facts.end();
}

std::string CellText(const grid::CellValue& cell)
{
    const auto* text = std::get_if<std::string>(&cell);
    return text ? *text : std::string();
}

} // namespace

FactSelection frmMain::RememberedFacts() const
{
    const QString keys = services_.settings->Read(kSettingsSection, kColumnsKey, QString());
    if (keys.isEmpty()) return DefaultFactSelection();
    FactListParse parsed = SelectFacts(keys.toStdString());
    return parsed.error.empty() ? parsed.facts : DefaultFactSelection();
}

void frmMain::SetUpGridColumns(const FactSelection& shown)
{
    resultFacts_ = shown;
    for (const char* key : {kFileNameKey, kFolderKey})
        if (const ResultFact* fact = FindResultFact(key); !Contains(resultFacts_, fact)) resultFacts_.push_back(fact);
    grid_.SetColumnCount(0);
    grid_.SetRowCount(0);
    grid::AddResultColumns(grid_, ColumnsOf(resultFacts_));
    for (std::size_t i = shown.size(); i < resultFacts_.size(); ++i)
        grid_.Column(static_cast<int>(i) + 1).SetVisible(false);
}

void frmMain::DropHiddenColumns()
{
    const FactSelection shown = ShownFacts();
    std::size_t kept = shown.size();
    for (const char* key : {kFileNameKey, kFolderKey})
        if (!Contains(shown, FindResultFact(key))) ++kept;
    if (kept != resultFacts_.size()) SetUpGridColumns(shown);
}

FactSelection frmMain::ShownFacts() const
{
    FactSelection shown;
    for (std::size_t i = 0; i < resultFacts_.size(); ++i)
        if (grid_.Column(static_cast<int>(i) + 1).Visible()) shown.push_back(resultFacts_[i]);
    return shown;
}

void frmMain::SaveShownColumns()
{
    QStringList keys;
    for (const ResultFact* fact : ShownFacts()) keys.append(QString::fromLatin1(fact->column.key));
    services_.settings->Write(kSettingsSection, kColumnsKey, keys.join(QLatin1Char(',')));
}

QMenu* frmMain::BuildHeadingMenu()
{
    auto* menu = new QMenu(this);
    const FactSelection shown = ShownFacts();
    for (const ResultFact& fact : AllResultFacts()) {
        // A JSON document is for the command line's json output, not a cell.
        if (fact.column.jsonDocument) continue;
        QAction* action = menu->addAction(QString::fromUtf8(fact.column.caption));
        action->setCheckable(true);
        action->setChecked(Contains(shown, &fact));
        // The last shown column stays: without a heading row the menu could
        // not be reached again.
        action->setEnabled(!(shown.size() == 1 && action->isChecked()));
        const std::string key = fact.column.key;
        connect(action, &QAction::toggled, this, [this, key](bool checked) { SetFactShown(key, checked); });
    }
    AddTrustStoreMenu(menu);
    return menu;
}

void frmMain::ShowHeadingMenu(const QPoint& globalPosition)
{
    QMenu* menu = BuildHeadingMenu();
    const QHeaderView* headings = grd_->Table()->horizontalHeader();
    AddGroupingActions(*menu, headings->logicalIndexAt(headings->mapFromGlobal(globalPosition)));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
}

void frmMain::SetFactShown(const std::string& key, bool show)
{
    const ResultFact* fact = FindResultFact(key);
    if (fact == nullptr) return;
    if (grid::GridColumn* column = grid_.ColumnByKey(key)) {
        if (!show && ShownFacts().size() <= 1) return;
        column->SetVisible(show);
    } else if (show) {
        AddFactColumnKeepingComparison(*fact);
    }
    SaveShownColumns();
}

void frmMain::AddFilledColumn(const ResultFact& fact)
{
    const int nameColumn = grid_.ColumnByKey(kFileNameKey)->CellColumn();
    const int folderColumn = grid_.ColumnByKey(kFolderKey)->CellColumn();
    resultFacts_.push_back(&fact);
    const grid::ResultColumn columns[] = {fact.column};
    grid::AddResultColumns(grid_, columns);
    const int cellColumn = grid_.ColumnCount() - 1;
    const FactSelection only = {&fact};
    for (int row = 0; row < grid_.RowCount(); ++row) {
        std::vector<grid::CellValue> cells = BuildResultRow(CellText(grid_.CellValueAt(row, folderColumn)),
                                                            CellText(grid_.CellValueAt(row, nameColumn)), only,
                                                            searchRoot_);
        grid_.SetCellValue(row, cellColumn, std::move(cells.front()));
    }
    grid_.Refresh();
}
