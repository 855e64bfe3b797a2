// Directory listing, owned descriptors, long paths and file facts against a
// real scratch folder: links, FIFOs, sparse files, unreadable files,
// non-UTF-8 names and a tree far deeper than one path may be long.
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/DirectoryListing.h"
#include "platform/FileStatus.h"
#include "platform/LongPath.h"
#include "platform/TypeNames.h"
#include "platform/UniqueFd.h"
#include "tests/platform/DeepTree.h"
#include "tests/platform/TempFolder.h"

using testing_support::TempFolder;

namespace {

std::size_t OpenDescriptorCount()
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                                  std::filesystem::directory_iterator()));
}

struct ListedEntry {
    bool isFolder;
    bool sizeTaken;
    bool isRegular;
    std::int64_t size;
};

std::map<std::string, ListedEntry> ListAll(const std::string& folder, bool regularFileSizes = true)
{
    platform::DirectoryListing listing;
    EXPECT_TRUE(
        listing.Read(folder, [](std::string_view name) { return name != "skipped.bin"; }, regularFileSizes));
    std::map<std::string, ListedEntry> entries;
    for (std::size_t i = 0; i < listing.Count(); ++i)
        entries[std::string(listing.Name(i))] = {listing.IsFolder(i), listing.SizeTaken(i), listing.IsRegularFile(i),
                                                 listing.Size(i)};
    return entries;
}

} // namespace

TEST(DirectoryListing, KindsAndSizesOfEveryEntryType)
{
    const TempFolder tmp;
    tmp.File("plain.exe", 1234);
    tmp.File("skipped.bin", 99);
    tmp.Folder("sub");
    ASSERT_EQ(::symlink((tmp.path() + "sub").c_str(), (tmp.path() + "link-to-sub").c_str()), 0);
    ASSERT_EQ(::symlink((tmp.path() + "plain.exe").c_str(), (tmp.path() + "link-to-file").c_str()), 0);
    ASSERT_EQ(::symlink((tmp.path() + "missing").c_str(), (tmp.path() + "dangling").c_str()), 0);
    ASSERT_EQ(::mkfifo((tmp.path() + "pipe").c_str(), 0644), 0);
    const std::string oddName = "bad\xFF\xFEname.exe";
    tmp.File(oddName, 7);

    const auto entries = ListAll(tmp.path());
    EXPECT_TRUE(entries.at(".").isFolder);
    EXPECT_TRUE(entries.at("..").isFolder);
    EXPECT_TRUE(entries.at("sub").isFolder);
    EXPECT_EQ(entries.at("plain.exe").size, 1234);
    EXPECT_FALSE(entries.at("skipped.bin").sizeTaken);
    EXPECT_EQ(entries.at("skipped.bin").size, 0);
    EXPECT_FALSE(entries.at("link-to-sub").isFolder);
    EXPECT_EQ(entries.at("link-to-sub").size, 0);
    EXPECT_FALSE(entries.at("link-to-file").isFolder);
    EXPECT_EQ(entries.at("link-to-file").size, 1234);
    EXPECT_EQ(entries.at("dangling").size, 0);
    EXPECT_FALSE(entries.at("pipe").isFolder);
    EXPECT_EQ(entries.at("pipe").size, 0);
    EXPECT_EQ(entries.at(oddName).size, 7);

    // Without sizes of regular files, what the file system marks as one is
    // taken on its word; links and everything else are still looked at.
    const auto unlooked = ListAll(tmp.path(), false);
    const struct {
        const char* name;
        bool isRegular;
        std::int64_t size;
    } kinds[] = {{"plain.exe", true, 0},  {"link-to-file", true, 1234}, {"dangling", false, 0},
                 {"pipe", false, 0},      {"link-to-sub", false, 0}};
    for (const auto& kind : kinds) {
        EXPECT_EQ(entries.at(kind.name).isRegular, kind.size != 0 || kind.isRegular) << kind.name;
        EXPECT_EQ(unlooked.at(kind.name).isRegular, kind.isRegular) << kind.name;
        EXPECT_EQ(unlooked.at(kind.name).size, kind.size) << kind.name;
        EXPECT_TRUE(unlooked.at(kind.name).sizeTaken) << kind.name;
    }
}

TEST(DirectoryListing, FolderThatCannotBeOpenedGivesNoEntriesAndTheReason)
{
    const TempFolder tmp;
    const std::string file = tmp.File("not-a-folder.txt");
    platform::DirectoryListing listing;
    EXPECT_FALSE(listing.Read(tmp.path() + "missing/", nullptr));
    EXPECT_EQ(listing.Count(), 0u);
    EXPECT_EQ(listing.Error(), ENOENT);
    EXPECT_FALSE(listing.Read(file, nullptr));
    EXPECT_EQ(listing.Error(), ENOTDIR);
    ASSERT_EQ(::mkfifo((tmp.path() + "pipe").c_str(), 0644), 0);
    EXPECT_FALSE(listing.Read(tmp.path() + "pipe", nullptr));
    for (const bool rewind : {true, false}) {
        EXPECT_FALSE(rewind ? listing.ReadOpenFolder(-1, nullptr) : listing.ReadNewFolder(-1, nullptr));
        EXPECT_EQ(listing.Error(), EBADF);
    }
    EXPECT_TRUE(listing.Read(tmp.path(), nullptr));
    EXPECT_EQ(listing.Error(), 0);
}

TEST(DirectoryListing, OpenFolderIsReadFromItsStartAndStaysOpenWithoutLeaks)
{
    const TempFolder tmp;
    tmp.File("one.exe", 1);
    tmp.Folder("sub");
    const platform::UniqueFd folder(::open(tmp.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const platform::UniqueFd file(::open(tmp.File("two.exe", 2).c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(folder && file);
    const std::size_t openBefore = OpenDescriptorCount();
    platform::DirectoryListing listing;
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(listing.ReadOpenFolder(folder.Get(), nullptr));
        EXPECT_EQ(listing.Count(), 5u);
        EXPECT_FALSE(listing.ReadOpenFolder(file.Get(), nullptr));
        EXPECT_EQ(listing.Error(), ENOTDIR);
    }
    EXPECT_EQ(OpenDescriptorCount(), openBefore);
    EXPECT_NE(::fcntl(folder.Get(), F_GETFD), -1);
}

TEST(DirectoryListing, FoldersLargerThanOneReadAreListedWhole)
{
    const TempFolder tmp;
    constexpr int kFiles = 1500;  // about 100 KiB of entries: several reads
    std::set<std::string> expected = {".", ".."};
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "file-with-a-rather-long-name-number-" + std::to_string(i) + ".dll";
        tmp.File(name, 1);
        expected.insert(name);
    }
    platform::DirectoryListing listing;
    ASSERT_TRUE(listing.Read(tmp.path(), nullptr));
    EXPECT_EQ(listing.Error(), 0);
    std::set<std::string> listed;
    for (std::size_t i = 0; i < listing.Count(); ++i) listed.emplace(listing.Name(i));
    EXPECT_EQ(listing.Count(), expected.size());
    EXPECT_EQ(listed, expected);
}

TEST(UniqueFd, OwnsOneDescriptorAndClosingKeepsErrno)
{
    const int raw = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(raw, 0);
    {
        platform::UniqueFd first(raw);
        platform::UniqueFd second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.Get(), raw);
        errno = EINTR;
        second.Reset();
        EXPECT_EQ(errno, EINTR);
        EXPECT_FALSE(second);
        EXPECT_EQ(::fcntl(raw, F_GETFD), -1);
    }
    platform::UniqueFd owner(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    const int released = owner.Release();
    EXPECT_FALSE(owner);
    EXPECT_NE(::fcntl(released, F_GETFD), -1);
    ::close(released);
}

TEST(LongPath, PathsFarBeyondPathMaxCanBeListedAndInspected)
{
    const TempFolder tmp;
    constexpr int kLevels = 2000;
    const std::string name = "level-folder";
    const std::string deepest = testing_support::MakeDeepTree(tmp.path(), kLevels, name, "leaf.exe");
    ASSERT_GT(deepest.size(), 4 * 4096u);

    struct stat status {};
    EXPECT_TRUE(platform::StatLongPath(deepest + "leaf.exe", status, true));
    EXPECT_TRUE(S_ISREG(status.st_mode));
    const int fd = platform::OpenLongPath(deepest, O_RDONLY | O_DIRECTORY);
    EXPECT_GE(fd, 0);
    if (fd >= 0) ::close(fd);
    platform::DirectoryListing listing;
    ASSERT_TRUE(listing.Read(deepest, nullptr));
    EXPECT_EQ(listing.Count(), 3u);
    EXPECT_FALSE(platform::StatLongPath(deepest + "absent", status, true));
}

TEST(FileStatus, SizesAreFullAndOnlyForReadableRegularFiles)
{
    const TempFolder tmp;
    const std::string sparse = tmp.File("sparse.bin");
    constexpr std::int64_t kFiveGiB = 5LL * 1024 * 1024 * 1024;
    ASSERT_EQ(::truncate(sparse.c_str(), kFiveGiB), 0);
    EXPECT_EQ(platform::ReadableRegularFileSize(sparse), kFiveGiB);

    const std::string pipe = tmp.path() + "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_EQ(platform::ReadableRegularFileSize(pipe), 0);
    EXPECT_FALSE(platform::ReadOpenableFileTimes(pipe).has_value());
    EXPECT_EQ(platform::ReadableRegularFileSize(tmp.path()), 0);
    EXPECT_EQ(platform::ReadableRegularFileSize(tmp.path() + "missing"), 0);
    EXPECT_FALSE(platform::ReadLastModified(tmp.path() + "missing").has_value());

    const std::string locked = tmp.File("locked.bin", 10);
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    if (!testing_support::RunningAsRoot()) {
        EXPECT_EQ(platform::ReadableRegularFileSize(locked), 0);
        EXPECT_FALSE(platform::ReadOpenableFileTimes(locked).has_value());
    }
    EXPECT_TRUE(platform::ReadLastModified(locked).has_value());
}

// A look by name answers the same whether or not the caller saw a regular
// file there first, including when the name was replaced or removed since.
TEST(LookedUpFile, OpeningWhatWasSeenAsRegularAnswersAsALook)
{
    const TempFolder tmp;
    tmp.File("file.dll", 12);
    tmp.File("locked.dll", 5);
    ASSERT_EQ(::chmod((tmp.path() + "locked.dll").c_str(), 0), 0);
    ASSERT_EQ(::mkfifo((tmp.path() + "pipe.dll").c_str(), 0644), 0);
    const platform::UniqueFd folder(::open(tmp.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(folder);
    for (const char* name : {"file.dll", "locked.dll", "pipe.dll", "gone.dll"}) {
        const platform::LookedUpFile looked(folder.Get(), name);
        const platform::LookedUpFile seen(folder.Get(), name, platform::LookedUpFile::SeenRegularFile{});
        EXPECT_EQ(seen.Exists(), looked.Exists()) << name;
        EXPECT_EQ(seen.IsOpenRegularFile(), looked.IsOpenRegularFile()) << name;
        EXPECT_EQ(seen.Status().st_size, looked.Status().st_size) << name;
        EXPECT_EQ(seen.Status().st_mtim.tv_sec, looked.Status().st_mtim.tv_sec) << name;
    }
}

TEST(FileStatus, TimesComeFromTheFile)
{
    const TempFolder tmp;
    const std::string file = tmp.File("dated.txt", 3);
    const struct timespec times[2] = {{1000000000, 0}, {1200000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    const auto read = platform::ReadOpenableFileTimes(file);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->accessed, 1000000000);
    EXPECT_EQ(read->modified, 1200000000);
    EXPECT_EQ(platform::ReadLastModified(file), 1200000000);
}

TEST(TypeNames, BuiltInRuleAndInstalledProvider)
{
    EXPECT_EQ(platform::TypeNameFor("/no/such/folder/kernel32.dll"), "DLL File");
    EXPECT_EQ(platform::TypeNameFor("archive.tar.Gz"), "GZ File");
    EXPECT_EQ(platform::TypeNameFor("/some.dir/Makefile"), "File");

    struct Fixed : platform::TypeNameProvider {
        std::string TypeNameFor(std::string_view) override { return "Fixed"; }
    };
    const auto previous = platform::SetTypeNameProvider(std::make_shared<Fixed>());
    EXPECT_EQ(platform::TypeNameFor("a.dll"), "Fixed");
    platform::SetTypeNameProvider(previous);
    EXPECT_EQ(platform::TypeNameFor("a.dll"), "DLL File");
}
