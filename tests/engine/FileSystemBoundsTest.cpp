// Where the walk stops at a file-system boundary: pseudo file systems are
// passed over unless the walk starts on one, and one-file-system walks stay on
// the start folder's device. A tmpfs mounted inside a scratch folder stands in
// for the other file system (the pseudo file-system test is swapped for "is a
// tmpfs"); the tests skip where mounting is not allowed.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/vfs.h>

#include "cDisk/cDisk.h"
#include "platform/FileSystemKind.h"
#include "platform/UniqueFd.h"
#include "tests/platform/TempFolder.h"

using platform::FixedDecimal;
using testing_support::TempFolder;

namespace {

const FixedDecimal kNoLimit{};

// A tmpfs mounted at a folder for the life of the object.
class TmpfsMount {
public:
    explicit TmpfsMount(std::string point) : point_(std::move(point))
    {
        mounted_ = ::mount("lumbrel-test", point_.c_str(), "tmpfs", 0, "size=1m") == 0;
    }
    ~TmpfsMount()
    {
        if (mounted_) ::umount2(point_.c_str(), MNT_DETACH);
    }
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;
    bool Mounted() const { return mounted_; }

private:
    std::string point_;
    bool mounted_ = false;
};

bool OnTmpfs(int fd)
{
    struct statfs status {};
    return ::fstatfs(fd, &status) == 0 && status.f_type == 0x01021994;
}

std::vector<std::string> Found(cDisk& disk, const std::string& start)
{
    std::string path = start;
    disk.SearchFiles(path, true, "*.exe", "", kNoLimit, kNoLimit);
    std::vector<std::string> found = disk.FoundFilesNames();
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

TEST(FileSystemBounds, MountedFolderIsEnteredUnlessPseudoOrOffTheStartDevice)
{
    const TempFolder tmp;
    tmp.File("top.exe");
    const std::string point = tmp.Folder("mnt");
    const TmpfsMount mount(point);
    if (!mount.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root and mount rights)";
    tmp.File("mnt/inner.exe");
    tmp.File("mnt/deeper/leaf.exe");
    const std::vector<std::string> everything{"", "mnt/deeper/leaf.exe", "mnt/inner.exe", "top.exe"};
    const std::vector<std::string> startDeviceOnly{"", "top.exe"};

    struct Case {
        const char* what;
        bool oneFileSystem;
        bool tmpfsIsPseudo;
        std::string start;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases{
        {"an ordinary mount is entered", false, false, tmp.path(), everything},
        {"a pseudo file system is passed over", false, true, tmp.path(), startDeviceOnly},
        {"one file system stays on the start device", true, false, tmp.path(), startDeviceOnly},
        {"a walk that starts on a pseudo file system reads it", false, true, point, {"", "deeper/leaf.exe", "inner.exe"}},
    };
    for (const Case& c : cases) {
        cDisk disk;
        disk.SetOneFileSystem(c.oneFileSystem);
        disk.SetPseudoFileSystemTest(c.tmpfsIsPseudo ? std::function<bool(int)>(OnTmpfs) : nullptr);
        EXPECT_EQ(Found(disk, c.start), c.expected) << c.what;
    }
}

TEST(FileSystemBounds, KernelFileSystemsAreRecognised)
{
    const TempFolder tmp;
    const platform::UniqueFd scratch(::open(tmp.path().c_str(), O_RDONLY | O_DIRECTORY));
    EXPECT_FALSE(platform::IsOnPseudoFileSystem(scratch.Get()));
    for (const char* folder : {"/proc", "/sys"}) {
        const platform::UniqueFd fd(::open(folder, O_RDONLY | O_DIRECTORY));
        if (fd) {
            EXPECT_TRUE(platform::IsOnPseudoFileSystem(fd.Get())) << folder;
        }
    }
}
