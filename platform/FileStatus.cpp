// File facts through stat, open and statx. The type is checked with stat
// before anything is opened, and files are opened non-blocking, so a FIFO
// that appears in place of a file still cannot hang the caller.
#include "platform/FileStatus.h"

#include <fcntl.h>

namespace platform {

std::int64_t ReadableRegularFileSize(const std::string& path)
{
    const LookedUpFile file(path);
    return file.IsOpenRegularFile() ? file.Status().st_size : 0;
}

std::optional<FileTimes> ReadOpenableFileTimes(const std::string& path)
{
    const LookedUpFile file(path);
    if (!file.IsOpenRegularFile()) return std::nullopt;
    FileTimes times;
    times.modified = file.Status().st_mtim.tv_sec;
    times.accessed = file.Status().st_atim.tv_sec;
    struct statx extended {};
    if (::statx(file.Descriptor(), "", AT_EMPTY_PATH, STATX_BTIME, &extended) == 0 &&
        (extended.stx_mask & STATX_BTIME))
        times.birth = extended.stx_btime.tv_sec;
    return times;
}

std::optional<std::int64_t> ReadLastModified(const std::string& path)
{
    struct stat status {};
    if (!StatLongPath(path, status, true)) return std::nullopt;
    return status.st_mtim.tv_sec;
}

} // namespace platform
