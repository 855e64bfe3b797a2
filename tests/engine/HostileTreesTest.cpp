// Trees that would trip a naive walker: very deep folders, link loops,
// FIFOs, dangling links, unreadable or vanishing folders and names that are
// not UTF-8.
#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "cDisk/ResultRow.h"
#include "cDisk/cDisk.h"
#include "tests/engine/Recorder.h"
#include "tests/platform/DeepTree.h"
#include "tests/platform/TempFolder.h"

using platform::FixedDecimal;
using testing_support::TempFolder;

namespace {
const FixedDecimal kNoLimit{};
}

TEST(HostileTrees, TwoThousandLevelsAreWalkedCompletely)
{
    const TempFolder tmp;
    constexpr int kLevels = 2000;
    const std::string deepest = testing_support::MakeDeepTree(tmp.path(), kLevels, "level", "leaf.exe");
    testing_support::Recorder recorder;
    cDisk disk;
    disk.SetEvents(&recorder);
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 1);
    EXPECT_EQ(recorder.pathChangeCount, kLevels);
    EXPECT_EQ(disk.FoundFilesNames().at(1), deepest.substr(tmp.path().size()) + "leaf.exe");
    EXPECT_EQ(disk.CurrentPath(), deepest);
}

TEST(HostileTrees, LinksFifosAndOddNamesAreFilesThatNeverBlock)
{
    const TempFolder tmp;
    tmp.File("Sub/real.exe", 8);
    ASSERT_EQ(::symlink(tmp.path().c_str(), (tmp.path() + "Sub/loop.exe").c_str()), 0);
    ASSERT_EQ(::symlink((tmp.path() + "Sub/real.exe").c_str(), (tmp.path() + "alias.exe").c_str()), 0);
    ASSERT_EQ(::symlink((tmp.path() + "gone").c_str(), (tmp.path() + "dangling.exe").c_str()), 0);
    ASSERT_EQ(::mkfifo((tmp.path() + "pipe.exe").c_str(), 0644), 0);
    const std::string oddName = "caf\xE9.exe";
    tmp.File(oddName, 3);

    testing_support::Recorder recorder;
    cDisk disk;
    disk.SetEvents(&recorder);
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, true, "*.EXE", "", kNoLimit, kNoLimit), 6);
    EXPECT_EQ(recorder.pathChangeCount, 1);
    // real.exe twice (itself and through the link) and the odd name.
    EXPECT_EQ(disk.FoundFilesSize(), 8.0 + 8.0 + 3.0);
    std::vector<std::string> names = disk.ListFound();
    EXPECT_NE(std::find(names.begin(), names.end(), oddName), names.end());

    const FactListParse facts = SelectFacts("size,date,version");
    const std::vector<grid::CellValue> odd = BuildResultRow(tmp.path(), oddName, facts.facts);
    EXPECT_EQ(std::get<platform::FixedDecimal>(odd[0]).Whole(), 3);
    EXPECT_TRUE(std::holds_alternative<platform::DateTime>(odd[1]));
    const std::vector<grid::CellValue> pipe = BuildResultRow(tmp.path(), "pipe.exe", facts.facts);
    EXPECT_TRUE(std::get<platform::FixedDecimal>(pipe[0]).IsZero());
    EXPECT_EQ(std::get<std::string>(pipe[2]), "");
    const std::vector<grid::CellValue> dangling = BuildResultRow(tmp.path(), "dangling.exe", facts.facts);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(dangling[1]));
}

TEST(HostileTrees, UnreadableFolderIsReportedAndPassedOver)
{
    if (testing_support::RunningAsRoot()) GTEST_SKIP() << "permissions do not stop root";
    const TempFolder tmp;
    tmp.File("Locked/hidden.exe");
    tmp.File("Open/seen.exe");
    const std::string locked = tmp.path() + "Locked/";
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    const std::string reported = "Unreadable " + locked + " " + std::to_string(EACCES);
    testing_support::Recorder recorder;
    cDisk disk;
    disk.SetEvents(&recorder);

    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 1);
    EXPECT_EQ(disk.FoundFilesNames().at(1), "Open/seen.exe");
    EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(), reported), 1);
    EXPECT_EQ(recorder.unreadableCount, 1);

    // As the start folder, and in the folder walk.
    recorder.events.clear();
    std::string lockedStart = locked;
    EXPECT_EQ(disk.SearchFiles(lockedStart, true, "*.exe", "", kNoLimit, kNoLimit), 0);
    EXPECT_EQ(disk.SearchFolders(tmp.path(), true, "*", ""), 2);
    EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(), reported), 2);
    EXPECT_EQ(recorder.unreadableCount, 3);
}

TEST(HostileTrees, FolderRemovedBeforeItIsEnteredIsReported)
{
    const TempFolder tmp;
    tmp.Folder("Gone");
    tmp.File("kept.exe");
    const std::string gone = tmp.path() + "Gone/";
    const std::string reported = "Unreadable " + gone + " " + std::to_string(ENOENT);
    testing_support::Recorder recorder;
    recorder.onPathChange = [&](int, std::string&) { ::rmdir(gone.c_str()); };
    cDisk disk;
    disk.SetEvents(&recorder);
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 1);
    const auto change = std::find(recorder.events.begin(), recorder.events.end(), "PathChange " + gone);
    ASSERT_NE(change, recorder.events.end());
    ASSERT_NE(change + 1, recorder.events.end());
    EXPECT_EQ(*(change + 1), reported);

    tmp.Folder("Gone");
    recorder.events.clear();
    EXPECT_EQ(disk.SearchFolders(tmp.path(), true, "*", ""), 1);
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"PathChange " + tmp.path() + "Gone", reported}));
}

TEST(HostileTrees, SparseFileCountsItsFullSize)
{
    const TempFolder tmp;
    const std::string big = tmp.File("big.exe");
    ASSERT_EQ(::truncate(big.c_str(), 5LL << 30), 0);
    cDisk disk;
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, false, "*.exe", "", kNoLimit, FixedDecimal::FromWhole(6LL << 30)), 1);
    EXPECT_EQ(disk.FoundFilesSize(), static_cast<double>(5LL << 30));
    EXPECT_EQ(disk.CountFiles(start, false, "*.exe", "", kNoLimit, FixedDecimal::FromWhole(4LL << 30)), 0);
}
