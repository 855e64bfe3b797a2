// A scope guard for a file that is written under a temporary name beside its
// final path and moved into place only when complete. Whatever ends its
// scope early (a failed write, an exception) removes the temporary file and
// closes its descriptor; a terminating signal removes it too once
// RemoveTemporaryFilesOnSignals() has been called.
#pragma once

#include <memory>
#include <string>

#include "platform/UniqueFd.h"

namespace platform {

class TemporaryFile {
public:
    // Creates a new file, exclusively, in the folder of `finalPath`. Ok()
    // tells whether that worked; Error() gives the cause when it did not.
    explicit TemporaryFile(const std::string& finalPath);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool Ok() const { return static_cast<bool>(fd_); }
    int Error() const { return error_; }
    int Fd() const { return fd_.Get(); }
    const std::string& Path() const { return *path_; }

    // Forces the data to the disk, closes the file and moves it to the final
    // path. With replaceExisting an existing file there is replaced (keeping
    // its permission bits); without it an existing name makes the commit
    // fail. False with Error() set when any step fails; the temporary file is
    // then removed.
    bool Commit(bool replaceExisting);

private:
    void Discard();

    std::string finalPath_;
    // Heap-held so the signal handler's pointer to it stays valid.
    std::unique_ptr<std::string> path_;
    UniqueFd fd_;
    int error_ = 0;
    bool registered_ = false;
};

// Makes SIGINT, SIGTERM and SIGHUP remove every temporary file that is still
// open before the process ends with the signal's usual effect.
void RemoveTemporaryFilesOnSignals();

} // namespace platform
