// The natural text order: digits by value, case ignored, a total order even
// over invalid UTF-8.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "grid/NaturalCompare.h"
#include "platform/WildcardMatch.h"

namespace grid {
namespace {

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

TEST(NaturalCompare, DigitRunsCompareByValue)
{
    EXPECT_LT(CompareNatural("file2.dll", "file10.dll"), 0);
    EXPECT_LT(CompareNatural("6.1.7601", "10.0.1"), 0);
    EXPECT_LT(CompareNatural("v9", "v0010"), 0);
    EXPECT_LT(CompareNatural("x99999999999999999999999", "x100000000000000000000000"), 0);
    const std::string nines254(254, '9');
    const std::string ones255(255, '1');
    const std::string ones300(300, '1');
    EXPECT_LT(CompareNatural("x" + nines254, "x" + ones255), 0);
    EXPECT_LT(CompareNatural("x" + ones255 + "9", "x" + ones300), 0);
    EXPECT_LT(CompareNatural("x" + ones300, "x" + ones300 + "1"), 0);
    EXPECT_LT(CompareNatural("file", "file1"), 0);
    EXPECT_LT(CompareNatural("a 1", "a1"), 0);
    EXPECT_LT(CompareNatural("a1", "ab"), 0);
}

TEST(NaturalCompare, CaseIsIgnoredAndTiesGoByPlainBytes)
{
    EXPECT_LT(CompareNatural("apple", "Banana"), 0);
    EXPECT_GT(CompareNatural("Zeta", "alpha2"), 0);
    EXPECT_LT(CompareNatural("KERNEL32.DLL", "kernel32.dll"), 0);
    EXPECT_LT(CompareNatural("a01", "a1"), 0);
    EXPECT_EQ(CompareNatural("same", "same"), 0);
    EXPECT_EQ(CompareNatural("", ""), 0);
}

TEST(NaturalCompare, FoldsUtf8Letters)
{
    // "Éclair" and "éclair" differ only in case; both sort before "f".
    EXPECT_EQ(NaturalSortKey("\xC3\x89" "clair"), NaturalSortKey("\xC3\xA9" "clair"));
    EXPECT_LT(CompareNatural("\xC3\xA9" "clair", "\xC3\x89" "clairs"), 0);
    EXPECT_EQ(NaturalSortKey("\xD0\x96"), NaturalSortKey("\xD0\xB6"));          // Cyrillic Zhe
    EXPECT_EQ(NaturalSortKey("\xCE\xA3"), NaturalSortKey("\xCF\x83"));          // Greek Sigma
    EXPECT_EQ(NaturalSortKey("\xC5\x81" "odz"), NaturalSortKey("\xC5\x82" "odz")); // Polish L-stroke
    EXPECT_LT(CompareNatural("z", "\xC3\xA9"), 0);
}

TEST(NaturalCompare, InvalidBytesGiveATotalOrderWithoutReadingPastTheEnd)
{
    std::vector<std::string> texts = {
        "\xFF", "\xC3", "\xE2\x82", "\xF0\x9F\x98", "\xED\xA0\x80", "\xC0\xAF", "a\x80" "1",
        "a\x80" "01", "\xF4\x90\x80\x80", "9\xC3", "\xC3\xA9", "A", "a", "", "10", "9",
    };
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {
        std::string text;
        const int length = static_cast<int>(random() % 6);
        for (int j = 0; j < length; ++j) {
            static const char alphabet[] = {'0', '1', '9', 'a', 'A', '.', '\xC3', '\xA9', '\x80', '\xFF', '\xE2'};
            text.push_back(alphabet[random() % sizeof(alphabet)]);
        }
        texts.push_back(text);
    }
    for (const std::string& a : texts) {
        EXPECT_EQ(CompareNatural(a, a), 0);
        for (const std::string& b : texts) {
            EXPECT_EQ(Sign(CompareNatural(a, b)), -Sign(CompareNatural(b, a)));
            if (a != b) {
                EXPECT_NE(CompareNatural(a, b), 0);
            }
        }
    }
    std::sort(texts.begin(), texts.end(),
              [](const std::string& a, const std::string& b) { return CompareNatural(a, b) < 0; });
    for (std::size_t i = 0; i + 2 < texts.size(); ++i) {
        EXPECT_LE(CompareNatural(texts[i], texts[i + 1]), 0);
        EXPECT_LE(CompareNatural(texts[i], texts[i + 2]), 0);
    }
}

} // namespace
} // namespace grid

// Matching and sorting fold case with the one table, so a letter that one
// treats as the other's upper case the other does too.
TEST(NaturalCompare, FoldsCaseExactlyAsWildcardMatching)
{
    const struct {
        const char* upper;
        const char* lower;
    } pairs[] = {
        {"SETUP.DLL", "setup.dll"},   {"\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"},
        {"\xCE\xAA", "\xCF\x8A"},     {"\xEF\xBC\xA1\xEF\xBC\xBA", "\xEF\xBD\x81\xEF\xBD\x9A"},
        {"\xD0\x81", "\xD1\x91"},     {"\xC5\xB8", "\xC3\xBF"},
    };
    for (const auto& pair : pairs) {
        EXPECT_TRUE(platform::MatchSpec(pair.lower, pair.upper)) << pair.upper;
        EXPECT_TRUE(platform::EqualsIgnoringCase(pair.lower, pair.upper)) << pair.upper;
        EXPECT_EQ(grid::NaturalSortKey(pair.lower), grid::NaturalSortKey(pair.upper)) << pair.upper;
    }
}
