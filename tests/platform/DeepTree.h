// Builds a chain of nested folders far deeper than PATH_MAX allows as one
// path, holding one descriptor at a time. TempFolder removes it again.
#pragma once

#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/UniqueFd.h"

namespace testing_support {

// Creates `levels` nested folders named `name` below `root` (ending in "/")
// and an empty file `leafFile` in the deepest one. Returns the deepest
// folder's path, ending in "/".
inline std::string MakeDeepTree(const std::string& root, int levels, const std::string& name,
                                const std::string& leafFile)
{
    platform::UniqueFd folder(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::string path = root;
    path.reserve(root.size() + static_cast<std::size_t>(levels) * (name.size() + 1));
    for (int level = 0; level < levels && folder; ++level) {
        ::mkdirat(folder.Get(), name.c_str(), 0755);
        folder.Reset(::openat(folder.Get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        path.append(name).push_back('/');
    }
    if (!folder) throw std::runtime_error("could not build the deep tree");
    platform::UniqueFd file(::openat(folder.Get(), leafFile.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    return path;
}

} // namespace testing_support
