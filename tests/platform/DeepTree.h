// Builds and removes a chain of nested folders far deeper than PATH_MAX
// allows as one path, holding one descriptor at a time.
#pragma once

#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testing_support {

// Creates `levels` nested folders named `name` below `root` (ending in "/")
// and an empty file `leafFile` in the deepest one. Returns the deepest
// folder's path, ending in "/".
inline std::string MakeDeepTree(const std::string& root, int levels, const std::string& name,
                                const std::string& leafFile)
{
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::string path = root;
    for (int level = 0; level < levels && fd >= 0; ++level) {
        ::mkdirat(fd, name.c_str(), 0755);
        const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = child;
        path += name + "/";
    }
    if (fd < 0) throw std::runtime_error("could not build the deep tree");
    const int file = ::openat(fd, leafFile.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (file >= 0) ::close(file);
    ::close(fd);
    return path;
}

// Removes what MakeDeepTree built below `root`.
inline void RemoveDeepTree(const std::string& root, int levels, const std::string& name, const std::string& leafFile)
{
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < levels && fd >= 0; ++level) {
        const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = child;
    }
    if (fd < 0) return;
    ::unlinkat(fd, leafFile.c_str(), 0);
    for (int level = 0; level < levels; ++level) {
        const int parent = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = parent;
        if (fd < 0) return;
        ::unlinkat(fd, name.c_str(), AT_REMOVEDIR);
    }
    ::close(fd);
}

} // namespace testing_support
