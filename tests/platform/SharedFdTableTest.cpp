// A worker thread's own descriptor table: it keeps standard error and what it
// copies in, loses the rest, and leaves the other threads' table untouched.
#include "platform/SharedFdTable.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <thread>

using platform::SharedFdTable;
using platform::UniqueFd;

namespace {

bool IsOpen(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}

} // namespace

TEST(SharedFdTable, AThreadThatLeavesKeepsOnlyWhatItCopiesIn)
{
    const UniqueFd root(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const UniqueFd other(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(root && other);
    const SharedFdTable table;
    if (!table.Usable()) GTEST_SKIP() << "this system refuses to copy descriptors between tables";

    struct stat shared {};
    ASSERT_EQ(::fstat(root.Get(), &shared), 0);
    const bool stderrOpen = IsOpen(STDERR_FILENO);
    bool left = false, otherSeen = true, stderrSeen = false, sameFile = false;
    std::thread worker([&] {
        left = table.LeaveOnThisThread();
        otherSeen = IsOpen(other.Get());
        stderrSeen = IsOpen(STDERR_FILENO);
        const UniqueFd copy = table.CopyIn(root.Get());
        struct stat copied {};
        sameFile = copy && ::fstat(copy.Get(), &copied) == 0 && copied.st_ino == shared.st_ino &&
                   copied.st_dev == shared.st_dev;
    });
    worker.join();

    ASSERT_TRUE(left);
    EXPECT_FALSE(otherSeen);
    EXPECT_EQ(stderrSeen, stderrOpen);
    EXPECT_TRUE(sameFile);
    EXPECT_TRUE(IsOpen(other.Get()) && IsOpen(root.Get()));
}
