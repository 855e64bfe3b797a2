// File icons read once per path and decoded into QIcons.
#include "grid/FileIconCache.h"

#include <QPixmap>

#include "platform/FileIcons.h"

namespace grid {

QIcon FileIconCache::IconFor(const std::string& path)
{
    if (const auto found = icons_.find(path); found != icons_.end()) return found->second;
    if (icons_.size() >= kMaxEntries) icons_.clear();
    const platform::FileIconImage image = platform::FindFileIcon(path, platform::IconSize::Small);
    QIcon icon;
    QPixmap pixmap;
    if (image.sourceHandle != 0 &&
        pixmap.loadFromData(image.encodedImage.data(), static_cast<uint>(image.encodedImage.size())))
        icon = QIcon(pixmap);
    icons_.emplace(path, icon);
    return icon;
}

} // namespace grid
