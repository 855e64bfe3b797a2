// The Qt adapter: what the view is given for cells and headings, and the
// signals a table change produces.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBrush>
#include <QDateTime>
#include <QFont>
#include <QPalette>
#include <QPersistentModelIndex>
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <chrono>

#include "GridTestSupport.h"
#include "VORN_STD_library/SortGridByColumn.h"
#include "grid/ResultGridModel.h"

namespace {

using grid::ResultGridModel;

class ResultGridModelTest : public ::testing::Test {
protected:
    void SetUp() override { grid::testing::AddWindowColumns(grid_); }

    void AddRow(const std::string& name, std::int64_t size)
    {
        const int row = grid_.RowCount();
        grid_.SetRowCount(row + 1);
        grid_.SetCellValue(row, 0, name);
        grid_.SetCellValue(row, 2, platform::FixedDecimal::FromWhole(size));
    }

    QVariant Cell(int row, int column, int role = Qt::DisplayRole) { return model_.data(model_.index(row, column), role); }
    QVariant Heading(int column, int role) { return model_.headerData(column, Qt::Horizontal, role); }

    grid::ResultGrid grid_;
    ResultGridModel model_{grid_};
};

TEST_F(ResultGridModelTest, SizesUseTheGroupedWholeNumberFormat)
{
    AddRow("a", 1234567);
    grid_.SetRowCount(2);
    grid_.SetCellValue(1, 2, platform::FixedDecimal::FromScaled(12345000)); // 1234.5
    const QLocale locale = QLocale::system();
    const QString group = locale.groupSeparator();
    EXPECT_EQ(Cell(0, 2).toString(), "1" + group + "234" + group + "567");
    EXPECT_EQ(Cell(1, 2).toString(), "1" + group + "235") << "rounded half away from zero";

    grid_.Column(3).CellStyle().SetFormat("");
    EXPECT_EQ(Cell(1, 2).toString(), "1234" + locale.decimalPoint() + "5");
}

TEST_F(ResultGridModelTest, DatesTextAndEmptyCells)
{
    grid_.SetRowCount(1);
    grid_.SetCellValue(0, 3, platform::DateTime::FromFields({2021, 3, 4, 5, 6, 7}));
    grid_.SetCellValue(0, 5, std::string("bad \xFF byte, good \xC3\xA9"));
    const QDateTime expected(QDate(2021, 3, 4), QTime(5, 6, 7));
    EXPECT_EQ(Cell(0, 3).toString(), QLocale::system().toString(expected, QLocale::ShortFormat));
    EXPECT_EQ(Cell(0, 5).toString(), QString::fromUtf8("bad \uFFFD byte, good \u00E9"));
    EXPECT_EQ(Cell(0, 6).toString(), QString());
    EXPECT_FALSE(Cell(5, 0).isValid());
}

TEST_F(ResultGridModelTest, OnlyTheCode6ColumnsAreRightAligned)
{
    AddRow("a", 1);
    for (int column = 0; column < 8; ++column) {
        const auto alignment = Cell(0, column, Qt::TextAlignmentRole).value<Qt::Alignment>();
        const bool right = column == 1 || column == 2;
        EXPECT_EQ(alignment, right ? (Qt::AlignRight | Qt::AlignVCenter) : (Qt::AlignLeft | Qt::AlignVCenter))
            << "column " << column;
    }
}

TEST_F(ResultGridModelTest, HeadingsShowCaptionColourUnderlineAndSortOrder)
{
    VORN_STD_library::SortGridByColumn(grid_, 4);
    EXPECT_EQ(Heading(3, Qt::DisplayRole).toString(), "Date");
    EXPECT_EQ(Heading(3, Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 255));
    EXPECT_TRUE(Heading(3, Qt::FontRole).value<QFont>().underline());
    // The window-text colour is the heading row's own text colour.
    EXPECT_FALSE(Heading(0, Qt::ForegroundRole).isValid());
    EXPECT_FALSE(Heading(0, Qt::FontRole).value<QFont>().underline());
    EXPECT_EQ(Heading(3, ResultGridModel::WidthTwipsRole).toDouble(), 1800.0);
    EXPECT_EQ(Heading(2, ResultGridModel::KeyRole).toString(), "size");

    grid_.Column(1).HeadingStyle().SetForeColor(0x00336699);
    EXPECT_EQ(Heading(0, Qt::ForegroundRole).value<QBrush>().color(), QColor(0x99, 0x66, 0x33));
    grid_.Column(1).HeadingStyle().SetForeColor(grid::kColorButtonShadow);
    EXPECT_EQ(Heading(0, Qt::ForegroundRole).value<QBrush>().color(), QApplication::palette().color(QPalette::Dark));
}

TEST_F(ResultGridModelTest, StyleChangesReachTheViewAsSignals)
{
    AddRow("a", 1);
    QSignalSpy headers(&model_, &QAbstractItemModel::headerDataChanged);
    QSignalSpy cells(&model_, &QAbstractItemModel::dataChanged);
    grid_.Column(6).HeadingStyle().SetUnderline(true);
    grid_.Column(2).CellStyle().SetTextAlignment(grid::kAlignRightCenter);
    ASSERT_EQ(headers.count(), 1);
    EXPECT_EQ(headers.at(0).at(1).toInt(), 5);
    ASSERT_EQ(cells.count(), 1);
    EXPECT_EQ(cells.at(0).at(0).value<QModelIndex>().column(), 1);
}

TEST_F(ResultGridModelTest, AddingARowInsertsOneRowWithoutAReset)
{
    AddRow("a", 1);
    QSignalSpy inserted(&model_, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model_, &QAbstractItemModel::modelReset);
    grid_.SetRowCount(2);
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 1);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 1);
    EXPECT_EQ(model_.rowCount(), 2);
    EXPECT_EQ(reset.count(), 0);

    grid_.SetRowCount(0);
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model_.rowCount(), 0);
}

TEST_F(ResultGridModelTest, SelectionFollowsItsRowThroughASort)
{
    AddRow("c", 1);
    AddRow("a", 2);
    AddRow("b", 3);
    const QPersistentModelIndex selected(model_.index(0, 0)); // "c"
    QSignalSpy layout(&model_, &QAbstractItemModel::layoutChanged);
    VORN_STD_library::SortGridByColumn(grid_, 1);
    EXPECT_EQ(layout.count(), 1);
    EXPECT_EQ(selected.row(), 2);
    EXPECT_EQ(selected.data().toString(), "c");
}

// Rows appended while batching is on stay unannounced until the event loop
// runs past the interval, then reach a view in one insertion with every cell.
TEST_F(ResultGridModelTest, BatchedRowsReachTheViewTogetherWithTheirCells)
{
    QAbstractItemModelTester tester(&model_, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QTableView view;
    view.setModel(&model_);
    QSignalSpy inserted(&model_, &QAbstractItemModel::rowsInserted);
    QSignalSpy cells(&model_, &QAbstractItemModel::dataChanged);
    model_.SetInsertBatching(true, std::chrono::hours(1));
    for (int i = 0; i < 40; ++i) AddRow("f" + std::to_string(i), i);
    QCoreApplication::processEvents();
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(cells.count(), 0) << "cells of unannounced rows raise nothing";
    EXPECT_EQ(model_.rowCount(), 0);
    EXPECT_FALSE(Cell(0, 0).isValid());

    model_.SetInsertBatching(true, std::chrono::milliseconds(1));
    AddRow("f40", 40);
    QTRY_COMPARE(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 0);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 40);
    EXPECT_EQ(view.verticalHeader()->count(), 41);
    EXPECT_EQ(Cell(40, 0).toString(), "f40");
    EXPECT_EQ(Cell(17, 0).toString(), "f17");

    // A cell rewritten in an announced row is still reported.
    grid_.SetCellValue(3, 0, std::string("changed"));
    EXPECT_EQ(cells.count(), 1);

    // Switching batching off announces the rest at once.
    AddRow("f41", 41);
    model_.SetInsertBatching(false);
    EXPECT_EQ(inserted.count(), 2);
    EXPECT_EQ(view.verticalHeader()->count(), 42);
    AddRow("f42", 42);
    EXPECT_EQ(inserted.count(), 3) << "without batching every row is announced";
}

// A sort, a removal or a reset never leaves the view behind the grid: pending
// rows are announced before the change, or dropped with a reset.
TEST_F(ResultGridModelTest, PendingRowsAreAnnouncedBeforeAnyOtherChange)
{
    QAbstractItemModelTester tester(&model_, QAbstractItemModelTester::FailureReportingMode::Fatal);
    std::vector<std::string> seen;
    QObject::connect(&model_, &QAbstractItemModel::rowsInserted, [&](const QModelIndex&, int first, int last) {
        seen.push_back("inserted " + std::to_string(first) + "-" + std::to_string(last));
    });
    QObject::connect(&model_, &QAbstractItemModel::rowsRemoved, [&](const QModelIndex&, int first, int last) {
        seen.push_back("removed " + std::to_string(first) + "-" + std::to_string(last));
    });
    QObject::connect(&model_, &QAbstractItemModel::layoutAboutToBeChanged, [&] { seen.push_back("sort"); });
    QObject::connect(&model_, &QAbstractItemModel::modelReset, [&] { seen.push_back("reset"); });

    model_.SetInsertBatching(true, std::chrono::milliseconds(1));
    AddRow("c", 1);
    AddRow("a", 2);
    AddRow("b", 3);
    VORN_STD_library::SortGridByColumn(grid_, 1);
    EXPECT_EQ(model_.rowCount(), 3);
    EXPECT_EQ(Cell(0, 0).toString(), "a");

    AddRow("d", 4);
    AddRow("e", 5);
    grid_.SetRowCount(4);
    EXPECT_EQ(model_.rowCount(), 4);

    AddRow("f", 6);
    grid_.SetRowCount(0);
    QTest::qWait(20);
    EXPECT_EQ(model_.rowCount(), 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"inserted 0-2", "sort", "inserted 3-4", "removed 4-4", "reset"}));
}

} // namespace
