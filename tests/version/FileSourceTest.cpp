// Opening files: only regular files are read, whatever the name's bytes.
#include "FixtureFiles.h"
#include "platform/version/PeIcons.h"
#include "platform/version/VersionInfo.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using platform::VersionInfo;

namespace {

class VersionFileSource : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/lumbrel-version-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string folder_;
};

}  // namespace

TEST_F(VersionFileSource, NonRegularAndMissingFilesAreNeverRead)
{
    const std::string fifo = folder_ + "/pipe.dll";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A FIFO without a writer would block a plain open or read forever.
    EXPECT_FALSE(VersionInfo::FromFile(fifo));
    EXPECT_FALSE(platform::ReadIconFile(fifo));
    EXPECT_FALSE(VersionInfo::FromFile(folder_));
    EXPECT_FALSE(VersionInfo::FromFile(folder_ + "/missing.dll"));
    EXPECT_FALSE(VersionInfo::FromFile(""));
    EXPECT_FALSE(VersionInfo::FromFile("/dev/zero"));
}

TEST_F(VersionFileSource, NamesThatAreNotUtf8AndLinks)
{
    const std::string odd = folder_ + "/caf\xE9\xFF.dll";
    std::filesystem::copy_file(PeFixture("plain64.dll"), odd);
    auto info = VersionInfo::FromFile(odd);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Query("\\StringFileInfo\\040904B0\\CompanyName")->data, "Plain Company");

    const std::string link = folder_ + "/link.dll";
    ASSERT_EQ(::symlink(odd.c_str(), link.c_str()), 0);
    EXPECT_TRUE(VersionInfo::FromFile(link));
}

TEST_F(VersionFileSource, PathsLongerThanTheKernelTakesInOneCall)
{
    // 30 folders of 200 characters: a path of over 6,000 bytes.
    const std::string piece(200, 'd');
    std::string path = folder_;
    int parent = ::open(folder_.c_str(), O_PATH | O_DIRECTORY);
    ASSERT_GE(parent, 0);
    for (int level = 0; level < 30; ++level) {
        ASSERT_EQ(::mkdirat(parent, piece.c_str(), 0700), 0);
        const int child = ::openat(parent, piece.c_str(), O_PATH | O_DIRECTORY);
        ::close(parent);
        ASSERT_GE(child, 0);
        parent = child;
        path += "/" + piece;
    }
    const auto image = PeFixtureBytes("plain32.dll");
    const int file = ::openat(parent, "deep.dll", O_WRONLY | O_CREAT, 0600);
    ::close(parent);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, image.data(), image.size()), static_cast<ssize_t>(image.size()));
    ::close(file);

    auto info = VersionInfo::FromFile(path + "/deep.dll");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Query("\\StringFileInfo\\040904B0\\ProductName")->data, "Plain Product");
}
