// Temporary-file-and-rename saving on POSIX file systems.
#include "grid/xls/AtomicFileSave.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "platform/TemporaryFile.h"

namespace grid::xls {
namespace {

constexpr std::size_t kWriteBufferSize = 1 << 20;

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

bool Fail(const std::string& path, int cause, std::string& error)
{
    error = "Cannot save \"" + path + "\": " + std::system_category().message(cause);
    return false;
}

} // namespace

bool SaveAtomically(const std::string& path, bool replaceExisting, const std::function<bool(ByteSink&)>& write,
                    std::string& error)
{
    platform::TemporaryFile file(path);
    if (!file.Ok()) return Fail(path, file.Error(), error);

    FileSink sink(file.Fd());
    if (!write(sink) || !sink.Flush()) return Fail(path, sink.Failure() != 0 ? sink.Failure() : EIO, error);
    if (!file.Commit(replaceExisting)) return Fail(path, file.Error(), error);
    return true;
}

} // namespace grid::xls
