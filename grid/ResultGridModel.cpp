// The Qt item model over the result table: reads cells and headings from the
// grid on demand and forwards the grid's notifications as Qt signals, with
// appended rows announced in batches while insert batching is on.
#include "grid/ResultGridModel.h"

#include <QApplication>
#include <QBrush>
#include <QFont>
#include <QIcon>

#include "grid/CellText.h"

namespace grid {
namespace {

// The columns that name a row's file, as the window makes them.
constexpr const char* kFileNameColumnKey = "filename";
constexpr const char* kFolderColumnKey = "path";

} // namespace

ResultGridModel::ResultGridModel(ResultGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), announcedRows_(grid.RowCount())
{
    batchTimer_.setSingleShot(true);
    batchTimer_.setInterval(kDefaultInsertBatchInterval);
    connect(&batchTimer_, &QTimer::timeout, this, &ResultGridModel::AnnouncePendingRows);
    grid_.AddObserver(this);
}

ResultGridModel::~ResultGridModel()
{
    grid_.RemoveObserver(this);
}

void ResultGridModel::SetInsertBatching(bool on, std::chrono::milliseconds interval)
{
    batchTimer_.setInterval(interval);
    batching_ = on;
    if (!on) AnnouncePendingRows();
}

void ResultGridModel::AnnouncePendingRows()
{
    batchTimer_.stop();
    const int rows = grid_.RowCount();
    if (rows <= announcedRows_) return;
    beginInsertRows(QModelIndex(), announcedRows_, rows - 1);
    announcedRows_ = rows;
    endInsertRows();
}

int ResultGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : announcedRows_;
}

int ResultGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : grid_.ColumnCount();
}

QVariant ResultGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= announcedRows_ || index.row() >= grid_.RowCount() ||
        index.column() >= grid_.ColumnCount())
        return QVariant();
    const GridColumn& column = grid_.Column(index.column() + 1);
    const GridStyle& style = column.CellStyle();
    switch (role) {
    case Qt::DisplayRole:
        return CellDisplayText(grid_.CellValueAt(index.row(), index.column()), style.Format(), QLocale::system());
    case GridRowRole:
        return index.row();
    case Qt::DecorationRole:
        return icons_ && column.Key() == kFileNameColumnKey ? FileIcon(index.row()) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(ToQtAlignment(style.TextAlignment()));
    case Qt::ForegroundRole:
        if (grid_.RowDimmed(index.row()))
            return QApplication::palette().brush(QPalette::Disabled, QPalette::WindowText);
        if (style.ForeColor() == kColorWindowText) return QVariant();
        return QBrush(ToQColor(style.ForeColor(), QApplication::palette()));
    case Qt::FontRole: {
        // Plain cells take the view's font; only an underlined style needs one.
        if (!style.Underline()) return QVariant();
        QFont font = GridFont();
        font.setUnderline(true);
        return font;
    }
    default:
        return QVariant();
    }
}

void ResultGridModel::SetFileIcons(FileIconCache* icons)
{
    icons_ = icons;
    const GridColumn* name = grid_.ColumnByKey(kFileNameColumnKey);
    if (name && announcedRows_ > 0)
        emit dataChanged(index(0, name->CellColumn()), index(announcedRows_ - 1, name->CellColumn()),
                         {Qt::DecorationRole});
}

QVariant ResultGridModel::FileIcon(int row) const
{
    const GridColumn* name = grid_.ColumnByKey(kFileNameColumnKey);
    const GridColumn* folder = grid_.ColumnByKey(kFolderColumnKey);
    if (!name || !folder) return QVariant();
    const auto* nameText = std::get_if<std::string>(&grid_.CellValueAt(row, name->CellColumn()));
    const auto* folderText = std::get_if<std::string>(&grid_.CellValueAt(row, folder->CellColumn()));
    if (!nameText || !folderText) return QVariant();
    const QIcon icon = icons_->IconFor(*folderText + *nameText);
    return icon.isNull() ? QVariant() : QVariant(icon);
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= grid_.ColumnCount()) return QVariant();
    const GridColumn& column = grid_.Column(section + 1);
    const GridStyle& style = column.HeadingStyle();
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf8(column.Caption().data(), static_cast<qsizetype>(column.Caption().size()));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(ToQtAlignment(style.TextAlignment()));
    case Qt::ForegroundRole:
        // The window-text colour is left to the heading row's own palette,
        // which keeps it readable on the heading's surface.
        if (style.ForeColor() == kColorWindowText) return QVariant();
        return QBrush(ToQColor(style.ForeColor(), QApplication::palette()));
    case Qt::FontRole: {
        QFont font = GridFont();
        font.setUnderline(style.Underline());
        return font;
    }
    case SortOrderRole:
        return column.SortOrder();
    case WidthTwipsRole:
        return static_cast<double>(column.Width());
    case KeyRole:
        return QString::fromUtf8(column.Key().data(), static_cast<qsizetype>(column.Key().size()));
    case VisibleRole:
        return column.Visible();
    default:
        return QVariant();
    }
}

void ResultGridModel::RowsAboutToBeInserted(int first, int last)
{
    if (batching_) return;
    AnnouncePendingRows();
    beginInsertRows(QModelIndex(), first, last);
}

void ResultGridModel::RowsInserted()
{
    if (batching_) {
        if (!batchTimer_.isActive()) batchTimer_.start();
        return;
    }
    announcedRows_ = grid_.RowCount();
    endInsertRows();
}

void ResultGridModel::RowsAboutToBeRemoved(int first, int last)
{
    AnnouncePendingRows();
    beginRemoveRows(QModelIndex(), first, last);
}

void ResultGridModel::RowsRemoved()
{
    announcedRows_ = grid_.RowCount();
    endRemoveRows();
}

void ResultGridModel::ColumnsAboutToBeInserted(int first, int last)
{
    AnnouncePendingRows();
    beginInsertColumns(QModelIndex(), first, last);
}

void ResultGridModel::ColumnsInserted()
{
    endInsertColumns();
}

void ResultGridModel::ColumnsAboutToBeRemoved(int first, int last)
{
    AnnouncePendingRows();
    beginRemoveColumns(QModelIndex(), first, last);
}

void ResultGridModel::ColumnsRemoved()
{
    endRemoveColumns();
}

void ResultGridModel::AboutToReset()
{
    batchTimer_.stop();
    beginResetModel();
}

void ResultGridModel::ResetDone()
{
    announcedRows_ = grid_.RowCount();
    endResetModel();
}

void ResultGridModel::CellChanged(int row, int cellColumn)
{
    // A row not announced yet is read in full when it is.
    if (row >= announcedRows_) return;
    const QModelIndex changed = index(row, cellColumn);
    emit dataChanged(changed, changed);
}

void ResultGridModel::RowStyleChanged(int row)
{
    if (row >= announcedRows_ || grid_.ColumnCount() == 0) return;
    emit dataChanged(index(row, 0), index(row, grid_.ColumnCount() - 1), {Qt::ForegroundRole});
}

void ResultGridModel::HeadingChanged(int cellColumn)
{
    emit headerDataChanged(Qt::Horizontal, cellColumn, cellColumn);
}

void ResultGridModel::CellStyleChanged(int cellColumn)
{
    if (announcedRows_ > 0) emit dataChanged(index(0, cellColumn), index(announcedRows_ - 1, cellColumn));
}

void ResultGridModel::LayoutAboutToChange()
{
    AnnouncePendingRows();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ResultGridModel::LayoutChanged(std::span<const int> previousRowOf)
{
    // Selections and other persistent indexes follow their rows.
    std::vector<int> newRowOf(previousRowOf.size());
    for (std::size_t newRow = 0; newRow < previousRowOf.size(); ++newRow)
        newRowOf[static_cast<std::size_t>(previousRowOf[newRow])] = static_cast<int>(newRow);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before) {
        const auto oldRow = static_cast<std::size_t>(old.row());
        after.append(oldRow < newRowOf.size() ? index(newRowOf[oldRow], old.column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    const std::vector<int> previous(previousRowOf.begin(), previousRowOf.end());
    emit rowsReordered(previous);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ResultGridModel::ColumnsFitRequested(int first, int last)
{
    AnnouncePendingRows();
    emit columnsFitRequested(first, last);
}

void ResultGridModel::Refreshed()
{
    AnnouncePendingRows();
    if (grid_.ColumnCount() == 0) return;
    emit headerDataChanged(Qt::Horizontal, 0, grid_.ColumnCount() - 1);
    if (announcedRows_ > 0) emit dataChanged(index(0, 0), index(announcedRows_ - 1, grid_.ColumnCount() - 1));
}

} // namespace grid
