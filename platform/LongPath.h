// Opening and inspecting paths of any length. Paths longer than the kernel
// accepts in one call are resolved in pieces with openat, one descriptor at a
// time, so neither PATH_MAX nor the number of free descriptors limits them.
// A regular file is opened only after a look shows it is one, so FIFOs and
// devices are never opened.
#pragma once

#include <string>

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/UniqueFd.h"

namespace platform {

// open(2) for a path of any length. Returns the descriptor, or -1 with errno
// set. A path holding a NUL byte names no file (ENOENT), here and in
// StatLongPath.
int OpenLongPath(const std::string& path, int flags);

// stat(2) (followFinalLink) or lstat(2) for a path of any length.
bool StatLongPath(const std::string& path, struct stat& status, bool followFinalLink);

// One look at a path, links followed: its status, and for a regular file a
// read-only, non-blocking descriptor. Only what the look shows to be a regular
// file is opened; once open, the descriptor's own status replaces the path's,
// so size, times and contents all describe the same file even when the path
// is replaced meanwhile. The descriptor is closed on destruction, with the
// thread's CloseBatch when it has one.
class LookedUpFile {
public:
    explicit LookedUpFile(const std::string& path);
    // The entry `name` (no "/") of the folder open at `folderFd`: one lookup
    // of one name instead of a walk along the whole path.
    LookedUpFile(int folderFd, const std::string& name);
    // The same when the caller's own look at that entry, just taken, found a
    // regular file: it is opened without looking again, and the descriptor's
    // status decides as above. Only when it cannot be opened for another
    // reason than being gone is the entry looked at once more.
    struct SeenRegularFile {};
    LookedUpFile(int folderFd, const std::string& name, SeenRegularFile);
    ~LookedUpFile();
    LookedUpFile(const LookedUpFile&) = delete;
    LookedUpFile& operator=(const LookedUpFile&) = delete;

    // Whether anything exists at the path.
    bool Exists() const { return exists_; }
    // The status of what exists; zeroed when nothing does.
    const struct stat& Status() const { return status_; }
    // Whether a regular file is open for reading.
    bool IsOpenRegularFile() const { return static_cast<bool>(fd_); }
    // The open descriptor; -1 unless IsOpenRegularFile().
    int Descriptor() const { return fd_.Get(); }

private:
    static constexpr int kOpenFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    // Takes the descriptor opened after the look; see the class comment.
    void Adopt(UniqueFd file);

    struct stat status_ {};
    bool exists_ = false;
    UniqueFd fd_;
};

} // namespace platform
