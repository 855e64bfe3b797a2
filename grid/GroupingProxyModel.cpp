// Group records built from the grid's cells, flattened into the list a table
// view shows, and kept in step with the source's signals.
#include "grid/GroupingProxyModel.h"

#include <QLocale>
#include <QTimer>

#include <algorithm>

#include "VORN_STD_library/SortGridByColumn.h"
#include "grid/CellText.h"
#include "grid/ResultGrid.h"
#include "grid/ResultGridModel.h"
#include "grid/SortRows.h"

namespace grid {

GroupingProxyModel::GroupingProxyModel(const ResultGrid& grid, QAbstractItemModel& source, QObject* parent)
    : FlatProxyModel(parent), grid_(grid), source_(source)
{
    QAbstractProxyModel::setSourceModel(&source_);
    ConnectSource();
}

template <typename Change>
void GroupingProxyModel::ChangeLayout(Change&& change)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<Anchor> anchors = SaveAnchors();
    change();
    Flatten();
    RestoreAnchors(anchors);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void GroupingProxyModel::ConnectSource()
{
    QAbstractItemModel* source = &source_;
    connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this, [this](const QModelIndex&, int first, int last) {
        if (!Grouped()) beginInsertRows(QModelIndex(), first, last);
    });
    connect(source, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        if (!Grouped()) {
            endInsertRows();
            return;
        }
        if (first != groupedSourceRows_) {
            ChangeLayout([this] { Regroup(); });
            return;
        }
        ChangeLayout([&] {
            std::set<int> parentsWithNewGroups;
            bool newTopGroups = false;
            AddSourceRows(first, last, parentsWithNewGroups, newTopGroups);
            if (newTopGroups) OrderChildren(topGroups_, 0);
            for (int group : parentsWithNewGroups)
                OrderChildren(groups_[static_cast<std::size_t>(group)].children, groups_[static_cast<std::size_t>(group)].level + 1);
        });
    });
    connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this](const QModelIndex&, int first, int last) {
        if (Grouped()) beginResetModel();
        else beginRemoveRows(QModelIndex(), first, last);
    });
    connect(source, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (!Grouped()) {
            endRemoveRows();
            return;
        }
        Regroup();
        Flatten();
        endResetModel();
    });
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(source, &QAbstractItemModel::modelReset, this, [this] {
        ResolveLevels();
        Regroup();
        Flatten();
        endResetModel();
    });
    connect(source, &QAbstractItemModel::columnsAboutToBeInserted, this,
            [this](const QModelIndex&, int first, int last) { beginInsertColumns(QModelIndex(), first, last); });
    connect(source, &QAbstractItemModel::columnsInserted, this, [this] {
        endInsertColumns();
        if (!Grouped() && !keys_.empty()) ChangeLayout([this] {
            ResolveLevels();
            Regroup();
        });
    });
    connect(source, &QAbstractItemModel::columnsAboutToBeRemoved, this, [this](const QModelIndex&, int first, int last) {
        const bool levelGoes = std::any_of(levelColumns_.begin(), levelColumns_.end(),
                                           [&](int column) { return column >= first && column <= last; });
        if (levelGoes) ChangeLayout([this] {
            levelColumns_.clear();
            Regroup();
        });
        beginRemoveColumns(QModelIndex(), first, last);
    });
    connect(source, &QAbstractItemModel::columnsRemoved, this, [this] { endRemoveColumns(); });
    connect(source, &QAbstractItemModel::headerDataChanged, this,
            [this](Qt::Orientation orientation, int first, int last) {
                emit headerDataChanged(orientation, first, last);
                // A sort sets its column's order after moving the rows: the
                // groups follow a new direction on their grouping column.
                std::vector<bool> wanted(levelColumns_.size());
                for (std::size_t level = 0; level < levelColumns_.size(); ++level)
                    wanted[level] = DescendingAt(static_cast<int>(level));
                if (wanted != levelDescending_) ChangeLayout([this] {
                    OrderChildren(topGroups_, 0);
                    for (Group& group : groups_) OrderChildren(group.children, group.level + 1);
                });
            });
    connect(source, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
                ForwardDataChanged(topLeft, bottomRight, roles, !Grouped());
                if (!Grouped()) return;
                const bool levelChanged = std::any_of(levelColumns_.begin(), levelColumns_.end(), [&](int column) {
                    return column >= topLeft.column() && column <= bottomRight.column();
                });
                if (levelChanged && (roles.isEmpty() || roles.contains(Qt::DisplayRole)) && !regroupQueued_) {
                    // Cells change one at a time: regroup once they are set.
                    regroupQueued_ = true;
                    QTimer::singleShot(0, this, [this] {
                        if (!regroupQueued_) return;
                        regroupQueued_ = false;
                        if (Grouped()) ChangeLayout([this] { Regroup(); });
                    });
                }
            });
    connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        layoutAnchors_ = SaveAnchors();
    });
    connect(source, &QAbstractItemModel::layoutChanged, this, [this] {
        if (Grouped()) {
            regroupQueued_ = false;
            Regroup();
        }
        Flatten();
        RestoreAnchors(layoutAnchors_);
        layoutAnchors_.clear();
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    });
}

void GroupingProxyModel::SetGroupKeys(std::vector<std::string> keys)
{
    if (keys == keys_) return;
    ChangeLayout([&] {
        keys_ = std::move(keys);
        ResolveLevels();
        Regroup();
    });
}

bool GroupingProxyModel::ResolveLevels()
{
    std::vector<int> columns;
    for (const std::string& key : keys_) {
        const GridColumn* column = grid_.ColumnByKey(key);
        if (!column) {
            columns.clear();
            break;
        }
        columns.push_back(column->CellColumn());
    }
    const bool changed = columns != levelColumns_;
    levelColumns_ = std::move(columns);
    return changed;
}

bool GroupingProxyModel::DescendingAt(int level) const
{
    const int column = levelColumns_[static_cast<std::size_t>(level)];
    return column < grid_.ColumnCount() && grid_.Column(column + 1).SortOrder() == kSortDescending;
}

void GroupingProxyModel::Regroup()
{
    groups_.clear();
    topGroups_.clear();
    topByValue_.clear();
    groupedSourceRows_ = 0;
    levelDescending_.clear();
    if (!Grouped()) return;
    std::set<int> parents;
    bool newTopGroups = false;
    AddSourceRows(0, source_.rowCount() - 1, parents, newTopGroups);
    OrderChildren(topGroups_, 0);
    for (Group& group : groups_) OrderChildren(group.children, group.level + 1);
}

void GroupingProxyModel::AddSourceRows(int first, int last, std::set<int>& parentsWithNewGroups, bool& newTopGroups)
{
    const int levels = static_cast<int>(levelColumns_.size());
    for (int row = first; row <= last; ++row) {
        const int gridRow = source_.data(source_.index(row, 0), ResultGridModel::GridRowRole).toInt();
        int parent = -1;
        for (int level = 0; level < levels; ++level) {
            const CellValue& value = grid_.CellValueAt(gridRow, levelColumns_[static_cast<std::size_t>(level)]);
            std::map<CellValue, int>& lookup =
                parent < 0 ? topByValue_ : groups_[static_cast<std::size_t>(parent)].childByValue;
            auto found = lookup.find(value);
            if (found == lookup.end()) {
                const int created = static_cast<int>(groups_.size());
                found = lookup.emplace(value, created).first;
                Group group;
                group.value = value;
                group.level = level;
                group.parent = parent;
                groups_.push_back(std::move(group));
                std::vector<CellValue> path = PathOf(created);
                groups_.back().expanded = collapsed_.find(path) == collapsed_.end();
                if (parent < 0) {
                    topGroups_.push_back(created);
                    newTopGroups = true;
                } else {
                    groups_[static_cast<std::size_t>(parent)].children.push_back(created);
                    parentsWithNewGroups.insert(parent);
                }
            }
            parent = found->second;
            ++groups_[static_cast<std::size_t>(parent)].fileCount;
        }
        groups_[static_cast<std::size_t>(parent)].sourceRows.push_back(row);
    }
    groupedSourceRows_ = std::max(groupedSourceRows_, last + 1);
}

void GroupingProxyModel::OrderChildren(std::vector<int>& children, int level)
{
    if (level >= static_cast<int>(levelColumns_.size()) || children.size() < 2) return;
    const GridColumn& column = grid_.Column(levelColumns_[static_cast<std::size_t>(level)] + 1);
    const int kind = VORN_STD_library::SortKindForDataType(column.DataType());
    const RowComparison comparison =
        kind == kSortKindNumber || kind == kSortKindDateTime ? RowComparison::Typed : RowComparison::Text;
    const bool descending = DescendingAt(level);
    if (levelDescending_.size() < levelColumns_.size()) levelDescending_.resize(levelColumns_.size());
    levelDescending_[static_cast<std::size_t>(level)] = descending;
    std::vector<GridRow> values;
    values.reserve(children.size());
    for (int child : children) values.push_back(GridRow{groups_[static_cast<std::size_t>(child)].value});
    const std::vector<int> order = SortedRowOrder(values, 0, comparison, descending);
    std::vector<int> ordered;
    ordered.reserve(children.size());
    for (int previous : order) ordered.push_back(children[static_cast<std::size_t>(previous)]);
    children = std::move(ordered);
}

void GroupingProxyModel::Flatten()
{
    flat_.clear();
    flatRowOfSource_.clear();
    if (!Grouped()) return;
    flat_.reserve(static_cast<std::size_t>(groupedSourceRows_) + groups_.size());
    flatRowOfSource_.assign(static_cast<std::size_t>(groupedSourceRows_), -1);
    for (int group : topGroups_) FlattenGroup(group);
}

void GroupingProxyModel::FlattenGroup(int group)
{
    flat_.push_back(-1 - group);
    const Group& record = groups_[static_cast<std::size_t>(group)];
    if (!record.expanded) return;
    for (int child : record.children) FlattenGroup(child);
    for (int row : record.sourceRows) {
        flatRowOfSource_[static_cast<std::size_t>(row)] = static_cast<int>(flat_.size());
        flat_.push_back(row);
    }
}

std::vector<int> GroupingProxyModel::SourceRowsInOrder() const
{
    std::vector<int> rows;
    if (!Grouped()) {
        rows.resize(static_cast<std::size_t>(source_.rowCount()));
        for (std::size_t row = 0; row < rows.size(); ++row) rows[row] = static_cast<int>(row);
        return rows;
    }
    rows.reserve(static_cast<std::size_t>(groupedSourceRows_));
    for (int group : topGroups_) CollectRows(group, rows);
    return rows;
}

void GroupingProxyModel::CollectRows(int group, std::vector<int>& rows) const
{
    const Group& record = groups_[static_cast<std::size_t>(group)];
    for (int child : record.children) CollectRows(child, rows);
    rows.insert(rows.end(), record.sourceRows.begin(), record.sourceRows.end());
}

std::vector<CellValue> GroupingProxyModel::PathOf(int group) const
{
    std::vector<CellValue> path;
    for (int at = group; at >= 0; at = groups_[static_cast<std::size_t>(at)].parent)
        path.insert(path.begin(), groups_[static_cast<std::size_t>(at)].value);
    return path;
}

int GroupingProxyModel::FindGroup(const std::vector<CellValue>& path) const
{
    int parent = -1;
    for (const CellValue& value : path) {
        const std::map<CellValue, int>& lookup =
            parent < 0 ? topByValue_ : groups_[static_cast<std::size_t>(parent)].childByValue;
        const auto found = lookup.find(value);
        if (found == lookup.end()) return -1;
        parent = found->second;
    }
    return parent;
}

std::vector<GroupingProxyModel::Anchor> GroupingProxyModel::SaveAnchors() const
{
    std::vector<Anchor> anchors;
    for (const QModelIndex& index : persistentIndexList()) {
        Anchor anchor;
        anchor.column = index.column();
        if (IsGroupRow(index.row()))
            anchor.groupPath = PathOf(-1 - flat_[static_cast<std::size_t>(index.row())]);
        else
            anchor.source = mapToSource(index);
        anchors.push_back(std::move(anchor));
    }
    return anchors;
}

void GroupingProxyModel::RestoreAnchors(const std::vector<Anchor>& anchors)
{
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (std::size_t i = 0; i < anchors.size() && i < static_cast<std::size_t>(before.size()); ++i) {
        const Anchor& anchor = anchors[i];
        QModelIndex moved;
        if (!anchor.groupPath.empty()) {
            const int group = Grouped() ? FindGroup(anchor.groupPath) : -1;
            if (group >= 0) {
                const auto at = std::find(flat_.begin(), flat_.end(), -1 - group);
                if (at != flat_.end()) moved = index(static_cast<int>(at - flat_.begin()), anchor.column);
            }
        } else if (anchor.source.isValid()) {
            moved = mapFromSource(source_.index(anchor.source.row(), anchor.column));
        }
        after.append(moved);
    }
    while (after.size() < before.size()) after.append(QModelIndex());
    changePersistentIndexList(before, after);
}

bool GroupingProxyModel::IsGroupRow(int row) const
{
    return Grouped() && row >= 0 && static_cast<std::size_t>(row) < flat_.size() &&
           flat_[static_cast<std::size_t>(row)] < 0;
}

void GroupingProxyModel::SetExpanded(int row, bool expanded)
{
    if (!IsGroupRow(row)) return;
    const int group = -1 - flat_[static_cast<std::size_t>(row)];
    Group& record = groups_[static_cast<std::size_t>(group)];
    if (record.expanded == expanded) return;
    ChangeLayout([&] {
        record.expanded = expanded;
        if (expanded) collapsed_.erase(PathOf(group));
        else collapsed_.insert(PathOf(group));
    });
}

void GroupingProxyModel::SetAllExpanded(bool expanded)
{
    if (!Grouped()) return;
    ChangeLayout([&] {
        collapsed_.clear();
        for (std::size_t group = 0; group < groups_.size(); ++group) {
            groups_[group].expanded = expanded;
            if (!expanded) collapsed_.insert(PathOf(static_cast<int>(group)));
        }
    });
}

QString GroupingProxyModel::GroupText(const Group& group) const
{
    const GridColumn& column = grid_.Column(levelColumns_[static_cast<std::size_t>(group.level)] + 1);
    QString value = CellDisplayText(group.value, column.CellStyle().Format(), QLocale::system());
    if (value.isEmpty()) value = QStringLiteral("(empty)");
    return QString::fromUtf8(column.Caption().data(), static_cast<qsizetype>(column.Caption().size())) +
           QStringLiteral(": ") + value +
           (group.fileCount == 1 ? QStringLiteral(" (1 file)")
                                 : QStringLiteral(" (%1 files)").arg(group.fileCount));
}

int GroupingProxyModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    return Grouped() ? static_cast<int>(flat_.size()) : source_.rowCount();
}

QVariant GroupingProxyModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return QVariant();
    if (!IsGroupRow(index.row())) return QAbstractProxyModel::data(index, role);
    const Group& group = groups_[static_cast<std::size_t>(-1 - flat_[static_cast<std::size_t>(index.row())])];
    switch (role) {
    case GroupTextRole: return GroupText(group);
    case GroupLevelRole: return group.level;
    case GroupExpandedRole: return group.expanded;
    default: return QVariant();
    }
}

QVariant GroupingProxyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) return source_.headerData(section, orientation, role);
    return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
}

Qt::ItemFlags GroupingProxyModel::flags(const QModelIndex& index) const
{
    if (IsGroupRow(index.row())) return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return QAbstractProxyModel::flags(index);
}

QModelIndex GroupingProxyModel::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!proxyIndex.isValid() || proxyIndex.model() != this) return QModelIndex();
    if (!Grouped()) return source_.index(proxyIndex.row(), proxyIndex.column());
    if (static_cast<std::size_t>(proxyIndex.row()) >= flat_.size()) return QModelIndex();
    const int row = flat_[static_cast<std::size_t>(proxyIndex.row())];
    return row < 0 ? QModelIndex() : source_.index(row, proxyIndex.column());
}

QModelIndex GroupingProxyModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid()) return QModelIndex();
    if (!Grouped()) return index(sourceIndex.row(), sourceIndex.column());
    const auto row = static_cast<std::size_t>(sourceIndex.row());
    if (row >= flatRowOfSource_.size() || flatRowOfSource_[row] < 0) return QModelIndex();
    return index(flatRowOfSource_[row], sourceIndex.column());
}

} // namespace grid
