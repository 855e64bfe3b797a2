// Field encoding of the text formats and the progress line's text.
#include <gtest/gtest.h>

#include "cli/ProgressLine.h"
#include "grid/formats/TextEncoding.h"

namespace cli {
namespace {

using namespace grid::formats;

std::string Tsv(std::string_view text)
{
    std::string out;
    AppendTsvField(out, text);
    return out;
}

std::string Csv(std::string_view text)
{
    std::string out;
    AppendCsvField(out, text);
    return out;
}

std::string Json(std::string_view text)
{
    std::string out;
    AppendJsonString(out, text);
    return out;
}

std::string Terminal(std::string_view text)
{
    std::string out;
    AppendTerminalSafe(out, text);
    return out;
}

TEST(TsvField, EscapesSeparatorsAndBackslashesAndKeepsOtherBytes)
{
    EXPECT_EQ(Tsv("a\tb\r\nc"), "a\\tb\\r\\nc");
    EXPECT_EQ(Tsv("C:\\t"), "C:\\\\t");
    EXPECT_EQ(Tsv("bad\xff\xfe \x1b name"), "bad\xff\xfe \x1b name");
    EXPECT_EQ(Tsv("\"quoted\",x"), "\"quoted\",x");
}

TEST(TerminalText, ShowsEveryControlAndIllFormedByteAsAnEscape)
{
    const struct {
        std::string_view text;
        std::string_view shown;
    } cases[] = {
        {"plain caf\xc3\xa9", "plain caf\xc3\xa9"},
        {"tab\t\\ line\n", "tab\\t\\\\ line\\n"},
        {"\x1b[2J\x07\x7f", "\\x1b[2J\\x07\\x7f"},
        {"csi\xc2\x9b nbsp\xc2\xa0", "csi\\xc2\\x9b nbsp\xc2\xa0"},
        {"raw\x9b cut\xe2\x82", "raw\\x9b cut\\xe2\\x82"},
        {std::string_view("nul\0", 4), "nul\\x00"},
    };
    for (const auto& c : cases) EXPECT_EQ(Terminal(c.text), c.shown) << c.text;
}

TEST(CsvField, FormulaStartsAreRecognised)
{
    for (const char* text : {"=1+1", "+1", "-2", "@SUM(A1)", "\t=x", "\r=x"})
        EXPECT_TRUE(StartsSpreadsheetFormula(text)) << text;
    for (const char* text : {"", "1.2.3.4", " =1", "a=b", "'=1"}) EXPECT_FALSE(StartsSpreadsheetFormula(text)) << text;
}

TEST(CsvField, QuotesOnlyWhenNeeded)
{
    EXPECT_EQ(Csv("plain name.dll"), "plain name.dll");
    EXPECT_EQ(Csv(""), "");
    EXPECT_EQ(Csv("a,b"), "\"a,b\"");
    EXPECT_EQ(Csv("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(Csv("line\nbreak"), "\"line\nbreak\"");
    EXPECT_EQ(Csv("cr\ronly"), "\"cr\ronly\"");
    EXPECT_EQ(Csv("tab\there"), "tab\there");
    EXPECT_EQ(Csv("\xc3\x28,"), "\"\xc3\x28,\"");
}

TEST(JsonString, EscapesQuotesBackslashesAndEveryControlCharacter)
{
    std::string terminal;
    AppendJsonString(terminal, "x\xc2\x9b\xc2\xa0", true);
    EXPECT_EQ(terminal, "\"x\\u009b\xc2\xa0\"");
    EXPECT_EQ(Json("x\xc2\x9b"), "\"x\xc2\x9b\"");
    EXPECT_EQ(Json("C:\\a\"b"), "\"C:\\\\a\\\"b\"");
    EXPECT_EQ(Json(std::string_view("\x00\x01\n\t\x1f", 5)), "\"\\u0000\\u0001\\u000a\\u0009\\u001f\"");
    EXPECT_EQ(Json("\x7f/"), "\"\x7f/\"");
}

TEST(JsonString, KeepsWellFormedUtf8AndReplacesEachBadByte)
{
    const std::string good = "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80";
    EXPECT_EQ(Json(good), "\"" + good + "\"");
    const std::string replacement = "\xef\xbf\xbd";
    // A lone continuation byte, a lead byte without its continuation, a
    // sequence cut off at the end.
    EXPECT_EQ(Json("a\x80z"), "\"a" + replacement + "z\"");
    EXPECT_EQ(Json("\xc3("), "\"" + replacement + "(\"");
    EXPECT_EQ(Json("\xe2\x82"), "\"" + replacement + replacement + "\"");
}

TEST(Utf8, RejectsOverlongSurrogateAndOutOfRangeForms)
{
    EXPECT_EQ(WellFormedUtf8Length("\xc0\xaf"), 0u);         // overlong "/"
    EXPECT_EQ(WellFormedUtf8Length("\xc1\xbf"), 0u);
    EXPECT_EQ(WellFormedUtf8Length("\xe0\x9f\xbf"), 0u);     // overlong 3-byte
    EXPECT_EQ(WellFormedUtf8Length("\xed\xa0\x80"), 0u);     // U+D800
    EXPECT_EQ(WellFormedUtf8Length("\xf0\x8f\xbf\xbf"), 0u); // overlong 4-byte
    EXPECT_EQ(WellFormedUtf8Length("\xf4\x90\x80\x80"), 0u); // past U+10FFFF
    EXPECT_EQ(WellFormedUtf8Length("\xf5\x80\x80\x80"), 0u);
    EXPECT_EQ(WellFormedUtf8Length("\xed\x9f\xbf"), 3u);     // U+D7FF
    EXPECT_EQ(WellFormedUtf8Length("\xf4\x8f\xbf\xbf"), 4u); // U+10FFFF
    EXPECT_EQ(WellFormedUtf8Length("\xef\xbf\xbd"), 3u);
}

TEST(ProgressText, ShowsCountAndTheEndOfTheFolderWithoutControlBytes)
{
    EXPECT_EQ(ProgressLine::Compose(12, "/srv/a/", 80), "12 found  /srv/a/");
    EXPECT_EQ(ProgressLine::Compose(1, "/x\x1b[2J\n/", 80), "1 found  /x?[2J?/");
    EXPECT_EQ(ProgressLine::Compose(1, "/\xc2\x9b\x9b\xc3\xa9/", 80), "1 found  /??\xc3\xa9/");

    const std::string longFolder = "/" + std::string(200, 'a') + "/tail/";
    const std::string text = ProgressLine::Compose(7, longFolder, 40);
    EXPECT_EQ(text.size(), 39u);
    EXPECT_EQ(text.substr(0, 12), "7 found  ...");
    EXPECT_EQ(text.substr(text.size() - 6), "/tail/");
}

TEST(ProgressText, NeverCutsAMultiByteCharacter)
{
    // Each "é" is two bytes; whatever the width, the text stays valid UTF-8.
    std::string folder = "/";
    for (int i = 0; i < 50; ++i) folder += "\xc3\xa9";
    for (int width = 20; width < 40; ++width) {
        const std::string text = ProgressLine::Compose(3, folder, width);
        EXPECT_LE(text.size(), static_cast<std::size_t>(width - 1));
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t length = WellFormedUtf8Length(std::string_view(text).substr(i));
            ASSERT_NE(length, 0u) << "width " << width;
            i += length;
        }
    }
}

} // namespace
} // namespace cli
