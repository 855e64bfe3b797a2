// The floor a file inventory cannot go below: walks a folder tree relative to
// each folder's descriptor and, for every file named *.exe, *.ocx or *.dll
// (ignoring case), opens it, makes three small preads (the DOS header, the
// new header it points at, and one piece further on, as a version reader
// must at least do) and closes it. Prints the number of files read. Nothing
// is parsed or written per file, so its per-file time is the cost of the
// system calls alone.
//
// With -j N (N > 1) one process reads with N threads: one thread walks and
// publishes the files it finds while the others read them, then reads too.
// The threads run on processors of their own and the readers open files in
// descriptor tables of their own, with credentials of their own, through the
// same helpers as lumbrel-scan's row builders. Its rate over one thread's is
// what threads of one process can reach on this machine, with nothing shared
// but the list of files.
#include <atomic>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/WaitingThreads.h"
#include "platform/OwnCredentials.h"
#include "platform/SharedFdTable.h"

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

// A folder being listed; `kept` is a copy of its descriptor that outlives
// the listing, made when a file in it is left for another thread to read.
struct Folder {
    int fd = -1;
    int kept = -1;
};

// Calls onFile(Folder&, name) for each candidate file of the tree, walking
// relative to each folder's descriptor.
template <typename OnFile>
void WalkFolders(int folderFd, OnFile& onFile)
{
    DIR* listing = ::fdopendir(folderFd);
    if (listing == nullptr) {
        ::close(folderFd);
        return;
    }
    Folder folder{::dirfd(listing)};
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..") continue;
        if (entry->d_type == DT_DIR) {
            const int child = ::openat(folder.fd, entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (child >= 0) WalkFolders(child, onFile);
        } else if (IsCandidate(name)) {
            onFile(folder, entry->d_name);
        }
    }
    ::closedir(listing);
}

// The files found so far, appended by the walking thread and taken by
// index by every thread. Entries live in small chunks that never move, made
// as they fill, and `published` is raised only once an entry is complete.
// The table of chunks comes from calloc, whose fresh pages cost nothing
// until a chunk is entered: touching memory is part of what is measured.
class FoundFiles {
public:
    FoundFiles() = default;
    FoundFiles(const FoundFiles&) = delete;
    FoundFiles& operator=(const FoundFiles&) = delete;
    ~FoundFiles()
    {
        for (long i = 0; i < kMostChunks && chunks_[i] != nullptr; ++i) delete[] chunks_[i];
        std::free(chunks_);
    }

    void Append(int folderFd, const char* name)
    {
        const long index = published_.load(std::memory_order_relaxed);
        if (chunks_ == nullptr || index >= kChunkSize * kMostChunks) return;
        Entry*& chunk = chunks_[index / kChunkSize];
        if (chunk == nullptr) chunk = new Entry[kChunkSize];
        chunk[index % kChunkSize] = Entry{folderFd, name};
        published_.store(index + 1, std::memory_order_release);
    }

    void WalkDone() { walkDone_.store(true, std::memory_order_release); }

    // Reads files until every file found has been taken and the walk is done;
    // returns how many it read. With `table`, the calling thread has left the
    // shared descriptor table and copies each folder's descriptor into its own.
    long ReadAll(const platform::SharedFdTable* table = nullptr)
    {
        long count = 0;
        // Folder descriptors stay open to the end, so their numbers name them.
        int copiedFolder = -1;
        platform::UniqueFd copy;
        for (;;) {
            const long index = next_.fetch_add(1, std::memory_order_relaxed);
            while (index >= published_.load(std::memory_order_acquire)) {
                if (walkDone_.load(std::memory_order_acquire) && index >= published_.load(std::memory_order_acquire))
                    return count;
                ::sched_yield();
            }
            const Entry& entry = chunks_[index / kChunkSize][index % kChunkSize];
            if (table != nullptr && entry.folderFd != copiedFolder) {
                copy = table->CopyIn(entry.folderFd);
                copiedFolder = entry.folderFd;
            }
            ReadFile(table != nullptr ? copy.Get() : entry.folderFd, entry.name.c_str(), count);
        }
    }

private:
    struct Entry {
        int folderFd = -1;
        std::string name;
    };
    static constexpr long kChunkSize = 512;
    static constexpr long kMostChunks = 1L << 15;

    Entry** chunks_ = static_cast<Entry**>(std::calloc(kMostChunks, sizeof(Entry*)));
    std::atomic<long> published_{0};
    std::atomic<long> next_{0};
    std::atomic<bool> walkDone_{false};
};

long ReadWithThreads(int start, unsigned threads)
{
    // The readers run off the walking thread's processor, which it keeps.
    cli::WaitingThreads readers(threads - 1);
    const platform::SharedFdTable table;
    FoundFiles found;
    std::vector<long> counts(threads, 0);
    readers.Start([&found, &counts, &table](unsigned index) {
        const bool ownTable = table.LeaveOnThisThread();
        platform::TakeOwnCredentials();
        counts[index + 1] = found.ReadAll(ownTable ? &table : nullptr);
    });
    // Folder descriptors handed to the readers stay open until the process
    // ends, since files in them may still be waiting to be read.
    auto publish = [&found](Folder& folder, const char* name) {
        if (folder.kept < 0) folder.kept = ::fcntl(folder.fd, F_DUPFD_CLOEXEC, 0);
        if (folder.kept >= 0) found.Append(folder.kept, name);
    };
    WalkFolders(start, publish);
    found.WalkDone();
    counts[0] = found.ReadAll();
    readers.Join();
    long count = 0;
    for (const long each : counts) count += each;
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    unsigned threads = 1;
    if (argc == 4 && std::strcmp(argv[1], "-j") == 0) {
        threads = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
        argv += 2;
        argc -= 2;
    }
    if (argc != 2 || threads == 0) {
        std::fprintf(stderr, "usage: bench_floor [-j THREADS] FOLDER\n");
        return 2;
    }
    const int start = ::open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (start < 0) {
        std::perror(argv[1]);
        return 1;
    }
    long count = 0;
    if (threads == 1) {
        auto read = [&count](Folder& folder, const char* name) { ReadFile(folder.fd, name, count); };
        WalkFolders(start, read);
    } else {
        count = ReadWithThreads(start, threads);
    }
    std::printf("%ld\n", count);
    return 0;
}
