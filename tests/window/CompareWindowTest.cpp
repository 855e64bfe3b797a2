// Compare with in the window: a searched tree against a saved inventory
// gives a Change column and greyed rows for removed files, which group,
// filter, sort and save like any other; a bad inventory changes nothing;
// clearing or a new search removes the comparison.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "grid/GroupingProxyModel.h"
#include "grid/ResultGridModel.h"
#include "grid/ResultGridView.h"
#include "tests/window/WindowFixture.h"
#include "tests/window/WorkbookReadBack.h"

namespace {

std::string WriteText(const QString& path, const std::string& text)
{
    const std::string file = QFile::encodeName(path).toStdString();
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

std::string ReadText(const QString& path)
{
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(WindowTest, CompareWithAnInventoryMarksEveryFileAndClearingRemovesTheComparison)
{
    WriteFile(QStringLiteral("same.dll"), 10);
    WriteFile(QStringLiteral("sub/grown.dll"), 20);
    WriteFile(QStringLiteral("new.dll"), 5);
    QTemporaryDir saved;
    const QString inventory = saved.filePath(QStringLiteral("old.json"));
    WriteText(inventory,
              R"({"lumbrel-inventory":1,"root":"/old","columns":["relpath","size"],"program":"1","scanned":"x"})"
              "\n"
              R"({"relpath":"same.dll","size":10})"
              "\n"
              R"({"relpath":"sub/grown.dll","size":12})"
              "\n"
              R"({"relpath":"sub/gone.dll","size":7})"
              "\n");
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.dll"));
    ASSERT_EQ(w.Grid().RowCount(), 3);

    // Bad inventories are named and change nothing.
    for (const std::string bad : {"not json\n", R"({"lumbrel-inventory":9,"root":"/","columns":["relpath"]})"
                                                "\n"}) {
        EXPECT_FALSE(w.CompareWith(QString::fromStdString(WriteText(saved.filePath(QStringLiteral("bad.json")), bad))));
        EXPECT_FALSE(w.Comparing());
        EXPECT_EQ(w.Grid().RowCount(), 3);
    }
    ASSERT_EQ(messages_->warnings.size(), 2u);
    EXPECT_TRUE(messages_->warnings[0].contains(QStringLiteral("bad.json:1")));

    // Ctrl+D asks for the inventory and compares.
    openAnswer = inventory;
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_D, Qt::ControlModifier);
    ASSERT_TRUE(w.Comparing());
    EXPECT_EQ(w.lblInfo()->text(), QStringLiteral("Compared with old.json: 1 Added, 1 Removed, 1 Rebuilt, 1 Same."));

    grid::ResultGrid& grid = w.Grid();
    const int name = grid.ColumnByKey("filename")->CellColumn();
    const int folder = grid.ColumnByKey("path")->CellColumn();
    const int size = grid.ColumnByKey("size")->CellColumn();
    const auto changes = [&] {
        std::map<std::string, std::string> byName;
        const int change = grid.ColumnByKey("change")->CellColumn();
        for (int row = 0; row < grid.RowCount(); ++row)
            byName[CellText(row, name)] = CellText(row, change) + (grid.RowDimmed(row) ? " dimmed" : "");
        return byName;
    };
    const std::map<std::string, std::string> expected = {{"same.dll", "Same"},
                                                         {"grown.dll", "Rebuilt"},
                                                         {"new.dll", "Added"},
                                                         {"gone.dll", "Removed dimmed"}};
    ASSERT_EQ(changes(), expected);
    const int gone = 3;
    EXPECT_EQ(CellText(gone, folder), "/old/sub/");
    EXPECT_EQ(std::get<platform::FixedDecimal>(grid.CellValueAt(gone, size)).Whole(), 7);
    const QAbstractItemModel* model = w.grd()->Model();
    EXPECT_TRUE(model->index(gone, name).data(Qt::ForegroundRole).isValid());
    EXPECT_FALSE(model->index(0, name).data(Qt::ForegroundRole).isValid());

    // The grey mark follows its row through a sort.
    w.grd_ColumnNotification(name + 1);
    EXPECT_EQ(changes(), expected);

    // A column shown while comparing comes before the Change column, which
    // keeps its values; the removed file has nothing to read for it.
    w.SetFactShown("internal", true);
    ASSERT_EQ(grid.ColumnByKey("change")->CellColumn(), grid.ColumnCount() - 1);
    EXPECT_EQ(grid.ColumnByKey("internal")->CellColumn(), grid.ColumnCount() - 2);
    EXPECT_EQ(changes(), expected);
    for (int row = 0; row < grid.RowCount(); ++row) {
        if (grid.RowDimmed(row)) {
            EXPECT_TRUE(std::holds_alternative<std::monostate>(
                grid.CellValueAt(row, grid.ColumnByKey("internal")->CellColumn())));
        }
    }

    // Grouping by Change and the quick filter see the column like any other.
    w.grd()->GroupBy("change");
    std::vector<std::string> groups;
    const QAbstractItemModel* shown = w.grd()->Table()->model();
    for (int row = 0; row < shown->rowCount(); ++row)
        if (const QVariant group = shown->index(row, 0).data(grid::GroupingProxyModel::GroupTextRole); group.isValid())
            groups.push_back(group.toString().toStdString());
    EXPECT_EQ(groups.size(), 4u);
    EXPECT_NE(std::find(groups.begin(), groups.end(), "Change: Removed (1 file)"), groups.end());
    w.grd()->FilterBox()->setText(QStringLiteral("Removed"));
    w.grd()->FinishFiltering();
    EXPECT_EQ(w.grd()->ShownFileCount(), 1);
    w.grd()->FilterBox()->clear();
    w.grd()->FinishFiltering();

    // Save as writes the Change column with the rows as grouped.
    saveAnswer = saved.filePath(QStringLiteral("compared.tsv"));
    saveExtension = QStringLiteral("tsv");
    w.SaveAsCommand();
    const std::string written = ReadText(saveAnswer);
    EXPECT_NE(written.find("\tChange\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\tRemoved\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\tAdded\n"), std::string::npos) << written;

    // The export writes it too, last of the shown columns.
    w.cmd(frmMain::kExport)->click();
    ASSERT_EQ(handOff_->opened.size(), 1u);
    const auto cells = ReadWorkbook(handOff_->opened[0]);
    int exportedChange = 0;
    while (cells.count({0, 0, exportedChange + 1}) != 0) ++exportedChange;
    EXPECT_EQ(cells.at({0, 0, exportedChange}).value.toString(), QStringLiteral("Change"));
    std::vector<QString> exportedKinds;
    for (int row = 1; cells.count({0, row, exportedChange}) != 0; ++row)
        exportedKinds.push_back(cells.at({0, row, exportedChange}).value.toString());
    std::sort(exportedKinds.begin(), exportedKinds.end());
    EXPECT_EQ(exportedKinds, (std::vector<QString>{QStringLiteral("Added"), QStringLiteral("Rebuilt"),
                                                   QStringLiteral("Removed"), QStringLiteral("Same")}));

    // Clearing removes the column, the removed file's row and its grouping.
    w.ClearComparison();
    EXPECT_FALSE(w.Comparing());
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_TRUE(w.grd()->GroupKeys().empty());
    std::map<std::string, std::string> left;
    for (int row = 0; row < grid.RowCount(); ++row) left[CellText(row, name)] = grid.RowDimmed(row) ? "dimmed" : "";
    EXPECT_EQ(left, (std::map<std::string, std::string>{{"grown.dll", ""}, {"new.dll", ""}, {"same.dll", ""}}));

    // A new search clears a comparison too.
    ASSERT_TRUE(w.CompareWith(inventory));
    Search(TreePath(), QStringLiteral("*.dll"));
    EXPECT_FALSE(w.Comparing());
    EXPECT_EQ(grid.RowCount(), 3);
}

} // namespace
