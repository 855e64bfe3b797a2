// Theme icons by MIME type, falling back to the style's generic file icon.
#include "platform/desktop/DesktopFileIcons.h"

#include <QBuffer>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>
#include <QPixmap>

#include <memory>

namespace desktop {
namespace {

int PixelsFor(platform::IconSize size)
{
    return size == platform::IconSize::Small ? 16 : 32;
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
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    const QIcon icon = ThemeIconFor(name);
    if (icon.isNull()) return {};
    const int pixels = PixelsFor(size);
    platform::FileIconImage image;
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
