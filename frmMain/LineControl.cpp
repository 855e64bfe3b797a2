// Placement and painting of the separator line.
#include "frmMain/LineControl.h"

#include <QPainter>

#include <algorithm>

#include "platform/desktop/Twips.h"

LineControl::LineControl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void LineControl::SetX1(double twips)
{
    if (x1_ == twips) return;
    x1_ = twips;
    Reposition();
}

void LineControl::SetY1(double twips)
{
    if (y1_ == twips) return;
    y1_ = twips;
    Reposition();
}

void LineControl::SetX2(double twips)
{
    if (x2_ == twips) return;
    x2_ = twips;
    Reposition();
}

void LineControl::SetY2(double twips)
{
    if (y2_ == twips) return;
    y2_ = twips;
    Reposition();
}

// Runs only when an end point moved: the window lays out on every paint, and
// repainting an unchanged line would ask for that paint again.
void LineControl::Reposition()
{
    const desktop::TwipsScale scale = desktop::TwipsScale::ForWidget(*this);
    const int left = scale.ToPixelsX(std::min(x1_, x2_));
    const int right = scale.ToPixelsX(std::max(x1_, x2_));
    const int top = scale.ToPixelsY(std::min(y1_, y2_));
    const int bottom = scale.ToPixelsY(std::max(y1_, y2_));
    setGeometry(left, top, std::max(1, right - left), std::max(1, bottom - top));
    update();
}

void LineControl::paintEvent(QPaintEvent*)
{
    const desktop::TwipsScale scale = desktop::TwipsScale::ForWidget(*this);
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Dark), 1));
    const QPoint origin = pos();
    painter.drawLine(QPoint(scale.ToPixelsX(x1_), scale.ToPixelsY(y1_)) - origin,
                     QPoint(scale.ToPixelsX(x2_), scale.ToPixelsY(y2_)) - origin);
}
