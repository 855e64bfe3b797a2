// Saved inventories and their comparison, in memory and from small files:
// what the reader refuses (and that it then holds nothing), the version
// order, and the change kind each pair of rows gets.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "cDisk/Comparison.h"
#include "cDisk/InventoryReader.h"
#include "cDisk/SeveralVersions.h"
#include "cDisk/VersionOrder.h"

namespace {

const std::string kHeader =
    R"({"lumbrel-inventory":1,"root":"/r","columns":["relpath","version","size"],"program":"1","scanned":"x"})";

// A fresh file holding `text`, removed at the end of the test.
class InventoryFile {
public:
    explicit InventoryFile(const std::string& text)
    {
        char pattern[] = "/tmp/lumbrel-inventory-XXXXXX";
        const int fd = mkstemp(pattern);
        close(fd);
        path_ = pattern;
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~InventoryFile() { std::remove(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

RowTable Table(std::vector<std::string> columns, const std::vector<std::vector<std::string>>& rows)
{
    RowTable table(std::move(columns));
    for (const auto& row : rows) table.AddRow(std::span<const std::string>(row));
    return table;
}

} // namespace

TEST(InventoryReader, ReadsTheHeaderAndEveryValueKind)
{
    const InventoryFile file(
        R"({"lumbrel-inventory":1,"root":"/opt/app","columns":["relpath","size","date","translations"],"program":"1.0.0.1","scanned":"2024-01-02T03:04:05Z"})"
        "\n"
        R"({"relpath":"a\tb\u00e9.dll","size":18446744073709551615,"date":null,"translations":[{"code":"040904B0"}],"extra":1})"
        "\r\n\n"
        R"({"translations":[],"date":"2024-01-02 03:04:05","size":0,"relpath":"sub/c.dll"})");
    const InventoryLoad load = LoadInventory(file.Path());
    ASSERT_EQ(load.error, "");
    EXPECT_EQ(load.header.root, "/opt/app");
    EXPECT_EQ(load.header.program, "1.0.0.1");
    EXPECT_EQ(load.header.scanned, "2024-01-02T03:04:05Z");
    ASSERT_EQ(load.rows.RowCount(), 2u);
    const std::vector<std::string> first{"a\tb\xC3\xA9.dll", "18446744073709551615", "", R"([{"code":"040904B0"}])"};
    const std::vector<std::string> second{"sub/c.dll", "0", "2024-01-02 03:04:05", "[]"};
    for (std::size_t column = 0; column < 4; ++column) {
        EXPECT_EQ(load.rows.Cell(0, column), first[column]);
        EXPECT_EQ(load.rows.Cell(1, column), second[column]);
    }
}

TEST(InventoryReader, RefusesBadFilesNamingTheLineAndHoldsNothing)
{
    const struct {
        std::string text;
        std::string where; // the line the message names
        std::string says;
    } cases[] = {
        {"", ":1: ", "empty file"},
        {"filename\tversion\nplain.dll\t1.2.3.4\n", ":1: ", "not JSON"},
        {R"({"filename":"plain.dll","version":"1.2.3.4"})" "\n", ":1: ", "not an inventory"},
        {R"({"lumbrel-inventory":2,"root":"/r","columns":["relpath"],"program":"9","scanned":"x"})" "\n", ":1: ",
         "format version 2 is newer"},
        {R"({"lumbrel-inventory":1,"root":"/r","columns":["version"],"program":"1","scanned":"x"})" "\n", ":1: ",
         "lack \"relpath\""},
        {kHeader + "\n" + R"({"relpath":"a.dll","version":"1","size":1})" "\n" + R"({"relpath":"b.dll","vers)",
         ":3: ", "cut short"},
        {kHeader + "\n" + R"({"relpath":"a.dll","size":1})" "\n", ":2: ", "lacks \"version\""},
        {kHeader + "\n[1,2]\n", ":2: ", "not a JSON object"},
        {R"({"lumbrel-inventory":1,"root":"/r","program":"1","scanned":"x","columns":["relpath")" + [] {
             std::string columns;
             for (int i = 0; i < 5000; ++i) columns += ",\"c" + std::to_string(i) + "\"";
             return columns;
         }() + "]}\n",
         ":1: ", "more than 4096 columns"},
        {kHeader + "\n" + R"({"relpath":"a.dll","version":"1","size":1} x)" "\n", ":2: ", "not JSON"},
    };
    for (const auto& c : cases) {
        const InventoryFile file(c.text);
        const InventoryLoad load = LoadInventory(file.Path());
        SCOPED_TRACE(c.text);
        EXPECT_EQ(load.error.rfind(file.Path() + c.where, 0), 0u) << load.error;
        EXPECT_NE(load.error.find(c.says), std::string::npos) << load.error;
        EXPECT_EQ(load.rows.RowCount(), 0u);
    }
}

TEST(VersionOrder, NumbersCompareByValueAndTextsNaturally)
{
    const struct {
        const char* left;
        const char* right;
        int order;
    } cases[] = {
        {"6.1.65535.40000", "6.1.7601.17514", 1}, {"1.2", "1.2.0.0", 0}, {"1.0.0000", "1.0.0.0", 0},
        {"1.2.0000", "1.2.0.5", -1},              {"", "0.0.0.1", -1},   {"5.2 beta 10", "5.2 Beta 9", 1},
        {"10.0", "9.9.9.9", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareVersions(c.left, c.right), c.order) << c.left << " vs " << c.right;
        EXPECT_EQ(CompareVersions(c.right, c.left), -c.order) << c.right << " vs " << c.left;
    }
}

TEST(Comparison, EachPairGetsItsKindAndItsDifferingFacts)
{
    const std::vector<std::string> columns{"relpath", "version", "fileversion", "size", "sha256", "company", "date"};
    const RowTable older = Table(columns, {
        {"up.dll", "6.1.7601.17514", "", "10", "", "C", "d1"},
        {"down.dll", "3.1.4.1", "", "10", "", "C", "d1"},
        {"text.dll", "", "5.2 beta 9", "10", "", "C", "d1"},
        {"hash.dll", "1.0", "", "10", "aa", "C", "d1"},
        {"size.dll", "1.0", "", "10", "", "C", "d1"},
        {"Case/Name.DLL", "1.0", "", "10", "aa", "C", "d1"},
        {"same.dll", "1.0", "", "10", "aa", "C", "d1"},
        {"gone.dll", "1.0", "", "10", "", "C", "d1"},
    });
    const RowTable newer = Table(columns, {
        {"added.dll", "1.0", "", "10", "", "C", "d2"},
        {"up.dll", "6.1.65535.0", "", "10", "", "C", "d2"},
        {"down.dll", "1.2.3.4", "", "10", "", "C", "d2"},
        {"text.dll", "", "5.2 beta 10", "10", "", "C", "d2"},
        {"hash.dll", "1.0", "", "10", "bb", "C", "d2"},
        {"size.dll", "1.0", "", "11", "", "C", "d2"},
        {"case/name.dll", "1.0", "", "10", "aa", "C", "d2"},
        {"same.dll", "1.0", "", "10", "aa", "C", "d2"},
    });
    const Comparison result = CompareRowTables(older, newer, {}, true);
    ASSERT_EQ(result.error, "");
    std::vector<std::string> seen;
    for (const RowChange& change : result.changes) {
        std::string line(ChangeKindName(change.kind));
        line += " " + std::string((change.newer != kNoRow ? newer : older)
                                      .Cell(change.newer != kNoRow ? change.newer : change.older, 0));
        for (std::uint16_t column : result.Differing(change)) line += " " + result.columns[column].key;
        seen.push_back(line);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "Added added.dll", "Changed case/name.dll relpath", "Downgraded down.dll version",
                        "Removed gone.dll", "Rebuilt hash.dll sha256", "Same same.dll", "Rebuilt size.dll size",
                        "Upgraded text.dll fileversion", "Upgraded up.dll version"}));
    EXPECT_EQ(result.counts[static_cast<std::size_t>(ChangeKind::Same)], 1u);
    EXPECT_TRUE(result.AnyDifference());
}

TEST(Comparison, MatchRulesDecideWhichRowsPairUp)
{
    const RowTable older = Table({"relpath", "size"}, {{"a/lib.dll", "1"}, {"b/lib.dll", "2"}, {"Up.dll", "3"}});
    const RowTable newer = Table({"relpath", "size"}, {{"c/lib.dll", "1"}, {"d/lib.dll", "2"}, {"up.dll", "3"}});
    const struct {
        MatchRules rules;
        std::vector<std::uint64_t> counts; // Added, Removed, ..., Same
    } cases[] = {
        {{}, {2, 2, 0, 0, 0, 1, 0}},
        {{.caseSensitive = true}, {3, 3, 0, 0, 0, 0, 0}},
        // Rows sharing a name pair up in table order.
        {{.byName = true}, {0, 0, 0, 0, 0, 0, 3}},
    };
    for (const auto& c : cases) {
        const Comparison result = CompareRowTables(older, newer, c.rules, false);
        EXPECT_EQ(std::vector<std::uint64_t>(result.counts.begin(), result.counts.end()), c.counts);
    }
    EXPECT_FALSE(CompareRowTables(older, older, {}, false).AnyDifference());
    EXPECT_NE(CompareRowTables(Table({"size"}, {}), newer, {}, false).error, "");
}

TEST(SeveralVersions, NamesWithDifferentVersionsHighestFirst)
{
    const RowTable table = Table({"relpath", "version"}, {{"a/Lib.dll", "6.1.7601.1"},
                                                          {"b/lib.dll", "6.1.65535.0"},
                                                          {"c/LIB.DLL", ""},
                                                          {"a/one.dll", "1.0"},
                                                          {"b/one.dll", "1.0.0.0"},
                                                          {"solo.dll", "2.0"}});
    const SeveralVersionsReport report = FilesWithSeveralVersions(table);
    EXPECT_EQ(report.rows, (std::vector<std::uint32_t>{1, 0, 2}));
}
