// The result table widget: the filter box, the grouping strip, the table
// view over the filter and grouping proxies, twips placement and the heading
// click that the window turns into a sort.
#include "grid/ResultGridView.h"

#include <QAbstractItemModel>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "grid/CellText.h"
#include "grid/GroupedTableView.h"
#include "grid/GroupingProxyModel.h"
#include "grid/ResultGridModel.h"
#include "grid/RowFilterProxyModel.h"

namespace grid {
namespace {

constexpr double kTwipsPerInch = 1440.0;
// Rows measured when columns are fitted, spread evenly over the table.
constexpr int kFitSampleRows = 1000;
// Room for the sort indicator beside a heading's caption.
constexpr int kSortIndicatorRoom = 18;
constexpr int kNarrowestFittedColumn = 24;

// The heading row keeps a light surface in every palette, so its dark text
// and the blue of the sorted heading stay readable on a dark desktop.
QPalette HeadingPalette(QPalette palette)
{
    const QColor surface(0xF0, 0xF0, 0xF0);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Button, surface);
        palette.setColor(group, QPalette::Window, surface);
        palette.setColor(group, QPalette::Light, Qt::white);
        palette.setColor(group, QPalette::Midlight, QColor(0xE3, 0xE3, 0xE3));
        palette.setColor(group, QPalette::Mid, QColor(0xA0, 0xA0, 0xA0));
        palette.setColor(group, QPalette::Dark, QColor(0xA0, 0xA0, 0xA0));
        palette.setColor(group, QPalette::ButtonText, Qt::black);
        palette.setColor(group, QPalette::WindowText, Qt::black);
    }
    return palette;
}

} // namespace

ResultGridView::ResultGridView(QWidget* parent)
    : QWidget(parent), filterBox_(new QLineEdit(this)), strip_(new GroupStrip(this)),
      table_(new GroupedTableView(this))
{
    setFont(GridFont());

    filterBox_->setObjectName(QStringLiteral("filterRows"));
    filterBox_->setPlaceholderText(QStringLiteral("Filter rows"));
    filterBox_->setClearButtonEnabled(true);
    filterBox_->installEventFilter(this);
    connect(filterBox_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (filter_) filter_->SetFilterText(text);
    });
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        filterBox_->setFocus(Qt::ShortcutFocusReason);
        filterBox_->selectAll();
    });

    connect(strip_, &GroupStrip::groupRequested, this, [this](const QString& key) { GroupBy(key.toStdString()); });
    connect(strip_, &GroupStrip::ungroupRequested, this,
            [this](const QString& key) { Ungroup(key.toStdString()); });

    table_->setSortingEnabled(false);
    table_->setWordWrap(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Tab leaves the table along the window's tab order.
    table_->setTabKeyNavigation(false);
    table_->viewport()->installEventFilter(this);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table_, &QTableView::customContextMenuRequested, this, [this](const QPoint& position) {
        if (!table_->indexAt(position).isValid()) return;
        emit rowMenuRequested(table_->viewport()->mapToGlobal(position));
    });
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const int row = GridRowOf(index);
        if (row >= 0) emit rowActivated(row);
    });

    // Fixed, uniform row heights keep scrolling through many rows cheap.
    QHeaderView* rows = table_->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(QFontMetrics(GridFont()).height() + 4);

    QHeaderView* headings = table_->horizontalHeader();
    headings->setSectionsClickable(true);
    headings->setHighlightSections(false);
    headings->setSortIndicatorShown(false);
    headings->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    headings->setPalette(HeadingPalette(headings->palette()));
    connect(headings, &QHeaderView::sectionResized, this, [this](int column, int, int pixels) {
        if (settingWidths_ || pixels <= 0) return;
        const QString key = ColumnKey(column);
        if (!key.isEmpty()) userWidths_[key] = pixels;
    });
    connect(headings, &QHeaderView::sectionClicked, this, &ResultGridView::OnSectionClicked);
    headings->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(headings, &QHeaderView::customContextMenuRequested, this,
            [this, headings](const QPoint& position) { emit headingMenuRequested(headings->mapToGlobal(position)); });
    // A heading dragged to the strip groups by it; a chip dropped back here
    // ungroups it.
    headings->viewport()->installEventFilter(this);
    headings->viewport()->setAcceptDrops(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(filterBox_);
    layout->addWidget(strip_);
    layout->addWidget(table_, 1);
}

ResultGridView::~ResultGridView()
{
    table_->setModel(nullptr);
}

void ResultGridView::SetModel(QAbstractItemModel* model)
{
    if (shown_) disconnect(shown_, nullptr, this, nullptr);
    if (model_) disconnect(model_, nullptr, this, nullptr);
    const std::vector<std::string> keys = GroupKeys();
    table_->SetGrouping(nullptr);
    table_->setModel(nullptr);
    delete grouping_;
    delete filter_;
    grouping_ = nullptr;
    filter_ = nullptr;
    model_ = model;
    shown_ = model;
    appliedWidthTwips_.clear();
    if (auto* gridModel = qobject_cast<ResultGridModel*>(model)) {
        filter_ = new RowFilterProxyModel(*gridModel, this);
        grouping_ = new GroupingProxyModel(gridModel->Grid(), *filter_, this);
        grouping_->SetGroupKeys(keys);
        filter_->SetFilterText(filterBox_->text());
        connect(filter_, &RowFilterProxyModel::filterApplied, this, &ResultGridView::filterApplied);
        shown_ = grouping_;
        table_->SetGrouping(grouping_);
    }
    table_->setModel(shown_);
    ApplyChips();
    if (!shown_) return;
    connect(shown_, &QAbstractItemModel::headerDataChanged, this, [this](Qt::Orientation orientation, int first, int last) {
        if (orientation != Qt::Horizontal) return;
        ApplyWidths(first, last);
        ApplySortIndicator();
    });
    connect(shown_, &QAbstractItemModel::columnsInserted, this, [this] { ApplyHeadings(); });
    connect(shown_, &QAbstractItemModel::columnsRemoved, this, [this] {
        appliedWidthTwips_.clear();
        ApplyHeadings();
    });
    connect(shown_, &QAbstractItemModel::modelReset, this, [this] { ApplyHeadings(); });
    connect(shown_, &QAbstractItemModel::layoutChanged, this, [this] { ApplySortIndicator(); });
    if (const auto* table = qobject_cast<const ResultGridModel*>(model_))
        connect(table, &ResultGridModel::columnsFitRequested, this, &ResultGridView::FitColumns);
    ApplyHeadings();
}

QAbstractItemModel* ResultGridView::Model() const
{
    return model_;
}

QTableView* ResultGridView::Table() const
{
    return table_;
}

void ResultGridView::Place(double leftTwips, double topTwips, double widthTwips, double heightTwips)
{
    setGeometry(TwipsToPixelsX(leftTwips), TwipsToPixelsY(topTwips), std::max(0, TwipsToPixelsX(widthTwips)),
                std::max(0, TwipsToPixelsY(heightTwips)));
}

int ResultGridView::GridRowOf(const QModelIndex& viewIndex) const
{
    if (!viewIndex.isValid()) return -1;
    if (!filter_) return viewIndex.row();
    // Through the proxies' own row mappings rather than item data: a copy of
    // a million selected rows asks this for every row. A group row maps to
    // no table row.
    const QModelIndex filterIndex = grouping_->mapToSource(viewIndex);
    return filterIndex.isValid() ? filter_->mapToSource(filterIndex).row() : -1;
}

std::optional<std::vector<int>> ResultGridView::ShownGridRows() const
{
    if (!filter_ || (!filter_->Active() && !grouping_->Grouped())) return std::nullopt;
    std::vector<int> rows;
    const auto gridRowOf = [this](int filterRow) { return filter_->mapToSource(filter_->index(filterRow, 0)).row(); };
    if (grouping_->Grouped()) {
        for (int filterRow : grouping_->SourceRowsInOrder()) rows.push_back(gridRowOf(filterRow));
    } else {
        rows.reserve(static_cast<std::size_t>(filter_->rowCount()));
        for (int filterRow = 0; filterRow < filter_->rowCount(); ++filterRow) rows.push_back(gridRowOf(filterRow));
    }
    return rows;
}

int ResultGridView::ShownFileCount() const
{
    if (filter_) return filter_->rowCount();
    return model_ ? model_->rowCount() : 0;
}

bool ResultGridView::Filtering() const
{
    return filter_ && filter_->Active();
}

void ResultGridView::FinishFiltering()
{
    if (filter_) filter_->FinishPending();
}

void ResultGridView::SetGroupKeys(std::vector<std::string> keys)
{
    if (!grouping_ || keys == grouping_->GroupKeys()) return;
    grouping_->SetGroupKeys(std::move(keys));
    ApplyChips();
    emit groupingChanged();
}

std::vector<std::string> ResultGridView::GroupKeys() const
{
    return grouping_ ? grouping_->GroupKeys() : std::vector<std::string>();
}

void ResultGridView::GroupBy(const std::string& key)
{
    std::vector<std::string> keys = GroupKeys();
    if (key.empty() || std::find(keys.begin(), keys.end(), key) != keys.end()) return;
    keys.push_back(key);
    SetGroupKeys(std::move(keys));
}

void ResultGridView::Ungroup(const std::string& key)
{
    std::vector<std::string> keys = GroupKeys();
    if (key.empty()) keys.clear();
    else keys.erase(std::remove(keys.begin(), keys.end(), key), keys.end());
    SetGroupKeys(std::move(keys));
}

void ResultGridView::SetAllGroupsExpanded(bool expanded)
{
    if (grouping_) grouping_->SetAllExpanded(expanded);
}

void ResultGridView::ApplyChips()
{
    std::vector<std::pair<QString, QString>> chips;
    for (const std::string& key : GroupKeys()) {
        const QString wanted = QString::fromStdString(key);
        QString caption = wanted;
        for (int column = 0; shown_ && column < shown_->columnCount(); ++column) {
            if (shown_->headerData(column, Qt::Horizontal, ResultGridModel::KeyRole).toString() != wanted) continue;
            caption = shown_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
            break;
        }
        chips.emplace_back(wanted, caption);
    }
    strip_->SetChips(chips);
}

bool ResultGridView::eventFilter(QObject* watched, QEvent* event)
{
    // Esc in a filter box with text clears it rather than reaching the
    // window's Esc shortcut, which cancels a search.
    if (watched == filterBox_ && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !filterBox_->text().isEmpty()) {
        event->accept();
        return true;
    }
    if (watched == filterBox_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !filterBox_->text().isEmpty()) {
        filterBox_->clear();
        return true;
    }
    if (watched == table_->horizontalHeader()->viewport()) return HeadingDragEvent(event);
    if (watched == table_->viewport() && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = table_->indexAt(help->pos());
        if (index.isValid() && !TextFits(index))
            QToolTip::showText(help->globalPos(), index.data().toString(), table_->viewport(),
                               table_->visualRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool ResultGridView::HeadingDragEvent(QEvent* event)
{
    QHeaderView* headings = table_->horizontalHeader();
    const QString chipType = QString::fromLatin1(kGroupChipMimeType);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        pressedAt_ = mouse->position().toPoint();
        pressedSection_ = mouse->button() == Qt::LeftButton ? headings->logicalIndexAt(pressedAt_) : -1;
        return false;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (pressedSection_ < 0 || !(mouse->buttons() & Qt::LeftButton) || !grouping_ ||
            (mouse->position().toPoint() - pressedAt_).manhattanLength() < QApplication::startDragDistance())
            return false;
        const QString key = shown_->headerData(pressedSection_, Qt::Horizontal, ResultGridModel::KeyRole).toString();
        pressedSection_ = -1;
        auto* drag = new QDrag(headings);
        drag->setMimeData(MakeKeyMimeData(kColumnKeyMimeType, key));
        drag->exec(Qt::CopyAction);
        return true;
    }
    case QEvent::MouseButtonRelease:
        pressedSection_ = -1;
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!drag->mimeData()->hasFormat(chipType)) return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasFormat(chipType)) return false;
        drop->acceptProposedAction();
        Ungroup(QString::fromUtf8(drop->mimeData()->data(chipType)).toStdString());
        return true;
    }
    default:
        return false;
    }
}

void ResultGridView::ApplyHeadings()
{
    if (!shown_) return;
    ApplyWidths(0, shown_->columnCount() - 1);
    ApplySortIndicator();
    ApplyChips();
}

void ResultGridView::ApplyWidths(int first, int last)
{
    if (!shown_) return;
    const int columns = shown_->columnCount();
    if (appliedWidthTwips_.size() != static_cast<std::size_t>(columns))
        appliedWidthTwips_.resize(static_cast<std::size_t>(columns), -1.0);
    for (int column = std::max(0, first); column <= last && column < columns; ++column) {
        const bool hidden = !shown_->headerData(column, Qt::Horizontal, ResultGridModel::VisibleRole).toBool();
        if (table_->isColumnHidden(column) != hidden) {
            settingWidths_ = true;
            table_->setColumnHidden(column, hidden);
            settingWidths_ = false;
        }
        if (const auto user = userWidths_.constFind(ColumnKey(column)); user != userWidths_.constEnd()) {
            if (table_->columnWidth(column) != *user && !hidden) SetWidthQuietly(column, *user);
            continue;
        }
        const QVariant width = shown_->headerData(column, Qt::Horizontal, ResultGridModel::WidthTwipsRole);
        if (!width.isValid()) continue;
        const double twips = width.toDouble();
        double& applied = appliedWidthTwips_[static_cast<std::size_t>(column)];
        if (twips == applied) continue;
        applied = twips;
        SetWidthQuietly(column, std::max(0, TwipsToPixelsX(twips)));
    }
}

void ResultGridView::ApplySortIndicator()
{
    QHeaderView* headings = table_->horizontalHeader();
    const int columns = shown_ ? shown_->columnCount() : 0;
    for (int column = 0; column < columns; ++column) {
        const int order = shown_->headerData(column, Qt::Horizontal, ResultGridModel::SortOrderRole).toInt();
        if (order == kSortAscending || order == kSortDescending) {
            headings->setSortIndicator(column, order == kSortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
            headings->setSortIndicatorShown(true);
            return;
        }
    }
    headings->setSortIndicatorShown(false);
}

void ResultGridView::OnSectionClicked(int logicalIndex)
{
    emit columnNotification(logicalIndex + 1);
    // A click flips the header's own indicator; the table's sort order decides
    // what it shows, whether or not anyone sorted on the click.
    ApplySortIndicator();
}

std::vector<int> ResultGridView::SelectedGridRows() const
{
    std::vector<int> gridRows;
    if (!shown_ || !table_->selectionModel()) return gridRows;
    // View rows in view order; a group row stands for no table row.
    std::vector<std::pair<int, QModelIndex>> viewRows;
    for (const QItemSelectionRange& range : table_->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            viewRows.emplace_back(row, shown_->index(row, 0, range.parent()));
    std::sort(viewRows.begin(), viewRows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    gridRows.reserve(viewRows.size());
    for (const auto& [row, index] : viewRows)
        if (const int gridRow = GridRowOf(index); gridRow >= 0) gridRows.push_back(gridRow);
    gridRows.erase(std::unique(gridRows.begin(), gridRows.end()), gridRows.end());
    return gridRows;
}

std::vector<int> ResultGridView::RowsInViewOrder() const
{
    if (std::optional<std::vector<int>> shown = ShownGridRows()) return std::move(*shown);
    std::vector<int> gridRows(static_cast<std::size_t>(model_ ? model_->rowCount() : 0));
    for (std::size_t row = 0; row < gridRows.size(); ++row) gridRows[row] = static_cast<int>(row);
    return gridRows;
}

int ResultGridView::CurrentGridRow() const
{
    return GridRowOf(table_->currentIndex());
}

void ResultGridView::SetUserColumnWidths(const QMap<QString, int>& widths)
{
    userWidths_ = widths;
    ApplyHeadings();
}

QString ResultGridView::ColumnKey(int column) const
{
    return model_ ? model_->headerData(column, Qt::Horizontal, ResultGridModel::KeyRole).toString() : QString();
}

void ResultGridView::SetWidthQuietly(int column, int pixels)
{
    settingWidths_ = true;
    table_->setColumnWidth(column, pixels);
    settingWidths_ = false;
}

int ResultGridView::ContentWidth(int column) const
{
    const int margin = 2 * (table_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table_) + 1) + 6;
    QFont headingFont = model_->headerData(column, Qt::Horizontal, Qt::FontRole).value<QFont>();
    const QFontMetrics headingMetrics(headingFont);
    int widest = headingMetrics.horizontalAdvance(model_->headerData(column, Qt::Horizontal).toString()) +
                 kSortIndicatorRoom;
    const QFontMetrics cellMetrics(table_->font());
    const int rows = model_->rowCount();
    const int step = std::max(1, rows / kFitSampleRows);
    for (int row = 0; row < rows; row += step)
        widest = std::max(widest, cellMetrics.horizontalAdvance(model_->index(row, column).data().toString()));
    if (rows > 0)
        widest = std::max(widest, cellMetrics.horizontalAdvance(model_->index(rows - 1, column).data().toString()));
    return widest + margin;
}

void ResultGridView::FitColumns(int first, int last)
{
    if (!model_) return;
    const int columns = model_->columnCount();
    const int half = std::max(kNarrowestFittedColumn, table_->viewport()->width() / 2);
    int fillColumn = -1;
    int usedByOthers = 0;
    for (int column = 0; column < columns; ++column) {
        if (table_->isColumnHidden(column)) continue;
        const QString key = ColumnKey(column);
        const bool inRange = column >= first && column <= last;
        if (!fillColumnKey_.isEmpty() && key == fillColumnKey_ && !userWidths_.contains(key) && inRange) {
            fillColumn = column;
            continue;
        }
        if (inRange && !userWidths_.contains(key))
            SetWidthQuietly(column, std::clamp(ContentWidth(column), kNarrowestFittedColumn, half));
        usedByOthers += table_->columnWidth(column);
    }
    if (fillColumn < 0) return;
    const int leftOver = table_->viewport()->width() - usedByOthers;
    SetWidthQuietly(fillColumn, std::max({std::min(ContentWidth(fillColumn), half), leftOver, kNarrowestFittedColumn}));
}

bool ResultGridView::TextFits(const QModelIndex& index) const
{
    const int margin = 2 * (table_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table_) + 1);
    const int needed = QFontMetrics(table_->font()).horizontalAdvance(index.data().toString()) + margin;
    return needed <= table_->visualRect(index).width();
}

int ResultGridView::TwipsToPixelsX(double twips) const
{
    return static_cast<int>(std::lround(twips * logicalDpiX() / kTwipsPerInch));
}

int ResultGridView::TwipsToPixelsY(double twips) const
{
    return static_cast<int>(std::lround(twips * logicalDpiY() / kTwipsPerInch));
}

} // namespace grid
