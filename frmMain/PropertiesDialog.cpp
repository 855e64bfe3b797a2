// The file properties dialog: a two-column list of facts and strings.
#include "frmMain/PropertiesDialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>

#include "VORN_STD_library/LanguageNames.h"
#include "cDisk/ResultRow.h"
#include "grid/CellText.h"

namespace {

QString Utf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

PropertiesDialog::PropertiesDialog(const std::string& folder, const std::string& name, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(0, 2, this))
{
    setWindowTitle(QFile::decodeName(QByteArray::fromStdString(name)) + QStringLiteral(" Properties"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setStretchLastSection(true);

    const FileProperties properties = ReadFileProperties(folder, name);
    for (std::size_t i = 0; i < properties.facts.size(); ++i) {
        const grid::ResultColumn& column = properties.facts[i]->column;
        AddRow(QString::fromUtf8(column.caption),
               grid::CellDisplayText(properties.cells[i], column.format, QLocale::system()));
    }
    for (const VORN_STD_library::TranslationTable& translation : properties.translations) {
        AddRow(QStringLiteral("Translation ") + Utf8(VORN_STD_library::TranslationKey(translation.entry)),
               Utf8(VORN_STD_library::LanguageName(translation.entry.language)), true);
        for (const auto& [stringName, value] : translation.strings)
            AddRow(QStringLiteral("    ") + Utf8(stringName), Utf8(value));
    }
    table_->resizeColumnToContents(0);

    auto* copyShortcut = new QAction(this);
    copyShortcut->setShortcut(QKeySequence::Copy);
    copyShortcut->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copyShortcut, &QAction::triggered, this, &PropertiesDialog::Copy);
    table_->addAction(copyShortcut);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy = buttons->addButton(QStringLiteral("Copy"), QDialogButtonBox::ActionRole);
    connect(copy, &QPushButton::clicked, this, &PropertiesDialog::Copy);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(640, 560);
}

void PropertiesDialog::AddRow(const QString& name, const QString& value, bool heading)
{
    const int row = table_->rowCount();
    table_->insertRow(row);
    auto* nameItem = new QTableWidgetItem(name);
    auto* valueItem = new QTableWidgetItem(value);
    valueItem->setToolTip(value);
    if (heading) {
        QFont bold = nameItem->font();
        bold.setBold(true);
        nameItem->setFont(bold);
        valueItem->setFont(bold);
    }
    table_->setItem(row, 0, nameItem);
    table_->setItem(row, 1, valueItem);
}

QString PropertiesDialog::CopyText() const
{
    std::set<int> rows;
    for (const QTableWidgetSelectionRange& range : table_->selectedRanges())
        for (int row = range.topRow(); row <= range.bottomRow(); ++row) rows.insert(row);
    if (rows.empty())
        for (int row = 0; row < table_->rowCount(); ++row) rows.insert(row);
    QString text;
    for (int row : rows)
        text += table_->item(row, 0)->text().trimmed() + QLatin1Char('\t') + table_->item(row, 1)->text() +
                QLatin1Char('\n');
    return text;
}

void PropertiesDialog::Copy()
{
    QApplication::clipboard()->setText(CopyText());
}
