// Start-up (caption, remembered settings, status, buttons, table columns,
// focus) and shut-down (settings saved exactly as the boxes hold them).
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "VORN_STD_library/PathHelpers.h"
#include "tests/window/WindowFixture.h"

namespace {

const QString kSection = QStringLiteral("settings");

TEST_F(WindowTest, FirstStartShowsDefaultsReadyAndTheEightColumns)
{
    frmMain& w = OpenWindow();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle().toStdString(), "VORN Lumbrel " + VORN_STD_library::AppVersionText());
    EXPECT_EQ(w.txt(0)->text(), QStringLiteral("*.exe;*.ocx;*.dll"));
    EXPECT_EQ(w.txt(1)->text(), QStringLiteral("/"));
    EXPECT_EQ(w.lblInfo()->text(), QStringLiteral("Ready."));
    EXPECT_TRUE(w.cmd(frmMain::kSearch)->isEnabled());
    EXPECT_FALSE(w.cmd(frmMain::kCancel)->isEnabled());
    EXPECT_FALSE(w.cmd(frmMain::kExport)->isEnabled());
    EXPECT_TRUE(w.cmd(frmMain::kBrowse)->isEnabled());
    EXPECT_TRUE(w.chk()->isChecked());
    EXPECT_EQ(w.focusWidget(), w.txt(0));

    struct Expected {
        const char* key;
        const char* caption;
        float width;
        int dataType;
        int alignment;
        const char* format;
    };
    const Expected expected[] = {
        {"filename", "Filename", 1500, 8, 0, ""}, {"version", "Version", 1200, 8, 6, ""},
        {"size", "Size", 900, 3, 6, "#,0"},      {"date", "Date", 1800, 7, 0, ""},
        {"path", "Path", 1800, 8, 0, ""},        {"desc", "Description", 1800, 8, 0, ""},
        {"product", "Product", 1800, 8, 0, ""},  {"company", "Company", 1800, 8, 0, ""},
    };
    grid::ResultGrid& table = w.Grid();
    EXPECT_EQ(table.RowCount(), 0);
    ASSERT_EQ(table.ColumnCount(), 8);
    for (int position = 1; position <= 8; ++position) {
        const grid::GridColumn& column = table.Column(position);
        const Expected& want = expected[position - 1];
        SCOPED_TRACE(want.key);
        EXPECT_EQ(column.Key(), want.key);
        EXPECT_EQ(column.Caption(), want.caption);
        EXPECT_EQ(column.Width(), want.width);
        EXPECT_EQ(column.DataType(), want.dataType);
        EXPECT_EQ(column.CellStyle().TextAlignment(), want.alignment);
        EXPECT_EQ(column.CellStyle().Format(), want.format);
    }
}

TEST_F(WindowTest, StoredValuesAreRestoredEvenWhenEmpty)
{
    Settings().Write(kSection, QStringLiteral("lastfilter"), QString());
    Settings().Write(kSection, QStringLiteral("lastpath"), QStringLiteral(" /srv/a b "));
    frmMain& w = OpenWindow();
    EXPECT_EQ(w.txt(0)->text(), QString());
    EXPECT_EQ(w.txt(1)->text(), QStringLiteral(" /srv/a b "));
}

TEST_F(WindowTest, ClosingSavesWhatTheBoxesHoldNeverSearched)
{
    frmMain& w = OpenWindow();
    w.txt(0)->setText(QStringLiteral("*.sys; *.drv"));
    w.txt(1)->setText(QString());
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(Settings().Read(kSection, QStringLiteral("lastfilter"), QStringLiteral("?")),
              QStringLiteral("*.sys; *.drv"));
    EXPECT_EQ(Settings().Read(kSection, QStringLiteral("lastpath"), QStringLiteral("?")), QString());
    EXPECT_TRUE(messages_->shown.empty());
}

TEST_F(WindowTest, ClosingDuringASearchSavesStopsAndSkipsTheSummary)
{
    for (int i = 0; i < 20; ++i) WriteFile(QStringLiteral("f%1.exe").arg(i));
    frmMain& w = OpenWindow();
    int closedAtRows = -1;
    onYield = [&] {
        if (closedAtRows < 0 && w.Grid().RowCount() == 3) {
            w.txt(0)->setText(QStringLiteral("*.exe;*.dll"));
            closedAtRows = 3;
            w.close();
        }
    };
    Search(TreePath(), QStringLiteral("*.exe"));
    EXPECT_EQ(closedAtRows, 3);
    EXPECT_FALSE(w.Searching());
    EXPECT_FALSE(w.isVisible());
    // The walk stopped right away: at most the file being reported got its row.
    EXPECT_LE(w.Grid().RowCount(), 4);
    EXPECT_FALSE(w.lblInfo()->text().endsWith(QStringLiteral("files found.")));
    EXPECT_NE(w.lblInfo()->text(), QStringLiteral("No files found."));
    EXPECT_EQ(Settings().Read(kSection, QStringLiteral("lastfilter"), QString()), QStringLiteral("*.exe;*.dll"));
    EXPECT_EQ(Settings().Read(kSection, QStringLiteral("lastpath"), QString()), TreePath());
}

TEST_F(WindowTest, ASettingsFailureIsReportedAndTheWindowStaysUsable)
{
    // A settings "folder" that is a file cannot take the settings file.
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    QFile blocker(QString::fromLocal8Bit(configHome) + QStringLiteral("/blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto failing = std::make_shared<desktop::QtSettingsStore>(QStringLiteral("blocked"));
    WindowServices services;
    services.settings = failing;
    services.handOff = handOff_;
    services.messages = messages_;
    services.programFolder = [] { return std::string("/"); };
    services.documentsFolder = [] { return std::string("/"); };
    window = std::make_unique<frmMain>(std::move(services));
    Search(TreePath(), QStringLiteral("*.exe"));
    ASSERT_EQ(messages_->shown.size(), 1u);
    EXPECT_EQ(messages_->shown[0].first, QStringLiteral("search"));
    EXPECT_FALSE(messages_->shown[0].second.isEmpty());
    EXPECT_FALSE(window->Searching());
    EXPECT_TRUE(window->cmd(frmMain::kSearch)->isEnabled());
    EXPECT_FALSE(window->cmd(frmMain::kCancel)->isEnabled());
    EXPECT_EQ(window->lblInfo()->text(), QStringLiteral("No files found."));
    blocker.remove();
}

} // namespace
