// Resolves long paths piecewise: every piece but the last is opened as an
// O_PATH directory relative to the previous one, and the last piece is then
// used relative to that descriptor. Files are looked at with stat before
// they are opened.
#include "platform/LongPath.h"

#include <cerrno>
#include <string_view>

#include <unistd.h>

namespace platform {
namespace {

// Paths up to this length go to the kernel whole; longer ones are cut into
// pieces of at most this length (well below PATH_MAX).
constexpr std::size_t kPieceLimit = 2048;

// A directory descriptor (or AT_FDCWD) and the rest of the path relative to it.
class ResolvedParent {
public:
    explicit ResolvedParent(const std::string& path) : rest_(path)
    {
        if (path.size() <= kPieceLimit) return;
        if (rest_.front() == '/') {
            Replace(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
            SkipSlashes();
        }
        while (fd_ != -1 && rest_.size() > kPieceLimit) {
            const std::size_t cut = rest_.rfind('/', kPieceLimit);
            if (cut == std::string_view::npos || cut == 0) {
                Fail(ENAMETOOLONG);
                return;
            }
            const std::string piece(rest_.substr(0, cut));
            rest_.remove_prefix(cut);
            SkipSlashes();
            Replace(::openat(fd_, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        }
    }
    ~ResolvedParent()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    ResolvedParent(const ResolvedParent&) = delete;
    ResolvedParent& operator=(const ResolvedParent&) = delete;

    bool ok() const { return fd_ != -1; }
    int fd() const { return fd_; }
    // The final piece; valid while the object lives.
    std::string Leaf() const { return std::string(rest_); }

private:
    void SkipSlashes()
    {
        while (rest_.size() > 1 && rest_.front() == '/') rest_.remove_prefix(1);
    }
    void Replace(int newFd)
    {
        const int savedErrno = errno;
        if (fd_ >= 0) ::close(fd_);
        errno = savedErrno;
        fd_ = newFd;
    }
    void Fail(int error)
    {
        Replace(-1);
        errno = error;
    }

    int fd_ = AT_FDCWD;
    std::string_view rest_;
};

// The kernel would see such a path cut at its first NUL: another file.
bool HasEmbeddedNul(const std::string& path)
{
    return path.find('\0') != std::string::npos;
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
    const int fd = OpenLongPath(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        // Vanished since the look: nothing exists there any more.
        if (errno == ENOENT) {
            exists_ = false;
            status_ = {};
        }
        return;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) {
        ::close(fd);
        return;
    }
    // The path may have been replaced between the look and the open.
    status_ = opened;
    if (!S_ISREG(opened.st_mode) || opened.st_size < 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

LookedUpFile::~LookedUpFile()
{
    if (fd_ >= 0) ::close(fd_);
}

} // namespace platform
