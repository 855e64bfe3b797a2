// The search and cancel commands, the rows the progress handler writes, the
// status line during a walk, and sorting by heading.
#include <QCheckBox>
#include <QDir>
#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <set>

#include "VORN_STD_library/SignatureTrust.h"
#include "cDisk/ResultRow.h"
#include "grid/ResultGridView.h"
#include "tests/window/WindowFixture.h"

namespace {

QString FixturePath(const char* name)
{
    return QStringLiteral(LUMBREL_FIXTURES_DIR "/pe/") + QString::fromLatin1(name);
}

std::vector<std::string> FileNameColumn(grid::ResultGrid& table)
{
    std::vector<std::string> names;
    for (int row = 0; row < table.RowCount(); ++row) {
        names.push_back(std::get<std::string>(table.CellValueAt(row, 0)));
    }
    return names;
}

TEST_F(WindowTest, SearchFillsOneRowPerFileAndEndsSortedByName)
{
    WriteFile(QStringLiteral("b.exe"), 1234);
    WriteFile(QStringLiteral("a.DLL"), 7);
    WriteFile(QStringLiteral("sub/c.ocx"), 0);
    WriteFile(QStringLiteral("readme.txt"));
    ASSERT_TRUE(QFile::copy(FixturePath("plain32.dll"), TreePath() + QStringLiteral("/sub/plain32.dll")));
    frmMain& w = OpenWindow();
    const QString typedPath = TreePath() + QStringLiteral("/./");
    Search(typedPath, QStringLiteral("*.exe;*.ocx;*.dll"));

    grid::ResultGrid& table = w.Grid();
    ASSERT_EQ(table.RowCount(), 4);
    EXPECT_EQ(w.lblInfo()->text(), QStringLiteral("4 files found."));
    EXPECT_EQ(FileNameColumn(table), (std::vector<std::string>{"a.DLL", "b.exe", "c.ocx", "plain32.dll"}));
    EXPECT_EQ(table.Column(1).SortOrder(), grid::kSortAscending);
    EXPECT_EQ(table.Column(1).HeadingStyle().ForeColor(), grid::kColorBlue);
    EXPECT_TRUE(table.Column(1).HeadingStyle().Underline());
    for (int position = 2; position <= 8; ++position) {
        EXPECT_EQ(table.Column(position).SortOrder(), grid::kSortNone);
        EXPECT_FALSE(table.Column(position).HeadingStyle().Underline());
    }

    const std::string root = QFile::encodeName(typedPath).toStdString();
    // b.exe: a plain file, so no version facts.
    EXPECT_EQ(CellText(1, 1), "");
    EXPECT_EQ(std::get<platform::FixedDecimal>(table.CellValueAt(1, 2)), platform::FixedDecimal::FromWhole(1234));
    EXPECT_TRUE(std::holds_alternative<platform::DateTime>(table.CellValueAt(1, 3)));
    EXPECT_EQ(CellText(1, 4), root);
    // The PE fixture: its row has the same facts the shared row builder gives.
    const std::string folder = root + "sub/";
    const std::vector<grid::CellValue> expected = BuildResultRow(folder, "plain32.dll", DefaultFactSelection());
    EXPECT_FALSE(std::get<std::string>(expected[1]).empty());
    for (int column = 0; column < 8; ++column) EXPECT_EQ(table.CellValueAt(3, column), expected[column]);
    EXPECT_EQ(CellText(3, 4), folder);

    // The box keeps exactly what was typed; the buttons are idle again.
    EXPECT_EQ(w.txt(1)->text(), typedPath);
    EXPECT_TRUE(w.cmd(frmMain::kSearch)->isEnabled());
    EXPECT_FALSE(w.cmd(frmMain::kCancel)->isEnabled());
    EXPECT_TRUE(w.cmd(frmMain::kExport)->isEnabled());
    EXPECT_EQ(Settings().Read(QStringLiteral("settings"), QStringLiteral("lastpath"), QString()), typedPath);
}

TEST_F(WindowTest, SubfoldersOnlyWhenTicked)
{
    WriteFile(QStringLiteral("top.exe"));
    WriteFile(QStringLiteral("sub/deep/low.exe"));
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.exe"), false);
    EXPECT_EQ(FileNameColumn(w.Grid()), std::vector<std::string>{"top.exe"});
    Search(TreePath(), QStringLiteral("*.exe"), true);
    EXPECT_EQ(FileNameColumn(w.Grid()), (std::vector<std::string>{"low.exe", "top.exe"}));
}

TEST_F(WindowTest, HiddenFoldersOnlyWhenTickedAndTheChoiceIsRemembered)
{
    WriteFile(QStringLiteral("top.exe"));
    WriteFile(QStringLiteral(".cache/low.exe"));
    frmMain& w = OpenWindow();
    EXPECT_FALSE(w.chkHidden()->isChecked());
    Search(TreePath(), QStringLiteral("*.exe"));
    EXPECT_EQ(FileNameColumn(w.Grid()), std::vector<std::string>{"top.exe"});
    w.chkHidden()->setChecked(true);
    Search(TreePath(), QStringLiteral("*.exe"));
    EXPECT_EQ(FileNameColumn(w.Grid()), (std::vector<std::string>{"low.exe", "top.exe"}));
    w.close();
    window.reset();
    EXPECT_TRUE(OpenWindow().chkHidden()->isChecked());
}

TEST_F(WindowTest, ExecutablesByContentOnlyWhenTickedAndTheChoiceIsRemembered)
{
    WriteFile(QStringLiteral("fake.exe"));
    ASSERT_TRUE(QFile::copy(FixturePath("plain32.dll"), TreePath() + QStringLiteral("/renamed.txt")));
    frmMain& w = OpenWindow();
    EXPECT_FALSE(w.chkExecutables()->isChecked());
    w.chkExecutables()->setChecked(true);
    Search(TreePath(), QString());
    EXPECT_EQ(FileNameColumn(w.Grid()), std::vector<std::string>{"renamed.txt"});
    Search(TreePath(), QStringLiteral("*.exe"));
    EXPECT_EQ(FileNameColumn(w.Grid()), std::vector<std::string>{});
    w.close();
    window.reset();
    EXPECT_TRUE(OpenWindow().chkExecutables()->isChecked());
}

TEST_F(WindowTest, TheHeadingMenuShowsHidesAndAddsFactsAndTheChoiceIsRemembered)
{
    ASSERT_TRUE(QFile::copy(QStringLiteral(LUMBREL_FIXTURES_DIR "/pe/rich_strings.dll"),
                            TreePath() + QStringLiteral("/rich.dll")));
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.dll"));
    // The menu belongs to the window, which is closed below.
    std::unique_ptr<QMenu> menu(w.BuildHeadingMenu());
    // One checkable action per fact; the trust store's submenu follows them.
    QList<QAction*> actions = menu->actions();
    actions.erase(std::remove_if(actions.begin(), actions.end(), [](QAction* a) { return !a->isCheckable(); }),
                  actions.end());
    const auto cellFacts = std::count_if(AllResultFacts().begin(), AllResultFacts().end(),
                                         [](const ResultFact& fact) { return !fact.column.jsonDocument; });
    ASSERT_EQ(actions.size(), cellFacts);
    for (int i = 0; i < actions.size(); ++i) EXPECT_EQ(actions[i]->isChecked(), i < 8) << i;

    // Checking a fact adds its column at the end, filled from the row's file.
    int fileVersionAction = 0;
    for (const ResultFact& fact : AllResultFacts()) {
        if (std::string_view(fact.column.key) == "fileversion") break;
        if (!fact.column.jsonDocument) ++fileVersionAction;
    }
    actions[fileVersionAction]->trigger();
    ASSERT_EQ(w.Grid().ColumnCount(), 9);
    EXPECT_EQ(w.Grid().Column(9).Key(), "fileversion");
    const std::string folder = TreePath().toStdString() + "/";
    EXPECT_EQ(CellText(0, 8), std::get<std::string>(BuildResultRow(folder, "rich.dll", {FindResultFact("fileversion")})[0]));
    EXPECT_FALSE(CellText(0, 8).empty());
    // Unchecking hides; the table keeps the cells.
    w.SetFactShown("path", false);
    EXPECT_TRUE(w.grd()->Table()->isColumnHidden(4));

    menu.reset();
    w.close();
    window.reset();
    frmMain& again = OpenWindow();
    std::vector<std::string> keys;
    for (int position = 1; position <= again.Grid().ColumnCount(); ++position)
        if (again.Grid().Column(position).Visible()) keys.push_back(again.Grid().Column(position).Key());
    EXPECT_EQ(keys, (std::vector<std::string>{"filename", "version", "size", "date", "desc", "product", "company",
                                              "fileversion"}));
    // The last shown column stays.
    for (const std::string& key : keys) again.SetFactShown(key, false);
    EXPECT_TRUE(again.Grid().ColumnByKey("fileversion")->Visible());
}

TEST_F(WindowTest, NothingFoundEndsWithTheNoFilesSummaryAndExportEnabled)
{
    WriteFile(QStringLiteral("a.exe"));
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.dll"));
    EXPECT_EQ(w.Grid().RowCount(), 0);
    EXPECT_EQ(w.lblInfo()->text(), QStringLiteral("No files found."));
    EXPECT_TRUE(w.cmd(frmMain::kExport)->isEnabled());
    EXPECT_TRUE(messages_->shown.empty());
}

TEST_F(WindowTest, CancelWritesTheSummaryAtOnceAndSearchWaitsForTheWalkToUnwind)
{
    for (int i = 0; i < 30; ++i) WriteFile(QStringLiteral("f%1.exe").arg(i, 2, 10, QLatin1Char('0')));
    frmMain& w = OpenWindow();
    bool cancelled = false;
    QString summaryAtCancel;
    bool searchEnabledWhileUnwinding = false;
    onYield = [&] {
        if (cancelled) {
            searchEnabledWhileUnwinding |= w.cmd(frmMain::kSearch)->isEnabled();
            return;
        }
        if (w.Grid().RowCount() == 5) {
            w.cmd(frmMain::kCancel)->click();
            cancelled = true;
            summaryAtCancel = w.lblInfo()->text();
            EXPECT_FALSE(w.cmd(frmMain::kCancel)->isEnabled());
            EXPECT_TRUE(w.cmd(frmMain::kExport)->isEnabled());
            searchEnabledWhileUnwinding |= w.cmd(frmMain::kSearch)->isEnabled();
        }
    };
    Search(TreePath(), QStringLiteral("*.exe"));
    ASSERT_TRUE(cancelled);
    EXPECT_EQ(summaryAtCancel, QStringLiteral("5 files found. (search cancelled)"));
    EXPECT_FALSE(searchEnabledWhileUnwinding);
    const int rows = w.Grid().RowCount();
    EXPECT_TRUE(rows == 5 || rows == 6) << rows;
    EXPECT_EQ(w.lblInfo()->text(), QString::number(rows) + QStringLiteral(" files found. (search cancelled)"));
    EXPECT_TRUE(w.cmd(frmMain::kSearch)->isEnabled());
    // The next search that runs to its end reads as finished.
    onYield = nullptr;
    Search(TreePath(), QStringLiteral("*.exe"));
    EXPECT_EQ(w.lblInfo()->text(), QStringLiteral("30 files found."));
    // A cancelled walk never left rows behind without their file name.
    for (int row = 0; row < rows; ++row) EXPECT_FALSE(CellText(row, 0).empty());
}

TEST_F(WindowTest, HeadingNotificationsAlternateAndRestartOnAnotherColumn)
{
    WriteFile(QStringLiteral("b.exe"), 30);
    WriteFile(QStringLiteral("a.exe"), 20);
    WriteFile(QStringLiteral("c.exe"), 10);
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.exe"));
    grid::ResultGrid& table = w.Grid();

    // Right after a search the first click on "Filename" reverses it.
    emit w.grd()->columnNotification(1);
    EXPECT_EQ(FileNameColumn(table), (std::vector<std::string>{"c.exe", "b.exe", "a.exe"}));
    std::vector<int> orders;
    for (int click = 0; click < 3; ++click) {
        emit w.grd()->columnNotification(3);
        orders.push_back(table.Column(3).SortOrder());
    }
    EXPECT_EQ(orders, (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(FileNameColumn(table), (std::vector<std::string>{"c.exe", "a.exe", "b.exe"}));
    emit w.grd()->columnNotification(5);
    EXPECT_EQ(table.Column(3).SortOrder(), grid::kSortNone);
    EXPECT_EQ(table.Column(5).SortOrder(), grid::kSortAscending);
    emit w.grd()->columnNotification(3);
    EXPECT_EQ(table.Column(3).SortOrder(), grid::kSortAscending);
    // The summary line is the tail's, not the notification's.
    EXPECT_EQ(w.lblInfo()->text(), QStringLiteral("3 files found."));
}

TEST_F(WindowTest, TheStatusLineNamesEvery25thFolderOfTheWindowsLife)
{
    for (int i = 0; i < 60; ++i) ASSERT_TRUE(QDir(TreePath()).mkpath(QStringLiteral("d%1").arg(i)));
    frmMain& w = OpenWindow();
    std::set<QString> named;
    onYield = [&] {
        if (w.lblInfo()->text().startsWith(QStringLiteral("Now in "))) named.insert(w.lblInfo()->text());
    };
    Search(TreePath(), QStringLiteral("*.exe"));
    EXPECT_EQ(named.size(), 3u);
    EXPECT_EQ(w.FolderCounter(), 60);

    // The count goes on across searches: of 20 more folders only the 76th of
    // the window's life is named.
    named.clear();
    Search(TreePath() + QStringLiteral("/d0"), QStringLiteral("*.exe"));
    EXPECT_TRUE(named.empty());
    QTemporaryDir second;
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(QDir(second.path()).mkpath(QStringLiteral("e%1").arg(i)));
    Search(second.path(), QStringLiteral("*.exe"));
    EXPECT_EQ(named.size(), 1u);
    EXPECT_EQ(w.FolderCounter(), 80);

    // Without subfolders no folder is entered or counted.
    Search(second.path(), QStringLiteral("*.exe"), false);
    EXPECT_EQ(w.FolderCounter(), 80);
}

TEST_F(WindowTest, AFileThatVanishesGetsEmptyFactsAndTheSearchGoesOn)
{
    WriteFile(QStringLiteral("a.exe"), 100);
    WriteFile(QStringLiteral("b.exe"), 100);
    frmMain& w = OpenWindow();
    bool removed = false;
    onYield = [&] {
        if (!removed && w.lblInfo()->text().endsWith(QStringLiteral("(1 files found)"))) {
            removed = true;
            QFile::remove(TreePath() + QStringLiteral("/a.exe"));
            QFile::remove(TreePath() + QStringLiteral("/b.exe"));
        }
    };
    Search(TreePath(), QStringLiteral("*.exe"));
    ASSERT_TRUE(removed);
    ASSERT_GE(w.Grid().RowCount(), 1);
    EXPECT_TRUE(messages_->shown.empty());
    for (int row = 0; row < w.Grid().RowCount(); ++row) {
        EXPECT_FALSE(CellText(row, 0).empty());
        EXPECT_TRUE(std::holds_alternative<std::monostate>(w.Grid().CellValueAt(row, 3)));
        EXPECT_EQ(std::get<platform::FixedDecimal>(w.Grid().CellValueAt(row, 2)), platform::FixedDecimal());
    }
    EXPECT_EQ(w.lblInfo()->text(), QString::number(w.Grid().RowCount()) + QStringLiteral(" files found."));
}

// The table view learns of found rows in batches; a sort during the walk and
// the end of the walk both bring it level with the table, every cell shown.
TEST_F(WindowTest, TheTableViewShowsEveryFoundRowAfterSortsDuringAndAtTheEnd)
{
    for (int i = 0; i < 30; ++i) WriteFile(QStringLiteral("f%1.exe").arg(29 - i, 2, 10, QLatin1Char('0')));
    frmMain& w = OpenWindow();
    QTableView& view = *w.grd()->Table();
    bool sorted = false;
    int viewRowsAfterSort = -1;
    QString firstShownAfterSort;
    std::string smallestAfterSort;
    onYield = [&] {
        QCoreApplication::processEvents();
        if (!sorted && w.Grid().RowCount() == 10) {
            sorted = true;
            emit w.grd()->columnNotification(1);
            viewRowsAfterSort = view.verticalHeader()->count();
            firstShownAfterSort = view.model()->index(0, 0).data().toString();
            const std::vector<std::string> names = FileNameColumn(w.Grid());
            smallestAfterSort = *std::min_element(names.begin(), names.end());
        }
    };
    Search(TreePath(), QStringLiteral("*.exe"));
    ASSERT_TRUE(sorted);
    EXPECT_EQ(viewRowsAfterSort, 10);
    EXPECT_EQ(firstShownAfterSort.toStdString(), smallestAfterSort);
    ASSERT_EQ(w.Grid().RowCount(), 30);
    EXPECT_EQ(view.verticalHeader()->count(), 30);
    for (int row = 0; row < 30; ++row) {
        EXPECT_EQ(view.model()->index(row, 0).data().toString().toStdString(), CellText(row, 0));
        EXPECT_EQ(view.model()->index(row, 4).data().toString().toStdString(), CellText(row, 4));
    }
    EXPECT_EQ(CellText(0, 0), "f00.exe");
}

} // namespace

TEST_F(WindowTest, TheTrustStoreIsLoadedRememberedAndRefusedWhenItHoldsNoCertificate)
{
    const QString pem = TreePath() + QStringLiteral("/trust.pem");
    QFile file(pem);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // A throw-away self-signed certificate (its key was not kept).
    file.write("-----BEGIN CERTIFICATE-----\n"
               "MIIBkDCCATegAwIBAgIUHzGvg1VZky+RA67ithgh2R+dQ9EwCgYIKoZIzj0EAwIw\n"
               "HjEcMBoGA1UEAwwTTHVtYnJlbCBXaW5kb3cgVGVzdDAeFw0yNjEyMDgxNDIzMTda\n"
               "Fw0zNjEyMDUxNDIzMTdaMB4xHDAaBgNVBAMME0x1bWJyZWwgV2luZG93IFRlc3Qw\n"
               "WTATBgcqhkjOPQIBBggqhkjOPQMBBwNCAARQMC5FjTHVVtu3CoFfT1ZhS+VduwHq\n"
               "B62KbK6+EQLVPG4O6Q+gwpJpY3VukH94ICBJEVBKBv2zCNpQTyBHKg0Ro1MwUTAd\n"
               "BgNVHQ4EFgQUXR/G4EI+uBRNvIlHQd3Odnr9Q3AwHwYDVR0jBBgwFoAUXR/G4EI+\n"
               "uBRNvIlHQd3Odnr9Q3AwDwYDVR0TAQH/BAUwAwEB/zAKBggqhkjOPQQDAgNHADBE\n"
               "AiBEUSq+rZGni/2Wiy+tn1jjmJ+5mQVEd8XRGbTbLop1AQIgNySRQc9G7oRf8eRM\n"
               "OJXbEOD5dNQzCxq9qWMdSzXCcDo=\n"
               "-----END CERTIFICATE-----\n");
    file.close();
    WriteFile(QStringLiteral("no-certificate.pem"));

    frmMain& w = OpenWindow();
    EXPECT_FALSE(w.SetTrustStorePath(TreePath() + QStringLiteral("/no-certificate.pem")));
    ASSERT_EQ(messages_->shown.size(), 1u);
    EXPECT_EQ(w.TrustStorePath(), QString());
    EXPECT_EQ(VORN_STD_library::TrustStoreInUse(), nullptr);

    ASSERT_TRUE(w.SetTrustStorePath(pem));
    EXPECT_NE(VORN_STD_library::TrustStoreInUse(), nullptr);
    w.close();
    window.reset();
    VORN_STD_library::UseTrustStore(nullptr);
    // The next start loads the remembered store again.
    EXPECT_EQ(OpenWindow().TrustStorePath(), pem);
    EXPECT_NE(VORN_STD_library::TrustStoreInUse(), nullptr);
    ASSERT_TRUE(window->SetTrustStorePath(QString()));
    EXPECT_EQ(VORN_STD_library::TrustStoreInUse(), nullptr);

    // A remembered store that is gone is named at start, and not used.
    ASSERT_TRUE(window->SetTrustStorePath(pem));
    window->close();
    window.reset();
    ASSERT_TRUE(QFile::remove(pem));
    OpenWindow();
    EXPECT_EQ(VORN_STD_library::TrustStoreInUse(), nullptr);
    ASSERT_EQ(messages_->warnings.size(), 1u);
    EXPECT_TRUE(messages_->warnings[0].contains(QStringLiteral("trust store")));
}
