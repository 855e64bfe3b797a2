// A search's table exported from the window and read back by an independent
// reader (python3-xlrd): the captions, every cell's type and value, the
// size's number format and the dates must be the table's own.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QPushButton>

#include <cmath>
#include <map>
#include <tuple>

#include "cDisk/ResultFacts.h"
#include "grid/ResultGridView.h"
#include <QLineEdit>
#include "tests/window/WindowFixture.h"
#include "tests/window/WorkbookReadBack.h"

namespace {

TEST_F(WindowTest, AnExportReadsBackAsTheTableHoldsIt)
{
    for (const char* name : {"plain32.dll", "unicode.dll", "big_build.dll", "two_translations.dll"}) {
        QFile::copy(QStringLiteral(LUMBREL_FIXTURES_DIR "/pe/") + QString::fromLatin1(name),
                    TreePath() + QStringLiteral("/") + QString::fromLatin1(name));
    }
    WriteFile(QStringLiteral("sub/plain.exe"), 123456);
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.dll;*.exe"));
    w.cmd(frmMain::kExport)->click();
    ASSERT_EQ(handOff_->opened.size(), 1u);
    const grid::ResultGrid& table = w.Grid();
    ASSERT_EQ(table.RowCount(), 5);

    const auto cells = ReadWorkbook(handOff_->opened[0]);
    for (int column = 0; column < 8; ++column) {
        const ReadCell& heading = cells.at({0, 0, column});
        EXPECT_EQ(heading.type, kText);
        EXPECT_EQ(heading.value.toString().toStdString(), DefaultFactSelection()[column]->column.caption);
    }
    for (int row = 0; row < table.RowCount(); ++row) {
        for (int column = 0; column < 8; ++column) {
            SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
            const ReadCell& cell = cells.at({0, row + 1, column});
            const grid::CellValue& expected = table.CellValueAt(row, column);
            if (const auto* text = std::get_if<std::string>(&expected)) {
                if (text->empty()) {
                    EXPECT_EQ(cell.type, kEmpty);
                } else {
                    EXPECT_EQ(cell.type, kText);
                    EXPECT_EQ(cell.value.toString().toStdString(), *text);
                }
            } else if (const auto* size = std::get_if<platform::FixedDecimal>(&expected)) {
                EXPECT_EQ(cell.type, kNumber);
                EXPECT_EQ(cell.value.toDouble(), size->ToDouble());
                EXPECT_EQ(cell.format, QStringLiteral("#,0"));
            } else if (const auto* date = std::get_if<platform::DateTime>(&expected)) {
                EXPECT_EQ(cell.type, kDate);
                EXPECT_NEAR(cell.value.toDouble(), date->Days(), 0.5 / 86400);
            } else {
                ADD_FAILURE() << "a cell of the table is empty";
            }
        }
    }
    // Nothing beyond the table: no extra row, no extra sheet.
    EXPECT_EQ(cells.count({0, table.RowCount() + 1, 0}), 0u);
    EXPECT_EQ(cells.count({1, 0, 0}), 0u);
}

} // namespace

namespace {

TEST_F(WindowTest, AGroupedFilteredTableExportsItsShownFileRowsInShownOrder)
{
    for (const char* name : {"b/one.dll", "a/two.dll", "a/three.exe", "b/four.dll", "c/five.exe"})
        WriteFile(QString::fromLatin1(name));
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.dll;*.exe"));
    w.grd()->GroupBy("path");
    w.grd()->FilterBox()->setText(QStringLiteral("DLL"));
    w.grd()->SetAllGroupsExpanded(false);
    w.cmd(frmMain::kExport)->click();
    ASSERT_EQ(handOff_->opened.size(), 1u);
    const auto cells = ReadWorkbook(handOff_->opened[0]);
    std::vector<std::string> names;
    for (int row = 1; cells.count({0, row, 0}); ++row)
        names.push_back(cells.at({0, row, 0}).value.toString().toStdString());
    // Collapsed groups are written too; group rows never are.
    EXPECT_EQ(names, (std::vector<std::string>{"two.dll", "four.dll", "one.dll"}));
}

} // namespace
