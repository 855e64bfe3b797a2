// A widget that file icons can be drawn into: it keeps what was drawn on an
// off-screen canvas (automatic redraw on) so repaints show it again, takes its
// size in twips, and decodes the encoded icon images the icon source hands out.
#pragma once

#include <QImage>
#include <QWidget>

#include "platform/FileIcons.h"

namespace desktop {

class PictureBox final : public QWidget, public platform::IconPaintTarget {
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void SetAutoRedraw(bool enabled) override;
    void SetWidthTwips(int twips) override;
    void SetHeightTwips(int twips) override;
    void DrawIcon(const platform::FileIconImage& icon, int xTwips, int yTwips) override;

    bool AutoRedraw() const { return autoRedraw_; }
    // What has been drawn so far, at the widget's pixel size.
    const QImage& Canvas() const { return canvas_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool autoRedraw_ = false;
    QImage canvas_;
};

} // namespace desktop
