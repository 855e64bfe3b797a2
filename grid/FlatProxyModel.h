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

protected:
    // Passes on a change of the source's cells: row for row while the proxy
    // shows the source's rows as they are, else as a change of those columns
    // in every row shown.
    void ForwardDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles,
                            bool rowForRow)
    {
        if (rowForRow)
            emit dataChanged(index(topLeft.row(), topLeft.column()), index(bottomRight.row(), bottomRight.column()),
                             roles);
        else if (rowCount() > 0)
            emit dataChanged(index(0, topLeft.column()), index(rowCount() - 1, bottomRight.column()), roles);
    }
};

} // namespace grid
