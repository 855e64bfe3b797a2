// Option parsing of lumbrel-scan: values, defaults, and every way a command
// line can be wrong.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/ScanOptions.h"

namespace cli {
namespace {

ParseOutcome Parse(std::vector<std::string> arguments)
{
    return ParseCommandLine(arguments);
}

TEST(CommandLine, DefaultsSearchTheCurrentFolderForProgramFiles)
{
    const ParseOutcome outcome = Parse({});
    ASSERT_EQ(outcome.usageError, "");
    const ScanOptions& options = outcome.options;
    EXPECT_EQ(options.mode, ScanMode::Files);
    EXPECT_EQ(options.startPath, ".");
    EXPECT_EQ(options.EffectiveIncludeSpec(), "*.exe;*.ocx;*.dll");
    EXPECT_EQ(options.excludeSpec, "");
    EXPECT_TRUE(options.recurse);
    EXPECT_TRUE(options.minSize.IsZero());
    EXPECT_TRUE(options.maxSize.IsZero());
    EXPECT_EQ(options.format, OutputFormat::Tsv);
    EXPECT_EQ(options.outputPath, "");
    EXPECT_FALSE(options.quiet);
}

TEST(CommandLine, ReadsEveryOptionInBothSpellings)
{
    const ParseOutcome outcome = Parse({"-f", "*.dll", "--exclude=*.bak", "--no-subfolders", "--min-size",
                                        "2K", "--max-size=1M", "--format", "json", "-o", "out.json", "-q",
                                        "/data"});
    ASSERT_EQ(outcome.usageError, "");
    const ScanOptions& options = outcome.options;
    EXPECT_EQ(options.EffectiveIncludeSpec(), "*.dll");
    EXPECT_EQ(options.excludeSpec, "*.bak");
    EXPECT_FALSE(options.recurse);
    EXPECT_EQ(options.minSize.Whole(), 2048);
    EXPECT_EQ(options.maxSize.Whole(), 1048576);
    EXPECT_EQ(options.format, OutputFormat::Json);
    EXPECT_EQ(options.outputPath, "out.json");
    EXPECT_TRUE(options.quiet);
    EXPECT_EQ(options.startPath, "/data");
}

TEST(CommandLine, AnExplicitEmptyFilterIsKeptAndFoldersDefaultToEveryName)
{
    EXPECT_EQ(Parse({"--filter="}).options.EffectiveIncludeSpec(), "");
    const ParseOutcome folders = Parse({"--folders"});
    EXPECT_EQ(folders.options.mode, ScanMode::Folders);
    EXPECT_EQ(folders.options.EffectiveIncludeSpec(), "*");
    EXPECT_EQ(Parse({"--folders", "-f", "A*"}).options.EffectiveIncludeSpec(), "A*");
}

TEST(CommandLine, DoubleDashLetsAFolderStartWithADash)
{
    const ParseOutcome outcome = Parse({"--count", "--", "-odd"});
    ASSERT_EQ(outcome.usageError, "");
    EXPECT_EQ(outcome.options.mode, ScanMode::Count);
    EXPECT_EQ(outcome.options.startPath, "-odd");
}

TEST(CommandLine, HelpAndVersionWinOverWhateverFollows)
{
    EXPECT_EQ(Parse({"--help", "--bogus"}).options.mode, ScanMode::Help);
    EXPECT_EQ(Parse({"-h"}).options.mode, ScanMode::Help);
    EXPECT_EQ(Parse({"--version"}).options.mode, ScanMode::Version);
}

TEST(CommandLine, MalformedCommandLinesAreUsageErrors)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"-z"},
        {"-f"},                       // value missing
        {"--format", "xml"},
        {"--format"},
        {"-o", ""},
        {"a", "b"},                   // two start folders
        {"--count", "--folders"},
        {"--count", "--format", "xls"},
        {"--folders", "--format", "xlsx"},
        {"--folders", "--min-size", "1"},
        {"--quiet=yes"},
        {"--min-size", "10", "--max-size", "9"},
        {"--max-size", "0"},          // 0 would mean "no limit" to the engine
        {"--columns", "size,nosuch"},
        {"--columns", ""},
        {"--columns", "size", "--count"},
        {"--columns", "translations"},  // a JSON document: json output only
        {"--columns", "filename,translations", "--format", "xls"},
        {"--columns", "signatures"},
        {"--trust"},
        {"--trust", ""},
    };
    for (const auto& arguments : bad) {
        std::string joined;
        for (const auto& argument : arguments) joined += argument + " ";
        EXPECT_NE(Parse(arguments).usageError, "") << joined;
    }
}

TEST(CommandLine, ColumnsAreChosenByKeyInTheirOrderOrAll)
{
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> keys;
    } cases[] = {
        {{}, {"filename", "version", "size", "date", "path", "desc", "product", "company"}},
        {{"--columns", "sha256,filename"}, {"sha256", "filename"}},
        {{"--columns=renamed"}, {"renamed"}},
        {{"--format", "json", "--columns", "translations"}, {"translations"}},
        // A bill of materials always reads what names and versions a component.
        {{"--format", "cyclonedx", "--columns", "size,version"}, {"size", "version", "filename", "fileversion"}},
    };
    for (const auto& c : cases) {
        const ParseOutcome outcome = Parse(c.arguments);
        ASSERT_EQ(outcome.usageError, "");
        std::vector<std::string> keys;
        for (const ResultFact* fact : outcome.options.columns) keys.push_back(fact->column.key);
        EXPECT_EQ(keys, c.keys);
    }
    EXPECT_EQ(Parse({"--columns", "all", "--format", "json"}).options.columns.size(), AllResultFacts().size());
    // The other formats leave the JSON-only columns out of 'all'.
    const auto jsonOnly = std::count_if(AllResultFacts().begin(), AllResultFacts().end(),
                                        [](const ResultFact& fact) { return fact.column.jsonDocument; });
    for (const char* format : {"tsv", "csv", "xls"}) {
        const FactSelection all = Parse({"--columns", "all", "--format", format}).options.columns;
        EXPECT_EQ(all.size(), AllResultFacts().size() - jsonOnly) << format;
        for (const char* key : {"translations", "signatures"})
            EXPECT_EQ(std::find(all.begin(), all.end(), FindResultFact(key)), all.end()) << format;
    }
    EXPECT_EQ(Parse({"--list-columns"}).options.mode, ScanMode::ListColumns);
}

TEST(CommandLine, EqualSizeLimitsAreAccepted)
{
    EXPECT_EQ(Parse({"--min-size", "10", "--max-size", "10"}).usageError, "");
}

TEST(ByteCount, AcceptsPlainCountsAndBinarySuffixes)
{
    EXPECT_EQ(ParseByteCount("0")->Whole(), 0);
    EXPECT_EQ(ParseByteCount("4096")->Whole(), 4096);
    EXPECT_EQ(ParseByteCount("1k")->Whole(), 1024);
    EXPECT_EQ(ParseByteCount("3M")->Whole(), 3 * 1048576);
    EXPECT_EQ(ParseByteCount("5G")->Whole(), 5LL << 30);
    // Larger than 32 bits must not wrap.
    EXPECT_EQ(ParseByteCount("6442450944")->Whole(), 6442450944LL);
}

TEST(ByteCount, RejectsAnythingElse)
{
    for (const char* text : {"", "-1", "+5", "1.5", "12KB", "K", " 12", "12 ", "0x10", "1T"})
        EXPECT_FALSE(ParseByteCount(text).has_value()) << text;
    // Every size up to 2^63 - 1 bytes is exact; one more is refused.
    EXPECT_EQ(ParseByteCount("922337203685478")->Whole(), 922337203685478LL);
    EXPECT_EQ(ParseByteCount("9223372036854775807")->Whole(), 9223372036854775807LL);
    EXPECT_EQ(ParseByteCount("8589934591G")->Whole(), 8589934591LL << 30);
    EXPECT_FALSE(ParseByteCount("9223372036854775808").has_value());
    EXPECT_FALSE(ParseByteCount("99999999999999999999999").has_value());
    EXPECT_FALSE(ParseByteCount("8589934592G").has_value());
}

} // namespace
} // namespace cli
