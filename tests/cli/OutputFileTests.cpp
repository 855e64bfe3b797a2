// The -o output: an existing file is replaced only by a complete output;
// failures, exceptions and terminating signals leave it as it was and leave
// no temporary file behind.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli/OutputFile.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/lumbrel-output-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        target_ = folder_ + "/inventory.tsv";
        std::ofstream(target_) << "old content";
        ASSERT_EQ(chmod(target_.c_str(), 0640), 0);
    }
    void TearDown() override { fs::remove_all(folder_); }

    static std::string Read(const std::string& path)
    {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::size_t EntriesInFolder() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }

    std::string folder_;
    std::string target_;
};

TEST_F(OutputFileTest, UnfinishedOutputLeavesTheOldFileAndNoTemporaryFile)
{
    {
        OutputFile file(target_);
        ASSERT_TRUE(file.Ok());
        ASSERT_EQ(write(file.Fd(), "half", 4), 4);
        EXPECT_EQ(EntriesInFolder(), 2u);
    }
    EXPECT_EQ(Read(target_), "old content");
    EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(OutputFileTest, FinishedOutputReplacesTheFileKeepingItsPermissions)
{
    const std::string link = folder_ + "/link.tsv";
    fs::create_symlink(target_, link);
    OutputFile file(link);
    ASSERT_TRUE(file.Ok());
    ASSERT_EQ(write(file.Fd(), "new", 3), 3);
    ASSERT_TRUE(file.Finish());
    EXPECT_EQ(Read(target_), "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::status(target_).permissions() & fs::perms::all, fs::perms(0640));
    EXPECT_EQ(EntriesInFolder(), 2u);
}

TEST_F(OutputFileTest, DevicesAreWrittenDirectlyAndTheirErrorsReported)
{
    OutputFile null("/dev/null");
    ASSERT_TRUE(null.Ok());
    EXPECT_EQ(write(null.Fd(), "x", 1), 1);
    EXPECT_TRUE(null.Finish());

    OutputFile missingFolder(folder_ + "/absent/out.tsv");
    EXPECT_FALSE(missingFolder.Ok());
    EXPECT_EQ(missingFolder.Error(), ENOENT);
}

TEST_F(OutputFileTest, AWritableFileInAFolderThatIsNotIsRewrittenInPlace)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    ASSERT_EQ(chmod(target_.c_str(), 0600), 0);
    ASSERT_EQ(chmod(folder_.c_str(), 0500), 0);
    OutputFile file(target_);
    const bool finished = file.Ok() && write(file.Fd(), "new", 3) == 3 && file.Finish();
    chmod(folder_.c_str(), 0700);
    EXPECT_TRUE(finished);
    EXPECT_EQ(Read(target_), "new");
}

TEST_F(OutputFileTest, ATerminatingSignalRemovesTheTemporaryFile)
{
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            platform::RemoveTemporaryFilesOnSignals();
            OutputFile file(target_);
            if (write(file.Fd(), "partial", 7) != 7) _exit(1);
            raise(signalNumber);
            _exit(2);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << signalNumber;
        EXPECT_EQ(Read(target_), "old content");
        EXPECT_EQ(EntriesInFolder(), 1u) << signalNumber;
    }
}

} // namespace
} // namespace cli
