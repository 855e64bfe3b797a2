// Memory- and file-backed byte sources and the checked piece reader.
#include "platform/version/ByteSource.h"

#include "platform/LongPath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::version {

bool MemoryByteSource::ReadInto(std::uint64_t offset, std::span<std::uint8_t> out) const
{
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset)
        return false;
    if (!out.empty())  // an empty span may carry a null pointer, which memcpy must not get
        std::memcpy(out.data(), bytes_.data() + offset, out.size());
    return true;
}

std::optional<FileByteSource> FileByteSource::Open(const std::string& path)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return std::nullopt;
    // O_NONBLOCK keeps a FIFO from blocking the open; it is refused right after.
    int fd = platform::OpenLongPath(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat facts {};
    if (::fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode) || facts.st_size < 0) {
        ::close(fd);
        return std::nullopt;
    }
    return FileByteSource(fd, static_cast<std::uint64_t>(facts.st_size));
}

FileByteSource::FileByteSource(FileByteSource&& other) noexcept : fd_(other.fd_), size_(other.size_)
{
    other.fd_ = -1;
}

FileByteSource::~FileByteSource()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool FileByteSource::ReadInto(std::uint64_t offset, std::span<std::uint8_t> out) const
{
    std::size_t done = 0;
    while (done < out.size()) {
        ssize_t got = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;  // error, or the file shrank while being read
        done += static_cast<std::size_t>(got);
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> ReadBytes(const ByteSource& source, std::uint64_t offset,
                                                   std::size_t count)
{
    const std::uint64_t size = source.Size();
    if (count > kMaxPieceBytes || offset > size || count > size - offset)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(count);
    if (!source.ReadInto(offset, bytes))
        return std::nullopt;
    return bytes;
}

}  // namespace platform::version
