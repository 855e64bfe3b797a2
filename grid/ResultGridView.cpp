// The result table widget: group-by strip, table view, twips placement and
// the heading click that the window turns into a sort.
#include "grid/ResultGridView.h"

#include <QAbstractItemModel>
#include <QAbstractProxyModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QStyle>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "grid/CellText.h"
#include "grid/ResultGridModel.h"

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
    : QWidget(parent), groupByStrip_(new QLabel(QString::fromLatin1(kGroupByPrompt), this)),
      table_(new QTableView(this))
{
    setFont(GridFont());

    groupByStrip_->setObjectName(QStringLiteral("groupByStrip"));
    groupByStrip_->setContentsMargins(6, 4, 6, 4);
    groupByStrip_->setAutoFillBackground(true);
    // Button text on the button surface: a pair every palette keeps readable.
    groupByStrip_->setBackgroundRole(QPalette::Button);
    groupByStrip_->setForegroundRole(QPalette::ButtonText);

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
        const int row = ResultGridModel::GridRowOf(index);
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

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(groupByStrip_);
    layout->addWidget(table_, 1);
}

void ResultGridView::SetModel(QAbstractItemModel* model)
{
    if (model_) {
        const QAbstractItemModel* source = model_;
        while (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(source)) {
            disconnect(source, nullptr, this, nullptr);
            source = proxy->sourceModel();
        }
        if (source) disconnect(source, nullptr, this, nullptr);
    }
    model_ = model;
    appliedWidthTwips_.clear();
    table_->setModel(model);
    if (!model) return;
    connect(model, &QAbstractItemModel::headerDataChanged, this, [this](Qt::Orientation orientation, int first, int last) {
        if (orientation != Qt::Horizontal) return;
        ApplyWidths(first, last);
        ApplySortIndicator();
    });
    connect(model, &QAbstractItemModel::columnsInserted, this, [this] { ApplyHeadings(); });
    connect(model, &QAbstractItemModel::columnsRemoved, this, [this] {
        appliedWidthTwips_.clear();
        ApplyHeadings();
    });
    connect(model, &QAbstractItemModel::modelReset, this, [this] { ApplyHeadings(); });
    connect(model, &QAbstractItemModel::layoutChanged, this, [this] { ApplySortIndicator(); });
    // The fit request comes from the table's own model under any proxies.
    const QAbstractItemModel* source = model;
    while (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(source)) source = proxy->sourceModel();
    if (const auto* table = qobject_cast<const ResultGridModel*>(source))
        connect(table, &ResultGridModel::columnsFitRequested, this, &ResultGridView::FitColumns);
    ApplyHeadings();
}

QAbstractItemModel* ResultGridView::Model() const
{
    return model_;
}

void ResultGridView::Place(double leftTwips, double topTwips, double widthTwips, double heightTwips)
{
    setGeometry(TwipsToPixelsX(leftTwips), TwipsToPixelsY(topTwips), std::max(0, TwipsToPixelsX(widthTwips)),
                std::max(0, TwipsToPixelsY(heightTwips)));
}

void ResultGridView::ApplyHeadings()
{
    if (!model_) return;
    ApplyWidths(0, model_->columnCount() - 1);
    ApplySortIndicator();
}

void ResultGridView::ApplyWidths(int first, int last)
{
    if (!model_) return;
    const int columns = model_->columnCount();
    if (appliedWidthTwips_.size() != static_cast<std::size_t>(columns))
        appliedWidthTwips_.resize(static_cast<std::size_t>(columns), -1.0);
    for (int column = std::max(0, first); column <= last && column < columns; ++column) {
        const bool hidden = !model_->headerData(column, Qt::Horizontal, ResultGridModel::VisibleRole).toBool();
        if (table_->isColumnHidden(column) != hidden) {
            settingWidths_ = true;
            table_->setColumnHidden(column, hidden);
            settingWidths_ = false;
        }
        if (const auto user = userWidths_.constFind(ColumnKey(column)); user != userWidths_.constEnd()) {
            if (table_->columnWidth(column) != *user && !hidden) SetWidthQuietly(column, *user);
            continue;
        }
        const QVariant width = model_->headerData(column, Qt::Horizontal, ResultGridModel::WidthTwipsRole);
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
    const int columns = model_ ? model_->columnCount() : 0;
    for (int column = 0; column < columns; ++column) {
        const int order = model_->headerData(column, Qt::Horizontal, ResultGridModel::SortOrderRole).toInt();
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
    if (!model_ || !table_->selectionModel()) return gridRows;
    // View rows in view order; a row that stands for no table row (a group
    // heading of a proxy) gives none.
    std::vector<std::pair<int, QModelIndex>> viewRows;
    for (const QItemSelectionRange& range : table_->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            viewRows.emplace_back(row, model_->index(row, 0, range.parent()));
    std::sort(viewRows.begin(), viewRows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    gridRows.reserve(viewRows.size());
    for (const auto& [row, index] : viewRows)
        if (const int gridRow = ResultGridModel::GridRowOf(index); gridRow >= 0) gridRows.push_back(gridRow);
    gridRows.erase(std::unique(gridRows.begin(), gridRows.end()), gridRows.end());
    return gridRows;
}

std::vector<int> ResultGridView::ShownGridRows() const
{
    std::vector<int> gridRows;
    if (!model_) return gridRows;
    const int rows = model_->rowCount();
    gridRows.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        if (const int gridRow = ResultGridModel::GridRowOf(model_->index(row, 0)); gridRow >= 0)
            gridRows.push_back(gridRow);
    return gridRows;
}

int ResultGridView::CurrentGridRow() const
{
    return ResultGridModel::GridRowOf(table_->currentIndex());
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

bool ResultGridView::eventFilter(QObject* watched, QEvent* event)
{
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

int ResultGridView::TwipsToPixelsX(double twips) const
{
    return static_cast<int>(std::lround(twips * logicalDpiX() / kTwipsPerInch));
}

int ResultGridView::TwipsToPixelsY(double twips) const
{
    return static_cast<int>(std::lround(twips * logicalDpiY() / kTwipsPerInch));
}

} // namespace grid
