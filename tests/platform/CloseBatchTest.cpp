// Descriptors closed in batches: closed when the batch ends or fills, never a
// number that was not handed over, and at once where no batch is open.
#include "platform/CloseBatch.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <set>

using platform::CloseBatch;
using platform::CloseSoon;
using platform::UniqueFd;

namespace {

bool IsOpen(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}

int OpenRoot()
{
    return ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

} // namespace

TEST(CloseBatch, ClosesWhatItWasHandedAndNothingBetween)
{
    // Numbers handed over around ones that were not: a run of adjacent
    // numbers must not be widened over a descriptor the caller still owns.
    const int first = OpenRoot();
    const UniqueFd kept(OpenRoot());
    const int second = OpenRoot();
    const int third = OpenRoot();
    const UniqueFd keptToo(OpenRoot());
    int inner = -1;
    {
        CloseBatch batch;
        errno = EACCES;
        CloseSoon(UniqueFd(third));
        CloseSoon(UniqueFd(first));
        CloseSoon(UniqueFd(second));
        EXPECT_EQ(errno, EACCES);
        {
            CloseBatch nested;
            inner = OpenRoot();
            CloseSoon(UniqueFd(inner));
            EXPECT_TRUE(IsOpen(inner));
        }
        EXPECT_FALSE(IsOpen(inner));
        EXPECT_TRUE(IsOpen(first) && IsOpen(second) && IsOpen(third));
    }
    EXPECT_FALSE(IsOpen(first) || IsOpen(second) || IsOpen(third));
    EXPECT_TRUE(IsOpen(kept.Get()) && IsOpen(keptToo.Get()));

    // Without a batch a descriptor is closed at once.
    const int alone = OpenRoot();
    CloseSoon(UniqueFd(alone));
    EXPECT_FALSE(IsOpen(alone));
}

TEST(CloseBatch, HoldsOnlyAFewAtATime)
{
    CloseBatch batch;
    // Numbers come back once closed, so they are counted once each.
    std::set<int> handed;
    std::size_t mostOpen = 0;
    for (int i = 0; i < 40; ++i) {
        const int fd = OpenRoot();
        handed.insert(fd);
        CloseSoon(UniqueFd(fd));
        std::size_t open = 0;
        for (const int each : handed) open += IsOpen(each) ? 1 : 0;
        mostOpen = std::max(mostOpen, open);
    }
    EXPECT_LE(mostOpen, 16U);
    batch.Flush();
    for (const int fd : handed) EXPECT_FALSE(IsOpen(fd)) << fd;
}
