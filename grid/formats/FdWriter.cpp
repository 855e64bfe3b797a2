// Buffered, checked writing to a file descriptor: write(2) is repeated after
// EINTR and after partial writes until every byte is taken or an error comes.
#include "grid/formats/FdWriter.h"

#include <cerrno>
#include <unistd.h>

namespace grid::formats {

FdWriter::FdWriter(int fd) : fd_(fd)
{
    buffer_.reserve(kBufferSize);
}

void FdWriter::Write(std::string_view text)
{
    if (error_ != 0) return;
    if (buffer_.size() + text.size() > kBufferSize) {
        if (!Flush()) return;
        if (text.size() >= kBufferSize) {
            WriteAll(text.data(), text.size());
            return;
        }
    }
    buffer_.append(text);
}

bool FdWriter::Flush()
{
    if (error_ != 0) return false;
    const bool written = WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
    return written;
}

void FdWriter::Fail(int error)
{
    if (error_ == 0) error_ = error;
}

bool FdWriter::ReaderGone() const
{
    return error_ == EPIPE;
}

bool FdWriter::WriteAll(const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return false;
        }
        if (written == 0) {
            error_ = EIO;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace grid::formats
