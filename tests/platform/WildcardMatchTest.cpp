// The wildcard matcher: pattern lists, wildcards, case, UTF-8 characters and
// patterns that would make a backtracking matcher run for ages.
#include <string>

#include <gtest/gtest.h>

#include "platform/WildcardMatch.h"

using platform::EqualsIgnoringCase;
using platform::MatchSpec;

TEST(WildcardMatch, PatternListsSplitAtSemicolonsAndSkipLeadingSpaces)
{
    EXPECT_TRUE(MatchSpec("setup.exe", "*.exe;*.ocx;*.dll"));
    EXPECT_TRUE(MatchSpec("comctl32.ocx", "*.exe;*.ocx;*.dll"));
    EXPECT_TRUE(MatchSpec("kernel.dll", "*.exe; *.dll"));
    EXPECT_FALSE(MatchSpec("readme.txt", "*.exe;*.ocx;*.dll"));
    EXPECT_FALSE(MatchSpec("a.exe", ""));
    EXPECT_FALSE(MatchSpec("a.exe", ";"));
    // Only leading spaces are skipped: a trailing one is part of the pattern.
    EXPECT_FALSE(MatchSpec("a.exe", "*.exe "));
}

TEST(WildcardMatch, StarAndQuestionMark)
{
    EXPECT_TRUE(MatchSpec("abc", "*"));
    EXPECT_TRUE(MatchSpec("abc", "a*c"));
    EXPECT_TRUE(MatchSpec("ac", "a*c"));
    EXPECT_FALSE(MatchSpec("abd", "a*c"));
    EXPECT_TRUE(MatchSpec("abc", "a?c"));
    EXPECT_FALSE(MatchSpec("ac", "a?c"));
    EXPECT_FALSE(MatchSpec("abbc", "a?c"));
    EXPECT_TRUE(MatchSpec("x.tar.gz", "*.gz"));
    EXPECT_TRUE(MatchSpec("zr2026-12-07#004.xls", "zr2026-12-07#*"));
    EXPECT_FALSE(MatchSpec("zr2026-12-07.xls", "zr2026-12-07#*"));
}

TEST(WildcardMatch, StarDotStarMatchesEveryNameEvenWithoutDot)
{
    EXPECT_TRUE(MatchSpec("Makefile", "*.*"));
    EXPECT_TRUE(MatchSpec("a.b", "*.*"));
    EXPECT_TRUE(MatchSpec(".profile", "*.txt; *.*"));
    EXPECT_FALSE(MatchSpec("Makefile", "*.?"));
}

TEST(WildcardMatch, CaseIsIgnoredForAsciiAndOtherAlphabets)
{
    EXPECT_TRUE(MatchSpec("SETUP.EXE", "*.exe"));
    EXPECT_TRUE(MatchSpec("b.Bak", "*.BAK"));
    EXPECT_TRUE(MatchSpec("ÄRGER.DLL", "ärger.dll"));
    EXPECT_TRUE(MatchSpec("ПРИВЕТ.exe", "привет.*"));
    EXPECT_TRUE(MatchSpec("ΣΟΦΙΑ", "σοφια"));
    EXPECT_FALSE(MatchSpec("ärger.dll", "arger.dll"));
}

TEST(WildcardMatch, QuestionMarkIsOneCharacterInUtf8AndOneByteOtherwise)
{
    EXPECT_TRUE(MatchSpec("é.exe", "?.exe"));
    EXPECT_FALSE(MatchSpec("é.exe", "??.exe"));
    // Not valid UTF-8: the two bytes 0xC3 0x28 are two characters.
    const std::string invalid = std::string("\xC3\x28") + ".exe";
    EXPECT_TRUE(MatchSpec(invalid, "??.exe"));
    EXPECT_TRUE(MatchSpec(invalid, "*.EXE"));
    EXPECT_FALSE(MatchSpec(invalid, "?.exe"));
}

TEST(WildcardMatch, PathologicalPatternsFinishAtOnce)
{
    const std::string name(20000, 'a');
    EXPECT_FALSE(MatchSpec(name, "*a*a*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(MatchSpec(name + "b", "*a*a*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_FALSE(MatchSpec(name, "*?*?*?*?*?*?*?*?*?*?*?*?*b;*a*a*a*a*c"));
}

TEST(WildcardMatch, EqualsIgnoringCaseComparesWholeTexts)
{
    EXPECT_TRUE(EqualsIgnoringCase("/Temp/Old/", "/temp/old/"));
    EXPECT_FALSE(EqualsIgnoringCase("/Temp/", "/Temp/Old/"));
    EXPECT_FALSE(EqualsIgnoringCase("/Temp/Old/", "/Temp/"));
    EXPECT_TRUE(EqualsIgnoringCase("/Über/", "/über/"));
    EXPECT_TRUE(EqualsIgnoringCase("", ""));
}
