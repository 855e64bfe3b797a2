// Grouping: a proxy over a flat table model (the quick filter over the
// ResultGridModel) that puts the rows under group rows, one level per
// grouping column, and shows the result as one flat list a table view can
// show: a group row ("Company: Wine (403 files)"), then, while it is
// expanded, its subgroups or its files. Rows are never copied; the proxy
// keeps grid row numbers and its own small group records.
//
// Files inside a group keep the source's order (the table's current sort).
// Groups are ordered by their value with the table's own comparison for the
// column (natural text order, sizes and dates by value), descending only when
// the table is sorted descending on that very column. Grouping columns are
// named by key, so they survive the table's columns being made anew; a key
// the table lacks groups nothing until it comes back.
//
// Rows a search appends join their groups under one layout change per batch
// (no regrouping of the rows already there); other changes regroup.
#pragma once

#include "grid/FlatProxyModel.h"
#include <QPersistentModelIndex>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "grid/CellValue.h"

namespace grid {

class ResultGrid;

class GroupingProxyModel : public FlatProxyModel {
    Q_OBJECT
public:
    // Item roles of group rows (file rows give an invalid QVariant).
    enum GroupRole {
        GroupTextRole = Qt::UserRole + 30, // QString: "Caption: value (N files)"
        GroupLevelRole,                    // int: 0 for the outer level
        GroupExpandedRole,                 // bool
    };

    // The source's rows must give ResultGridModel::GridRowRole.
    GroupingProxyModel(const ResultGrid& grid, QAbstractItemModel& source, QObject* parent = nullptr);

    // The grouping columns' keys, outer level first; empty: no grouping.
    void SetGroupKeys(std::vector<std::string> keys);
    const std::vector<std::string>& GroupKeys() const { return keys_; }
    // Whether rows are grouped now (keys set and their columns present).
    bool Grouped() const { return !levelColumns_.empty(); }

    // The source rows of every group, collapsed ones included, in the order
    // the groups show them; the source's own rows when nothing is grouped.
    std::vector<int> SourceRowsInOrder() const;

    bool IsGroupRow(int row) const;
    void SetExpanded(int row, bool expanded);
    void SetAllExpanded(bool expanded);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;

private:
    struct Group {
        CellValue value;
        int level = 0;
        int parent = -1;
        int fileCount = 0;
        bool expanded = true;
        std::vector<int> children;    // subgroups, in display order
        std::vector<int> sourceRows;  // files, at the innermost level
        std::map<CellValue, int> childByValue;
    };
    // Where a persistent index pointed before a change: a source row, or a
    // group by its values from the outer level in.
    struct Anchor {
        QPersistentModelIndex source;
        std::vector<CellValue> groupPath;
        int column = 0;
    };

    void ConnectSource();
    bool ResolveLevels();
    void Regroup();
    void AddSourceRows(int first, int last, std::set<int>& parentsWithNewGroups, bool& newTopGroups);
    void OrderChildren(std::vector<int>& children, int level);
    bool DescendingAt(int level) const;
    void Flatten();
    void FlattenGroup(int group);
    void CollectRows(int group, std::vector<int>& rows) const;
    std::vector<CellValue> PathOf(int group) const;
    int FindGroup(const std::vector<CellValue>& path) const;
    std::vector<Anchor> SaveAnchors() const;
    void RestoreAnchors(const std::vector<Anchor>& anchors);
    // Runs `change` between layoutAboutToBeChanged and layoutChanged with
    // persistent indexes following their rows.
    template <typename Change>
    void ChangeLayout(Change&& change);
    QString GroupText(const Group& group) const;

    const ResultGrid& grid_;
    QAbstractItemModel& source_;
    std::vector<std::string> keys_;
    std::vector<int> levelColumns_;
    std::vector<bool> levelDescending_;
    std::vector<Group> groups_;
    std::vector<int> topGroups_;
    std::map<CellValue, int> topByValue_;
    // Collapsed groups by their values, kept across regrouping.
    std::set<std::vector<CellValue>> collapsed_;
    // The shown list: a source row (>= 0) or a group (-1 - group).
    std::vector<int> flat_;
    std::vector<int> flatRowOfSource_;
    int groupedSourceRows_ = 0;
    std::vector<Anchor> layoutAnchors_;
    bool regroupQueued_ = false;
};

} // namespace grid
