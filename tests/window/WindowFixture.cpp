// The window test fixture.
#include "tests/window/WindowFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString UniqueApplicationName()
{
    static int counter = 0;
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    return QStringLiteral("window-%1-%2").arg(QString::fromStdString(info->name())).arg(++counter);
}

} // namespace

WindowTest::WindowTest()
    : settings_(std::make_shared<desktop::QtSettingsStore>(UniqueApplicationName())),
      programFolderPath(QFile::encodeName(programFolder_.path()).toStdString()),
      documentsFolderPath(QFile::encodeName(documentsFolder_.path()).toStdString()),
      previousPicker_(platform::SetFolderPicker(picker_))
{
}

WindowTest::~WindowTest()
{
    window.reset();
    platform::SetFolderPicker(previousPicker_);
}

frmMain& WindowTest::OpenWindow()
{
    WindowServices services;
    services.settings = settings_;
    services.handOff = handOff_;
    services.messages = messages_;
    services.yield = [this] {
        if (onYield) onYield();
    };
    services.programFolder = [this] { return programFolderPath; };
    services.documentsFolder = [this] { return documentsFolderPath; };
    services.chooseSaveFile = [this](QWidget*, const QString&, const QStringList& filters, QString& chosenFilter) {
        offeredFilters = filters;
        for (const QString& filter : filters)
            if (filter.endsWith(QStringLiteral("(*.") + saveExtension + QLatin1Char(')'))) chosenFilter = filter;
        return saveAnswer;
    };
    services.chooseOpenFile = [this](QWidget*, const QString&, const QStringList&) { return openAnswer; };
    window = std::make_unique<frmMain>(std::move(services));
    return *window;
}

void WindowTest::WriteFile(const QString& relativePath, int size)
{
    const QString path = tree_.path() + QLatin1Char('/') + relativePath;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(size, 'x'));
}

void WindowTest::Search(const QString& path, const QString& filter, bool recurse)
{
    window->txt(1)->setText(path);
    window->txt(0)->setText(filter);
    window->chk()->setChecked(recurse);
    window->cmd(frmMain::kSearch)->click();
}

std::string WindowTest::CellText(int row, int cellColumn)
{
    const grid::CellValue& value = window->Grid().CellValueAt(row, cellColumn);
    const std::string* text = std::get_if<std::string>(&value);
    return text ? *text : std::string("<not text>");
}
