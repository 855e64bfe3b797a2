// Opening files: only regular files are read, whatever the name's bytes.
#include "FixtureFiles.h"
#include "platform/version/PeIcons.h"
#include "platform/version/VersionInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using platform::VersionInfo;

namespace {

class ScratchFolder : public ::testing::Test {
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

TEST_F(ScratchFolder, NonRegularAndMissingFilesAreNeverRead)
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

TEST_F(ScratchFolder, NamesThatAreNotUtf8AndLinks)
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
