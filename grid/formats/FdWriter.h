// A buffered writer on a POSIX file descriptor, which it does not own. Every
// write is checked; the first failure is kept (its errno) and later writes do
// nothing, so a caller may write a whole row and look at Failed() once.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "grid/formats/OutputSink.h"

namespace grid::formats {

class FdWriter final : public OutputSink {
public:
    // Four pages: each page of the buffer costs a page fault when first
    // written, and on a virtual machine that costs as much as a write call
    // (measured: a 64 KiB buffer made a 650-row run 3% slower, and a
    // 10,000-row run no faster).
    static constexpr std::size_t kBufferSize = 16 * 1024;

    explicit FdWriter(int fd);
    FdWriter(const FdWriter&) = delete;
    FdWriter& operator=(const FdWriter&) = delete;

    void Write(std::string_view text) override;
    // Hands the buffered bytes to the kernel.
    bool Flush();

    // Records a failure found outside write(2); the first failure is kept.
    void Fail(int error) override;

    bool Failed() const override { return error_ != 0; }
    int Error() const { return error_; }
    // True when the failure is a reader that went away (EPIPE).
    bool ReaderGone() const;

private:
    bool WriteAll(const char* data, std::size_t size);

    int fd_;
    int error_ = 0;
    std::string buffer_;
};

} // namespace grid::formats
