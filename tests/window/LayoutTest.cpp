// The minimum window size (the design minimum, raised to show the whole
// left-hand band and a table row) and the run-time places of the line, the table and
// the status line.
#include <QCheckBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "frmMain/LineControl.h"
#include "grid/ResultGridView.h"
#include "platform/desktop/Twips.h"
#include "tests/window/WindowFixture.h"

namespace {

TEST_F(WindowTest, TheSmallestWindowShowsTheWholeBandAndOneTableRow)
{
    frmMain& w = OpenWindow();
    const desktop::TwipsScale scale = desktop::TwipsScale::ForWidget(w);
    w.resize(scale.ToPixelsX(3000), scale.ToPixelsY(2000));
    QCoreApplication::sendPostedEvents();
    EXPECT_GE(scale.ToTwipsX(w.frameGeometry().width()), 4000);
    EXPECT_GE(scale.ToTwipsY(w.frameGeometry().height()), 3000);
    // Every control of the left-hand band lies inside, above the line and
    // clear of the status line; the table shows a whole row.
    const int line = scale.ToPixelsY(w.lin()->Y1());
    for (QWidget* control : std::initializer_list<QWidget*>{
             w.txt(0), w.txt(1), w.chk(), w.chkHidden(), w.cmd(frmMain::kSearch), w.cmd(frmMain::kCancel),
             w.cmd(frmMain::kExport), w.cmd(frmMain::kBrowse)}) {
        EXPECT_LT(control->geometry().bottom(), line) << control->metaObject()->className();
        EXPECT_LE(control->geometry().right(), w.width());
        EXPECT_FALSE(control->geometry().intersects(w.lblInfo()->geometry()));
    }
    const QTableView* table = w.grd()->Table();
    EXPECT_GE(table->viewport()->height(), table->verticalHeader()->defaultSectionSize());

    // Exactly at the minimum, or one pixel above it, the size is kept.
    const QSize atMinimum = w.size();
    w.resize(atMinimum);
    EXPECT_EQ(w.size(), atMinimum);
    const QSize larger(atMinimum.width() + 1, atMinimum.height() + 1);
    w.resize(larger);
    EXPECT_EQ(w.size(), larger);
}

TEST_F(WindowTest, TheLineTableAndStatusLineFollowTheClientArea)
{
    frmMain& w = OpenWindow();
    const desktop::TwipsScale scale = desktop::TwipsScale::ForWidget(w);
    w.resize(scale.ToPixelsX(9000), scale.ToPixelsY(6000));
    ASSERT_DOUBLE_EQ(scale.ToTwipsX(w.width()), 9000);
    ASSERT_DOUBLE_EQ(scale.ToTwipsY(w.height()), 6000);

    EXPECT_DOUBLE_EQ(w.lin()->X1(), 0);
    EXPECT_DOUBLE_EQ(w.lin()->Y1(), 5580);
    EXPECT_DOUBLE_EQ(w.lin()->X2(), 9000);
    EXPECT_DOUBLE_EQ(w.lin()->Y2(), 5580);
    EXPECT_EQ(w.grd()->geometry(), QRect(scale.ToPixelsX(3600), 0, scale.ToPixelsX(9000 - 3600 - 135),
                                         scale.ToPixelsY(5550)));
    EXPECT_EQ(w.lblInfo()->geometry(),
              QRect(scale.ToPixelsX(60), scale.ToPixelsY(5670), scale.ToPixelsX(8880), scale.ToPixelsY(195)));
    // The table's right edge stays inside the client area.
    EXPECT_LT(w.grd()->geometry().right(), w.width());
}

} // namespace

namespace {

TEST_F(WindowTest, AMinimisedWindowIsNeitherRaisedNorLaidOut)
{
    frmMain& w = OpenWindow();
    const double lineBefore = w.lin()->Y1();
    w.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(w.isMinimized());
    w.resize(50, 40);
    EXPECT_EQ(w.size(), QSize(50, 40));
    EXPECT_DOUBLE_EQ(w.lin()->Y1(), lineBefore);
}

} // namespace
