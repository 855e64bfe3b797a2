// The process-wide icon source; without one no icon is found.
#include "platform/FileIcons.h"

#include <utility>

namespace platform {
namespace {

std::shared_ptr<FileIconSource>& InstalledSource()
{
    static std::shared_ptr<FileIconSource> source;
    return source;
}

} // namespace

std::shared_ptr<FileIconSource> SetFileIconSource(std::shared_ptr<FileIconSource> source)
{
    return std::exchange(InstalledSource(), std::move(source));
}

FileIconImage FindFileIcon(const std::string& path, IconSize size)
{
    const std::shared_ptr<FileIconSource> source = InstalledSource();
    return source ? source->IconFor(path, size) : FileIconImage{};
}

} // namespace platform
