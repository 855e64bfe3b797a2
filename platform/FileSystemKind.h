// Which file systems a walk should not enter on its own: the kernel's pseudo
// file systems (proc, sysfs, devtmpfs, cgroup, debugfs, tracefs and the like),
// whose entries are views of kernel state, not files, and whose sizes are not
// sizes. Recognised by the type statfs reports; devtmpfs reports itself as
// tmpfs, so a tmpfs is looked up in the mount table by its device number.
#pragma once

#include <cstdint>

namespace platform {

// Whether a statfs f_type value names a kernel pseudo file system.
bool IsPseudoFileSystemType(std::int64_t fileSystemType);

// Whether the open descriptor lies on a kernel pseudo file system. False when
// it cannot be told.
bool IsOnPseudoFileSystem(int fd);

} // namespace platform
