// Removes a folder and everything below it, however deep: one descriptor at
// a time, down by name and back up through "..", with a stack of the
// subfolder names still to remove. Neither the depth, nor PATH_MAX, nor the
// number of free descriptors limits it, and its time and memory grow with
// the size of the tree. Folders locked by their permissions are opened up
// first.
#pragma once

#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/UniqueFd.h"

namespace testing_support {
namespace remove_tree_detail {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Unlinks every entry of the folder but its subfolders, and returns their
// names.
inline std::vector<std::string> UnlinkFilesListFolders(int folderFd)
{
    std::vector<std::string> folders;
    std::vector<std::string> others;
    platform::UniqueFd copy(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
    DIR* stream = copy ? ::fdopendir(copy.Get()) : nullptr;
    if (stream == nullptr) return folders;
    copy.Release();
    while (const dirent* entry = ::readdir(stream)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat status {};
        const bool isFolder = entry->d_type == DT_DIR ||
                              (entry->d_type == DT_UNKNOWN &&
                               ::fstatat(folderFd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                               S_ISDIR(status.st_mode));
        (isFolder ? folders : others).push_back(name);
    }
    ::closedir(stream);
    for (const std::string& name : others) ::unlinkat(folderFd, name.c_str(), 0);
    return folders;
}

inline platform::UniqueFd OpenUnlocked(int parentFd, const char* name)
{
    ::fchmodat(parentFd, name, S_IRWXU, 0);
    return platform::UniqueFd(::openat(parentFd, name, kFolderFlags));
}

} // namespace remove_tree_detail

inline void RemoveTree(const std::string& path)
{
    using namespace remove_tree_detail;
    struct Level {
        std::string name;
        std::vector<std::string> subfolders;
    };
    ::chmod(path.c_str(), S_IRWXU);
    platform::UniqueFd folder(::open(path.c_str(), kFolderFlags));
    if (!folder) return;
    std::vector<Level> levels;
    levels.push_back({std::string(), UnlinkFilesListFolders(folder.Get())});
    while (true) {
        Level& level = levels.back();
        if (!level.subfolders.empty()) {
            std::string name = std::move(level.subfolders.back());
            level.subfolders.pop_back();
            platform::UniqueFd child = OpenUnlocked(folder.Get(), name.c_str());
            if (!child) continue;
            std::vector<std::string> subfolders = UnlinkFilesListFolders(child.Get());
            folder = std::move(child);
            levels.push_back({std::move(name), std::move(subfolders)});
            continue;
        }
        if (levels.size() == 1) break;
        platform::UniqueFd parent(::openat(folder.Get(), "..", kFolderFlags));
        if (!parent) return;
        ::unlinkat(parent.Get(), level.name.c_str(), AT_REMOVEDIR);
        folder = std::move(parent);
        levels.pop_back();
    }
    folder.Reset();
    ::rmdir(path.c_str());
}

} // namespace testing_support
