// Converts between twips (1,440 per inch) and device pixels with a logical
// resolution in dots per inch: 15 twips per pixel at 96 DPI.
#pragma once

class QWidget;

namespace desktop {

class TwipsScale {
public:
    static constexpr double kTwipsPerInch = 1440.0;

    TwipsScale(double dotsPerInchX, double dotsPerInchY);

    // The logical resolution of the screen the widget is on (the primary
    // screen when it has none yet).
    static TwipsScale ForWidget(const QWidget& widget);

    // Nearest whole pixel for a length or coordinate in twips.
    int ToPixelsX(double twips) const;
    int ToPixelsY(double twips) const;
    // Exact length in twips of a pixel count.
    double ToTwipsX(int pixels) const;
    double ToTwipsY(int pixels) const;

    double DotsPerInchX() const { return dotsPerInchX_; }
    double DotsPerInchY() const { return dotsPerInchY_; }

private:
    double dotsPerInchX_;
    double dotsPerInchY_;
};

} // namespace desktop
