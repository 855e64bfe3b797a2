// Temporary-file-and-rename saving on POSIX file systems.
#include "grid/xls/AtomicFileSave.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace grid::xls {
namespace {

constexpr std::size_t kWriteBufferSize = 1 << 20;
constexpr int kNameAttempts = 100;

// Buffered writes to a file descriptor that remember the first failure.
class FileSink final : public ByteSink {
public:
    explicit FileSink(int fd) : fd_(fd) { buffer_.reserve(kWriteBufferSize); }

    bool Put(std::span<const std::uint8_t> bytes) override
    {
        if (failure_ != 0) return false;
        if (buffer_.size() + bytes.size() > kWriteBufferSize && !Flush()) return false;
        if (bytes.size() >= kWriteBufferSize) return WriteAll(bytes);
        buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
        return true;
    }

    bool Flush()
    {
        if (failure_ != 0) return false;
        const bool written = WriteAll(buffer_);
        buffer_.clear();
        return written;
    }

    int Failure() const { return failure_; }

private:
    bool WriteAll(std::span<const std::uint8_t> bytes)
    {
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR) continue;
                failure_ = errno;
                return false;
            }
            bytes = bytes.subspan(static_cast<std::size_t>(written));
        }
        return true;
    }

    int fd_;
    int failure_ = 0;
    std::vector<std::uint8_t> buffer_;
};

std::string FolderPrefix(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Creates a new, exclusively owned file with a fresh name in path's folder.
int CreateTemporaryFile(const std::string& path, std::string& temporaryPath)
{
    const std::string folder = FolderPrefix(path);
    auto seed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    seed ^= static_cast<unsigned long long>(::getpid()) << 32;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        char name[40];
        std::snprintf(name, sizeof name, ".lumbrel-%016llx.tmp", seed);
        temporaryPath = folder + name;
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Moves the finished file into place; errno tells the cause of a failure.
bool MoveIntoPlace(const std::string& from, const std::string& to, bool replaceExisting)
{
    if (replaceExisting) return ::rename(from.c_str(), to.c_str()) == 0;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without the no-replace rename: a hard link also refuses
    // an existing name.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

bool Fail(const std::string& path, int cause, std::string& error)
{
    error = "Cannot save \"" + path + "\": " + std::system_category().message(cause);
    return false;
}

} // namespace

bool SaveAtomically(const std::string& path, bool replaceExisting, const std::function<bool(ByteSink&)>& write,
                    std::string& error)
{
    std::string temporaryPath;
    const int fd = CreateTemporaryFile(path, temporaryPath);
    if (fd < 0) return Fail(path, errno, error);

    FileSink sink(fd);
    int cause = 0;
    if (!write(sink) || !sink.Flush()) cause = sink.Failure() != 0 ? sink.Failure() : EIO;
    if (cause == 0 && ::fsync(fd) != 0) cause = errno;
    if (::close(fd) != 0 && cause == 0) cause = errno;
    if (cause == 0 && !MoveIntoPlace(temporaryPath, path, replaceExisting)) cause = errno;
    if (cause == 0) return true;
    ::unlink(temporaryPath.c_str());
    return Fail(path, cause, error);
}

} // namespace grid::xls
