// Opening and inspecting paths of any length. Paths longer than the kernel
// accepts in one call are resolved in pieces with openat, one descriptor at a
// time, so neither PATH_MAX nor the number of free descriptors limits them.
#pragma once

#include <string>

#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

// open(2) for a path of any length. Returns the descriptor, or -1 with errno
// set. A path holding a NUL byte names no file (ENOENT), here and in
// StatLongPath.
int OpenLongPath(const std::string& path, int flags);

// stat(2) (followFinalLink) or lstat(2) for a path of any length.
bool StatLongPath(const std::string& path, struct stat& status, bool followFinalLink);

} // namespace platform
