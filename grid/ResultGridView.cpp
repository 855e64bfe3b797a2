// The result table widget: group-by strip, table view, twips placement and
// the heading click that the window turns into a sort.
#include "grid/ResultGridView.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "grid/CellText.h"
#include "grid/ResultGridModel.h"

namespace grid {
namespace {

constexpr double kTwipsPerInch = 1440.0;

} // namespace

ResultGridView::ResultGridView(QWidget* parent)
    : QWidget(parent), groupByStrip_(new QLabel(QString::fromLatin1(kGroupByPrompt), this)),
      table_(new QTableView(this))
{
    setFont(GridFont());

    groupByStrip_->setObjectName(QStringLiteral("groupByStrip"));
    groupByStrip_->setContentsMargins(6, 4, 6, 4);
    groupByStrip_->setAutoFillBackground(true);
    groupByStrip_->setBackgroundRole(QPalette::Dark);
    groupByStrip_->setForegroundRole(QPalette::BrightText);

    table_->setSortingEnabled(false);
    table_->setWordWrap(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

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
    if (model_) disconnect(model_, nullptr, this, nullptr);
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
        if (table_->isColumnHidden(column) != hidden) table_->setColumnHidden(column, hidden);
        const QVariant width = model_->headerData(column, Qt::Horizontal, ResultGridModel::WidthTwipsRole);
        if (!width.isValid()) continue;
        const double twips = width.toDouble();
        double& applied = appliedWidthTwips_[static_cast<std::size_t>(column)];
        if (twips == applied) continue;
        applied = twips;
        table_->setColumnWidth(column, std::max(0, TwipsToPixelsX(twips)));
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

int ResultGridView::TwipsToPixelsX(double twips) const
{
    return static_cast<int>(std::lround(twips * logicalDpiX() / kTwipsPerInch));
}

int ResultGridView::TwipsToPixelsY(double twips) const
{
    return static_cast<int>(std::lround(twips * logicalDpiY() / kTwipsPerInch));
}

} // namespace grid
