// Grouping from the window's side: the heading menu's entries (group by the
// column, ungroup, expand or collapse every group) for keyboard and touch-pad
// users, and the grouping columns remembered for the next start.
#include "frmMain/frmMain.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

#include "grid/ResultGridModel.h"
#include "grid/ResultGridView.h"

namespace {

const QString kSettingsSection = QStringLiteral("settings");
const QString kGroupByKey = QStringLiteral("groupby");

} // namespace

void frmMain::AddGroupingActions(QMenu& menu, int column)
{
    const std::vector<std::string> keys = grd_->GroupKeys();
    QAction* first = menu.actions().isEmpty() ? nullptr : menu.actions().front();
    const auto insert = [&](const QString& text, auto&& run) {
        auto* action = new QAction(text, &menu);
        connect(action, &QAction::triggered, this, run);
        menu.insertAction(first, action);
        return action;
    };
    if (column >= 0 && column < grid_.ColumnCount()) {
        const std::string key = grid_.Column(column + 1).Key();
        QAction* groupBy = insert(QStringLiteral("Group by this column"), [this, key] { grd_->GroupBy(key); });
        groupBy->setEnabled(std::find(keys.begin(), keys.end(), key) == keys.end());
    }
    insert(QStringLiteral("Ungroup"), [this] { grd_->Ungroup(std::string()); })->setEnabled(!keys.empty());
    insert(QStringLiteral("Expand all groups"), [this] { grd_->SetAllGroupsExpanded(true); })->setEnabled(!keys.empty());
    insert(QStringLiteral("Collapse all groups"), [this] { grd_->SetAllGroupsExpanded(false); })
        ->setEnabled(!keys.empty());
    menu.insertSeparator(first);
}

void frmMain::RestoreGrouping()
{
    std::vector<std::string> keys;
    const QString remembered = services_.settings->Read(kSettingsSection, kGroupByKey, QString());
    for (const QString& key : remembered.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (FindResultFact(key.toStdString())) keys.push_back(key.toStdString());
    grd_->SetGroupKeys(std::move(keys));
}

void frmMain::SaveGrouping()
{
    QStringList keys;
    for (const std::string& key : grd_->GroupKeys()) keys.append(QString::fromStdString(key));
    services_.settings->Write(kSettingsSection, kGroupByKey, keys.join(QLatin1Char(',')));
}
