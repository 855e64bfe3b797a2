// Icons for files: the drawing target a caller offers and the process-wide
// icon source that finds a file's icon. The file-system layer has no image
// code of its own; the desktop layer installs a source that does. Without one
// no icon is ever found.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class IconSize { Small, Large };

// One icon as the source found it: an encoded image (for example PNG or ICO
// bytes) and the handle of the collection it came from, which callers report
// but never free.
struct FileIconImage {
    std::int32_t sourceHandle = 0;
    std::vector<std::uint8_t> encodedImage;
};

// Anything an icon can be drawn into: a switch that keeps drawn content
// visible, a size in twips (1/1440 inch) and the drawing itself.
class IconPaintTarget {
public:
    virtual ~IconPaintTarget() = default;
    virtual void SetAutoRedraw(bool enabled) = 0;
    virtual void SetWidthTwips(int twips) = 0;
    virtual void SetHeightTwips(int twips) = 0;
    // Draws the icon with its top-left corner at (xTwips, yTwips).
    virtual void DrawIcon(const FileIconImage& icon, int xTwips, int yTwips) = 0;
};

class FileIconSource {
public:
    virtual ~FileIconSource() = default;
    // The icon for the file at `path`, or sourceHandle 0 when there is none.
    virtual FileIconImage IconFor(const std::string& path, IconSize size) = 0;
};

// Installs the process-wide source (nullptr: none). Returns the previous one.
std::shared_ptr<FileIconSource> SetFileIconSource(std::shared_ptr<FileIconSource> source);

// The icon from the installed source; sourceHandle 0 when no source is installed.
FileIconImage FindFileIcon(const std::string& path, IconSize size);

} // namespace platform
