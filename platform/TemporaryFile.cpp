// Temporary files beside their final path, and their removal on signals. The
// signal handler only reads a fixed table of C strings and calls unlink(2),
// both safe inside a handler.
#include "platform/TemporaryFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kNameAttempts = 100;

// Paths of the temporary files that a signal must remove. A file that finds
// no free slot is still removed by its guard, just not on a signal.
constexpr std::size_t kSignalSlots = 16;
std::atomic<const char*> gPendingPaths[kSignalSlots];

bool RegisterForSignals(const char* path)
{
    for (std::atomic<const char*>& slot : gPendingPaths) {
        const char* expected = nullptr;
        if (slot.compare_exchange_strong(expected, path)) return true;
    }
    return false;
}

void UnregisterForSignals(const char* path)
{
    for (std::atomic<const char*>& slot : gPendingPaths) {
        const char* expected = path;
        if (slot.compare_exchange_strong(expected, nullptr)) return;
    }
}

extern "C" void RemovePendingAndReraise(int signalNumber)
{
    for (std::atomic<const char*>& slot : gPendingPaths)
        if (const char* path = slot.load()) ::unlink(path);
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

std::string FolderPrefix(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Moves the finished file into place; errno tells the cause of a failure.
bool MoveIntoPlace(const std::string& from, const std::string& to, bool replaceExisting)
{
    if (replaceExisting) return ::rename(from.c_str(), to.c_str()) == 0;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without the no-replace rename: a hard link also refuses
    // an existing name.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

} // namespace

TemporaryFile::TemporaryFile(const std::string& finalPath)
    : finalPath_(finalPath), path_(std::make_unique<std::string>())
{
    const std::string folder = FolderPrefix(finalPath);
    auto seed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    seed ^= static_cast<unsigned long long>(::getpid()) << 32;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        char name[40];
        std::snprintf(name, sizeof name, ".lumbrel-%016llx.tmp", seed);
        *path_ = folder + name;
        fd_.Reset(::open(path_->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd_) {
            registered_ = RegisterForSignals(path_->c_str());
            return;
        }
        if (errno != EEXIST) break;
    }
    error_ = errno;
    path_->clear();
}

TemporaryFile::~TemporaryFile()
{
    Discard();
}

bool TemporaryFile::Commit(bool replaceExisting)
{
    if (!fd_) return false;
    int cause = 0;
    struct stat existing {};
    if (replaceExisting && ::stat(finalPath_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        ::fchmod(fd_.Get(), existing.st_mode & 07777) != 0)
        cause = errno;
    if (cause == 0 && ::fsync(fd_.Get()) != 0) cause = errno;
    // close() can report a deferred write error (network file systems).
    if (::close(fd_.Release()) != 0 && cause == 0 && errno != EINTR) cause = errno;
    if (cause == 0 && !MoveIntoPlace(*path_, finalPath_, replaceExisting)) cause = errno;
    if (cause != 0) {
        error_ = cause;
        Discard();
        return false;
    }
    if (registered_) UnregisterForSignals(path_->c_str());
    registered_ = false;
    path_->clear();
    return true;
}

void TemporaryFile::Discard()
{
    fd_.Reset();
    // Off the signal list before the name changes under the handler.
    if (registered_) UnregisterForSignals(path_->c_str());
    registered_ = false;
    if (!path_->empty()) ::unlink(path_->c_str());
    path_->clear();
}

void RemoveTemporaryFilesOnSignals()
{
    struct sigaction action {};
    action.sa_handler = RemovePendingAndReraise;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        // A signal the caller's parent chose to ignore stays ignored.
        if (::sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        ::sigaction(signalNumber, &action, nullptr);
    }
}

} // namespace platform
