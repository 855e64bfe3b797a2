// Reads a folder with readdir. Entry kinds come from d_type; where the file
// system does not fill it, lstat relative to the open folder decides.
#include "platform/DirectoryListing.h"

#include <cerrno>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/LongPath.h"

namespace platform {
namespace {

struct FolderStreamCloser {
    void operator()(DIR* folder) const { ::closedir(folder); }
};
using FolderStream = std::unique_ptr<DIR, FolderStreamCloser>;

bool IsFolderEntry(int folderFd, const dirent& entry)
{
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_UNKNOWN) return false;
    struct stat status {};
    return ::fstatat(folderFd, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
}

// The size of an entry, links followed, and whether it is a regular file;
// only regular files have a size here.
struct EntryLook {
    bool isRegular = false;
    std::int64_t size = 0;
};

EntryLook LookAtEntry(int folderFd, const char* name)
{
    struct stat status {};
    if (::fstatat(folderFd, name, &status, 0) != 0 || !S_ISREG(status.st_mode)) return {};
    return {true, status.st_size};
}

} // namespace

bool DirectoryListing::Read(const std::string& folderPath, const SizeWanted& sizeWanted, bool regularFileSizes)
{
    return ReadFolder(UniqueFd(OpenLongPath(folderPath, O_RDONLY | O_DIRECTORY)), sizeWanted, regularFileSizes);
}

bool DirectoryListing::ReadOpenFolder(int folderFd, const SizeWanted& sizeWanted, bool regularFileSizes)
{
    return ReadFolder(UniqueFd(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0)), sizeWanted, regularFileSizes);
}

bool DirectoryListing::ReadFolder(UniqueFd folderFd, const SizeWanted& sizeWanted, bool regularFileSizes)
{
    names_.clear();
    entries_.clear();
    error_ = 0;
    if (!folderFd) {
        error_ = errno;
        return false;
    }
    const FolderStream folder(::fdopendir(folderFd.Get()));
    if (!folder) {
        error_ = errno;
        return false;
    }
    folderFd.Release();
    // A copied descriptor shares its position with the original.
    ::rewinddir(folder.get());
    const int fd = ::dirfd(folder.get());
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(folder.get());
        if (entry == nullptr) {
            error_ = errno;
            break;
        }
        const std::string_view name(entry->d_name);
        const bool isFolder = IsFolderEntry(fd, *entry);
        const bool sizeTaken = !isFolder && sizeWanted && sizeWanted(name);
        EntryLook look;
        if (sizeTaken) look = !regularFileSizes && entry->d_type == DT_REG ? EntryLook{true, 0} : LookAtEntry(fd, entry->d_name);
        entries_.push_back(Entry{names_.size(), static_cast<std::uint32_t>(name.size()), isFolder, sizeTaken,
                                 look.isRegular, look.size});
        names_.append(name);
    }
    return true;
}

} // namespace platform
