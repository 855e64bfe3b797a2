// Painting and resizing: a minimum outer size in the normal window state (the
// design minimum, or more where the left-hand band and one table row need
// it), and the line, the table and the status line fitted to the client area.
#include "frmMain/frmMain.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>

#include <cmath>

#include "frmMain/LineControl.h"
#include "grid/ResultGridView.h"
#include "platform/desktop/Twips.h"

namespace {

constexpr double kMinimumOuterWidth = 4000;
constexpr double kMinimumOuterHeight = 3000;
constexpr double kLineFromBottom = 420;
constexpr double kGridLeft = 3600;
constexpr double kGridTop = 0;
constexpr double kGridHeightReduction = 450;
constexpr double kGridRightMargin = 135;
constexpr double kLabelLeft = 60;
constexpr double kLabelFromBottom = 330;
constexpr double kLabelWidthReduction = 120;
constexpr double kLabelHeight = 195;
// Space kept between the left-hand band and the line.
constexpr double kBandGap = 60;
// The narrowest table: its first column at the design width.
constexpr double kNarrowestGrid = 1500;

} // namespace

void frmMain::paintEvent(QPaintEvent* event)
{
    LayoutControls();
    QWidget::paintEvent(event);
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (isMinimized() || isMaximized() || isFullScreen()) return;
    EnforceMinimumSize();
    LayoutControls();
}

QSize frmMain::MinimumOuterSize() const
{
    const desktop::TwipsScale scale = desktop::TwipsScale::ForWidget(*this);
    // The smallest whole pixel counts that are not below the design minimum.
    const int designWidth = static_cast<int>(std::ceil(kMinimumOuterWidth * scale.DotsPerInchX() / 1440.0));
    const int designHeight = static_cast<int>(std::ceil(kMinimumOuterHeight * scale.DotsPerInchY() / 1440.0));

    // Every control of the left-hand band stays above the line.
    int bandRight = 0;
    int bandBottom = 0;
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control == grd_ || control == lblInfo_ || control == static_cast<QWidget*>(lin_) ||
            !control->isVisibleTo(this) || control->isWindow())
            continue;
        bandRight = std::max(bandRight, control->geometry().right() + 1);
        bandBottom = std::max(bandBottom, control->geometry().bottom() + 1);
    }
    const QTableView* table = grd_->Table();
    // The group-by strip, the table's frame, heading row, one row and the
    // horizontal scroll bar.
    const int oneRowTable = grd_->GroupByStrip()->sizeHint().height() + 2 * table->frameWidth() +
                            table->horizontalHeader()->sizeHint().height() +
                            table->verticalHeader()->defaultSectionSize() +
                            table->horizontalScrollBar()->sizeHint().height();
    const int clientWidth = std::max(bandRight, scale.ToPixelsX(kGridLeft + kNarrowestGrid + kGridRightMargin));
    const int clientHeight = std::max(bandBottom + scale.ToPixelsY(kLineFromBottom + kBandGap),
                                      oneRowTable + scale.ToPixelsY(kGridTop + kGridHeightReduction));
    const QSize frame = frameGeometry().size() - size();
    return {std::max(designWidth, clientWidth + frame.width()), std::max(designHeight, clientHeight + frame.height())};
}

void frmMain::EnforceMinimumSize()
{
    const QSize minimum = MinimumOuterSize();
    const QSize outer = frameGeometry().size();
    const QSize frame = outer - size();
    const QSize wanted(std::max(outer.width(), minimum.width()), std::max(outer.height(), minimum.height()));
    if (wanted != outer) resize(wanted - frame);
}

void frmMain::LayoutControls()
{
    const desktop::TwipsScale scale = desktop::TwipsScale::ForWidget(*this);
    const auto clientWidth = [&] { return static_cast<float>(scale.ToTwipsX(width())); };
    const auto clientHeight = [&] { return static_cast<float>(scale.ToTwipsY(height())); };

    lin_->SetX1(0);
    lin_->SetY1(clientHeight() - static_cast<float>(kLineFromBottom));
    lin_->SetX2(clientWidth());
    lin_->SetY2(lin_->Y1());

    // The grid ends 135 twips inside the client area's right edge, as the
    // design places it.
    grd_->Place(kGridLeft, kGridTop, clientWidth() - static_cast<float>(kGridLeft + kGridRightMargin),
                clientHeight() - static_cast<float>(kGridHeightReduction));

    const desktop::TwipsScale& s = scale;
    lblInfo_->setGeometry(s.ToPixelsX(kLabelLeft), s.ToPixelsY(clientHeight() - static_cast<float>(kLabelFromBottom)),
                          s.ToPixelsX(clientWidth() - static_cast<float>(kLabelWidthReduction)),
                          s.ToPixelsY(kLabelHeight));
}
