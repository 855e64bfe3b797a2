// Opening and finishing the -o output: replacement through a temporary file
// for regular files, direct writing for everything else.
#include "cli/OutputFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {
namespace {

// A link to a file is followed, so the file it names is replaced and the link
// stays a link.
std::string FinalPath(const std::string& path)
{
    struct stat facts {};
    if (::lstat(path.c_str(), &facts) != 0 || !S_ISLNK(facts.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

} // namespace

OutputFile::OutputFile(const std::string& path)
{
    const std::string finalPath = FinalPath(path);
    struct stat facts {};
    const bool exists = ::stat(finalPath.c_str(), &facts) == 0;
    if (exists && !S_ISREG(facts.st_mode)) {
        direct_.Reset(::open(finalPath.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
        if (!direct_) error_ = errno;
        return;
    }
    temporary_ = std::make_unique<platform::TemporaryFile>(finalPath);
    if (temporary_->Ok()) return;
    error_ = temporary_->Error();
    temporary_.reset();
    // A file the user may write in a folder the user may not: it can only be
    // rewritten in place.
    if (exists && (error_ == EACCES || error_ == EPERM)) {
        direct_.Reset(::open(finalPath.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY));
        if (!direct_) error_ = errno;
    }
}

bool OutputFile::Finish()
{
    if (temporary_) {
        if (temporary_->Commit(true)) return true;
        error_ = temporary_->Error();
        return false;
    }
    if (!direct_) return false;
    // close() can report a deferred write error; it is not retried after
    // EINTR because the descriptor is gone either way.
    if (::close(direct_.Release()) != 0 && errno != EINTR) {
        error_ = errno;
        return false;
    }
    return true;
}

} // namespace cli
