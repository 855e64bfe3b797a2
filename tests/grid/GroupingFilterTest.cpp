// The table's quick filter and grouping, driven through the real view
// offscreen: the word rule, group rows with their counts at one and two
// levels, ungrouping, the order inside and of groups, the strip's drops and
// chips, and the rows the view shows in order.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "GridTestSupport.h"
#include "VORN_STD_library/SortGridByColumn.h"
#include "grid/GroupingProxyModel.h"
#include "grid/ResultGridModel.h"
#include "grid/ResultGridView.h"
#include "grid/RowFilterProxyModel.h"
#include "platform/Utf8Text.h"

namespace {

constexpr int kName = 0, kSize = 2, kPath = 4, kCompany = 7;

class GroupingFilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid::testing::AddWindowColumns(grid_);
        struct Row {
            const char* name;
            std::int64_t size;
            const char* path;
            const char* company;
        };
        const Row rows[] = {
            {"b.dll", 1234, "/x/", "Wine"},   {"a.exe", 10, "/y/", "Wine"},    {"c.dll", 20, "/x/", "Café Soft"},
            {"d.ocx", 30, "/y/", "Wine"},     {"e.dll", 40, "/x/", ""},
        };
        for (const Row& row : rows) AddRow(row.name, row.size, row.path, row.company);
        view_.SetModel(&model_);
    }

    void AddRow(const char* name, std::int64_t size, const char* path, const char* company)
    {
        const int row = grid_.RowCount();
        grid_.SetRowCount(row + 1);
        grid_.SetCellValue(row, kName, std::string(name));
        grid_.SetCellValue(row, kSize, platform::FixedDecimal::FromWhole(size));
        grid_.SetCellValue(row, kPath, std::string(path));
        grid_.SetCellValue(row, kCompany, std::string(company));
    }

    // What the table shows, one text per row: a group row's text, or the
    // file name.
    std::vector<std::string> Shown()
    {
        std::vector<std::string> shown;
        QAbstractItemModel* model = view_.Table()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex at = model->index(row, kName);
            const QVariant group = at.data(grid::GroupingProxyModel::GroupTextRole);
            shown.push_back(group.isValid() ? group.toString().toStdString() : at.data().toString().toStdString());
        }
        return shown;
    }

    std::vector<std::string> Filtered(const char* text)
    {
        view_.FilterBox()->setText(QString::fromUtf8(text));
        view_.FinishFiltering();
        return Shown();
    }

    grid::ResultGrid grid_;
    grid::ResultGridModel model_{grid_};
    grid::ResultGridView view_;
};

using Names = std::vector<std::string>;

TEST_F(GroupingFilterTest, EveryWordMustBeInSomeShownCellIgnoringCaseAndAccents)
{
    grid_.Column(kPath + 1).SetVisible(false);
    struct Case {
        const char* filter;
        Names shown;
    };
    const Case cases[] = {
        {"", {"b.dll", "a.exe", "c.dll", "d.ocx", "e.dll"}},
        {"DLL", {"b.dll", "c.dll", "e.dll"}},
        {"cafe", {"c.dll"}},                       // accents and case ignored
        {"  CAFÉ   soft ", {"c.dll"}},             // words in any cell, blanks ignored
        {"dll wine", {"b.dll"}},                   // every word must match
        {"dllwine", {}},                           // no match across two cells
        {"234", {"b.dll"}},                        // a size as shown (1,234)
        {"/x/", {}},                               // hidden columns are not searched
        {"d", {"b.dll", "c.dll", "d.ocx", "e.dll"}}, // shortened filter: rows come back
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(Filtered(c.filter), c.shown);
    }
    EXPECT_EQ(grid::FilterWords("Ärger  ŁÓDŹ"), (std::vector<std::string>{"arger", "lodz"}));
    const std::pair<const char*, const char*> folds[] = {
        {"E\xCC\x81t\xC3\xA9 \xC3\x9F", "ete \xC3\x9F"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ@[`{", "abcdefghijklmnopqrstuvwxyz@[`{"}, // ASCII runs longer than eight bytes
        {"ABCDEFGHI\xC3\x89Z", "abcdefghiez"},                           // a run ended by a letter beyond ASCII
    };
    for (const auto& [text, expected] : folds) {
        std::string folded;
        platform::AppendFoldedForSearch(folded, text);
        EXPECT_EQ(folded, expected);
    }
}

// While a filter is typed the proxy keeps the rows' folded text: it must
// follow the rows through a sort and be made anew when cells change or rows
// arrive.
TEST_F(GroupingFilterTest, TextKeptWhileTypingFollowsSortsChangedCellsAndNewRows)
{
    struct Step {
        std::function<void()> change;
        const char* filter;
        Names shown;
    };
    const Step steps[] = {
        {[] {}, "dll", {"b.dll", "c.dll", "e.dll"}},
        {[this] { grid_.Sort(-1, -1, "filename", grid::kSortDescending, grid::kSortKindText); }, ".dll",
         {"e.dll", "c.dll", "b.dll"}},
        {[this] { grid_.SetCellValue(0, kName, std::string("e.exe")); }, "dl", {"c.dll", "b.dll"}},
        {[this] { AddRow("F.DLL", 1, "/z/", "Acme"); }, "dll", {"c.dll", "b.dll", "F.DLL"}},
        {[] {}, "", {"e.exe", "d.ocx", "c.dll", "b.dll", "a.exe", "F.DLL"}},
        {[] {}, "wine", {"d.ocx", "b.dll", "a.exe"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.filter);
        step.change();
        view_.FinishFiltering();
        EXPECT_EQ(Filtered(step.filter), step.shown);
    }
}

TEST_F(GroupingFilterTest, GroupsShowCaptionValueAndCountAtOneAndTwoLevelsAndUngroup)
{
    view_.GroupBy("company");
    EXPECT_EQ(Shown(), (Names{"Company: (empty) (1 file)", "e.dll", "Company: Café Soft (1 file)", "c.dll",
                              "Company: Wine (3 files)", "b.dll", "a.exe", "d.ocx"}));
    view_.GroupBy("path");
    EXPECT_EQ(Shown(), (Names{"Company: (empty) (1 file)", "Path: /x/ (1 file)", "e.dll",
                              "Company: Café Soft (1 file)", "Path: /x/ (1 file)", "c.dll",
                              "Company: Wine (3 files)", "Path: /x/ (1 file)", "b.dll", "Path: /y/ (2 files)",
                              "a.exe", "d.ocx"}));
    ASSERT_EQ(view_.Strip()->Chips().size(), 2u);
    // The outer chip's close mark removes its level.
    view_.Strip()->Chips().front()->findChild<QToolButton*>()->click();
    EXPECT_EQ(view_.GroupKeys(), (std::vector<std::string>{"path"}));
    EXPECT_EQ(Shown(), (Names{"Path: /x/ (3 files)", "b.dll", "c.dll", "e.dll", "Path: /y/ (2 files)", "a.exe",
                              "d.ocx"}));
    view_.Ungroup(std::string());
    EXPECT_EQ(Shown(), (Names{"b.dll", "a.exe", "c.dll", "d.ocx", "e.dll"}));
    EXPECT_TRUE(view_.Strip()->Chips().empty());
    EXPECT_TRUE(view_.GroupByStrip()->isVisibleTo(view_.Strip()));
}

TEST_F(GroupingFilterTest, FilesKeepTheSortInsideGroupsAndGroupsFollowTheirOwnColumnsDirection)
{
    view_.GroupBy("path");
    VORN_STD_library::SortGridByColumn(grid_, kName + 1); // ascending by name
    EXPECT_EQ(Shown(), (Names{"Path: /x/ (3 files)", "b.dll", "c.dll", "e.dll", "Path: /y/ (2 files)", "a.exe",
                              "d.ocx"}));
    VORN_STD_library::SortGridByColumn(grid_, kSize + 1, grid::kSortDescending);
    EXPECT_EQ(Shown(), (Names{"Path: /x/ (3 files)", "b.dll", "e.dll", "c.dll", "Path: /y/ (2 files)", "d.ocx",
                              "a.exe"}));
    VORN_STD_library::SortGridByColumn(grid_, kPath + 1, grid::kSortDescending);
    EXPECT_EQ(Shown().front(), "Path: /y/ (2 files)");
    // A selected file stays selected while its row moves.
    QTableView& table = *view_.Table();
    const int bRow = 4; // /y/ a.exe d.ocx, /x/ b.dll ...
    ASSERT_EQ(Shown()[static_cast<std::size_t>(bRow)], "b.dll");
    table.selectRow(bRow);
    VORN_STD_library::SortGridByColumn(grid_, kPath + 1, grid::kSortAscending);
    ASSERT_EQ(table.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(view_.GridRowOf(table.selectionModel()->selectedRows().front()),
              [&] {
                  for (int row = 0; row < grid_.RowCount(); ++row)
                      if (std::get<std::string>(grid_.CellValueAt(row, kName)) == "b.dll") return row;
                  return -1;
              }());
}

TEST_F(GroupingFilterTest, HeadingsDroppedOnTheStripGroupAndTheViewListsItsFileRowsInOrder)
{
    // Dropping a heading's payload on the strip, as a drag from the heading
    // row does.
    view_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
    const auto drop = [&](QWidget& target, const char* type, const char* key) {
        std::unique_ptr<QMimeData> data(grid::MakeKeyMimeData(type, QString::fromLatin1(key)));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &drop);
    };
    drop(*view_.Strip(), grid::kColumnKeyMimeType, "company");
    EXPECT_EQ(view_.GroupKeys(), (std::vector<std::string>{"company"}));
    EXPECT_FALSE(view_.ShownGridRows() == std::nullopt);
    Filtered("dll");
    EXPECT_EQ(Shown(), (Names{"Company: (empty) (1 file)", "e.dll", "Company: Café Soft (1 file)", "c.dll",
                              "Company: Wine (1 file)", "b.dll"}));
    view_.SetAllGroupsExpanded(false);
    EXPECT_EQ(Shown().size(), 3u);
    // Collapsed groups still hand over their files, never the group rows.
    EXPECT_EQ(*view_.ShownGridRows(), (std::vector<int>{4, 2, 0}));
    view_.SetAllGroupsExpanded(true);
    EXPECT_EQ(view_.GridRowOf(view_.Table()->model()->index(0, 0)), -1);
    EXPECT_EQ(view_.GridRowOf(view_.Table()->model()->index(1, 0)), 4);
    // A chip dropped back on the heading row ungroups it.
    drop(*view_.Table()->horizontalHeader()->viewport(), grid::kGroupChipMimeType, "company");
    EXPECT_TRUE(view_.GroupKeys().empty());
    EXPECT_EQ(*view_.ShownGridRows(), (std::vector<int>{0, 2, 4}));
    Filtered("");
    EXPECT_EQ(view_.ShownGridRows(), std::nullopt);
}

TEST_F(GroupingFilterTest, RowsAppendedInBatchesJoinTheirGroupsThroughTheFilter)
{
    view_.GroupBy("company");
    Filtered("dll");
    model_.SetInsertBatching(true);
    AddRow("f.dll", 1, "/z/", "Wine");
    AddRow("g.exe", 1, "/z/", "Wine");
    AddRow("h.dll", 1, "/z/", "Acme");
    EXPECT_EQ(Shown().size(), 6u); // nothing announced yet
    model_.SetInsertBatching(false);
    EXPECT_EQ(Shown(), (Names{"Company: (empty) (1 file)", "e.dll", "Company: Acme (1 file)", "h.dll",
                              "Company: Café Soft (1 file)", "c.dll", "Company: Wine (2 files)", "b.dll", "f.dll"}));
}

} // namespace
