// The window's quick filter, grouping and file icons: a search into a
// grouped, filtered table, the status line while filtering, Ctrl+F and Esc,
// the heading menu's grouping entries, grouping remembered for the next
// start, and each file's own or its type's icon.
#include <QApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>

#include "grid/GroupingProxyModel.h"
#include "grid/ResultGridModel.h"
#include "grid/ResultGridView.h"
#include "platform/desktop/DesktopFileIcons.h"
#include "tests/window/WindowFixture.h"

namespace {

std::vector<std::string> ShownTexts(frmMain& w)
{
    std::vector<std::string> shown;
    const QAbstractItemModel* model = w.grd()->Table()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex at = model->index(row, 0);
        const QVariant group = at.data(grid::GroupingProxyModel::GroupTextRole);
        shown.push_back(group.isValid() ? group.toString().toStdString() : at.data().toString().toStdString());
    }
    return shown;
}

TEST_F(WindowTest, ASearchFillsAGroupedFilteredTableAndTheStatusCountsTheShownRows)
{
    for (const char* name : {"b/one.dll", "a/two.dll", "a/three.exe", "b/four.dll", "c/five.exe"})
        WriteFile(QString::fromLatin1(name));
    frmMain& w = OpenWindow();
    w.grd()->GroupBy("path");
    w.grd()->FilterBox()->setText(QStringLiteral("dll"));
    int rowsSeenDuringSearch = 0;
    onYield = [&] {
        // Long enough for one batch of found rows to be announced.
        if (w.Grid().RowCount() >= 2 && rowsSeenDuringSearch == 0) QTest::qWait(150);
        rowsSeenDuringSearch = std::max(rowsSeenDuringSearch, w.grd()->Table()->model()->rowCount());
    };
    Search(TreePath(), QStringLiteral("*.dll;*.exe"));
    EXPECT_GT(rowsSeenDuringSearch, 0);
    const std::string a = "Path: " + QFile::encodeName(TreePath()).toStdString() + "/a/";
    const std::string b = "Path: " + QFile::encodeName(TreePath()).toStdString() + "/b/";
    EXPECT_EQ(ShownTexts(w),
              (std::vector<std::string>{a + " (1 file)", "two.dll", b + " (2 files)", "four.dll", "one.dll"}));
    EXPECT_EQ(w.lblInfo()->text(), QStringLiteral("3 of 5 files shown."));

    // Ctrl+F goes to the filter box, Esc empties it and the summary returns.
    w.activateWindow();
    w.txt(0)->setFocus();
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(w.grd()->FilterBox()->hasFocus());
    QTest::keyClick(w.grd()->FilterBox(), Qt::Key_Escape);
    EXPECT_TRUE(w.grd()->FilterBox()->text().isEmpty());
    w.grd()->FinishFiltering();
    EXPECT_EQ(w.lblInfo()->text(), QStringLiteral("5 files found."));
    EXPECT_EQ(ShownTexts(w).size(), 3u + 5u); // three folders, five files
}

TEST_F(WindowTest, TheHeadingMenuGroupsAndUngroupsAndGroupingIsRememberedForTheNextStart)
{
    frmMain& w = OpenWindow();
    QHeaderView* headings = w.grd()->Table()->horizontalHeader();
    const auto menuAction = [&](int column, const QString& text) -> QAction* {
        for (QMenu* menu : w.findChildren<QMenu*>()) menu->close();
        emit headings->customContextMenuRequested(QPoint(headings->sectionViewportPosition(column) + 2, 2));
        for (QMenu* menu : w.findChildren<QMenu*>())
            for (QAction* action : menu->actions())
                if (action->text() == text && menu->isVisible()) return action;
        return nullptr;
    };
    QAction* groupByCompany = menuAction(7, QStringLiteral("Group by this column"));
    ASSERT_NE(groupByCompany, nullptr);
    groupByCompany->trigger();
    QAction* groupByVersion = menuAction(1, QStringLiteral("Group by this column"));
    ASSERT_NE(groupByVersion, nullptr);
    groupByVersion->trigger();
    EXPECT_EQ(w.grd()->GroupKeys(), (std::vector<std::string>{"company", "version"}));
    window.reset();

    frmMain& again = OpenWindow();
    EXPECT_EQ(again.grd()->GroupKeys(), (std::vector<std::string>{"company", "version"}));
    headings = again.grd()->Table()->horizontalHeader();
    QAction* ungroup = nullptr;
    emit headings->customContextMenuRequested(QPoint(2, 2));
    for (QMenu* menu : again.findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            if (action->text() == QStringLiteral("Ungroup") && menu->isVisible()) ungroup = action;
    ASSERT_NE(ungroup, nullptr);
    ungroup->trigger();
    EXPECT_TRUE(again.grd()->GroupKeys().empty());
}

TEST_F(WindowTest, TheFileNameShowsTheImagesOwnIconElseItsTypesIcon)
{
    const std::shared_ptr<platform::FileIconSource> previous =
        platform::SetFileIconSource(std::make_shared<desktop::DesktopFileIconSource>());
    for (const char* name : {"no_version_icon.dll", "plain32.dll"})
        QFile::copy(QStringLiteral(LUMBREL_FIXTURES_DIR "/pe/") + QString::fromLatin1(name),
                    TreePath() + QStringLiteral("/") + QString::fromLatin1(name));
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.dll"));
    ASSERT_EQ(w.Grid().RowCount(), 2);
    desktop::DesktopFileIconSource source;
    QImage shownImages[2];
    for (int row = 0; row < 2; ++row) {
        const QModelIndex cell = w.grd()->Table()->model()->index(row, 0);
        const std::string path = QFile::encodeName(TreePath()).toStdString() + "/" + cell.data().toString().toStdString();
        const platform::FileIconImage expected = source.IconFor(path, platform::IconSize::Small);
        EXPECT_EQ(expected.sourceHandle,
                  cell.data().toString() == "no_version_icon.dll" ? desktop::kIconFromImage : desktop::kIconFromTheme);
        QImage wanted;
        ASSERT_TRUE(wanted.loadFromData(expected.encodedImage.data(), static_cast<int>(expected.encodedImage.size())));
        const QIcon shown = cell.data(Qt::DecorationRole).value<QIcon>();
        ASSERT_FALSE(shown.isNull());
        shownImages[row] = shown.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(shownImages[row], wanted.convertToFormat(QImage::Format_ARGB32));
    }
    EXPECT_NE(shownImages[0], shownImages[1]);
    platform::SetFileIconSource(previous);
}

} // namespace
