// A straight line drawn on its parent, given by two end points in twips of
// the parent's client area. The widget covers the line's bounding box (at
// least one pixel thick) and paints the line in the palette's shadow colour.
#pragma once

#include <QWidget>

class LineControl : public QWidget {
public:
    explicit LineControl(QWidget* parent);

    double X1() const { return x1_; }
    double Y1() const { return y1_; }
    double X2() const { return x2_; }
    double Y2() const { return y2_; }
    void SetX1(double twips);
    void SetY1(double twips);
    void SetX2(double twips);
    void SetY2(double twips);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Reposition();

    double x1_ = 0;
    double y1_ = 0;
    double x2_ = 0;
    double y2_ = 0;
};
