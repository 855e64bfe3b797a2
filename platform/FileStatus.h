// File facts read from the file system for a path of any length: the size of
// a readable regular file, its three times, its last-modification time. FIFOs,
// devices and sockets are never opened in a way that can block, and never read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/LongPath.h"

namespace platform {

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
