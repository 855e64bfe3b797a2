// Long paths around the points where they are cut into pieces: every total
// length from 2,000 to 4,200 bytes, spelt with and without trailing slashes
// and with doubled separators, must name exactly what it spells; and a path
// that cannot be cut is refused, never read as another one.
#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/LongPath.h"
#include "platform/UniqueFd.h"
#include "tests/platform/TempFolder.h"

using platform::UniqueFd;
using testing_support::TempFolder;

namespace {

constexpr std::size_t kShortest = 2000;
constexpr std::size_t kLongest = 4200;

// A chain of folders "a" below `base`, with a file "f" in each: the inodes
// of the folders (0 is the base) and files by depth.
struct ProbeTree {
    std::vector<ino_t> folders;
    std::vector<ino_t> files;
};

ProbeTree MakeProbeTree(const std::string& base, std::size_t depth)
{
    ProbeTree tree;
    UniqueFd folder(::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat status {};
    for (std::size_t level = 0; level <= depth && folder; ++level) {
        ::fstat(folder.Get(), &status);
        tree.folders.push_back(status.st_ino);
        const UniqueFd file(::openat(folder.Get(), "f", O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        ::fstat(file.Get(), &status);
        tree.files.push_back(status.st_ino);
        ::mkdirat(folder.Get(), "a", 0755);
        folder.Reset(::openat(folder.Get(), "a", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    return tree;
}

enum class Names { Folder, File, NotAFolder };

// The folder at some depth as `base` + ("a" + separator) repeated + "a" +
// ending.
struct Spelling {
    std::string separator;
    std::string ending;
    Names names;
};

// Empty when the path names what it should; otherwise what went wrong.
std::string CheckProbe(const std::string& path, Names names, ino_t expected)
{
    struct stat status {};
    const bool looked = platform::StatLongPath(path, status, true);
    const int lookError = errno;
    const UniqueFd opened(platform::OpenLongPath(path, O_RDONLY | (names == Names::Folder ? O_DIRECTORY : 0)));
    const int openError = errno;
    if (names == Names::NotAFolder) {
        if (looked || lookError != ENOTDIR) return "stat did not fail with ENOTDIR";
        if (opened || openError != ENOTDIR) return "open did not fail with ENOTDIR";
        return {};
    }
    if (!looked || status.st_ino != expected) return "stat found another file";
    struct stat openedStatus {};
    if (!opened || ::fstat(opened.Get(), &openedStatus) != 0 || openedStatus.st_ino != expected)
        return "open found another file";
    return {};
}

} // namespace

TEST(LongPath, EveryLengthAroundTheCutsNamesWhatItSpells)
{
    const TempFolder tmp;
    const std::string& base = tmp.path();
    const std::size_t depth = (kLongest - base.size()) / 2 + 2;
    const ProbeTree tree = MakeProbeTree(base, depth);
    ASSERT_EQ(tree.folders.size(), depth + 1);

    const Spelling spellings[] = {
        {"/", "", Names::Folder},     {"/", "/", Names::Folder},   {"/", "//", Names::Folder},
        {"//", "//", Names::Folder},  {"/", "/f", Names::File},    {"/", "/f/", Names::NotAFolder},
    };
    std::vector<std::string> failures;
    std::size_t probes = 0;
    for (std::size_t length = kShortest; length <= kLongest; ++length) {
        for (const Spelling& spelling : spellings) {
            // base + (depth - 1) * ("a" + separator) + "a" + ending
            const std::size_t fixed = base.size() + 1 + spelling.ending.size();
            const std::size_t step = 1 + spelling.separator.size();
            if (length < fixed || (length - fixed) % step != 0) continue;
            const std::size_t level = (length - fixed) / step + 1;
            std::string path = base;
            for (std::size_t i = 1; i < level; ++i) path.append("a").append(spelling.separator);
            path.append("a").append(spelling.ending);
            const ino_t expected = spelling.names == Names::File ? tree.files[level] : tree.folders[level];
            const std::string failure = CheckProbe(path, spelling.names, expected);
            if (!failure.empty())
                failures.push_back(std::to_string(length) + " bytes ending \"" + spelling.ending + "\": " + failure);
            ++probes;
        }
    }
    EXPECT_GE(probes, 2 * (kLongest - kShortest));
    EXPECT_TRUE(failures.empty()) << failures.size() << " failures, first: " << failures.front();
}

TEST(LongPath, PathsThatCannotBeCutAreRefusedAndSlashRunsKeepTheirMeaning)
{
    const std::string longName(3000, 'x');
    struct stat root {};
    struct stat here {};
    ASSERT_EQ(::stat("/", &root), 0);
    ASSERT_EQ(::stat(".", &here), 0);
    struct Case {
        std::string path;
        int error;
        ino_t inode;
    };
    const Case cases[] = {
        {"/" + longName, ENAMETOOLONG, 0},
        {"/" + longName + "/", ENAMETOOLONG, 0},
        {"/tmp/" + longName + "/a", ENAMETOOLONG, 0},
        {std::string(3000, '/'), 0, root.st_ino},
        {std::string(2049, '/') + ".", 0, root.st_ino},
        {[] {
             std::string dots;
             while (dots.size() < 3000) dots += "./";
             return dots;
         }(),
         0, here.st_ino},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.substr(0, 12) + "... (" + std::to_string(c.path.size()) + " bytes)");
        const UniqueFd opened(platform::OpenLongPath(c.path, O_RDONLY | O_DIRECTORY));
        if (c.error != 0) {
            EXPECT_FALSE(opened);
            EXPECT_EQ(errno, c.error);
            continue;
        }
        struct stat status {};
        ASSERT_TRUE(opened);
        ASSERT_EQ(::fstat(opened.Get(), &status), 0);
        EXPECT_EQ(status.st_ino, c.inode);
    }
}
