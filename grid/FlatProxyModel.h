// The part every list proxy over the table shares: rows without children,
// an index for each row and column in range, and the source's columns. A
// proxy adds its own row count and row mapping.
#pragma once

#include <QAbstractProxyModel>

namespace grid {

class FlatProxyModel : public QAbstractProxyModel {
public:
    using QAbstractProxyModel::QAbstractProxyModel;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override
    {
        if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return QModelIndex();
        return createIndex(row, column);
    }
    QModelIndex parent(const QModelIndex&) const override { return QModelIndex(); }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
    }
};

} // namespace grid
