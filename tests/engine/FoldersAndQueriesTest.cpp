// Folder listing, the result row and the per-file queries.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "VORN_STD_library/FileFacts.h"
#include "VORN_STD_library/VersionStrings.h"
#include "cDisk/ResultRow.h"
#include "cDisk/cDisk.h"
#include "platform/FileIcons.h"
#include "tests/engine/Recorder.h"
#include "tests/platform/TempFolder.h"

using testing_support::Recorder;
using testing_support::TempFolder;

TEST(SearchFolders, RecursiveListingGivesFullPathsInWalkOrder)
{
    const TempFolder tmp;
    tmp.Folder("A/B");
    tmp.Folder("C");
    tmp.Folder(".git");
    tmp.File("file.txt");
    Recorder recorder;
    cDisk disk;
    disk.SetEvents(&recorder);
    EXPECT_EQ(disk.SearchFolders(tmp.path(), true, "*", ""), 4);
    const std::vector<std::string> listed = disk.ListFound();
    ASSERT_EQ(listed.size(), 5u);
    const auto a = std::find(listed.begin(), listed.end(), tmp.path() + "A/");
    ASSERT_NE(a, listed.end());
    EXPECT_EQ(*(a + 1), tmp.path() + "A/B/");
    EXPECT_NE(std::find(listed.begin(), listed.end(), tmp.path() + ".git/"), listed.end());
    EXPECT_EQ(disk.FoundFilesNames(), std::vector<std::string>(5));
    EXPECT_EQ(recorder.pathChangeCount, 4);
    EXPECT_NE(std::find(recorder.events.begin(), recorder.events.end(), "PathChange " + tmp.path() + "A/B"),
              recorder.events.end());
}

TEST(SearchFolders, FlatListingAndPatternsThatLimitTheDescent)
{
    const TempFolder tmp;
    tmp.Folder("Alpha/Beta");
    tmp.Folder("Other/Alpine");
    Recorder recorder;
    cDisk disk;
    disk.SetEvents(&recorder);
    EXPECT_EQ(disk.SearchFolders(tmp.path(), false, "*", ""), 2);
    std::vector<std::string> listed = disk.ListFound();
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"", "Alpha", "Other"}));
    EXPECT_TRUE(recorder.events.empty());

    EXPECT_EQ(disk.SearchFolders(tmp.path(), true, "al*", ""), 1);
    EXPECT_EQ(disk.ListFound().at(1), tmp.path() + "Alpha/");
    EXPECT_EQ(disk.SearchFolders(tmp.path(), true, "*", "Other"), 2);
    EXPECT_EQ(disk.SearchFolders(tmp.path(), true, "", ""), 0);
    EXPECT_EQ(disk.ListFound(), std::vector<std::string>{""});
}

TEST(SearchFolders, ListGrowsPast200)
{
    const TempFolder tmp;
    for (int i = 0; i < 200; ++i) tmp.Folder("d" + std::to_string(i));
    cDisk disk;
    EXPECT_EQ(disk.SearchFolders(tmp.path(), false, "*", ""), 200);
    EXPECT_EQ(disk.ListFound().size(), 201u);
    EXPECT_FALSE(disk.ListFound()[200].empty());
}

TEST(ResultRow, DefaultRowMatchesTheSingleQueries)
{
    const TempFolder tmp;
    std::filesystem::copy_file(std::string(LUMBREL_FIXTURES_DIR) + "/pe/plain64.dll", tmp.path() + "plain.dll");
    cDisk disk;
    const std::string full = tmp.path() + "plain.dll";
    using grid::CellValue;
    const std::vector<CellValue> row = BuildResultRow(tmp.path(), "plain.dll", DefaultFactSelection());
    const std::vector<CellValue> expected = {
        CellValue(std::string("plain.dll")),
        CellValue(std::string("1.2.3.4")),
        CellValue(VORN_STD_library::ReadFileSize(full)),
        CellValue(*VORN_STD_library::ReadLastModifiedLocal(full)),
        CellValue(tmp.path()),
        CellValue(disk.GetFileInfo(full, 1)),
        CellValue(std::string("Plain Product")),
        CellValue(std::string("Plain Company")),
    };
    EXPECT_EQ(row, expected);
    EXPECT_EQ(std::get<std::string>(row[1]), disk.GetFileVersion(full));

    std::filesystem::remove(full);
    const std::vector<CellValue> vanished = BuildResultRow(tmp.path(), "plain.dll", DefaultFactSelection());
    const std::vector<CellValue> empty = {
        CellValue(std::string("plain.dll")), CellValue(std::string()), CellValue(platform::FixedDecimal()),
        CellValue(),                         CellValue(tmp.path()),    CellValue(std::string()),
        CellValue(std::string()),            CellValue(std::string()),
    };
    EXPECT_EQ(vanished, empty);
}

TEST(ResultRow, CellsFollowTheSelectionOrder)
{
    const std::string folder = std::string(LUMBREL_FIXTURES_DIR) + "/pe/";
    const FactListParse chosen = SelectFacts("company,filename");
    ASSERT_EQ(chosen.error, "");
    EXPECT_EQ(BuildResultRow(folder, "plain64.dll", chosen.facts),
              (std::vector<grid::CellValue>{std::string("Plain Company"), std::string("plain64.dll")}));
}

TEST(FactCatalogue, KeyListsSelectKnownKeysOnce)
{
    const struct {
        const char* list;
        std::size_t count;
        const char* error;
    } cases[] = {
        {"size", 1, ""},
        {"filename,version,size,date,path,desc,product,company", 8, ""},
        {"size,nosuch", 0, "unknown column 'nosuch'"},
        {"size,,date", 0, "unknown column ''"},
        {"", 0, "unknown column ''"},
        {"Size", 0, "unknown column 'Size'"},
        {"size,date,size", 0, "column given twice: 'size'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        const FactListParse parsed = SelectFacts(c.list);
        EXPECT_EQ(parsed.facts.size(), c.count);
        EXPECT_EQ(parsed.error, c.error);
    }
    EXPECT_EQ(SelectFacts("filename,version,size,date,path,desc,product,company").facts, DefaultFactSelection());
}

namespace {

class RecordingTarget : public platform::IconPaintTarget {
public:
    bool autoRedraw = false;
    int width = -1;
    int height = -1;
    int draws = 0;
    void SetAutoRedraw(bool enabled) override { autoRedraw = enabled; }
    void SetWidthTwips(int twips) override { width = twips; }
    void SetHeightTwips(int twips) override { height = twips; }
    void DrawIcon(const platform::FileIconImage&, int, int) override { ++draws; }
};

class FixedSource : public platform::FileIconSource {
public:
    platform::FileIconImage IconFor(const std::string&, platform::IconSize size) override
    {
        return {size == platform::IconSize::Small ? 11 : 22, {1, 2, 3}};
    }
};

} // namespace

TEST(GetFileIcon, SizesTheTargetAndDrawsWhatTheSourceFinds)
{
    cDisk disk;
    RecordingTarget none;
    EXPECT_EQ(disk.GetFileIcon("/bin/sh", 0, none), 0);
    EXPECT_TRUE(none.autoRedraw);
    EXPECT_EQ(none.width, 240);
    EXPECT_EQ(none.draws, 0);

    const auto previous = platform::SetFileIconSource(std::make_shared<FixedSource>());
    RecordingTarget large;
    EXPECT_EQ(disk.GetFileIcon("/bin/sh", 1, large), 22);
    EXPECT_EQ(large.width, 480);
    EXPECT_EQ(large.height, 480);
    EXPECT_EQ(large.draws, 1);
    RecordingTarget other;
    EXPECT_EQ(disk.GetFileIcon("/bin/sh", 2, other), 0);
    EXPECT_TRUE(other.autoRedraw);
    EXPECT_EQ(other.width, -1);
    EXPECT_EQ(other.draws, 0);
    platform::SetFileIconSource(previous);
}

TEST(FileQueries, DatesAndTypesPassThrough)
{
    cDisk disk;
    EXPECT_EQ(disk.GetFileDate("/no/such/file", 0).ToIsoText(), "1601-01-01 00:00:00");
    EXPECT_EQ(disk.GetFileDate("/no/such/file", 9).ToIsoText(), "1900-01-01 00:00:00");
    EXPECT_EQ(disk.GetFileType("/no/such/file.ocx"), "OCX File");
}
