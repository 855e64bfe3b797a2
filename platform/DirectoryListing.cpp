// Reads a folder with readdir. Entry kinds come from d_type; where the file
// system does not fill it, lstat relative to the open folder decides.
#include "platform/DirectoryListing.h"

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/LongPath.h"

namespace platform {
namespace {

bool IsFolderEntry(int folderFd, const dirent& entry)
{
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_UNKNOWN) return false;
    struct stat status {};
    return ::fstatat(folderFd, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
}

// Follows links; only regular files have a size here.
std::int64_t EntrySize(int folderFd, const char* name)
{
    struct stat status {};
    if (::fstatat(folderFd, name, &status, 0) != 0 || !S_ISREG(status.st_mode)) return 0;
    return status.st_size;
}

} // namespace

bool DirectoryListing::Read(const std::string& folderPath, const SizeWanted& sizeWanted)
{
    names_.clear();
    entries_.clear();
    const int fd = OpenLongPath(folderPath, O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    DIR* folder = ::fdopendir(fd);
    if (folder == nullptr) {
        ::close(fd);
        return false;
    }
    const int folderFd = ::dirfd(folder);
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name(entry->d_name);
        const bool isFolder = IsFolderEntry(folderFd, *entry);
        const bool sizeTaken = !isFolder && sizeWanted && sizeWanted(name);
        const std::int64_t size = sizeTaken ? EntrySize(folderFd, entry->d_name) : 0;
        entries_.push_back(Entry{names_.size(), static_cast<std::uint32_t>(name.size()), isFolder, sizeTaken, size});
        names_.append(name);
    }
    ::closedir(folder);
    return true;
}

} // namespace platform
