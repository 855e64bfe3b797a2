// The export command (numbered files in the folder written to, hand-off,
// fallback to the documents folder, failure shown) and the browse command.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "tests/window/WindowFixture.h"

namespace {

std::string Today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
}

bool Exists(const std::string& path)
{
    return QFileInfo::exists(QFile::decodeName(QByteArray::fromStdString(path)));
}

TEST_F(WindowTest, ExportsOnOneDayAreNumberedInTheFolderWrittenTo)
{
    WriteFile(QStringLiteral("a.exe"));
    // An export of an earlier day with a higher number does not count.
    QFile earlier(QString::fromStdString(programFolderPath) + QStringLiteral("/zr2001-02-03#007.xls"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.close();
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.exe"));
    w.cmd(frmMain::kExport)->click();
    w.cmd(frmMain::kExport)->click();

    const std::string stem = programFolderPath + "/zr" + Today() + "#";
    ASSERT_EQ(handOff_->opened, (std::vector<std::string>{stem + "001.xls", stem + "002.xls"}));
    EXPECT_TRUE(Exists(stem + "001.xls"));
    EXPECT_TRUE(Exists(stem + "002.xls"));
    EXPECT_TRUE(messages_->shown.empty());
    EXPECT_EQ(w.Grid().RowCount(), 1);
    // The status line says where the file went.
    EXPECT_EQ(w.lblInfo()->text(), QStringLiteral("1 files found. Exported to ") + QString::fromStdString(stem) +
                                        QStringLiteral("002.xls"));
}

TEST_F(WindowTest, AnEmptyTableStillExportsItsHeadingsAndHandsTheFileOff)
{
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.exe"));
    w.cmd(frmMain::kExport)->click();
    ASSERT_EQ(handOff_->opened.size(), 1u);
    EXPECT_TRUE(Exists(handOff_->opened[0]));
    EXPECT_GT(QFileInfo(QString::fromStdString(handOff_->opened[0])).size(), 0);
    EXPECT_EQ(w.lblInfo()->text(),
              QStringLiteral("No files found. Exported to ") + QString::fromStdString(handOff_->opened[0]));
}

TEST_F(WindowTest, AnUnwritableProgramFolderSendsTheExportToTheDocumentsFolder)
{
    programFolderPath += "/missing/folder";
    documentsFolderPath += "/Documents";
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.exe"));
    w.cmd(frmMain::kExport)->click();
    ASSERT_EQ(handOff_->opened, std::vector<std::string>{documentsFolderPath + "/zr" + Today() + "#001.xls"});
    EXPECT_TRUE(Exists(handOff_->opened[0]));
    EXPECT_TRUE(messages_->shown.empty());
}

TEST_F(WindowTest, WhenNoFolderTakesTheExportTheUserIsToldAndTheTableStays)
{
    WriteFile(QStringLiteral("a.exe"));
    WriteFile(QStringLiteral("b.exe"));
    // Files where the folders should be: nothing can be written below them.
    WriteFile(QStringLiteral("blockers/program"));
    WriteFile(QStringLiteral("blockers/documents"));
    programFolderPath = QFile::encodeName(TreePath()).toStdString() + "/blockers/program";
    documentsFolderPath = QFile::encodeName(TreePath()).toStdString() + "/blockers/documents";
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.exe"));
    w.cmd(frmMain::kExport)->click();
    EXPECT_TRUE(handOff_->opened.empty());
    ASSERT_EQ(messages_->shown.size(), 1u);
    EXPECT_EQ(messages_->shown[0].first, QStringLiteral("export"));
    EXPECT_TRUE(messages_->shown[0].second.contains(QString::fromStdString(programFolderPath)));
    EXPECT_TRUE(messages_->shown[0].second.contains(QString::fromStdString(documentsFolderPath)));
    EXPECT_EQ(w.Grid().RowCount(), 2);
    EXPECT_EQ(w.lblInfo()->text(), QStringLiteral("2 files found."));
    EXPECT_TRUE(w.cmd(frmMain::kExport)->isEnabled());
    EXPECT_TRUE(w.cmd(frmMain::kSearch)->isEnabled());
}

TEST_F(WindowTest, BrowseCancelKeepsThePathAndAChosenFolderReplacesIt)
{
    frmMain& w = OpenWindow();
    w.txt(1)->setText(QStringLiteral("/typed/path"));
    picker_->answer.clear();
    w.cmd(frmMain::kBrowse)->click();
    EXPECT_EQ(w.txt(1)->text(), QStringLiteral("/typed/path"));
    // The tail runs after every command, so "Ready." is gone.
    EXPECT_EQ(w.lblInfo()->text(), QStringLiteral("No files found."));
    ASSERT_EQ(picker_->requests.size(), 1u);
    EXPECT_EQ(picker_->requests[0].owner, &w);
    EXPECT_FALSE(picker_->requests[0].allowNewFolder);
    EXPECT_TRUE(picker_->requests[0].startFolder.empty());
    EXPECT_TRUE(picker_->requests[0].title.empty());

    picker_->answer = "/srv/chosen/";
    w.cmd(frmMain::kBrowse)->click();
    EXPECT_EQ(w.txt(1)->text(), QStringLiteral("/srv/chosen"));
    picker_->answer = "/";
    w.cmd(frmMain::kBrowse)->click();
    EXPECT_EQ(w.txt(1)->text(), QStringLiteral("/"));
}

TEST_F(WindowTest, BrowseDuringASearchChangesOnlyTheBox)
{
    WriteFile(QStringLiteral("a.exe"));
    WriteFile(QStringLiteral("b.exe"));
    frmMain& w = OpenWindow();
    picker_->answer = "/elsewhere";
    bool browsed = false;
    onYield = [&] {
        if (!browsed && w.Grid().RowCount() == 1) {
            browsed = true;
            w.cmd(frmMain::kBrowse)->click();
        }
    };
    Search(TreePath(), QStringLiteral("*.exe"));
    ASSERT_TRUE(browsed);
    EXPECT_EQ(w.txt(1)->text(), QStringLiteral("/elsewhere"));
    EXPECT_EQ(w.Grid().RowCount(), 2);
    EXPECT_EQ(w.lblInfo()->text(), QStringLiteral("2 files found."));
}

} // namespace

TEST_F(WindowTest, AnExportThatCutsLongCellsSaysSo)
{
    WriteFile(QStringLiteral("a.exe"));
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.exe"));
    w.cmd(frmMain::kExport)->click();
    EXPECT_TRUE(messages_->warnings.empty());

    w.Grid().SetCellValue(0, 5, std::string(40000, 'd'));
    w.Grid().SetCellValue(0, 6, std::string(32768, 'p'));
    w.cmd(frmMain::kExport)->click();
    ASSERT_EQ(messages_->warnings.size(), 1u);
    EXPECT_TRUE(messages_->warnings[0].startsWith(QStringLiteral("2 cells of "))) << messages_->warnings[0].toStdString();
    EXPECT_EQ(handOff_->opened.size(), 2u);
}
