// The entries of one folder, read eagerly: the folder is read to the end (or
// to the first error) and its stream closed before any entry is handled, so
// a listing holds no descriptor. Names are the exact bytes the file system
// returned, in its order, "." and ".." included.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/UniqueFd.h"

namespace platform {

class DirectoryListing {
public:
    // Decides, for an entry that is not a folder, whether its size is wanted.
    using SizeWanted = std::function<bool(std::string_view name)>;

    // Replaces the listing with the entries of `folderPath`. Returns false,
    // with no entries, when the folder cannot be opened. A read error part way
    // keeps the entries read before it. An entry is a folder when the file
    // system says so without following links. For non-folders accepted by
    // `sizeWanted` the size is taken following links: a regular file's size,
    // 0 for anything else (FIFOs, devices, dangling links). Without
    // `regularFileSizes` an accepted entry that the file system already marks
    // as a regular file is not looked at: it counts as a regular file whose
    // size is unknown (0).
    bool Read(const std::string& folderPath, const SizeWanted& sizeWanted, bool regularFileSizes = true);
    // The same for the folder open at `folderFd`, read from its start;
    // `folderFd` stays open and is the caller's (its read position moves).
    bool ReadOpenFolder(int folderFd, const SizeWanted& sizeWanted, bool regularFileSizes = true);
    // The same for a descriptor just opened, whose read position is still at
    // the start: one system call fewer per folder than ReadOpenFolder.
    bool ReadNewFolder(int folderFd, const SizeWanted& sizeWanted, bool regularFileSizes = true);

    // The errno of the failure that ended the last read early: the folder
    // could not be opened, or reading it failed part way. 0 when it was read
    // to its end.
    int Error() const { return error_; }

    std::size_t Count() const { return entries_.size(); }
    std::string_view Name(std::size_t index) const
    {
        const Entry& entry = entries_[index];
        return std::string_view(names_).substr(entry.nameOffset, entry.nameLength);
    }
    bool IsFolder(std::size_t index) const { return entries_[index].isFolder; }
    // Whether `sizeWanted` accepted the entry while reading.
    bool SizeTaken(std::size_t index) const { return entries_[index].sizeTaken; }
    // The size taken while reading; 0 when it was not wanted.
    std::int64_t Size(std::size_t index) const { return entries_[index].size; }
    // Whether the entry is a regular file, by the look that took its size or
    // by the file system's own mark.
    bool IsRegularFile(std::size_t index) const { return entries_[index].isRegular; }

private:
    // How much of a folder one getdents64 call reads.
    static constexpr std::size_t kReadBytes = 32 << 10;

    // With `rewind`, from the start whoever read the descriptor before.
    bool ReadFolder(int folderFd, const SizeWanted& sizeWanted, bool regularFileSizes, bool rewind);

    struct Entry {
        std::size_t nameOffset;
        std::uint32_t nameLength;
        bool isFolder;
        bool sizeTaken;
        bool isRegular;
        std::int64_t size;
    };
    // All names back to back, so a folder costs a few allocations, not one
    // per entry.
    std::string names_;
    std::vector<Entry> entries_;
    int error_ = 0;
};

} // namespace platform
