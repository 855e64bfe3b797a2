// Painting and resizing: a minimum outer size in the normal window state, and
// the line, the table and the status line fitted to the client area.
#include "frmMain/frmMain.h"

#include <QLabel>

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

void frmMain::EnforceMinimumSize()
{
    const desktop::TwipsScale scale = desktop::TwipsScale::ForWidget(*this);
    // The smallest whole pixel counts that are not below the minimum.
    const int minimumWidth = static_cast<int>(std::ceil(kMinimumOuterWidth * scale.DotsPerInchX() / 1440.0));
    const int minimumHeight = static_cast<int>(std::ceil(kMinimumOuterHeight * scale.DotsPerInchY() / 1440.0));
    const QSize outer = frameGeometry().size();
    const QSize frame = outer - size();
    const QSize wanted(std::max(outer.width(), minimumWidth), std::max(outer.height(), minimumHeight));
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
