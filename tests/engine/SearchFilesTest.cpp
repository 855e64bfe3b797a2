// The file walk: event order, relative paths, stops at each point where the
// walk checks for them, list growth, counting, exclusions and size limits.
#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "cDisk/cDisk.h"
#include "platform/EventLoopYield.h"
#include "tests/engine/ListingOrder.h"
#include "tests/engine/Recorder.h"
#include "tests/platform/TempFolder.h"

using platform::FixedDecimal;
using testing_support::EntryOrder;
using testing_support::Recorder;
using testing_support::TempFolder;

namespace {

const FixedDecimal kNoLimit{};

// Replaces the path handed to Progress when it is `from`.
class ProgressRedirect : public Recorder {
public:
    std::string from;
    std::string to;
    void Progress(std::string& CurrentPath, std::string& CurrentFile, std::int32_t& FileFound, double& ByteFound,
                  bool& Cancel) override
    {
        Recorder::Progress(CurrentPath, CurrentFile, FileFound, ByteFound, Cancel);
        if (CurrentPath == from) CurrentPath = to;
    }
};

// Removes the yield handler a test installed, whatever happens.
struct YieldHandlerGuard {
    ~YieldHandlerGuard() { platform::SetYieldHandler(nullptr); }
};

} // namespace

TEST(SearchFiles, EventsFollowTheEnumerationDepthFirst)
{
    const TempFolder tmp;
    tmp.File("file1.exe", 3);
    tmp.File("Sub/x.dll", 4);
    tmp.File("file2.exe", 5);
    tmp.File("notes.txt", 6);

    std::vector<std::string> expected;
    std::vector<std::string> expectedRelative{""};
    int count = 0;
    for (const std::string& name : EntryOrder(tmp.path())) {
        if (name == "Sub") {
            expected.push_back("PathChange " + tmp.path() + "Sub/");
            expected.push_back("Progress " + tmp.path() + "Sub/x.dll " + std::to_string(++count));
            expectedRelative.push_back("Sub/x.dll");
        } else if (name == "file1.exe" || name == "file2.exe") {
            expected.push_back("Progress " + tmp.path() + name + " " + std::to_string(++count));
            expectedRelative.push_back(name);
        }
    }

    Recorder recorder;
    cDisk disk;
    disk.SetEvents(&recorder);
    std::string start = tmp.path().substr(0, tmp.path().size() - 1);
    EXPECT_EQ(disk.SearchFiles(start, true, "*.exe;*.DLL", "", kNoLimit, kNoLimit), 3);
    EXPECT_EQ(start, tmp.path());
    EXPECT_EQ(recorder.events, expected);
    EXPECT_EQ(disk.FoundFilesNames(), expectedRelative);
    const std::vector<std::string> names = disk.ListFound();
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], "");
    EXPECT_EQ(disk.FoundFilesSize(), 12.0);
}

TEST(SearchFiles, NothingToFind)
{
    const TempFolder tmp;
    tmp.File("a.exe");
    tmp.File("Sub/b.exe");
    Recorder recorder;
    cDisk disk;
    disk.SetEvents(&recorder);
    EXPECT_TRUE(disk.ListFound().empty());
    EXPECT_EQ(disk.FoundFilesCount(), 0);

    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, true, "", "", kNoLimit, kNoLimit), 0);
    EXPECT_EQ(recorder.events, std::vector<std::string>{"PathChange " + tmp.path() + "Sub/"});
    EXPECT_EQ(disk.ListFound(), std::vector<std::string>{""});

    // A start folder that cannot be read is reported with the reason.
    recorder.events.clear();
    for (std::string missing : {tmp.path() + "missing", tmp.path() + "a.exe"}) {
        EXPECT_EQ(disk.SearchFiles(missing, true, "*", "", kNoLimit, kNoLimit), 0);
    }
    EXPECT_EQ(recorder.events, (std::vector<std::string>{
                                   "Unreadable " + tmp.path() + "missing/ " + std::to_string(ENOENT),
                                   "Unreadable " + tmp.path() + "a.exe/ " + std::to_string(ENOTDIR)}));
}

TEST(SearchFiles, WithoutRecursionSubfoldersAreOnlyNoted)
{
    const TempFolder tmp;
    tmp.File("Sub/deep.exe");
    Recorder recorder;
    cDisk disk;
    disk.SetEvents(&recorder);
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, false, "*", "", kNoLimit, kNoLimit), 0);
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(disk.CurrentPath(), tmp.path() + "Sub/");
}

TEST(SearchFiles, DotFoldersAreEnteredOnlyWhenHiddenOnesAreIncluded)
{
    const TempFolder tmp;
    tmp.File(".git/config.exe");
    tmp.File(".git/.objects/pack.exe");
    tmp.File(".profile");
    struct Case {
        bool includeHidden;
        std::vector<std::string> found;
        int pathChanges;
    };
    const Case cases[] = {
        {false, {"", ".profile"}, 0},
        {true, {"", ".git/.objects/pack.exe", ".git/config.exe", ".profile"}, 2},
    };
    for (const Case& c : cases) {
        Recorder recorder;
        cDisk disk;
        disk.SetEvents(&recorder);
        disk.SetIncludeHidden(c.includeHidden);
        std::string start = tmp.path();
        EXPECT_EQ(disk.SearchFiles(start, true, "*", "", kNoLimit, kNoLimit), static_cast<int>(c.found.size()) - 1);
        std::vector<std::string> found = disk.FoundFilesNames();
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.found);
        EXPECT_EQ(recorder.pathChangeCount, c.pathChanges);
        EXPECT_EQ(recorder.unreadableCount, 0);
    }
}

TEST(SearchFiles, WithoutKeptListsOnlyTheListsDiffer)
{
    const TempFolder tmp;
    tmp.File("a.exe", 3);
    tmp.File("Sub/b.exe", 4);
    cDisk disk;
    Recorder kept;
    disk.SetEvents(&kept);
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 2);
    EXPECT_EQ(disk.ListFound().size(), 3u);

    Recorder bare;
    std::vector<std::size_t> listSizes;
    bare.onProgress = [&](int, bool&) { listSizes.push_back(disk.ListFound().size()); };
    disk.SetEvents(&bare);
    disk.SetKeepFoundLists(false);
    EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 2);
    EXPECT_EQ(bare.events, kept.events);
    EXPECT_EQ(disk.FoundFilesSize(), 7.0);
    EXPECT_EQ(disk.ListFound(), std::vector<std::string>{""});
    EXPECT_EQ(disk.FoundFilesNames(), std::vector<std::string>{""});
    EXPECT_EQ(listSizes, (std::vector<std::size_t>{1, 1}));
}

TEST(SearchFiles, ExcludesAndSizeLimits)
{
    const TempFolder tmp;
    tmp.File("a.bak");
    tmp.File("B.Bak");
    tmp.File("keep.exe", 10);
    tmp.File("Temp/Old/x.exe", 20);
    tmp.File("Temp/y.exe", 30);
    tmp.File("Tempo/z.exe", 40);
    cDisk disk;
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, true, "*", "*.BAK", kNoLimit, kNoLimit), 4);

    // A folder is left out when its path equals an exclude entry, ignoring
    // case; its parent is still entered.
    const std::string exclude = "*.bak; " + tmp.path() + "TEMP/old/";
    EXPECT_EQ(disk.SearchFiles(start, true, "*", exclude, kNoLimit, kNoLimit), 3);
    std::vector<std::string> found = disk.FoundFilesNames();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"", "Temp/y.exe", "Tempo/z.exe", "keep.exe"}));

    // Both limits are inclusive.
    EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", FixedDecimal::FromWhole(20), FixedDecimal::FromWhole(30)), 2);
    EXPECT_EQ(disk.FoundFilesSize(), 50.0);
    EXPECT_EQ(disk.CountFiles(start, true, "*.exe", "", FixedDecimal::FromWhole(21), kNoLimit), 2);

    // A walk that need not take sizes still does where a limit asks, and
    // counts always total them.
    disk.SetFileSizesWanted(false);
    EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", FixedDecimal::FromWhole(20), FixedDecimal::FromWhole(30)), 2);
    EXPECT_EQ(disk.FoundFilesSize(), 50.0);
    EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 4);
    EXPECT_EQ(disk.CountFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 4);
    EXPECT_EQ(disk.FoundFilesSize(), 100.0);
}

TEST(SearchFiles, CancelInTheFifthProgressDropsTheLists)
{
    const TempFolder tmp;
    for (int i = 0; i < 8; ++i) tmp.File("f" + std::to_string(i) + ".exe", 100);
    Recorder recorder;
    recorder.onProgress = [](int number, bool& cancel) {
        if (number == 5) cancel = true;
    };
    cDisk disk;
    disk.SetEvents(&recorder);
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, false, "*.exe", "", kNoLimit, kNoLimit), cDisk::kStoppedAfterProgress);
    EXPECT_EQ(recorder.progressCount, 5);
    EXPECT_EQ(disk.FoundFilesCount(), -32000);
    EXPECT_EQ(disk.ListFound(), std::vector<std::string>{""});
    EXPECT_EQ(disk.FoundFilesNames(), std::vector<std::string>{""});
    EXPECT_EQ(disk.FoundFilesSize(), 500.0);
    EXPECT_EQ(recorder.abortCount, 0);
}

TEST(SearchFiles, StopDuringTheYieldStillHandlesThatEntry)
{
    const TempFolder tmp;
    tmp.File("a.exe", 1);
    tmp.File("b.txt", 1);
    tmp.File("c.exe", 1);
    const std::vector<std::string> order = EntryOrder(tmp.path());
    const YieldHandlerGuard guard;

    for (const std::string& stopAt : {std::string("b.txt"), std::string("c.exe")}) {
        const auto stopIndex = static_cast<int>(std::find(order.begin(), order.end(), stopAt) - order.begin());
        int acceptedBefore = 0;
        for (int i = 0; i < stopIndex; ++i) acceptedBefore += order[i].ends_with(".exe") ? 1 : 0;

        Recorder recorder;
        std::vector<bool> cancelSeen;
        recorder.onProgress = [&cancelSeen](int, bool& cancel) { cancelSeen.push_back(cancel); };
        cDisk disk;
        disk.SetEvents(&recorder);
        int yields = 0;
        platform::SetYieldHandler([&] {
            if (yields++ == stopIndex) disk.StopSearch();
        });
        std::string start = tmp.path();
        const std::int32_t result = disk.SearchFiles(start, false, "*.exe", "", kNoLimit, kNoLimit);
        EXPECT_EQ(recorder.abortCount, 1);
        if (stopAt == "c.exe") {
            // The accepted file is still reported, with Cancel already set.
            EXPECT_EQ(result, cDisk::kStoppedAfterProgress);
            ASSERT_EQ(cancelSeen.size(), static_cast<std::size_t>(acceptedBefore + 1));
            EXPECT_TRUE(cancelSeen.back());
        } else {
            EXPECT_EQ(result, acceptedBefore);
            EXPECT_EQ(disk.ListFound().size(), static_cast<std::size_t>(acceptedBefore + 1));
        }
    }
}

TEST(SearchFiles, StopDuringPathChangeOpensNothingMore)
{
    const TempFolder tmp;
    tmp.File("Sub/inner.exe");
    tmp.File("Sub/Deeper/deepest.exe");
    Recorder recorder;
    cDisk disk;
    recorder.onPathChange = [&disk](int, std::string&) { disk.StopSearch(); };
    disk.SetEvents(&recorder);
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 0);
    EXPECT_EQ(recorder.pathChangeCount, 1);
    EXPECT_EQ(recorder.progressCount, 0);

    // Counting stops the same way and never reports -32000.
    recorder.pathChangeCount = 0;
    tmp.File("top.exe");
    const std::int32_t counted = disk.CountFiles(start, true, "*.exe", "", kNoLimit, kNoLimit);
    EXPECT_GE(counted, 0);
    EXPECT_LE(counted, 1);
    EXPECT_EQ(recorder.pathChangeCount, 1);
}

TEST(SearchFiles, ListenerCanRedirectTheFolderEntered)
{
    const TempFolder tmp;
    tmp.File("Sub/ignored.exe");
    tmp.File("Elsewhere/taken.exe");
    Recorder recorder;
    recorder.onPathChange = [&tmp](int, std::string& path) {
        if (path == tmp.path() + "Sub/") path = tmp.path() + "Elsewhere/";
    };
    cDisk disk;
    disk.SetEvents(&recorder);
    std::string start = tmp.path();
    disk.SearchFiles(start, true, "*.exe", tmp.path() + "Elsewhere/", kNoLimit, kNoLimit);
    EXPECT_EQ(disk.ListFound(), (std::vector<std::string>{"", "taken.exe"}));
}

TEST(SearchFiles, PathChangedInProgressIsTheFolderPathForItsRemainingEntries)
{
    const TempFolder tmp;
    tmp.File("A/a.exe");
    for (const std::string sub : {"S1", "S2", "S3", "S4"}) {
        tmp.File("A/" + sub + "/s.exe");
        tmp.File("B/" + sub + "/t.exe");
    }
    tmp.File("C/c.exe");
    // A's subfolders listed after a.exe are looked for in B; B itself and C
    // are walked as usual.
    std::vector<std::string> expected{"", "A/a.exe", "C/c.exe"};
    bool changed = false;
    for (const std::string& name : EntryOrder(tmp.path() + "A/")) {
        if (name == "a.exe") changed = true;
        if (name.front() == 'S') expected.push_back(changed ? "B/" + name + "/t.exe" : "A/" + name + "/s.exe");
    }
    for (const std::string sub : {"S1", "S2", "S3", "S4"}) expected.push_back("B/" + sub + "/t.exe");

    ProgressRedirect redirect;
    redirect.from = tmp.path() + "A/";
    redirect.to = tmp.path() + "B/";
    cDisk disk;
    disk.SetEvents(&redirect);
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 10);
    std::vector<std::string> found = disk.FoundFilesNames();
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
    EXPECT_EQ(start, tmp.path());
    EXPECT_NE(std::find(redirect.events.begin(), redirect.events.end(), "Progress " + tmp.path() + "C/c.exe 10"),
              redirect.events.end());

    // Changed in the start folder, the path is handed back to the caller.
    const TempFolder flat;
    flat.File("a.exe");
    flat.File("b.exe");
    redirect.from = flat.path();
    redirect.to = flat.path() + "Else/";
    std::string flatStart = flat.path();
    EXPECT_EQ(disk.SearchFiles(flatStart, false, "*.exe", "", kNoLimit, kNoLimit), 2);
    EXPECT_EQ(flatStart, flat.path() + "Else/");
    EXPECT_TRUE(disk.FoundFilesNames().at(2).starts_with("Else/"));
}

TEST(SearchFiles, StopBeforeASearchDoesNotStopTheNextOne)
{
    const TempFolder tmp;
    tmp.File("a.exe");
    Recorder recorder;
    cDisk disk;
    disk.SetEvents(&recorder);
    disk.StopSearch();
    EXPECT_EQ(recorder.abortCount, 1);
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, false, "*.exe", "", kNoLimit, kNoLimit), 1);
}

TEST(SearchFiles, ListsGrowInStepsOf200AndAreCutAtTheEnd)
{
    const TempFolder tmp;
    for (int i = 0; i < 201; ++i) tmp.File("f" + std::to_string(i) + ".exe", 1);
    Recorder recorder;
    cDisk disk;
    std::vector<std::size_t> sizes;
    recorder.onProgress = [&](int, bool&) { sizes.push_back(disk.ListFound().size()); };
    disk.SetEvents(&recorder);
    std::string start = tmp.path();
    EXPECT_EQ(disk.SearchFiles(start, false, "*.exe", "", kNoLimit, kNoLimit), 201);
    ASSERT_EQ(sizes.size(), 201u);
    EXPECT_EQ(sizes[0], 201u);
    EXPECT_EQ(sizes[198], 201u);
    EXPECT_EQ(sizes[199], 401u);
    EXPECT_EQ(disk.ListFound().size(), 202u);
    EXPECT_EQ(disk.FoundFilesNames().size(), 202u);
    EXPECT_TRUE(disk.ListFound()[0].empty());
    EXPECT_FALSE(disk.ListFound()[201].empty());
}

TEST(CountFiles, AgreesWithSearchFilesAndLeavesTheLists)
{
    const TempFolder tmp;
    tmp.File("a.exe", 5);
    tmp.File("Sub/b.exe", 7);
    tmp.File("Sub/c.txt", 9);
    Recorder recorder;
    cDisk disk;
    disk.SetEvents(&recorder);
    std::string start = tmp.path();
    const std::int32_t searched = disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit);
    const double searchedBytes = disk.FoundFilesSize();
    const std::vector<std::string> listed = disk.ListFound();
    const int progressAfterSearch = recorder.progressCount;

    std::string countStart = tmp.path() + "Sub/..";
    EXPECT_EQ(disk.CountFiles(countStart, true, "*.exe", "", kNoLimit, kNoLimit), searched);
    EXPECT_EQ(countStart, tmp.path() + "Sub/../");
    EXPECT_EQ(disk.FoundFilesSize(), searchedBytes);
    EXPECT_EQ(disk.ListFound(), listed);
    EXPECT_EQ(recorder.progressCount, progressAfterSearch);
    EXPECT_EQ(recorder.pathChangeCount, 2);
}

TEST(SearchFiles, AFolderDescriptorHeldFromProgressOutlivesTheWalkAndNamesItsFolder)
{
    const TempFolder tmp;
    for (const char* file : {"a.exe", "One/b.exe", "One/Deeper/c.exe", "Two/d.exe"}) tmp.File(file, 4);
    Recorder recorder;
    cDisk disk;
    disk.SetEvents(&recorder);
    std::vector<std::pair<std::string, std::shared_ptr<const platform::UniqueFd>>> held;
    recorder.onProgress = [&](int, bool&) { held.emplace_back(disk.CurrentPath(), disk.ShareCurrentFolderDescriptor()); };
    std::string start = tmp.path();
    ASSERT_EQ(disk.SearchFiles(start, true, "*.exe", "", kNoLimit, kNoLimit), 4);

    ASSERT_EQ(held.size(), 4u);
    for (const auto& [folder, descriptor] : held) {
        ASSERT_TRUE(descriptor && *descriptor) << folder;
        struct stat open {}, named {};
        ASSERT_EQ(::fstat(descriptor->Get(), &open), 0) << folder;
        ASSERT_EQ(::stat(folder.c_str(), &named), 0) << folder;
        EXPECT_TRUE(open.st_dev == named.st_dev && open.st_ino == named.st_ino) << folder;
    }
}
