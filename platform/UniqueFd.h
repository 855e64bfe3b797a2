// The one owning file descriptor: closes what it holds when it goes out of
// scope, so no failure path can leak a descriptor. Move-only.
#pragma once

#include <cerrno>
#include <utility>

#include <unistd.h>

namespace platform {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

    // Gives up ownership without closing.
    int Release() { return std::exchange(fd_, -1); }

    // Closes the held descriptor (keeping errno) and takes `fd` instead.
    void Reset(int fd = -1)
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
