// File facts through stat, open and statx. The type is checked with stat
// before anything is opened, and files are opened non-blocking, so a FIFO
// that appears in place of a file still cannot hang the caller.
#include "platform/FileStatus.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/LongPath.h"

namespace platform {
namespace {

// A read-only descriptor for a regular file, closed on destruction.
class ReadableRegularFile {
public:
    explicit ReadableRegularFile(const std::string& path)
    {
        struct stat status {};
        if (!StatLongPath(path, status, true) || !S_ISREG(status.st_mode)) return;
        fd_ = OpenLongPath(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
    }
    ~ReadableRegularFile()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    ReadableRegularFile(const ReadableRegularFile&) = delete;
    ReadableRegularFile& operator=(const ReadableRegularFile&) = delete;

    // The status of the open file; false when it is not open or, since the
    // path may have been replaced between stat and open, no longer regular.
    bool StatusOf(struct stat& status) const
    {
        return fd_ >= 0 && ::fstat(fd_, &status) == 0 && S_ISREG(status.st_mode);
    }
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

} // namespace

std::int64_t ReadableRegularFileSize(const std::string& path)
{
    const ReadableRegularFile file(path);
    struct stat status {};
    return file.StatusOf(status) ? status.st_size : 0;
}

std::optional<FileTimes> ReadOpenableFileTimes(const std::string& path)
{
    const ReadableRegularFile file(path);
    struct stat status {};
    if (!file.StatusOf(status)) return std::nullopt;
    FileTimes times;
    times.modified = status.st_mtim.tv_sec;
    times.accessed = status.st_atim.tv_sec;
    struct statx extended {};
    if (::statx(file.fd(), "", AT_EMPTY_PATH, STATX_BTIME, &extended) == 0 && (extended.stx_mask & STATX_BTIME))
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
