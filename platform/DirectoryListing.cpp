// Reads a folder with getdents64 straight from its descriptor (no directory
// stream: that would copy the descriptor and look at it three more times per
// folder). Entry kinds come from d_type; where the file system does not fill
// it, lstat relative to the open folder decides.
#include "platform/DirectoryListing.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/LongPath.h"

namespace platform {
namespace {

// The smallest record getdents64 writes: its fixed fields, a one-byte name
// and its NUL, rounded up to 8 bytes.
constexpr std::size_t kSmallestRecord = (offsetof(dirent64, d_name) + 2 + 7) / 8 * 8;

bool IsFolderEntry(int folderFd, unsigned char type, const char* name)
{
    if (type == DT_DIR) return true;
    if (type != DT_UNKNOWN) return false;
    struct stat status {};
    return ::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
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
    const UniqueFd folder(OpenLongPath(folderPath, O_RDONLY | O_DIRECTORY));
    if (!folder) {
        names_.clear();
        entries_.clear();
        error_ = errno;
        return false;
    }
    return ReadFolder(folder.Get(), sizeWanted, regularFileSizes, false);
}

bool DirectoryListing::ReadOpenFolder(int folderFd, const SizeWanted& sizeWanted, bool regularFileSizes)
{
    return ReadFolder(folderFd, sizeWanted, regularFileSizes, true);
}

bool DirectoryListing::ReadNewFolder(int folderFd, const SizeWanted& sizeWanted, bool regularFileSizes)
{
    return ReadFolder(folderFd, sizeWanted, regularFileSizes, false);
}

bool DirectoryListing::ReadFolder(int fd, const SizeWanted& sizeWanted, bool regularFileSizes, bool rewind)
{
    names_.clear();
    entries_.clear();
    error_ = 0;
    if (rewind && ::lseek(fd, 0, SEEK_SET) < 0) {
        error_ = errno;
        return false;
    }
    // One buffer per thread: a listing lives at every level of a walk, which
    // may be very deep. Left uninitialised, so that only the pages the
    // kernel fills are ever touched.
    thread_local const std::unique_ptr<std::uint64_t[]> buffer(
        new std::uint64_t[kReadBytes / sizeof(std::uint64_t)]);
    const auto* const bytes = reinterpret_cast<const unsigned char*>(buffer.get());
    for (bool first = true;; first = false) {
        const ssize_t got = ::getdents64(fd, buffer.get(), kReadBytes);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error_ = errno;
            return !(first && (errno == ENOTDIR || errno == EBADF));
        }
        if (got == 0) return true;
        // Room for every entry of this read at once: grown by doubling, the
        // lists would touch about twice the memory they end with, and each
        // new page costs a fault. Each record takes at least kSmallestRecord
        // bytes and holds its name, so these are upper bounds.
        entries_.reserve(entries_.size() + static_cast<std::size_t>(got) / kSmallestRecord);
        names_.reserve(names_.size() + static_cast<std::size_t>(got));
        // The kernel's records: each starts 8-byte aligned and holds its
        // length, its type and a NUL-terminated name.
        for (std::size_t at = 0; at + offsetof(dirent64, d_name) < static_cast<std::size_t>(got);) {
            const auto* entry = reinterpret_cast<const dirent64*>(bytes + at);
            if (entry->d_reclen == 0 || entry->d_reclen > static_cast<std::size_t>(got) - at) break;
            at += entry->d_reclen;
            const std::string_view name(entry->d_name);
            const bool isFolder = IsFolderEntry(fd, entry->d_type, entry->d_name);
            const bool sizeTaken = !isFolder && sizeWanted && sizeWanted(name);
            EntryLook look;
            if (sizeTaken)
                look = !regularFileSizes && entry->d_type == DT_REG ? EntryLook{true, 0}
                                                                    : LookAtEntry(fd, entry->d_name);
            entries_.push_back(Entry{names_.size(), static_cast<std::uint32_t>(name.size()), isFolder, sizeTaken,
                                     look.isRegular, look.size});
            names_.append(name);
        }
    }
}

} // namespace platform
