// The window as people work in it: every value readable, rows that can be
// copied, opened and inspected, the keyboard, plain words for mistakes and
// for where a file went, readable colours in light and dark schemes.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QToolTip>

#include <unistd.h>

#include <cmath>
#include <map>

#include "cDisk/ResultFacts.h"
#include "frmMain/PropertiesDialog.h"
#include "grid/ResultGridView.h"
#include "tests/window/WindowFixture.h"

namespace {

QString FixturePath(const char* name)
{
    return QStringLiteral(LUMBREL_FIXTURES_DIR "/pe/") + QString::fromLatin1(name);
}

void ShowActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

QString ShownText(const QTableView& table, int row, int column)
{
    return table.model()->index(row, column).data().toString();
}

TEST_F(WindowTest, ColumnsFitTheirContentsCutCellsShowTooltipsAndDraggedWidthsAreKept)
{
    const QString deep = QStringLiteral("a-rather-long-folder-name-that-needs-room/and-another-long-one");
    WriteFile(deep + QStringLiteral("/a-file-with-a-rather-long-name-for-its-column.dll"), 5 * 1024 * 1024);
    ASSERT_TRUE(QFile::copy(FixturePath("two_translations.dll"), TreePath() + QStringLiteral("/two.dll")));
    frmMain& w = OpenWindow();
    w.resize(1600, 700);
    Search(TreePath(), QStringLiteral("*.dll"));

    QTableView* table = w.grd()->Table();
    const QFontMetrics metrics(table->font());
    const int half = table->viewport()->width() / 2;
    const int path = w.Grid().ColumnByKey("path")->CellColumn();
    int total = 0;
    for (int column = 0; column < table->model()->columnCount(); ++column) {
        if (table->isColumnHidden(column)) continue;
        total += table->columnWidth(column);
        if (column == path) continue;
        EXPECT_LE(table->columnWidth(column), half);
        for (int row = 0; row < table->model()->rowCount(); ++row)
            EXPECT_GT(table->columnWidth(column), metrics.horizontalAdvance(ShownText(*table, row, column)))
                << ShownText(*table, row, column).toStdString();
    }
    // The path column takes what the others leave.
    EXPECT_GE(total, table->viewport()->width());

    // A cell cut by a dragged width shows its whole text as the tooltip.
    table->horizontalHeader()->resizeSection(0, 30);
    const QRect cell = table->visualRect(table->model()->index(0, 0));
    QHelpEvent hover(QEvent::ToolTip, cell.center(), table->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(table->viewport(), &hover);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("a-file-with-a-rather-long-name-for-its-column.dll"));

    // The dragged width outlives the next fit and the window itself, with
    // the window's size.
    Search(TreePath(), QStringLiteral("*.dll"));
    EXPECT_EQ(table->columnWidth(0), 30);
    w.close();
    frmMain& again = OpenWindow();
    EXPECT_EQ(again.grd()->Table()->columnWidth(0), 30);
    EXPECT_EQ(again.size(), QSize(1600, 700));
}

TEST_F(WindowTest, RowMenuCopiesRowsAndPathsOpensTheFolderAndShowsEveryFact)
{
    WriteFile(QStringLiteral("b.exe"), 1234);
    ASSERT_TRUE(QFile::copy(FixturePath("two_translations.dll"), TreePath() + QStringLiteral("/two.dll")));
    frmMain& w = OpenWindow();
    ShowActive(w);
    Search(TreePath(), QStringLiteral("*.exe;*.dll"));
    const QString root = TreePath() + QLatin1Char('/');
    QTableView* table = w.grd()->Table();
    QClipboard* clipboard = QApplication::clipboard();

    table->selectAll();
    QMenu* menu = w.BuildRowMenu();
    QStringList captions;
    for (QAction* action : menu->actions()) captions.append(action->text());
    EXPECT_EQ(captions, (QStringList{"Copy", "Copy full path", "Open containing folder", "Properties", "",
                                     QStringLiteral("Save as\u2026"), "", QStringLiteral("Compare with\u2026"),
                                     "Clear comparison"}));
    EXPECT_TRUE(menu->actions()[7]->isEnabled());
    EXPECT_FALSE(menu->actions()[8]->isEnabled()) << "no comparison is shown";
    menu->actions()[0]->trigger();
    const QString date = QString::fromStdString(std::get<platform::DateTime>(w.Grid().CellValueAt(0, 3)).ToIsoText());
    const QStringList lines = clipboard->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("Filename\tVersion\tSize\tDate\tPath\tDescription\tProduct\tCompany"));
    EXPECT_EQ(lines[1], QStringLiteral("b.exe\t\t1234\t") + date + QLatin1Char('\t') + root + QStringLiteral("\t\t\t"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("two.dll\t2.0.50727.42\t"))) << lines[2].toStdString();

    // Ctrl+C in the table copies the selection the same way.
    table->setFocus();
    table->selectRow(1);
    clipboard->clear();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text().count(QLatin1Char('\n')), 2);
    EXPECT_TRUE(clipboard->text().contains(QStringLiteral("\ntwo.dll\t")));

    menu->actions()[1]->trigger();
    EXPECT_EQ(clipboard->text(), root + QStringLiteral("two.dll"));
    menu->actions()[2]->trigger();
    EXPECT_EQ(handOff_->opened, std::vector<std::string>{QFile::encodeName(root).toStdString()});
    delete menu;

    // A double-click opens the properties: every fact of the catalogue and
    // every translation's strings.
    const QRect row = table->visualRect(table->model()->index(1, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row.center());
    const QList<PropertiesDialog*> dialogs = w.findChildren<PropertiesDialog*>();
    ASSERT_EQ(dialogs.size(), 1);
    const QString properties = dialogs.front()->CopyText();
    for (const ResultFact& fact : AllResultFacts()) {
        if (!fact.column.jsonDocument) {
            EXPECT_TRUE(properties.contains(QLatin1Char('\n') + QString::fromUtf8(fact.column.caption) + '\t') ||
                        properties.startsWith(QString::fromUtf8(fact.column.caption) + '\t'))
                << fact.column.caption;
        }
    }
    for (const char* line : {"Filename\ttwo.dll\n", "Translation 040704E4\t", "CompanyName\tDeutsche Firma\n",
                             "Translation 040904B0\t", "CompanyName\tEnglish Company\n",
                             "ProductName\tEnglish Product\n"})
        EXPECT_TRUE(properties.contains(QString::fromUtf8(line))) << line;
    dialogs.front()->Table()->selectRow(0);
    dialogs.front()->Copy();
    EXPECT_EQ(clipboard->text(), QStringLiteral("Filename\ttwo.dll\n"));
}

// A copy of thousands of rows is made in pieces: the text must come out the
// same as the rows written one by one (escapes and letters beyond ASCII
// included, none lost or split where the pieces meet).
TEST_F(WindowTest, CopyOfManyRowsGivesEveryRowAsItsCellsAreWritten)
{
    frmMain& w = OpenWindow();
    constexpr int kRows = 5000;
    QString expected = QStringLiteral("Filename\tVersion\tSize\tDate\tPath\tDescription\tProduct\tCompany\n");
    w.Grid().SetRowCount(kRows);
    for (int row = 0; row < kRows; ++row) {
        const platform::DateTime date = platform::DateTime::FromUnixUtc(946684800 + row * 86461LL);
        w.Grid().SetCellValue(row, 0, "\xC3\xA9t\xC3\xA9" + std::to_string(row) + "\t.dll");
        w.Grid().SetCellValue(row, 2, platform::FixedDecimal::FromWhole(row * 1000003LL));
        w.Grid().SetCellValue(row, 3, date);
        w.Grid().SetCellValue(row, 4, std::string("/srv/a\\b/"));
        expected += QStringLiteral("\u00E9t\u00E9%1\\t.dll\t\t%2\t%3\t/srv/a\\\\b/\t\t\t\n")
                        .arg(row)
                        .arg(row * 1000003LL)
                        .arg(QString::fromStdString(date.ToIsoText()));
    }
    w.grd()->Table()->selectAll();
    const QString copied = w.SelectedRowsText();
    ASSERT_EQ(copied.size(), expected.size());
    EXPECT_TRUE(copied == expected);
}

TEST_F(WindowTest, TheKeyboardSearchesCancelsAndLeavesTheTable)
{
    for (int i = 0; i < 30; ++i) WriteFile(QStringLiteral("f%1.exe").arg(i, 2, 10, QLatin1Char('0')));
    frmMain& w = OpenWindow();
    ShowActive(w);
    w.txt(1)->setText(TreePath());
    w.txt(0)->setText(QStringLiteral("f0*.exe"));
    QTest::keyClick(w.txt(0), Qt::Key_Return);
    EXPECT_EQ(w.Grid().RowCount(), 10);

    // Esc while the walk runs cancels it.
    w.txt(0)->setText(QStringLiteral("*.exe"));
    bool escaped = false;
    onYield = [&] {
        if (escaped || w.Grid().RowCount() < 5) return;
        escaped = true;
        QTest::keyClick(w.txt(1), Qt::Key_Escape);
    };
    QTest::keyClick(w.txt(1), Qt::Key_Enter);
    EXPECT_TRUE(escaped);
    EXPECT_LT(w.Grid().RowCount(), 30);
    EXPECT_TRUE(w.lblInfo()->text().endsWith(QStringLiteral(" (search cancelled)")));

    onYield = nullptr;
    QTest::keyClick(&w, Qt::Key_F5);
    EXPECT_EQ(w.Grid().RowCount(), 30);
    w.txt(0)->setText(QStringLiteral("f1*.exe"));
    w.cmd(frmMain::kSearch)->setFocus();
    QTest::keyClick(w.cmd(frmMain::kSearch), Qt::Key_Return);
    EXPECT_EQ(w.Grid().RowCount(), 10);

    // Tab and Shift+Tab leave the table along the tab order ("cancel" is
    // disabled, so back-tab lands on "export").
    QTableView* table = w.grd()->Table();
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.chkHidden());
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), w.cmd(frmMain::kExport));
}

TEST_F(WindowTest, MistakesAreNamedInTheStatusLineAndTheRowsStay)
{
    WriteFile(QStringLiteral("a.exe"));
    WriteFile(QStringLiteral("b.exe"));
    WriteFile(QStringLiteral("locked/c.exe"));
    frmMain& w = OpenWindow();
    Search(TreePath(), QStringLiteral("*.exe"), false);
    ASSERT_EQ(w.Grid().RowCount(), 2);

    const QString missing = TreePath() + QStringLiteral("/missing");
    const QString file = TreePath() + QStringLiteral("/a.exe");
    const QString locked = TreePath() + QStringLiteral("/locked");
    struct Case {
        QString path, filter, status;
    };
    std::vector<Case> cases = {
        {missing, QStringLiteral("*.exe"),
         QStringLiteral("The folder ") + missing + QStringLiteral(" does not exist.")},
        {file, QStringLiteral("*.exe"), file + QStringLiteral(" is a file, not a folder.")},
        {TreePath(), QString(), QStringLiteral("The filter is empty.")},
        {TreePath(), QStringLiteral(";;"), QStringLiteral("The filter is empty.")},
    };
    // The superuser reads every folder.
    if (::geteuid() != 0) {
        ASSERT_TRUE(QFile::setPermissions(locked, {}));
        cases.push_back(
            {locked, QStringLiteral("*.exe"), locked + QStringLiteral(" cannot be read: Permission denied.")});
    }
    for (const Case& c : cases) {
        Search(c.path, c.filter, false);
        EXPECT_EQ(w.lblInfo()->text(), c.status);
        EXPECT_EQ(w.Grid().RowCount(), 2) << c.status.toStdString();
        EXPECT_TRUE(w.cmd(frmMain::kSearch)->isEnabled());
        EXPECT_TRUE(w.cmd(frmMain::kExport)->isEnabled());
    }
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(messages_->shown.empty());
}

TEST_F(WindowTest, SaveAsWritesTheTableWhereTheUserSaidAndTellsWhere)
{
    WriteFile(QStringLiteral("a.exe"), 300);
    WriteFile(QStringLiteral("b.exe"), 100);
    frmMain& w = OpenWindow();
    ShowActive(w);
    Search(TreePath(), QStringLiteral("*.exe"));
    const QString target = QString::fromStdString(documentsFolderPath) + QStringLiteral("/mine.xls");
    QFile existing(target);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("old");
    existing.close();

    // Cancelling the dialog writes nothing.
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    // The formats of the command line, from its one list.
    for (const char* extension : {"(*.xls)", "(*.csv)", "(*.jsonl)", "(*.tsv)"})
        EXPECT_TRUE(offeredFilters.join(' ').contains(QString::fromLatin1(extension))) << extension;
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("old"));
    existing.close();

    // The dialog confirmed the replacement: the workbook takes its place.
    saveAnswer = target;
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.read(4), QByteArray("\xD0\xCF\x11\xE0", 4));
    existing.close();
    EXPECT_EQ(w.lblInfo()->text(), QStringLiteral("2 files found. Saved to ") + target);

    // Rows go in the order shown: here by size, largest first; hidden
    // columns stay out.
    w.grd_ColumnNotification(3);
    w.grd_ColumnNotification(3);
    w.SetFactShown("date", false);
    saveExtension = QStringLiteral("csv");
    saveAnswer = QString::fromStdString(documentsFolderPath) + QStringLiteral("/mine.csv");
    w.SaveAsCommand();
    QFile csv(saveAnswer);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QByteArray("Filename,Version,Size,Path,Description,Product,Company\r"));
    EXPECT_TRUE(lines[1].startsWith("a.exe,,300,")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("b.exe,,100,")) << lines[2].toStdString();
    EXPECT_TRUE(messages_->shown.empty());
}

// WCAG relative luminance and contrast ratio.
double Luminance(QRgb colour)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) + 0.0722 * channel(qBlue(colour));
}

double Contrast(QRgb a, QRgb b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of the text in a region of a grabbed image: its commonest
// colour is the surface, the pixel that stands out most the text.
double TextContrast(const QImage& image, const QRect& region)
{
    std::map<QRgb, int> counts;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) ++counts[image.pixel(x, y) | 0xFF000000u];
    const QRgb surface =
        std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    double best = 1.0;
    for (const auto& [colour, count] : counts) best = std::max(best, Contrast(colour, surface));
    return best;
}

QPalette DarkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xDD, 0xDD, 0xDD));
    dark.setColor(QPalette::Base, QColor(0x2A, 0x2A, 0x2A));
    dark.setColor(QPalette::AlternateBase, QColor(0x42, 0x42, 0x42));
    dark.setColor(QPalette::Text, QColor(0xDD, 0xDD, 0xDD));
    dark.setColor(QPalette::Button, QColor(0x45, 0x45, 0x45));
    dark.setColor(QPalette::ButtonText, QColor(0xDD, 0xDD, 0xDD));
    dark.setColor(QPalette::BrightText, Qt::red);
    dark.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    dark.setColor(QPalette::Light, QColor(0x60, 0x60, 0x60));
    dark.setColor(QPalette::Midlight, QColor(0x50, 0x50, 0x50));
    dark.setColor(QPalette::Mid, QColor(0x40, 0x40, 0x40));
    dark.setColor(QPalette::Dark, QColor(0x23, 0x23, 0x23));
    dark.setColor(QPalette::Shadow, Qt::black);
    return dark;
}

TEST_F(WindowTest, EveryTextIsReadableInALightAndADarkPalette)
{
    WriteFile(QStringLiteral("a.exe"));
    const QPalette original = QApplication::palette();
    const std::pair<const char*, QPalette> schemes[] = {{"light", QApplication::style()->standardPalette()},
                                                        {"dark", DarkPalette()}};
    for (const auto& [schemeName, scheme] : schemes) {
        QApplication::setPalette(scheme);
        frmMain& w = OpenWindow();
        ShowActive(w);
        Search(TreePath(), QStringLiteral("*.exe"));
        const QImage image = w.grab().toImage();
        const auto regionOf = [&](QWidget* control, int inset = 0) {
            return QRect(control->mapTo(&w, QPoint(0, 0)), control->size()).adjusted(inset, inset, -inset, -inset);
        };
        QHeaderView* headings = w.grd()->Table()->horizontalHeader();
        const auto heading = [&](int column) {
            return QRect(headings->mapTo(&w, QPoint(headings->sectionViewportPosition(column), 0)),
                         QSize(headings->sectionSize(column), headings->height()))
                .adjusted(2, 2, -2, -2);
        };
        const std::vector<std::pair<const char*, QRect>> texts = {
            {"path caption", regionOf(w.lbl(0))},
            {"filter caption", regionOf(w.lbl(1))},
            {"subfolders", regionOf(w.chk())},
            {"hidden folders", regionOf(w.chkHidden())},
            {"status line", regionOf(w.lblInfo())},
            {"search", regionOf(w.cmd(frmMain::kSearch), 5)},
            {"export", regionOf(w.cmd(frmMain::kExport), 5)},
            {"sorted heading", heading(0)},
            {"heading", heading(1)},
            {"group-by strip", regionOf(w.grd()->GroupByStrip())},
            {"cell", regionOf(w.grd()->Table()->viewport()).intersected(
                         QRect(regionOf(w.grd()->Table()->viewport()).topLeft(),
                               QSize(w.grd()->Table()->columnWidth(0), w.grd()->Table()->rowHeight(0))))},
        };
        for (const auto& [name, region] : texts)
            EXPECT_GE(TextContrast(image, region), 4.5) << name << " (" << schemeName << ")";
        // The designed colours stay: the white form.
        EXPECT_EQ(image.pixel(5, 5) | 0xFF000000u, qRgb(255, 255, 255));
        window.reset();
    }
    QApplication::setPalette(original);
}

} // namespace
