// Resolves long paths piecewise: every piece but the last is opened as an
// O_PATH directory relative to the previous one, and the last piece is then
// used relative to that descriptor. Files are looked at with stat before
// they are opened.
#include "platform/LongPath.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

#include <unistd.h>

#include "platform/CloseBatch.h"
#include "platform/UniqueFd.h"

namespace platform {
namespace {

// Paths up to this length go to the kernel whole; longer ones are cut into
// pieces of at most this length (well below PATH_MAX).
constexpr std::size_t kPieceLimit = 2048;

std::string_view WithoutLeadingSlashes(std::string_view text)
{
    const std::size_t first = text.find_first_not_of('/');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// Where the first piece of `rest` ends: the last "/" within the limit that
// still has a name after it, so that neither the piece nor what follows it
// is empty or absolute, and trailing slashes stay with the final piece.
// `rest` is longer than the limit and does not begin with "/". npos when no
// such "/" exists (a name longer than the limit).
std::size_t FirstPieceEnd(std::string_view rest)
{
    const std::size_t lastNameByte = rest.find_last_not_of('/');
    return rest.rfind('/', std::min(kPieceLimit, lastNameByte));
}

// A directory descriptor (or AT_FDCWD) and the rest of the path relative to
// it: never empty and never absolute. For paths longer than the limit.
class ResolvedParent {
public:
    explicit ResolvedParent(std::string_view path) : rest_(path)
    {
        if (rest_.front() == '/') {
            folder_.Reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (!folder_) {
                Fail(errno);
                return;
            }
            rest_ = WithoutLeadingSlashes(rest_);
            // Nothing but slashes: the root itself.
            if (rest_.empty()) rest_ = ".";
        }
        while (rest_.size() > kPieceLimit) {
            const std::size_t cut = FirstPieceEnd(rest_);
            if (cut == std::string_view::npos) {
                Fail(ENAMETOOLONG);
                return;
            }
            const std::string piece(rest_.substr(0, cut));
            rest_ = WithoutLeadingSlashes(rest_.substr(cut));
            UniqueFd next(::openat(fd(), piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (!next) {
                Fail(errno);
                return;
            }
            folder_ = std::move(next);
        }
    }

    bool ok() const { return !failed_; }
    int fd() const { return folder_ ? folder_.Get() : AT_FDCWD; }
    // The final piece, ready for the kernel.
    std::string Leaf() const { return std::string(rest_); }

private:
    void Fail(int error)
    {
        failed_ = true;
        folder_.Reset();
        errno = error;
    }

    UniqueFd folder_;
    std::string_view rest_;
    bool failed_ = false;
};

// The kernel would see such a path cut at its first NUL: another file.
bool HasEmbeddedNul(const std::string& path)
{
    return path.find('\0') != std::string::npos;
}

// A name of one entry of a folder: not empty, no "/", no NUL.
bool IsSingleName(const std::string& name)
{
    return !name.empty() && name.find('/') == std::string::npos && !HasEmbeddedNul(name);
}

} // namespace

int OpenLongPath(const std::string& path, int flags)
{
    if (HasEmbeddedNul(path)) {
        errno = ENOENT;
        return -1;
    }
    if (path.size() <= kPieceLimit) return ::open(path.c_str(), flags | O_CLOEXEC);
    const ResolvedParent parent(path);
    if (!parent.ok()) return -1;
    return ::openat(parent.fd(), parent.Leaf().c_str(), flags | O_CLOEXEC);
}

bool StatLongPath(const std::string& path, struct stat& status, bool followFinalLink)
{
    if (HasEmbeddedNul(path)) return false;
    const int flags = followFinalLink ? 0 : AT_SYMLINK_NOFOLLOW;
    if (path.size() <= kPieceLimit) return ::fstatat(AT_FDCWD, path.c_str(), &status, flags) == 0;
    const ResolvedParent parent(path);
    if (!parent.ok()) return false;
    return ::fstatat(parent.fd(), parent.Leaf().c_str(), &status, flags) == 0;
}

LookedUpFile::LookedUpFile(const std::string& path)
{
    exists_ = StatLongPath(path, status_, true);
    if (!exists_ || !S_ISREG(status_.st_mode)) return;
    Adopt(UniqueFd(OpenLongPath(path, kOpenFlags)));
}

LookedUpFile::LookedUpFile(int folderFd, const std::string& name)
{
    if (!IsSingleName(name)) return;
    exists_ = ::fstatat(folderFd, name.c_str(), &status_, 0) == 0;
    if (!exists_ || !S_ISREG(status_.st_mode)) return;
    Adopt(UniqueFd(::openat(folderFd, name.c_str(), kOpenFlags)));
}

LookedUpFile::LookedUpFile(int folderFd, const std::string& name, SeenRegularFile)
{
    if (!IsSingleName(name)) return;
    UniqueFd file(::openat(folderFd, name.c_str(), kOpenFlags));
    if (!file && errno != ENOENT) {
        // Unreadable, say: what is there still has a status to show.
        exists_ = ::fstatat(folderFd, name.c_str(), &status_, 0) == 0;
        return;
    }
    exists_ = true;
    Adopt(std::move(file));
}

LookedUpFile::~LookedUpFile()
{
    CloseSoon(std::move(fd_));
}

void LookedUpFile::Adopt(UniqueFd file)
{
    if (!file) {
        // Vanished since the look: nothing exists there any more.
        if (errno == ENOENT) {
            exists_ = false;
            status_ = {};
        }
        return;
    }
    struct stat opened {};
    if (::fstat(file.Get(), &opened) != 0) return;
    // The path may have been replaced between the look and the open.
    status_ = opened;
    if (!S_ISREG(opened.st_mode) || opened.st_size < 0) return;
    fd_ = std::move(file);
}

} // namespace platform
