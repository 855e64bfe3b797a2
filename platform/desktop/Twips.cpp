// Twips conversion with the screen's logical resolution.
#include "platform/desktop/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace desktop {
namespace {

constexpr double kFallbackDotsPerInch = 96.0;

double UsableDotsPerInch(double dotsPerInch)
{
    return (std::isfinite(dotsPerInch) && dotsPerInch > 0.0) ? dotsPerInch : kFallbackDotsPerInch;
}

} // namespace

TwipsScale::TwipsScale(double dotsPerInchX, double dotsPerInchY)
    : dotsPerInchX_(UsableDotsPerInch(dotsPerInchX)), dotsPerInchY_(UsableDotsPerInch(dotsPerInchY))
{
}

TwipsScale TwipsScale::ForWidget(const QWidget& widget)
{
    const QScreen* screen = widget.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return TwipsScale(kFallbackDotsPerInch, kFallbackDotsPerInch);
    return TwipsScale(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
}

int TwipsScale::ToPixelsX(double twips) const
{
    return static_cast<int>(std::lround(twips * dotsPerInchX_ / kTwipsPerInch));
}

int TwipsScale::ToPixelsY(double twips) const
{
    return static_cast<int>(std::lround(twips * dotsPerInchY_ / kTwipsPerInch));
}

double TwipsScale::ToTwipsX(int pixels) const
{
    return pixels * kTwipsPerInch / dotsPerInchX_;
}

double TwipsScale::ToTwipsY(int pixels) const
{
    return pixels * kTwipsPerInch / dotsPerInchY_;
}

} // namespace desktop
