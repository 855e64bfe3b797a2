// Path and name helpers: folder normalisation, NUL trimming, splitting and
// the numbering of export files, including its failures.
#include <string>

#include <gtest/gtest.h>

#include "VORN_STD_library/PathHelpers.h"
#include "tests/platform/TempFolder.h"

using namespace VORN_STD_library;
using testing_support::TempFolder;

TEST(NormalizeFolderPath, AddsOneTrailingSlash)
{
    EXPECT_EQ(NormalizeFolderPath("/usr/lib"), "/usr/lib/");
    EXPECT_EQ(NormalizeFolderPath("/usr/lib/"), "/usr/lib/");
    EXPECT_EQ(NormalizeFolderPath(""), "/");
    EXPECT_EQ(NormalizeFolderPath("/"), "/");
    EXPECT_EQ(NormalizeFolderPath("Temp"), "Temp/");
}

TEST(TrimAtNull, CutsAtTheFirstNul)
{
    EXPECT_EQ(TrimAtNull(std::string("abc") + std::string(257, '\0')), "abc");
    EXPECT_EQ(TrimAtNull(std::string("a\0b", 3)), "a");
    EXPECT_EQ(TrimAtNull("whole"), "whole");
    EXPECT_EQ(TrimAtNull(""), "");
}

TEST(SplitFilePath, FolderNameAndExtension)
{
    struct Case {
        std::string path, folder, name, extension;
    };
    const Case cases[] = {
        {"/dir/file.txt", "/dir/", "file", ".txt"},
        {"/old.dir/file", "/old.dir/", "file", "(kept)"},
        {"/dir/.profile", "/dir/", "", ".profile"},
        {"/dir/", "/dir/", "", "(kept)"},
        {"zr2026-12-07#*", "(kept)", "zr2026-12-07#*", "(kept)"},
        {"name.with.dot", "(kept)", "name.with.dot", "(kept)"},
    };
    for (const Case& c : cases) {
        std::string folder = "(kept)", name = "(kept)", extension = "(kept)";
        SplitFilePath(c.path, folder, name, extension);
        EXPECT_EQ(folder, c.folder) << c.path;
        EXPECT_EQ(name, c.name) << c.path;
        EXPECT_EQ(extension, c.extension) << c.path;
    }
}

TEST(NextFreeFileName, CountsOnFromTheLargestExistingNumber)
{
    const TempFolder tmp;
    const std::string pattern = tmp.path() + "zr2026-12-07#*";
    EXPECT_EQ(NextFreeFileName(pattern, 16, 0), tmp.path() + "zr2026-12-07#001");

    tmp.File("zr2026-12-07#001.xls");
    tmp.File("zr2026-12-07#004.xls");
    tmp.File("ZR2026-12-07#002.xls");
    tmp.File("zr2026-12-07#abc.xls");
    tmp.File("zr2026-12-06#009.xls");
    tmp.Folder("zr2026-12-07#050");
    tmp.File(".zr2026-12-07#060");
    EXPECT_EQ(NextFreeFileName(pattern, 16, 0), tmp.path() + "zr2026-12-07#005");
    // Folders and hidden names count only when the mask asks for them.
    EXPECT_EQ(NextFreeFileName(pattern, 16, kAttributeDirectory), tmp.path() + "zr2026-12-07#051");
}

TEST(NextFreeFileName, DigitsFollowTheLengthWithAMinimumOfEight)
{
    const TempFolder tmp;
    EXPECT_EQ(NextFreeFileName(tmp.path() + "ab*", 5, 0), tmp.path() + "ab000001");
    EXPECT_EQ(NextFreeFileName(tmp.path() + "ab*", 8, 0), tmp.path() + "ab000001");
    EXPECT_EQ(NextFreeFileName(tmp.path() + "abcdefgh*", 8, 0), tmp.path() + "abcdefgh1");
    EXPECT_EQ(NextFreeFileName(tmp.path() + "x*.log", 8, 0), tmp.path() + "x0000001.log");
    // A counter wider than its digits is written whole.
    tmp.File("abcdefg9");
    EXPECT_EQ(NextFreeFileName(tmp.path() + "abcdefg*", 8, 0), tmp.path() + "abcdefg10");
}

TEST(NextFreeFileName, FailuresAreTyped)
{
    const TempFolder tmp;
    const auto reasonOf = [](const std::string& pattern, std::int16_t length) {
        try {
            NextFreeFileName(pattern, length, 0);
        } catch (const NextFreeFileNameError& error) {
            return error.reason();
        }
        ADD_FAILURE() << "no failure for " << pattern;
        return NextFreeFileNameError::Reason::NoStar;
    };
    EXPECT_EQ(reasonOf(tmp.path() + "nostar", 16), NextFreeFileNameError::Reason::NoStar);
    EXPECT_EQ(reasonOf(tmp.path() + "abcdefghij*", 8), NextFreeFileNameError::Reason::StarBeyondLength);
    tmp.File("n#40000");
    EXPECT_EQ(reasonOf(tmp.path() + "n#*", 8), NextFreeFileNameError::Reason::NumberOverflow);
    const TempFolder full;
    full.File("n#32767");
    EXPECT_EQ(reasonOf(full.path() + "n#*", 8), NextFreeFileNameError::Reason::CounterOverflow);
}
