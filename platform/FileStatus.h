// File facts read from the file system for a path of any length: the size of
// a readable regular file, its three times, its last-modification time. FIFOs,
// devices and sockets are never opened in a way that can block, and never read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <sys/stat.h>

namespace platform {

// One look at a path, links followed: its status, and for a regular file a
// read-only, non-blocking descriptor. Only what the look shows to be a regular
// file is opened; once open, the descriptor's own status replaces the path's,
// so size, times and contents all describe the same file even when the path
// is replaced meanwhile. The descriptor is closed on destruction.
class LookedUpFile {
public:
    explicit LookedUpFile(const std::string& path);
    ~LookedUpFile();
    LookedUpFile(const LookedUpFile&) = delete;
    LookedUpFile& operator=(const LookedUpFile&) = delete;

    // Whether anything exists at the path.
    bool Exists() const { return exists_; }
    // The status of what exists; zeroed when nothing does.
    const struct stat& Status() const { return status_; }
    // Whether a regular file is open for reading.
    bool IsOpenRegularFile() const { return fd_ >= 0; }
    // The open descriptor; -1 unless IsOpenRegularFile().
    int Descriptor() const { return fd_; }

private:
    struct stat status_ {};
    bool exists_ = false;
    int fd_ = -1;
};

// The size of a regular file that can be opened for reading; 0 for anything
// else (missing, unreadable, a folder, a FIFO or device).
std::int64_t ReadableRegularFileSize(const std::string& path);

// Seconds since 1970-01-01 UTC.
struct FileTimes {
    std::optional<std::int64_t> birth;  // empty where the file system records none
    std::int64_t modified = 0;
    std::int64_t accessed = 0;
};

// The times of a regular file that can be opened for reading; empty otherwise.
std::optional<FileTimes> ReadOpenableFileTimes(const std::string& path);

// The last-modification time (links followed) of anything that exists.
std::optional<std::int64_t> ReadLastModified(const std::string& path);

} // namespace platform
