// Icons drawn through the engine's icon query into a picture box: the box
// takes the size in twips, shows the file's own icon, and keeps it across
// repaints only while automatic redraw is on.
#include <QImage>
#include <QBuffer>
#include <QPixmap>

#include <gtest/gtest.h>

#include "cDisk/cDisk.h"
#include "platform/desktop/DesktopFileIcons.h"
#include "platform/desktop/PictureBox.h"
#include "platform/desktop/Twips.h"

namespace {

int OpaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0) ++count;
    return count;
}

TEST(PictureBox, EngineDrawsTheFileIconAtTheRequestedSize)
{
    desktop::InstallDesktopFileIcons();
    desktop::PictureBox box;
    const desktop::TwipsScale scale = desktop::TwipsScale::ForWidget(box);
    cDisk dsk;

    EXPECT_EQ(dsk.GetFileIcon(LUMBREL_FIXTURES_DIR "/pe/no_version_icon.dll", 1, box), desktop::kIconFromImage);
    EXPECT_TRUE(box.AutoRedraw());
    EXPECT_EQ(box.width(), scale.ToPixelsX(480));
    EXPECT_EQ(box.height(), scale.ToPixelsY(480));
    EXPECT_GT(OpaquePixels(box.Canvas()), 0);

    // The drawing survives a repaint because automatic redraw is on.
    box.grab();
    EXPECT_GT(OpaquePixels(box.Canvas()), 0);

    desktop::PictureBox small;
    EXPECT_NE(dsk.GetFileIcon(LUMBREL_FIXTURES_DIR "/pe/plain32.dll", 0, small), 0);
    EXPECT_EQ(small.width(), scale.ToPixelsX(240));
    platform::SetFileIconSource(nullptr);
}

TEST(PictureBox, UnknownSizeCodeDrawsNothingAndKeepsTheSize)
{
    desktop::InstallDesktopFileIcons();
    desktop::PictureBox box;
    box.resize(40, 30);
    cDisk dsk;
    EXPECT_EQ(dsk.GetFileIcon(LUMBREL_FIXTURES_DIR "/pe/no_version_icon.dll", 2, box), 0);
    EXPECT_TRUE(box.AutoRedraw());
    EXPECT_EQ(box.size(), QSize(40, 30));
    EXPECT_EQ(OpaquePixels(box.Canvas()), 0);
    platform::SetFileIconSource(nullptr);
}

TEST(PictureBox, WithoutAutoRedrawARepaintLosesTheDrawing)
{
    desktop::PictureBox box;
    box.SetWidthTwips(480);
    box.SetHeightTwips(480);
    QImage red(8, 8, QImage::Format_ARGB32);
    red.fill(Qt::red);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        red.save(&buffer, "PNG");
    }
    platform::FileIconImage icon{7, std::vector<std::uint8_t>(png.begin(), png.end())};
    box.DrawIcon(icon, 0, 0);
    EXPECT_EQ(OpaquePixels(box.Canvas()), 64);
    box.grab();
    EXPECT_EQ(OpaquePixels(box.Canvas()), 0);

    // Bytes that are no image draw nothing.
    box.DrawIcon(platform::FileIconImage{7, {'n', 'o', 'p', 'e'}}, 0, 0);
    EXPECT_EQ(OpaquePixels(box.Canvas()), 0);
}

} // namespace
