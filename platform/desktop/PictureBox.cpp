// Draws icons onto a persistent canvas. Without automatic redraw a drawing is
// shown once and lost at the next repaint, as with a plain window; with it the
// canvas is painted back every time.
#include "platform/desktop/PictureBox.h"

#include <QPainter>

#include "platform/desktop/Twips.h"

namespace desktop {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    canvas_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    canvas_.fill(Qt::transparent);
}

void PictureBox::SetAutoRedraw(bool enabled)
{
    autoRedraw_ = enabled;
}

void PictureBox::SetWidthTwips(int twips)
{
    resize(TwipsScale::ForWidget(*this).ToPixelsX(twips), height());
}

void PictureBox::SetHeightTwips(int twips)
{
    resize(width(), TwipsScale::ForWidget(*this).ToPixelsY(twips));
}

void PictureBox::DrawIcon(const platform::FileIconImage& icon, int xTwips, int yTwips)
{
    if (icon.sourceHandle == 0 || icon.encodedImage.empty()) return;
    const QImage image = QImage::fromData(icon.encodedImage.data(),
                                          static_cast<int>(icon.encodedImage.size()));
    if (image.isNull()) return;
    const TwipsScale scale = TwipsScale::ForWidget(*this);
    QPainter painter(&canvas_);
    painter.drawImage(QPoint(scale.ToPixelsX(xTwips), scale.ToPixelsY(yTwips)), image);
    painter.end();
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), canvas_);
    if (!autoRedraw_) canvas_.fill(Qt::transparent);
}

void PictureBox::resizeEvent(QResizeEvent*)
{
    // Keep what was drawn; the grown part starts transparent.
    QImage grown(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    grown.fill(Qt::transparent);
    QPainter painter(&grown);
    painter.drawImage(QPoint(0, 0), canvas_);
    painter.end();
    canvas_ = grown;
}

} // namespace desktop
