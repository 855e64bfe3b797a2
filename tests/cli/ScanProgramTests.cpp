// lumbrel-scan end to end: the built program run over a tree of real PE
// files, checking each format's exact output, the modes, the filters and the
// exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "ScanProcess.h"
#include "platform/UniqueFd.h"

namespace {

namespace fs = std::filesystem;
using clitest::ProcessResult;
using clitest::ProcessSetup;
using clitest::RunScan;

// 2021-03-04 05:06:07 UTC.
constexpr time_t kFileTime = 1614834367;

const std::string kOddName = "odd\xff.dll";
const std::string kTabName = "tab\tname.dll";

// The tree every test scans:
//   plain.dll               version resource, 64-bit image
//   broken.dll              text, no version resource
//   notes.txt               does not match
//   odd<FF>.dll             name that is not UTF-8
//   tab<TAB>name.dll        name with a tab
//   sub/uni, code.exe       non-ASCII version strings; name needs csv quoting
//   sub/deep/spanish.ocx
//   .hidden/skipped.dll     below a folder entered only with --hidden
class ScanProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/lumbrel-scan-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        fs::create_directories(root_ + "/sub/deep");
        fs::create_directories(root_ + "/.hidden");
        Copy("plain64.dll", "plain.dll");
        Copy("text_file.dll", "broken.dll");
        Copy("text_file.dll", "notes.txt");
        Copy("plain32.dll", kOddName);
        Copy("plain32.dll", kTabName);
        Copy("unicode.dll", "sub/uni, code.exe");
        Copy("spanish.dll", "sub/deep/spanish.ocx");
        Copy("plain32.dll", ".hidden/skipped.dll");
    }

    void TearDown() override { fs::remove_all(root_); }

    void Copy(const std::string& fixture, const std::string& name)
    {
        fs::copy_file(fs::path(LUMBREL_FIXTURES_DIR) / "pe" / fixture, root_ + "/" + name);
        const timespec times[2] = {{kFileTime, 0}, {kFileTime, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, (root_ + "/" + name).c_str(), times, 0), 0);
    }

    // Relative names of the matching files in the order a depth-first walk
    // meets them, taking each folder's entries in the order the file system
    // lists them; folders starting with "." are not entered.
    std::vector<std::string> WalkOrder(const std::string& relative = "") const
    {
        std::vector<std::string> found;
        DIR* folder = opendir((root_ + "/" + relative).c_str());
        while (const dirent* entry = readdir(folder)) {
            const std::string name = entry->d_name;
            const std::string path = relative + name;
            if (fs::is_directory(root_ + "/" + path)) {
                if (name[0] == '.') continue;
                for (const std::string& below : WalkOrder(path + "/")) found.push_back(below);
            } else if (name.size() > 4 && name.substr(name.size() - 4) != ".txt") {
                found.push_back(path);
            }
        }
        closedir(folder);
        return found;
    }

    // Expected lines keyed by relative name, put in walk order; files
    // without a line are expected to be left out.
    std::string InWalkOrder(const std::string& heading, const std::map<std::string, std::string>& lines) const
    {
        std::string text = heading;
        for (const std::string& name : WalkOrder())
            if (const auto line = lines.find(name); line != lines.end()) text += line->second;
        return text;
    }

    std::string root_;
};

TEST_F(ScanProgram, TsvHasAHeadingAndOneEscapedLinePerFile)
{
    const ProcessResult result = RunScan({root_});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
    const std::string r = root_ + "/";
    const std::string when = "2021-03-04 05:06:07";
    EXPECT_EQ(result.out,
              InWalkOrder("Filename\tVersion\tSize\tDate\tPath\tDescription\tProduct\tCompany\n",
                          {
                              {"plain.dll", "plain.dll\t1.2.3.4\t5265\t" + when + "\t" + r +
                                                "\tPlain Description\tPlain Product\tPlain Company\n"},
                              {"broken.dll", "broken.dll\t\t67\t" + when + "\t" + r + "\t\t\t\n"},
                              {kOddName, kOddName + "\t1.2.3.4\t5329\t" + when + "\t" + r +
                                             "\tPlain Description\tPlain Product\tPlain Company\n"},
                              {kTabName, "tab\\tname.dll\t1.2.3.4\t5329\t" + when + "\t" + r +
                                             "\tPlain Description\tPlain Product\tPlain Company\n"},
                              {"sub/uni, code.exe", "uni, code.exe\t1.0.0.11\t4753\t" + when + "\t" + r +
                                                        "sub/\tОписание 😀\tПродукт\t株式会社テスト\n"},
                              {"sub/deep/spanish.ocx", "spanish.ocx\t6.1.7601.17514\t" +
                                                           std::to_string(fs::file_size(r + "sub/deep/spanish.ocx")) +
                                                           "\t" + when + "\t" + r +
                                                           "sub/deep/\tDescripción\tProducto\tEmpresa\n"},
                          }));
}

TEST_F(ScanProgram, CsvQuotesAsRfc4180AndEndsLinesWithCrLf)
{
    const ProcessResult result = RunScan({"--format", "csv", "-f", "*.exe;*.dll", root_ + "/sub"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "Filename,Version,Size,Date,Path,Description,Product,Company\r\n"
                          "\"uni, code.exe\",1.0.0.11,4753,2021-03-04 05:06:07," +
                              root_ + "/sub/,Описание 😀,Продукт,株式会社テスト\r\n");
}

TEST_F(ScanProgram, JsonLinesAreValidUtf8WithEscapedControls)
{
    const std::string r = root_ + "/";
    const std::string tail = ",\"date\":\"2021-03-04 05:06:07\",\"path\":\"" + r +
                             "\",\"desc\":\"Plain Description\",\"product\":\"Plain Product\","
                             "\"company\":\"Plain Company\"}\n";
    const ProcessResult result = RunScan({"--format=json", "--no-subfolders", "-f", "odd*;tab*", root_});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, InWalkOrder("", {
                                              {kOddName, "{\"filename\":\"odd\xef\xbf\xbd.dll\",\"version\":"
                                                         "\"1.2.3.4\",\"size\":5329" + tail},
                                              {kTabName, "{\"filename\":\"tab\\u0009name.dll\",\"version\":"
                                                         "\"1.2.3.4\",\"size\":5329" + tail},
                                          }));
}

TEST_F(ScanProgram, DatesAreLocalTimeAndAVersionlessFileHasEmptyFacts)
{
    ProcessSetup tokyo;
    tokyo.timeZone = "JST-9";
    const ProcessResult result = RunScan({"--format", "json", "--no-subfolders", "-f", "broken.dll", root_}, tokyo);
    EXPECT_EQ(result.out, "{\"filename\":\"broken.dll\",\"version\":\"\",\"size\":67,"
                          "\"date\":\"2021-03-04 14:06:07\",\"path\":\"" +
                              root_ + "/\",\"desc\":\"\",\"product\":\"\",\"company\":\"\"}\n");
}

TEST_F(ScanProgram, CountGivesFilesAndBytesOfWhatASearchWouldList)
{
    const ProcessResult all = RunScan({"--count", root_});
    EXPECT_EQ(all.exitStatus, 0);
    const std::uintmax_t bytes = 5265 + 67 + 5329 + 5329 + 4753 + fs::file_size(root_ + "/sub/deep/spanish.ocx");
    EXPECT_EQ(all.out, "Files\tBytes\n6\t" + std::to_string(bytes) + "\n");

    EXPECT_EQ(RunScan({"--count", "--format", "json", "--no-subfolders", "-f", "*.ocx", root_}).out,
              "{\"files\":0,\"bytes\":0}\n");
    EXPECT_EQ(RunScan({"--count", "--format", "csv", "-f", "*.ocx", root_}).out,
              "Files,Bytes\r\n1," + std::to_string(fs::file_size(root_ + "/sub/deep/spanish.ocx")) + "\r\n");
}

TEST_F(ScanProgram, FoldersListsFullPathsOrBareNames)
{
    const ProcessResult recursive = RunScan({"--folders", root_});
    EXPECT_EQ(recursive.exitStatus, 0);
    std::vector<std::string> lines;
    std::istringstream text(recursive.out);
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    // Unlike the file walk, folder listing considers names starting with ".".
    EXPECT_EQ(lines, (std::vector<std::string>{root_ + "/.hidden/", root_ + "/sub/", root_ + "/sub/deep/"}));

    EXPECT_EQ(RunScan({"--folders", "--no-subfolders", "-f", "s*", root_}).out, "sub\n");
    // A folder that does not match is not entered.
    EXPECT_EQ(RunScan({"--folders", "-f", "deep", root_}).out, "");
}

TEST_F(ScanProgram, ExcludeListAndSizeLimitsNarrowTheRows)
{
    auto names = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--format", "csv"});
        arguments.push_back(root_);
        const ProcessResult result = RunScan(arguments);
        std::vector<std::string> found;
        std::istringstream text(result.out);
        std::string line;
        std::getline(text, line);
        // The first field; a quoted one keeps its quotes.
        while (std::getline(text, line))
            found.push_back(line[0] == '"' ? line.substr(0, line.find('"', 1) + 1) : line.substr(0, line.find(',')));
        std::sort(found.begin(), found.end());
        return found;
    };
    EXPECT_EQ(names({"-x", "*.DLL"}), (std::vector<std::string>{"\"uni, code.exe\"", "spanish.ocx"}));
    // A folder path in the exclude list keeps the walk out of that folder.
    EXPECT_EQ(names({"-f", "*.ocx;*.exe", "-x", root_ + "/SUB/DEEP/"}), (std::vector<std::string>{"\"uni, code.exe\""}));
    EXPECT_EQ(names({"--max-size", "100"}), (std::vector<std::string>{"broken.dll"}));
    EXPECT_EQ(names({"--min-size", "5300", "--max-size", "5329"}), (std::vector<std::string>{kOddName, kTabName}));
    EXPECT_EQ(names({"--no-subfolders", "-f", "*.exe;*.ocx"}), std::vector<std::string>{});
}

TEST_F(ScanProgram, OutputFileIsReplacedAndMatchesStandardOutput)
{
    const std::string target = root_ + "/result.tsv";
    std::ofstream(target) << std::string(100000, 'x');
    const ProcessResult toFile = RunScan({"-o", target, "-f", "*.dll", root_});
    EXPECT_EQ(toFile.exitStatus, 0);
    EXPECT_EQ(toFile.out, "");
    std::ifstream written(target, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, RunScan({"-f", "*.dll", root_}).out);
}

TEST_F(ScanProgram, XlsWorkbookHoldsTheRowsAndIsNeverSentToATerminal)
{
    const std::string target = root_ + "/result.xls";
    const ProcessResult written = RunScan({"--format", "xls", "-o", target, "-f", "plain.dll", root_});
    ASSERT_EQ(written.exitStatus, 0) << written.err;

    // Read the workbook back with an independent reader.
    const std::string script =
        "import sys, xlrd\n"
        "book = xlrd.open_workbook(sys.argv[1])\n"
        "sheet = book.sheet_by_index(0)\n"
        "for r in range(sheet.nrows):\n"
        "    print('|'.join(str(sheet.cell_value(r, c)) for c in range(sheet.ncols)))\n";
    const std::string command = "/usr/bin/python3 -c \"" + script + "\" " + target + " > " + target + ".txt";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream text(target + ".txt");
    std::string heading, row, rest;
    std::getline(text, heading);
    std::getline(text, row);
    EXPECT_EQ(heading, "Filename|Version|Size|Date|Path|Description|Product|Company");
    // The date is a day count: 2021-03-04 05:06:07 is day 44259.2126...
    EXPECT_EQ(row.substr(0, row.find("|44259.")), "plain.dll|1.2.3.4|5265.0");
    EXPECT_NE(row.find("|" + root_ + "/|Plain Description|Plain Product|Plain Company"), std::string::npos) << row;
    EXPECT_FALSE(std::getline(text, rest));

    clitest::PseudoTerminal terminal;
    ProcessSetup onTerminal;
    onTerminal.stdoutFd = terminal.terminal;
    const ProcessResult refused = RunScan({"--format", "xls", root_}, onTerminal);
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_NE(refused.err.find("Try 'lumbrel-scan --help'."), std::string::npos);
    EXPECT_EQ(terminal.Drain(), "");
}

TEST_F(ScanProgram, XlsxWorkbookGoesToAFileOrAPipeButNeverToATerminal)
{
    const std::string target = root_ + "/result.xlsx";
    const ProcessResult written = RunScan({"--format", "xlsx", "-o", target, "-f", "plain.dll", root_});
    ASSERT_EQ(written.exitStatus, 0) << written.err;
    const ProcessResult piped = RunScan({"--format", "xlsx", "-f", "plain.dll", root_});
    ASSERT_EQ(piped.exitStatus, 0) << piped.err;
    std::ofstream(root_ + "/piped.xlsx") << piped.out;

    auto cells = [](const std::string& path) {
        const std::string command = "/usr/bin/python3 " LUMBREL_SOURCE_DIR "/tests/formats/dump_xlsx.py " + path +
                                    " | grep '!A2 \\|!C2 \\|!E2 ' > " + path + ".txt";
        EXPECT_EQ(std::system(command.c_str()), 0);
        std::ifstream text(path + ".txt");
        return std::string(std::istreambuf_iterator<char>(text), {});
    };
    EXPECT_EQ(cells(target), "Sheet1!A2 str - General 'plain.dll'\n"
                             "Sheet1!C2 int - #,0 5265\n"
                             "Sheet1!E2 str - General '" + root_ + "/'\n");
    EXPECT_EQ(cells(root_ + "/piped.xlsx"), cells(target));

    clitest::PseudoTerminal terminal;
    ProcessSetup onTerminal;
    onTerminal.stdoutFd = terminal.terminal;
    EXPECT_EQ(RunScan({"--format", "xlsx", root_}, onTerminal).exitStatus, 2);
    EXPECT_EQ(terminal.Drain(), "");
}

TEST_F(ScanProgram, BillOfMaterialsOfARealScanPassesTheSchema)
{
    if (std::system("command -v node > /dev/null 2>&1") != 0) GTEST_SKIP() << "node is not installed";
    const std::string modules = LUMBREL_SOURCE_DIR "/.test-tools/node_modules";
    ASSERT_TRUE(fs::exists(modules + "/ajv")) << "run scripts/setup to install the schema validator";

    const std::string target = root_ + "/bom.cdx.json";
    const ProcessResult written =
        RunScan({"--format", "cyclonedx", "--columns", "all", "-f", "*.dll;*.exe;*.ocx", "-o", target, root_});
    ASSERT_EQ(written.exitStatus, 0) << written.err;
    const std::string command = "node " LUMBREL_SOURCE_DIR "/tests/formats/validate_cyclonedx.js " + modules + " " +
                                target + " > " + target + ".txt 2>&1";
    const int status = std::system(command.c_str());
    std::ifstream result(target + ".txt");
    const std::string verdict(std::istreambuf_iterator<char>(result), {});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(verdict, "valid\n");

    // One component per file row.
    std::ifstream bom(target);
    const std::string document(std::istreambuf_iterator<char>(bom), {});
    std::size_t components = 0;
    for (std::size_t at = 0; (at = document.find("\n{\"type\":\"file\"", at)) != std::string::npos; ++at) ++components;
    const std::string rows = RunScan({"-f", "*.dll;*.exe;*.ocx", root_}).out;
    EXPECT_EQ(components + 1, static_cast<std::size_t>(std::count(rows.begin(), rows.end(), '\n')));
}

TEST_F(ScanProgram, ProgressLineAppearsOnlyOnATerminalAndIsErased)
{
    clitest::PseudoTerminal terminal;
    ProcessSetup onTerminal;
    onTerminal.stderrFd = terminal.terminal;
    const ProcessResult shown = RunScan({root_}, onTerminal);
    EXPECT_EQ(shown.exitStatus, 0);
    const std::string drawn = terminal.Drain();
    EXPECT_NE(drawn.find(" found  " + root_), std::string::npos) << drawn;
    EXPECT_EQ(drawn.substr(drawn.size() - 4), "\r\x1b[K");
    EXPECT_EQ(shown.out, RunScan({root_}).out);

    EXPECT_EQ(RunScan({"-q", root_}, onTerminal).exitStatus, 0);
    EXPECT_EQ(terminal.Drain(), "");

    // Rows going to the same terminal are not torn up by the progress line.
    ProcessSetup bothOnTerminal = onTerminal;
    bothOnTerminal.stdoutFd = terminal.terminal;
    EXPECT_EQ(RunScan({root_}, bothOnTerminal).exitStatus, 0);
    const std::string rows = terminal.Drain();
    EXPECT_NE(rows.find("plain.dll"), std::string::npos);
    EXPECT_EQ(rows.find("\x1b[K"), std::string::npos);
}

TEST_F(ScanProgram, MissingOrUnreadableStartFolderExitsWithOne)
{
    for (const std::string& start : {root_ + "/absent", root_ + "/plain.dll", std::string()}) {
        const ProcessResult result = RunScan({"--", start});
        EXPECT_EQ(result.exitStatus, 1) << start;
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("'" + start + "'"), std::string::npos) << result.err;
    }
}

TEST_F(ScanProgram, UsageErrorsExitWithTwoAndAHint)
{
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{
             {"--bogus"}, {"--min-size", "lots"}, {root_, root_}, {"--trust", root_ + "/no-such-store", root_}}) {
        const ProcessResult result = RunScan(arguments);
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_EQ(result.out, "");
        ASSERT_GE(result.err.size(), 27u);
        EXPECT_EQ(result.err.substr(result.err.size() - 27), "Try 'lumbrel-scan --help'.\n");
    }
    const ProcessResult help = RunScan({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.out.rfind("Usage: lumbrel-scan", 0), 0u);
    EXPECT_NE(help.out.find("no platform trust list for code signing"), std::string::npos);
}

TEST_F(ScanProgram, ChosenColumnsInEveryFormatAndTheirList)
{
    const std::vector<std::string> only = {"--no-subfolders", "-f", "plain.dll", "--columns",
                                           "renamed,sha256,comments,date", root_};
    auto run = [&](const std::string& format) {
        std::vector<std::string> arguments = {"--format", format};
        arguments.insert(arguments.end(), only.begin(), only.end());
        return RunScan(arguments).out;
    };
    // sha256sum of tests/fixtures/pe/plain64.dll, which plain.dll copies.
    const std::string digest = "df5c59a1d7b7fcc40afc7dcaa7f6e5e1d27ba224f96b436d8b52ef652b386e5e";
    EXPECT_EQ(run("tsv"), "Renamed\tSHA-256\tComments\tDate\nno\t" + digest + "\t\t2021-03-04 05:06:07\n");
    EXPECT_EQ(run("csv"), "Renamed,SHA-256,Comments,Date\r\nno," + digest + ",,2021-03-04 05:06:07\r\n");
    EXPECT_EQ(run("json"),
              "{\"renamed\":\"no\",\"sha256\":\"" + digest + "\",\"comments\":\"\",\"date\":\"2021-03-04 05:06:07\"}\n");

    // A JSON-document column is written into the line as it is.
    EXPECT_EQ(RunScan({"--format", "json", "--no-subfolders", "-f", "plain.dll", "--columns", "filename,translations",
                       root_})
                  .out,
              R"({"filename":"plain.dll","translations":[{"code":"040904B0","strings":{"CompanyName":"Plain Company",)"
              R"("FileDescription":"Plain Description","InternalName":"plain","LegalCopyright":"Copyright 2024 Plain",)"
              R"("OriginalFileName":"plain.dll","ProductName":"Plain Product","ProductVersion":"1.2"}}]})"
              "\n");

    const ProcessResult unknown = RunScan({"--columns", "size,nosuch", root_});
    EXPECT_EQ(unknown.exitStatus, 2);
    EXPECT_NE(unknown.err.find("'nosuch'"), std::string::npos) << unknown.err;

    const ProcessResult list = RunScan({"--list-columns"});
    EXPECT_EQ(list.exitStatus, 0);
    EXPECT_EQ(list.out.rfind("filename             Filename\nversion              Version\n", 0), 0u) << list.out;
    EXPECT_NE(list.out.find("\nsha256               SHA-256\n"), std::string::npos) << list.out;
}

TEST_F(ScanProgram, OutputThatCannotBeWrittenExitsWithThree)
{
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{root_}, {"--count", root_}, {"--folders", root_}}) {
        ProcessSetup toFull;
        toFull.stdoutFd = full;
        const ProcessResult result = RunScan(arguments, toFull);
        EXPECT_EQ(result.exitStatus, 3);
        EXPECT_NE(result.err.find("No space left on device"), std::string::npos) << result.err;
    }
    close(full);

    EXPECT_EQ(RunScan({"-o", "/dev/full", "--format", "xls", root_}).exitStatus, 3);
    EXPECT_EQ(RunScan({"-o", root_ + "/absent/out.tsv", root_}).exitStatus, 3);
    ProcessSetup closed;
    closed.closeStdout = true;
    const ProcessResult noStdout = RunScan({root_}, closed);
    EXPECT_EQ(noStdout.exitStatus, 3);
    EXPECT_NE(noStdout.err.find("standard output"), std::string::npos);
}

TEST_F(ScanProgram, AReaderThatStopsEarlyEndsTheScanQuietly)
{
    // Enough rows to fill any pipe buffer many times over.
    for (int i = 0; i < 4000; ++i)
        fs::create_hard_link(root_ + "/plain.dll", root_ + "/sub/copy" + std::to_string(i) + ".dll");

    ProcessSetup headOne;
    headOne.stopReadingAfterLines = 1;
    const ProcessResult early = RunScan({root_}, headOne);
    EXPECT_EQ(early.exitStatus, 0);
    EXPECT_EQ(early.err, "");

    ProcessSetup goneAtOnce;
    goneAtOnce.stopReadingAfterLines = 0;
    for (const char* format : {"tsv", "json", "xls"}) {
        const ProcessResult result = RunScan({"--format", format, root_}, goneAtOnce);
        EXPECT_EQ(result.exitStatus, 0) << format;
        EXPECT_EQ(result.err, "") << format;
    }
}

// Undoes the tsv escapes of one field.
std::string UnescapeTsv(std::string_view field)
{
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            text.push_back(field[i]);
            continue;
        }
        const char escaped = field[++i];
        text.push_back(escaped == 't' ? '\t' : escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped);
    }
    return text;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == separator) parts.emplace_back();
        else parts.back().push_back(c);
    }
    return parts;
}

TEST_F(ScanProgram, EveryTsvRowNamesAFileThatOpensAgain)
{
    const std::vector<std::string> names = {"new\nline.dll", "back\\slash.dll", "cr\r.dll", "a\\tb.dll",
                                            "a\tb.dll"};
    fs::create_directories(root_ + "/esc\\n\tfolder");
    for (const std::string& name : names) Copy("plain32.dll", "esc\\n\tfolder/" + name);

    const ProcessResult result = RunScan({"-f", "*.dll", root_ + "/esc\\n\tfolder"});
    ASSERT_EQ(result.exitStatus, 0);
    std::vector<std::string> lines = Split(result.out, '\n');
    ASSERT_EQ(lines.back(), "");
    lines.pop_back();
    ASSERT_EQ(lines.size(), names.size() + 1);
    std::set<std::string> listed;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> fields = Split(lines[i], '\t');
        ASSERT_EQ(fields.size(), 8u) << lines[i];
        const std::string path = UnescapeTsv(fields[4]) + UnescapeTsv(fields[0]);
        EXPECT_TRUE(fs::exists(path)) << lines[i];
        listed.insert(path);
    }
    EXPECT_EQ(listed.size(), names.size());
}

TEST_F(ScanProgram, ControlCharactersAreEscapedOnATerminalAndExactElsewhere)
{
    const std::string hostile = "x\x1b[2J\x1b]0;title\x07\xc2\x9b.dll";
    Copy("plain32.dll", hostile);
    for (const char* format : {"tsv", "csv", "json"}) {
        clitest::PseudoTerminal terminal;
        ProcessSetup onTerminal;
        onTerminal.stdoutFd = terminal.terminal;
        ASSERT_EQ(RunScan({"--format", format, "--no-subfolders", "-f", "x*", root_}, onTerminal).exitStatus, 0);
        const std::string shown = terminal.Drain();
        EXPECT_EQ(shown.find('\x1b'), std::string::npos) << format;
        EXPECT_EQ(shown.find('\x07'), std::string::npos) << format;
        EXPECT_EQ(shown.find("\xc2\x9b"), std::string::npos) << format;
        EXPECT_NE(shown.find("x"), std::string::npos) << format;
    }
    EXPECT_NE(RunScan({"--no-subfolders", "-f", "x*", root_}).out.find(hostile), std::string::npos);
    clitest::PseudoTerminal terminal;
    ProcessSetup onTerminal;
    onTerminal.stdoutFd = terminal.terminal;
    RunScan({"--no-subfolders", "-f", "x*", root_}, onTerminal);
    EXPECT_NE(terminal.Drain().find("x\\x1b[2J\\x1b]0;title\\x07\\xc2\\x9b.dll"), std::string::npos);
}

TEST_F(ScanProgram, CsvKeepsFormulasFromRunningUnlessAskedForRawValues)
{
    for (const std::string name : {"=cmd.dll", "+1.dll", "-2.dll", "@sum.dll"}) Copy("plain32.dll", name);
    const std::string guarded = RunScan({"--format", "csv", "--no-subfolders", "-f", "=*;+*;-*;@*", root_}).out;
    const std::string raw =
        RunScan({"--format", "csv", "--csv-raw", "--no-subfolders", "-f", "=*;+*;-*;@*", root_}).out;
    for (const std::string name : {"=cmd.dll", "+1.dll", "-2.dll", "@sum.dll"}) {
        EXPECT_NE(guarded.find("\n'" + name + ","), std::string::npos) << name;
        EXPECT_NE(raw.find("\n" + name + ","), std::string::npos) << name;
    }
    EXPECT_EQ(RunScan({"--csv-raw", root_}).exitStatus, 2);
}

TEST_F(ScanProgram, HiddenFoldersAreEnteredOnlyWhenAskedFor)
{
    EXPECT_EQ(RunScan({root_}).out.find("skipped.dll"), std::string::npos);
    EXPECT_NE(RunScan({"--hidden", root_}).out.find("skipped.dll"), std::string::npos);
}

TEST_F(ScanProgram, UnreadableFoldersAreNamedAndEndWithFour)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads every folder";
    }
    fs::create_directories(root_ + "/locked/inner");
    ASSERT_EQ(chmod((root_ + "/locked").c_str(), 0), 0);
    const ProcessResult result = RunScan({root_});
    chmod((root_ + "/locked").c_str(), 0755);
    EXPECT_EQ(result.exitStatus, 4);
    EXPECT_NE(result.out.find("plain.dll"), std::string::npos);
    EXPECT_EQ(result.err, "lumbrel-scan: cannot read folder '" + root_ + "/locked/': Permission denied\n");
}

TEST_F(ScanProgram, SizesPastTheOldFixedPointLimitAreExact)
{
    // A sparse file of 1 PiB needs a file system that allows it.
    const std::string folder = "/dev/shm/" + fs::path(root_).filename().string();
    fs::create_directories(folder);
    const int fd = open((folder + "/huge.dll").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    const bool sparse = fd >= 0 && ftruncate(fd, off_t{1} << 50) == 0;
    if (fd >= 0) close(fd);
    if (!sparse) {
        fs::remove_all(folder);
        GTEST_SKIP() << "no file system here holds a 1 PiB sparse file";
    }
    const std::string tsv = RunScan({"--min-size", "1000000000000000", folder}).out;
    const std::string json = RunScan({"--format", "json", folder}).out;
    fs::remove_all(folder);
    EXPECT_NE(tsv.find("huge.dll\t\t1125899906842624\t"), std::string::npos) << tsv;
    EXPECT_NE(json.find("\"size\":1125899906842624,"), std::string::npos) << json;
}

// Makes `levels` nested folders named `piece` below `base`, one level at a
// time (the whole path may pass PATH_MAX), with an empty file `file` in the
// deepest; returns the deepest folder's path.
std::string MakeNestedFolders(const std::string& base, const std::string& piece, int levels, const char* file)
{
    std::string path = base;
    platform::UniqueFd folder(open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (int level = 0; level < levels; ++level) {
        mkdirat(folder.Get(), piece.c_str(), 0755);
        folder.Reset(openat(folder.Get(), piece.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        path += "/" + piece;
    }
    platform::UniqueFd(openat(folder.Get(), file, O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    return path;
}

TEST_F(ScanProgram, StartFoldersOfAnyLengthAreWalked)
{
    const std::string start = MakeNestedFolders(root_, std::string(200, 'p'), 30, "deep.dll");
    ASSERT_GT(start.size(), 4096u);
    const ProcessResult result = RunScan({"--no-subfolders", start});
    EXPECT_EQ(result.exitStatus, 0) << result.err.substr(0, 200);
    EXPECT_NE(result.out.find("deep.dll\t\t0\t"), std::string::npos);
}

TEST_F(ScanProgram, WorkbookCellsCutToTheCellLimitAreCounted)
{
    // A folder path longer than a workbook cell holds.
    MakeNestedFolders(root_, std::string(250, 'q'), 140, "long.dll");
    for (const std::string format : {"xls", "xlsx"}) {
        const std::string target = root_ + "/out." + format;
        const ProcessResult result = RunScan({"--format", format, "-o", target, "-f", "long.dll", root_});
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(result.err, "lumbrel-scan: warning: 1 value was longer than the 32,767 characters an " + format +
                                  " cell holds and cut to fit\n");
        EXPECT_GT(fs::file_size(target), 0u);
    }
}

TEST(ScanProgramVersion, PrintsTheWindowCaption)
{
    const ProcessResult result = RunScan({"--version"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "VORN Lumbrel " + std::to_string(LUMBREL_VERSION_MAJOR) + "." +
                              std::to_string(LUMBREL_VERSION_MINOR) + ".0." +
                              std::to_string(LUMBREL_VERSION_REVISION) + "\n");
}

} // namespace
