// The version facts of a result row, read from the PE fixtures.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cDisk/ResultRow.h"
#include "platform/UniqueFd.h"
#include "tests/platform/TempFolder.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace {

constexpr const char* kVersionFacts =
    "fileversion,productversion,internal,original,copyright,comments,privatebuild,specialbuild,legaltrademarks,"
    "translation,fixedproductversion,fileflags,fileos,filetype,versionmismatch,renamed";

std::vector<std::string> Texts(const std::vector<grid::CellValue>& cells)
{
    std::vector<std::string> texts;
    for (const grid::CellValue& cell : cells) texts.push_back(std::get<std::string>(cell));
    return texts;
}

} // namespace

TEST(ResultFacts, VersionFactsOfTheFixtures)
{
    const struct {
        const char* file;
        std::vector<std::string> texts;
    } cases[] = {
        {"rich_strings.dll",
         {"6.1.7601.17514 (win7sp1_rtm.101119-1850)", "6.1.7600.16385", "richdrv", "RICH_STRINGS.DLL.MUI",
          "Copyright 2025 Rich", "Built for the tests", "Built by the tests", "Special for the tests",
          "Rich is a trademark", "040904B0", "6.1.7600.16385", "Debug|PrivateBuild", "NT (Windows32)",
          "Driver (Printer)", "no", "no"}},
        {"plain64.dll",
         {"", "1.2", "plain", "plain.dll", "Copyright 2024 Plain", "", "", "", "", "040904B0", "1.2.0.0", "",
          "NT (Windows32)", "DLL", "", "yes"}},
        {"two_translations.dll",
         {"", "", "", "", "", "", "", "", "", "040704E4", "2.0.50727.42", "", "NT (Windows32)", "DLL", "", ""}},
        {"ne_plain.dll",
         {"", "3.10", "", "", "", "", "", "", "", "040904E4", "3.10.0.103", "", "DOS (Windows16)", "DLL", "", ""}},
        {"no_fixed.dll", {"", "", "", "", "", "", "", "", "", "040904B0", "", "", "", "", "", ""}},
        {"text_file.dll", std::vector<std::string>(16)},
    };
    const FactListParse facts = SelectFacts(kVersionFacts);
    ASSERT_EQ(facts.error, "");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(Texts(BuildResultRow(std::string(LUMBREL_FIXTURES_DIR) + "/pe/", c.file, facts.facts)), c.texts);
    }
}

TEST(ResultFacts, DigestCellsAreEmptyForWhatCannotBeRead)
{
    const FactListParse facts = SelectFacts("sha1,md5,sha256");
    const std::string fixtures = std::string(LUMBREL_FIXTURES_DIR) + "/pe/";
    EXPECT_EQ(Texts(BuildResultRow(fixtures, "empty.dll", facts.facts)),
              (std::vector<std::string>{"da39a3ee5e6b4b0d3255bfef95601890afd80709", "d41d8cd98f00b204e9800998ecf8427e",
                                        "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"}));
    EXPECT_EQ(Texts(BuildResultRow(fixtures, "no_such_file.dll", facts.facts)), std::vector<std::string>(3));
}

TEST(ResultFacts, HeaderFactsOfTheFixturesAndOnlyWhenSelected)
{
    const FactListParse facts = SelectFacts("format,machine,subsystem,timestamp,dotnet");
    ASSERT_EQ(facts.error, "");
    const std::string fixtures = std::string(LUMBREL_FIXTURES_DIR) + "/pe/";
    const struct {
        const char* file;
        std::vector<std::string> texts;
    } cases[] = {
        {"plain32.dll", {"PE32", "x86", "Console", "0x00000000", ""}},
        {"plain64.dll", {"PE32+", "x64", "Console", "0x00000000", ""}},
        {"managed.dll", {"PE32+", "x64", "Console", "0x00000000", "4.6.1055.7"}},
        {"ne_plain.dll", {"NE", "", "", "", ""}},
        {"text_file.dll", {"", "", "", "", ""}},
        {"no_such_file.dll", {"", "", "", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(Texts(BuildResultRow(fixtures, c.file, facts.facts)), c.texts);
    }
    const VORN_STD_library::ExtraRowReads defaultReads = ExtraReadsOf(DefaultFactSelection());
    EXPECT_FALSE(defaultReads.headers || defaultReads.digests);
}

TEST(ResultFacts, LanguageOfTheFirstTranslation)
{
    const FactListParse facts = SelectFacts("translation,language");
    const std::string fixtures = std::string(LUMBREL_FIXTURES_DIR) + "/pe/";
    const struct {
        const char* file;
        std::vector<std::string> texts;
    } cases[] = {
        {"plain64.dll", {"040904B0", "English (United States)"}},
        {"two_translations.dll", {"040704E4", "German (Germany)"}},
        {"spanish.dll", {"0C0A04E4", "Spanish (Spain)"}},
        {"ne_plain.dll", {"040904E4", "English (United States)"}},
        {"text_file.dll", {"", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(Texts(BuildResultRow(fixtures, c.file, facts.facts)), c.texts);
    }
}

TEST(ResultFacts, TranslationsAsOneJsonDocument)
{
    const FactListParse facts = SelectFacts("translations");
    const std::string fixtures = std::string(LUMBREL_FIXTURES_DIR) + "/pe/";
    const struct {
        const char* file;
        const char* json;
    } cases[] = {
        {"two_translations.dll",
         R"([{"code":"040704E4","strings":{"CompanyName":"Deutsche Firma","FileDescription":"Deutsche Beschreibung",)"
         R"("ProductName":"Deutsches Produkt"}},{"code":"040904B0","strings":{"CompanyName":"English Company",)"
         R"("FileDescription":"English Description","ProductName":"English Product"}}])"},
        {"ne_plain.dll",
         "[{\"code\":\"040904E4\",\"strings\":{\"CompanyName\":\"Exemple Soci\u00e9t\u00e9\",\"FileDescription\":"
         "\"Sample 16-bit Library \u00a9 1992\",\"ProductName\":\"Sample Product\u2122 \u2013 Edition\","
         "\"ProductVersion\":\"3.10\"}}]"},
        {"key_case.dll", R"([{"code":"040904B0","strings":{"COMPANYNAME":"Upper Keys Inc","productname":"lower keys"}}])"},
        {"no_fixed.dll", R"([{"code":"040904B0","strings":{"CompanyName":"No Fixed Record Co"}}])"},
        {"text_file.dll", "[]"},
        {"no_such_file.dll", "[]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(Texts(BuildResultRow(fixtures, c.file, facts.facts)), std::vector<std::string>{c.json});
    }
}

TEST(ResultFacts, RowsBuiltInAnOpenFolderEqualRowsBuiltByPath)
{
    const testing_support::TempFolder tmp;
    const std::string fixtures = LUMBREL_FIXTURES_DIR "/pe/";
    std::filesystem::copy_file(fixtures + "rich_strings.dll", tmp.path() + "image.dll");
    std::filesystem::copy_file(fixtures + "text_file.dll", tmp.path() + "text.dll");
    std::filesystem::create_symlink("image.dll", tmp.path() + "link.dll");
    ASSERT_EQ(::mkfifo((tmp.path() + "pipe.dll").c_str(), 0600), 0);
    const platform::UniqueFd folder(::open(tmp.path().c_str(), O_RDONLY | O_DIRECTORY));
    ASSERT_TRUE(folder);
    const FactSelection every = EveryFact();
    for (const char* name : {"image.dll", "text.dll", "link.dll", "pipe.dll", "missing.dll", "../image.dll"}) {
        const auto atFolder = BuildResultRowAt(folder.Get(), tmp.path(), name, every);
        const auto byPath = BuildResultRow(tmp.path(), name, every);
        EXPECT_TRUE(atFolder == byPath) << name;
    }
}
