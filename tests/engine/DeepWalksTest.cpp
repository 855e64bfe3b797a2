// Walks far deeper than one path may be long: chains under bases of every
// length a level can shift a path by, start paths beyond PATH_MAX, 100,000
// levels, and the way back up through folders whose descriptors the walk
// dropped on the way down, even when one of them was moved meanwhile.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <unistd.h>

#include "cDisk/cDisk.h"
#include "tests/engine/ListingOrder.h"
#include "tests/engine/Recorder.h"
#include "tests/platform/DeepTree.h"
#include "tests/platform/TempFolder.h"

using platform::FixedDecimal;
using testing_support::MakeDeepTree;
using testing_support::TempFolder;

namespace {

const FixedDecimal kNoLimit{};

// Counts the events of a walk without keeping their texts.
class EventCounter : public cDiskEvents {
public:
    int pathChanges = 0;
    int unreadable = 0;
    void PathChange(std::string&) override { ++pathChanges; }
    void FolderUnreadable(const std::string&, int) override { ++unreadable; }
};

std::string Repeated(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

} // namespace

TEST(DeepWalks, ChainsUnderBasesOfEveryLengthAreWalkedCompletely)
{
    // A level adds six bytes, so bases one byte apart put some level of some
    // chain at every length where long paths are cut.
    const TempFolder tmp;
    constexpr int kLevels = 2000;
    std::vector<std::string> expected{""};
    for (int pad = 1; pad <= 6; ++pad) {
        const std::string base = tmp.Folder(std::string(static_cast<std::size_t>(pad), 'p')) + "/";
        expected.push_back(MakeDeepTree(base, kLevels, "level", "leaf.exe").substr(tmp.path().size()) + "leaf.exe");
    }
    EventCounter counter;
    cDisk disk;
    disk.SetEvents(&counter);
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 6);
    EXPECT_EQ(counter.pathChanges, 6 * (kLevels + 1));
    EXPECT_EQ(counter.unreadable, 0);
    std::vector<std::string> found = disk.FoundFilesNames();
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_TRUE(found == expected);
}

TEST(DeepWalks, StartPathsLongerThanPathMax)
{
    const TempFolder tmp;
    constexpr int kLevels = 1500;
    MakeDeepTree(tmp.path(), kLevels, "level", "leaf.exe");
    const int belowPathMax = static_cast<int>((4096 - tmp.path().size()) / 6);
    for (const int startLevel : {belowPathMax - 1, belowPathMax, belowPathMax + 1, belowPathMax + 2, kLevels - 1}) {
        std::string start = tmp.path() + Repeated("level/", startLevel);
        start.pop_back();
        cDisk disk;
        EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 1) << start.size();
        EXPECT_EQ(disk.FoundFilesNames().at(1), Repeated("level/", kLevels - startLevel) + "leaf.exe");
    }
}

TEST(DeepWalks, HundredThousandLevelsAreWalkedAndRemoved)
{
    constexpr int kLevels = 100000;
    std::string root;
    {
        const TempFolder tmp;
        root = tmp.path();
        const std::string deepest = MakeDeepTree(tmp.path(), kLevels, "level", "leaf.exe");
        cDisk disk;
        std::string start = tmp.path();
        EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 1);
        EXPECT_TRUE(disk.FoundFilesNames().at(1) == deepest.substr(tmp.path().size()) + "leaf.exe");
        EXPECT_TRUE(disk.CurrentPath() == deepest);
    }
    EXPECT_NE(::access(root.c_str(), F_OK), 0);
}

TEST(DeepWalks, FoldersLeftBehindAreReturnedToInListingOrder)
{
    // Every level has subfolders on both sides of the way down, so the walk
    // returns to folders far above the few it keeps open.
    const TempFolder tmp;
    std::string level = tmp.path();
    for (int depth = 0; depth < 30; ++depth) {
        for (const char* side : {"a", "z"}) tmp.File(level.substr(tmp.path().size()) + side + "/x.exe");
        tmp.Folder(level.substr(tmp.path().size()) + "m");
        for (const char* side : {"b", "y"}) tmp.File(level.substr(tmp.path().size()) + side + "/x.exe");
        level += "m/";
    }
    std::vector<std::string> expected;
    int found = 0;
    testing_support::AppendExpectedEvents(tmp.path(), expected, found);

    testing_support::Recorder recorder;
    cDisk disk;
    disk.SetEvents(&recorder);
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 120);
    EXPECT_EQ(recorder.events, expected);
    EXPECT_EQ(disk.SearchFolders(tmp.path(), true, "*", ""), 150);
}

TEST(DeepWalks, FolderMovedAwayIsReturnedToByItsPath)
{
    // While the walk is at the bottom, c10 moves out of c9: coming back up,
    // ".." of c10 is no longer c9, which must then be found by its path.
    const TempFolder tmp;
    std::string chain;
    std::vector<std::string> expected{""};
    for (int depth = 1; depth <= 20; ++depth) {
        for (const char* side : {"s0", "s1"}) tmp.File(chain + side + "/x.exe");
        chain += "c" + std::to_string(depth) + "/";
        tmp.Folder(chain);
        for (const char* side : {"s2", "s3"}) tmp.File(chain.substr(0, chain.rfind('c')) + side + "/x.exe");
        if (depth <= 10)
            for (const char* side : {"s0", "s1", "s2", "s3"})
                expected.push_back(chain.substr(0, chain.rfind('c')) + side + "/x.exe");
    }
    const std::string c10 = tmp.path() + chain.substr(0, chain.find("c11/"));
    testing_support::Recorder recorder;
    recorder.onPathChange = [&](int, std::string& path) {
        if (path.ends_with("c20/")) {
            ASSERT_EQ(std::rename(c10.c_str(), (tmp.path() + "moved").c_str()), 0);
        }
    };
    cDisk disk;
    disk.SetEvents(&recorder);
    std::string start = tmp.path();
    disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit);
    std::vector<std::string> found = disk.FoundFilesNames();
    for (const std::string& name : expected)
        EXPECT_NE(std::find(found.begin(), found.end(), name), found.end()) << name;
}
