// The result table widget: the group-by strip, widths from twips, the sort
// indicator, and the column notification on a heading click.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <cmath>

#include "GridTestSupport.h"
#include "VORN_STD_library/SortGridByColumn.h"
#include "grid/ResultGridModel.h"
#include "grid/ResultGridView.h"

namespace {

class ResultGridViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid::testing::AddWindowColumns(grid_);
        grid_.SetRowCount(2);
        grid_.SetCellValue(0, 0, std::string("b.dll"));
        grid_.SetCellValue(1, 0, std::string("a.dll"));
        view_.SetModel(&model_);
        view_.resize(900, 400);
    }

    QHeaderView* Headings() { return view_.Table()->horizontalHeader(); }

    void ClickHeading(int column)
    {
        view_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
        QHeaderView* headings = Headings();
        const QPoint inside(headings->sectionViewportPosition(column) + headings->sectionSize(column) / 2,
                            headings->height() / 2);
        QTest::mouseClick(headings->viewport(), Qt::LeftButton, {}, inside);
    }

    grid::ResultGrid grid_;
    grid::ResultGridModel model_{grid_};
    grid::ResultGridView view_;
};

TEST_F(ResultGridViewTest, ShowsTheGroupByPromptAndNoRowHeaders)
{
    EXPECT_EQ(view_.GroupByStrip()->text(), "Drag a column header here to group by that column");
    EXPECT_FALSE(view_.Table()->verticalHeader()->isVisibleTo(&view_));
    EXPECT_FALSE(view_.Table()->isSortingEnabled());
    EXPECT_EQ(view_.Table()->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
}

TEST_F(ResultGridViewTest, ColumnWidthsComeFromTwips)
{
    const double dpi = view_.logicalDpiX();
    EXPECT_EQ(view_.Table()->columnWidth(0), std::lround(1500 * dpi / 1440));
    EXPECT_EQ(view_.Table()->columnWidth(2), std::lround(900 * dpi / 1440));
    grid_.Column(1).SetWidth(2880);
    EXPECT_EQ(view_.Table()->columnWidth(0), std::lround(dpi * 2));

    // A width the user chose survives heading changes that leave Width alone.
    view_.Table()->setColumnWidth(1, 333);
    VORN_STD_library::SortGridByColumn(grid_, 2);
    EXPECT_EQ(view_.Table()->columnWidth(1), 333);
}

TEST_F(ResultGridViewTest, SortIndicatorFollowsTheSortedColumn)
{
    EXPECT_FALSE(Headings()->isSortIndicatorShown());
    VORN_STD_library::SortGridByColumn(grid_, 3);
    EXPECT_TRUE(Headings()->isSortIndicatorShown());
    EXPECT_EQ(Headings()->sortIndicatorSection(), 2);
    EXPECT_EQ(Headings()->sortIndicatorOrder(), Qt::AscendingOrder);
    VORN_STD_library::SortGridByColumn(grid_, 3);
    EXPECT_EQ(Headings()->sortIndicatorOrder(), Qt::DescendingOrder);

    grid_.Column(3).SetSortOrder(0);
    EXPECT_FALSE(Headings()->isSortIndicatorShown());
}

TEST_F(ResultGridViewTest, HeadingClickRaisesTheOneBasedPositionAndSortsNothingByItself)
{
    QSignalSpy notifications(&view_, &grid::ResultGridView::columnNotification);
    ClickHeading(4);
    ASSERT_EQ(notifications.count(), 1);
    EXPECT_EQ(notifications.at(0).at(0).toInt(), 5);
    EXPECT_EQ(grid::testing::FirstColumnTexts(grid_), (std::vector<std::string>{"b.dll", "a.dll"}));
    EXPECT_FALSE(Headings()->isSortIndicatorShown()) << "no sort ran, so no arrow";
}

TEST_F(ResultGridViewTest, AHandlerThatSortsShowsItsDirection)
{
    QObject::connect(&view_, &grid::ResultGridView::columnNotification,
                     [this](int position) { VORN_STD_library::SortGridByColumn(grid_, position); });
    ClickHeading(0);
    EXPECT_EQ(grid::testing::FirstColumnTexts(grid_), (std::vector<std::string>{"a.dll", "b.dll"}));
    EXPECT_EQ(Headings()->sortIndicatorOrder(), Qt::AscendingOrder);
    ClickHeading(0);
    EXPECT_EQ(grid::testing::FirstColumnTexts(grid_), (std::vector<std::string>{"b.dll", "a.dll"}));
    EXPECT_EQ(Headings()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(view_.Table()->model()->data(view_.Table()->model()->index(0, 0)).toString(), "b.dll");
}

TEST_F(ResultGridViewTest, PlaceFillsTheRectangleInTwips)
{
    QWidget parent;
    auto* placed = new grid::ResultGridView(&parent);
    placed->Place(3600, 0, 1440, 2880);
    const double dpiX = placed->logicalDpiX();
    const double dpiY = placed->logicalDpiY();
    EXPECT_EQ(placed->geometry(), QRect(std::lround(dpiX * 2.5), 0, std::lround(dpiX), std::lround(dpiY * 2)));
}

} // namespace
