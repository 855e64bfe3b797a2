// The floor a file inventory cannot go below: walks a folder tree relative to
// each folder's descriptor and, for every file named *.exe, *.ocx or *.dll
// (ignoring case), opens it, makes three small preads (the DOS header, the
// new header it points at, and one piece further on, as a version reader
// must at least do) and closes it. Prints the number of files read. Nothing
// is parsed or written per file, so its per-file time is the cost of the
// system calls alone.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool EndsWithIgnoringCase(std::string_view name, std::string_view suffix)
{
    if (name.size() < suffix.size()) return false;
    const std::string_view tail = name.substr(name.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != suffix[i]) return false;
    return true;
}

bool IsCandidate(std::string_view name)
{
    return EndsWithIgnoringCase(name, ".exe") || EndsWithIgnoringCase(name, ".ocx") ||
           EndsWithIgnoringCase(name, ".dll");
}

void ReadFile(int folderFd, const char* name, long& count)
{
    const int fd = ::openat(folderFd, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return;
    unsigned char header[64] = {};
    unsigned char piece[256] = {};
    std::uint32_t newHeader = 0;
    if (::pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header))
        std::memcpy(&newHeader, header + 0x3C, sizeof newHeader);
    (void)::pread(fd, piece, sizeof piece, newHeader);
    (void)::pread(fd, piece, sizeof piece, static_cast<off_t>(newHeader) + 0x400);
    ::close(fd);
    ++count;
}

void Walk(int folderFd, long& count)
{
    DIR* folder = ::fdopendir(folderFd);
    if (folder == nullptr) {
        ::close(folderFd);
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..") continue;
        if (entry->d_type == DT_DIR) {
            const int child = ::openat(::dirfd(folder), entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (child >= 0) Walk(child, count);
        } else if (IsCandidate(name)) {
            ReadFile(::dirfd(folder), entry->d_name, count);
        }
    }
    ::closedir(folder);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_floor FOLDER\n");
        return 2;
    }
    const int start = ::open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (start < 0) {
        std::perror(argv[1]);
        return 1;
    }
    long count = 0;
    Walk(start, count);
    std::printf("%ld\n", count);
    return 0;
}
