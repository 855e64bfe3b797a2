// One owned file descriptor: closed when its owner goes away, moved but never
// copied. Closing never changes errno, so the reason a call failed survives
// the clean-up that follows it.
#pragma once

#include <cerrno>
#include <utility>

#include <unistd.h>

namespace platform {

class UniqueFd {
public:
    UniqueFd() = default;
    // Takes ownership of `fd`; a negative value owns nothing.
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    ~UniqueFd() { Reset(); }

    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    // The descriptor, still owned; -1 when none is.
    int Get() const noexcept { return fd_; }
    explicit operator bool() const noexcept { return fd_ >= 0; }

    // Gives up ownership and returns the descriptor (-1 when none was owned).
    int Release() noexcept { return std::exchange(fd_, -1); }

    // Closes the owned descriptor, if any, and owns `fd` instead.
    void Reset(int fd = -1) noexcept
    {
        if (fd_ >= 0) {
            const int savedErrno = errno;
            ::close(fd_);
            errno = savedErrno;
        }
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

} // namespace platform
