// lumbrel-scan diff, versions and --inventory end to end: two trees built
// from the PE fixtures with every change kind, compared as folders and as
// saved inventories, and the exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "ScanProcess.h"

namespace {

namespace fs = std::filesystem;
using clitest::ProcessResult;
using clitest::RunScan;

// old/                          new/
//   up.dll        6.1.7601.17514  up.dll        6.1.65535.40000 (Upgraded)
//   down.dll      3.1.4.1         down.dll      1.2.3.4 (Downgraded: goes back)
//   rebuilt.dll   1.2.3.4         rebuilt.dll   1.2.3.4, one byte longer (Rebuilt)
//   Lib/Case.DLL                  lib/case.dll  (Changed: names differ in case)
//   Old/moved.dll                 New/moved.dll (a renamed folder)
//   nover.dll     no version      nover.dll     same size, other bytes
//   gone.dll                      added.dll
class DiffProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/lumbrel-diff-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        for (const char* folder : {"old/Lib", "old/Old", "new/lib", "new/New"}) fs::create_directories(root_ + "/" + folder);
        const struct {
            const char* fixture;
            const char* path;
        } files[] = {
            {"spanish.dll", "old/up.dll"},        {"big_build.dll", "new/up.dll"},
            {"var_first.dll", "old/down.dll"},    {"plain64.dll", "new/down.dll"},
            {"plain64.dll", "old/rebuilt.dll"},   {"plain64.dll", "new/rebuilt.dll"},
            {"plain32.dll", "old/Lib/Case.DLL"},  {"plain32.dll", "new/lib/case.dll"},
            {"zero_ls.dll", "old/Old/moved.dll"}, {"zero_ls.dll", "new/New/moved.dll"},
            {"text_file.dll", "old/nover.dll"},   {"text_file.dll", "new/nover.dll"},
            {"plain64.dll", "old/gone.dll"},      {"plain32.dll", "new/added.dll"},
        };
        for (const auto& file : files)
            fs::copy_file(fs::path(LUMBREL_FIXTURES_DIR) / "pe" / file.fixture, root_ + "/" + file.path);
        std::ofstream(root_ + "/new/rebuilt.dll", std::ios::app) << 'x';
        std::fstream nover(root_ + "/new/nover.dll", std::ios::in | std::ios::out | std::ios::binary);
        nover.put('#');
    }

    void TearDown() override { fs::remove_all(root_); }

    std::string Old() const { return root_ + "/old"; }
    std::string New() const { return root_ + "/new"; }

    // "Change relpath" of each tsv row after the heading.
    static std::set<std::string> Changes(const std::string& tsv)
    {
        std::set<std::string> changes;
        std::istringstream lines(tsv);
        std::string line;
        std::getline(lines, line);
        while (std::getline(lines, line)) {
            const std::size_t second = line.find('\t', line.find('\t') + 1);
            std::string change = line.substr(0, second);
            change[change.find('\t')] = ' ';
            changes.insert(change);
        }
        return changes;
    }

    std::string root_;
};

const std::set<std::string> kEveryKind = {
    "Upgraded up.dll",          "Downgraded down.dll",   "Rebuilt rebuilt.dll",
    "Changed lib/case.dll",     "Removed Old/moved.dll", "Added New/moved.dll",
    "Removed gone.dll",         "Added added.dll",
};

TEST_F(DiffProgram, EveryChangeKindIsNamedForFoldersAndInventories)
{
    ASSERT_EQ(RunScan({"--inventory", "-o", root_ + "/old.inv", Old()}).exitStatus, 0);
    ASSERT_EQ(RunScan({"--inventory", "--columns", "filename,version,size,sha256", "-o", root_ + "/new.inv", New()})
                  .exitStatus,
              0);
    const struct {
        std::vector<std::string> arguments;
        std::set<std::string> changes;
    } cases[] = {
        {{Old(), New()}, kEveryKind},
        {{root_ + "/old.inv", New()}, kEveryKind},
        {{root_ + "/old.inv", root_ + "/new.inv"}, kEveryKind},
        {{"--by-name", Old(), New()},
         {"Upgraded up.dll", "Downgraded down.dll", "Rebuilt rebuilt.dll", "Changed lib/case.dll",
          "Removed gone.dll", "Added added.dll"}},
        {{"--case-sensitive", Old(), New()},
         {"Upgraded up.dll", "Downgraded down.dll", "Rebuilt rebuilt.dll", "Removed Lib/Case.DLL",
          "Added lib/case.dll", "Removed Old/moved.dll", "Added New/moved.dll", "Removed gone.dll",
          "Added added.dll"}},
        // With a digest the versionless file's other bytes show.
        {{"--columns", "version,size,md5", Old(), New()},
         {"Upgraded up.dll", "Downgraded down.dll", "Rebuilt rebuilt.dll", "Rebuilt nover.dll",
          "Changed lib/case.dll", "Removed Old/moved.dll", "Added New/moved.dll", "Removed gone.dll", "Added added.dll"}},
    };
    for (const auto& c : cases) {
        const ProcessResult result = RunScan([&] {
            std::vector<std::string> arguments{"diff"};
            arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
            return arguments;
        }());
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(result.exitStatus, 1) << result.err;
        EXPECT_EQ(Changes(result.out), c.changes) << result.out;
    }
}

TEST_F(DiffProgram, RowsCarryBothSidesInEveryFormat)
{
    const ProcessResult json = RunScan({"diff", "--format", "json", Old(), New()});
    EXPECT_NE(json.out.find(R"({"change":"Downgraded","relpath":"down.dll","oldversion":"3.1.4.1",)"
                            R"("newversion":"1.2.3.4","oldsize":4753,"newsize":5265,"differs":"version,size,)"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find(R"({"change":"Added","relpath":"added.dll","oldversion":null,"newversion":"1.2.3.4")"),
              std::string::npos);
    const ProcessResult csv = RunScan({"diff", "--format", "csv", Old(), New()});
    EXPECT_EQ(csv.out.rfind("Change,Relative path,Old version,New version,Old size,New size,Differs,", 0), 0u);
    EXPECT_EQ(RunScan({"diff", "--format", "xls", "-o", root_ + "/diff.xls", Old(), New()}).exitStatus, 1);
    EXPECT_GT(fs::file_size(root_ + "/diff.xls"), 0u);
}

TEST_F(DiffProgram, ExitStatusSaysSameDifferentOrTrouble)
{
    ASSERT_EQ(RunScan({"--inventory", "-o", root_ + "/old.inv", Old()}).exitStatus, 0);
    std::ofstream(root_ + "/text.inv") << "plain text\n";
    std::ofstream(root_ + "/newer.inv")
        << R"({"lumbrel-inventory":7,"root":"/","columns":["relpath"],"program":"9","scanned":"x"})" "\n";
    std::ifstream whole(root_ + "/old.inv");
    std::string cut((std::istreambuf_iterator<char>(whole)), {});
    cut.resize(cut.size() - 20);
    std::ofstream(root_ + "/cut.inv") << cut;
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string says;
    } cases[] = {
        {{"diff", Old(), Old()}, 0, ""},
        {{"diff", root_ + "/old.inv", Old()}, 0, ""},
        {{"diff", "--all", Old(), New()}, 1, ""},
        {{"diff", root_ + "/text.inv", New()}, 2, root_ + "/text.inv:1: not JSON"},
        {{"diff", Old(), root_ + "/newer.inv"}, 2, root_ + "/newer.inv:1: inventory format version 7 is newer"},
        {{"diff", root_ + "/cut.inv", New()}, 2, "the last line is cut short"},
        {{"diff", root_ + "/absent", New()}, 2, "No such file"},
        {{"diff", Old()}, 2, "missing operand"},
        {{"diff", "--count", Old(), New()}, 2, "do not apply"},
        {{"versions", root_ + "/text.inv"}, 1, "text.inv:1: not JSON"},
    };
    for (const auto& c : cases) {
        const ProcessResult result = RunScan(c.arguments);
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(result.exitStatus, c.status) << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    }
}

TEST_F(DiffProgram, TerminalGetsACountPerChangeKind)
{
    clitest::PseudoTerminal terminal;
    clitest::ProcessSetup onTerminal;
    onTerminal.stderrFd = terminal.terminal;
    EXPECT_EQ(RunScan({"diff", Old(), New()}, onTerminal).exitStatus, 1);
    const std::string summary = terminal.Drain();
    for (const char* line : {"Added: 2", "Removed: 2", "Upgraded: 1", "Downgraded: 1", "Rebuilt: 1", "Changed: 1",
                             "Same: 1"})
        EXPECT_NE(summary.find(line), std::string::npos) << summary;
}

TEST_F(DiffProgram, InventoryFirstLineIsMarkedAndRowsCarryTheirRelativePath)
{
    const ProcessResult result = RunScan({"--inventory", "--columns", "filename", Old()});
    ASSERT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out.rfind(R"({"lumbrel-inventory":1,"root":")" + Old() + R"(","columns":["relpath","filename"],)",
                               0),
              0u)
        << result.out;
    EXPECT_NE(result.out.find(R"({"relpath":"Lib/Case.DLL","filename":"Case.DLL"})"), std::string::npos);
    EXPECT_EQ(RunScan({"--inventory", "--format", "csv", Old()}).exitStatus, 2);
    // Plain json keeps its rows as they were.
    EXPECT_EQ(RunScan({"--format", "json", "--columns", "filename", Old() + "/Lib"}).out, "{\"filename\":\"Case.DLL\"}\n");
}

TEST_F(DiffProgram, VersionsListsNamesWithSeveralVersionsHighestFirst)
{
    const ProcessResult result = RunScan({"versions", root_});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "Filename\tVersion\tSize\tRelative path\n"
                          "down.dll\t3.1.4.1\t4753\told/down.dll\n"
                          "down.dll\t1.2.3.4\t5265\tnew/down.dll\n"
                          "up.dll\t6.1.65535.40000\t4753\tnew/up.dll\n"
                          "up.dll\t6.1.7601.17514\t4753\told/up.dll\n");
}

} // namespace
