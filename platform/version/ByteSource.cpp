// Memory- and file-backed byte sources and the checked piece reader.
#include "platform/version/ByteSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <unistd.h>

namespace platform::version {
namespace {

// Each thread's window memory between two FileByteSources; at most one
// window (kFileWindowBytes) large.
thread_local std::vector<std::uint8_t> spareWindow;

// Reads up to out.size() bytes at offset; stops early at the end of the file
// or on an error. Returns how many bytes were read.
std::size_t PreadUpTo(int fd, std::uint64_t offset, std::span<std::uint8_t> out)
{
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;  // error, or the file shrank while being read
        done += static_cast<std::size_t>(got);
    }
    return done;
}

}  // namespace

bool MemoryByteSource::ReadInto(std::uint64_t offset, std::span<std::uint8_t> out) const
{
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset)
        return false;
    if (!out.empty())  // an empty span may carry a null pointer, which memcpy must not get
        std::memcpy(out.data(), bytes_.data() + offset, out.size());
    return true;
}

FileByteSource::FileByteSource(int fd, std::uint64_t size) : fd_(fd), size_(size), buffer_(std::move(spareWindow))
{
}

FileByteSource::~FileByteSource()
{
    if (buffer_.size() > spareWindow.size()) spareWindow = std::move(buffer_);
}

void FileByteSource::LoadWindow(std::uint64_t start, std::size_t count) const
{
    // No read-ahead advice: the kernel already reads a small read far from
    // the last one as it stands, and the advice would cost a system call per
    // large file (measured: cold reads of a folder of images fetched 4% fewer
    // bytes with it, and took no less time).
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - start));
    // The buffer only grows: shrinking it and growing it again would clear
    // the bytes each pread is about to overwrite.
    if (buffer_.size() < want) buffer_.resize(want);
    windowBytes_ = PreadUpTo(fd_, start, std::span(buffer_).first(want));
    windowStart_ = start;
}

bool FileByteSource::ReadInto(std::uint64_t offset, std::span<std::uint8_t> out) const
{
    if (offset > size_ || out.size() > size_ - offset)
        return false;
    if (out.empty())
        return true;
    // Larger pieces than a window go straight to the file.
    if (out.size() > kFileWindowBytes)
        return PreadUpTo(fd_, offset, out) == out.size();

    const auto inWindow = [&] {
        return offset >= windowStart_ && offset - windowStart_ <= windowBytes_
            && out.size() <= windowBytes_ - (offset - windowStart_);
    };
    if (!inWindow()) {
        // Start a little before the piece when the piece still fits, so that
        // the structures just before it come along.
        std::uint64_t start = offset - offset % kFileWindowAlignment;
        if (offset + out.size() - start > kFileWindowBytes)
            start = offset;
        const std::uint64_t needed = offset + out.size() - start;
        LoadWindow(start, static_cast<std::size_t>(std::max<std::uint64_t>(needed, kFileReadBytes)));
        if (!inWindow())
            return false;  // the file is shorter now than when it was opened
    }
    std::memcpy(out.data(), buffer_.data() + (offset - windowStart_), out.size());
    return true;
}

std::optional<std::vector<std::uint8_t>> ReadBytes(const ByteSource& source, std::uint64_t offset,
                                                   std::size_t count)
{
    if (!PieceFits(source, offset, count))
        return std::nullopt;
    std::vector<std::uint8_t> bytes(count);
    if (!source.ReadInto(offset, bytes))
        return std::nullopt;
    return bytes;
}

}  // namespace platform::version
