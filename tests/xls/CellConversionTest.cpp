// Conversions of cell content: UTF-8 text to UTF-16, day counts to spreadsheet
// serial dates, widths in twips to column width units.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "grid/xls/SerialDate.h"
#include "grid/xls/SheetRecords.h"
#include "grid/xls/Utf16Text.h"
#include "grid/xls/XlsWorkbook.h"
#include "platform/DateTime.h"

using grid::xls::Utf8ToUtf16;

TEST(Utf8ToUtf16, DecodesAllSequenceLengthsIncludingSurrogatePairs)
{
    EXPECT_EQ(Utf8ToUtf16("A\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80", 100), u"A\u00E9\u65E5\U0001F600");
}

TEST(Utf8ToUtf16, ReplacesEachMaximalInvalidSubpartOnce)
{
    // Stray continuation, lone lead byte, truncated three-byte sequence.
    EXPECT_EQ(Utf8ToUtf16("\x80" "a\xC3" "b\xE6\x97", 100), u"\uFFFDa\uFFFDb\uFFFD");
    // Overlong forms, an encoded surrogate and a value past U+10FFFF.
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF\xE0\x80\xAF", 100), u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80", 100), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80" "z", 100), u"\uFFFD\uFFFD\uFFFD\uFFFDz");
    EXPECT_EQ(Utf8ToUtf16("\xFF", 100), u"\uFFFD");
}

TEST(Utf8ToUtf16, CutsAtTheLimitWithoutSplittingAPair)
{
    EXPECT_EQ(Utf8ToUtf16("abcdef", 4), u"abcd");
    EXPECT_EQ(Utf8ToUtf16("ab\xF0\x9F\x98\x80", 3), u"ab");
    EXPECT_EQ(Utf8ToUtf16("ab\xF0\x9F\x98\x80", 4), u"ab\U0001F600");
}

TEST(SpreadsheetSerial, MatchesTheSpreadsheetCalendarAroundItsLeapYearQuirk)
{
    auto serialOf = [](int year, int month, int day) {
        return grid::xls::SpreadsheetSerial(platform::DateTime::FromFields({year, month, day, 0, 0, 0}).Days());
    };
    EXPECT_EQ(serialOf(1900, 1, 1), 1.0);
    EXPECT_EQ(serialOf(1900, 2, 28), 59.0);
    EXPECT_EQ(serialOf(1900, 3, 1), 61.0);
    EXPECT_EQ(serialOf(2024, 5, 6), 45418.0);
    EXPECT_EQ(serialOf(9999, 12, 31), 2958465.0);

    EXPECT_FALSE(serialOf(1899, 12, 31));
    EXPECT_FALSE(serialOf(1601, 1, 1));
    EXPECT_FALSE(serialOf(10000, 1, 1));
    EXPECT_FALSE(grid::xls::SpreadsheetSerial(std::nan("")));
}

TEST(ColumnWidthUnits, ConvertsTwipsThroughPixelsToCharacters)
{
    // 1,050 twips = 70 pixels = 10 characters.
    EXPECT_EQ(grid::xls::ColumnWidthUnits(1050.0), 2560);
    EXPECT_EQ(grid::xls::ColumnWidthUnits(0.0), 0);
    EXPECT_EQ(grid::xls::ColumnWidthUnits(-5.0), 0);
    EXPECT_EQ(grid::xls::ColumnWidthUnits(std::nan("")), 0);
    EXPECT_EQ(grid::xls::ColumnWidthUnits(1.0e9), 255 * 256);
}

TEST(WorkbookWriter, CountsTheCellTextsCutToTheCellLimit)
{
    grid::xls::WorkbookWriter writer({{"Text", 1500, grid::xls::ColumnKind::Text, ""}});
    const std::string exactlyFull(32767, 'x');
    std::string fullOfPairs = "a";
    for (int i = 0; i < 16383; ++i) fullOfPairs += "\xF0\x9F\x98\x80";
    for (const std::string& text : {exactlyFull, fullOfPairs, std::string(70000, '\xFF'), exactlyFull + "y",
                                     fullOfPairs + "\xF0\x9F\x98\x80", std::string("short")})
        writer.AddRow(std::vector<platform::CellValue>{text});
    // Two fit exactly; 70,000 replacement characters, one more "y" and one
    // more pair do not.
    EXPECT_EQ(writer.CutCellCount(), 3u);
}
