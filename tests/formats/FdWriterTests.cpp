// The checked writer: full disks, closed pipes and closed descriptors must be
// reported, and large writes through a pipe must arrive whole.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

#include "grid/formats/FdWriter.h"

namespace grid::formats {
namespace {

TEST(FdWriter, FullDiskIsReportedAtTheLatestOnFlush)
{
    const int fd = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    FdWriter out(fd);
    out.Write("small");
    EXPECT_FALSE(out.Failed()); // still buffered
    EXPECT_FALSE(out.Flush());
    EXPECT_EQ(out.Error(), ENOSPC);
    EXPECT_FALSE(out.ReaderGone());
    close(fd);
}

TEST(FdWriter, AClosedReaderShowsAsReaderGone)
{
    std::signal(SIGPIPE, SIG_IGN);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    FdWriter out(ends[1]);
    out.Write(std::string(FdWriter::kBufferSize * 2, 'x'));
    EXPECT_TRUE(out.Failed());
    EXPECT_TRUE(out.ReaderGone());
    // Later writes change nothing.
    out.Write("more");
    EXPECT_EQ(out.Error(), EPIPE);
    close(ends[1]);
}

TEST(FdWriter, AClosedDescriptorIsAnErrorNotAReaderThatLeft)
{
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    close(ends[1]);
    FdWriter out(ends[1]);
    out.Write("x");
    EXPECT_FALSE(out.Flush());
    EXPECT_EQ(out.Error(), EBADF);
    EXPECT_FALSE(out.ReaderGone());
}

TEST(FdWriter, EveryByteArrivesInOrderThroughASlowPipe)
{
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::string received;
    std::thread reader([&] {
        char chunk[1000];
        ssize_t n;
        while ((n = read(ends[0], chunk, sizeof chunk)) > 0) received.append(chunk, static_cast<std::size_t>(n));
        close(ends[0]);
    });

    std::string expected;
    {
        FdWriter out(ends[1]);
        for (int i = 0; i < 20000; ++i) {
            const std::string piece = std::to_string(i) + (i % 97 == 0 ? std::string(70000, 'z') : ",");
            out.Write(piece);
            expected += piece;
        }
        EXPECT_TRUE(out.Flush());
        close(ends[1]);
    }
    reader.join();
    EXPECT_EQ(received, expected);
}

} // namespace
} // namespace grid::formats
