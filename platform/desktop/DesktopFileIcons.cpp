// A PE image's own icon where it has one; otherwise the theme's icon for the
// MIME type, falling back to the style's generic file icon.
#include "platform/desktop/DesktopFileIcons.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPixmap>

#include <cstdlib>
#include <memory>

#include "platform/version/PeIcons.h"

namespace desktop {
namespace {

int PixelsFor(platform::IconSize size)
{
    return size == platform::IconSize::Small ? 16 : 32;
}

// The image's own icon: of the icon file's images, the one nearest the size
// wanted, scaled to it. A null pixmap when there is none or it cannot be read.
QPixmap OwnIconOf(const std::string& path, int pixels)
{
    const std::optional<std::vector<std::uint8_t>> iconFile = platform::ReadIconFile(path);
    if (!iconFile || iconFile->empty()) return {};
    QByteArray bytes(reinterpret_cast<const char*>(iconFile->data()), static_cast<qsizetype>(iconFile->size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ICO");
    QImage best;
    do {
        const QImage candidate = reader.read();
        if (candidate.isNull()) break;
        if (best.isNull() || std::abs(candidate.width() - pixels) < std::abs(best.width() - pixels)) best = candidate;
    } while (reader.jumpToNextImage());
    if (best.isNull()) return {};
    return QPixmap::fromImage(best.scaled(pixels, pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QIcon ThemeIconFor(const QString& path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    for (const QString& name : {type.iconName(), type.genericIconName()}) {
        if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    }
    return QFileIconProvider().icon(QFileIconProvider::File);
}

std::vector<std::uint8_t> EncodePng(const QPixmap& pixmap)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!pixmap.save(&buffer, "PNG")) return {};
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

} // namespace

platform::FileIconImage DesktopFileIconSource::IconFor(const std::string& path, platform::IconSize size)
{
    const int pixels = PixelsFor(size);
    platform::FileIconImage image;
    const QPixmap own = OwnIconOf(path, pixels);
    if (!own.isNull()) {
        image.encodedImage = EncodePng(own);
        image.sourceHandle = kIconFromImage;
        if (!image.encodedImage.empty()) return image;
    }
    const QIcon icon = ThemeIconFor(QFile::decodeName(QByteArray::fromStdString(path)));
    if (icon.isNull()) return {};
    image.encodedImage = EncodePng(icon.pixmap(pixels, pixels));
    if (image.encodedImage.empty()) return {};
    image.sourceHandle = kIconFromTheme;
    return image;
}

void InstallDesktopFileIcons()
{
    platform::SetFileIconSource(std::make_shared<DesktopFileIconSource>());
}

} // namespace desktop
