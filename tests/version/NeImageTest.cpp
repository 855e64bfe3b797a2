// Version resources of 16-bit NE images: the resource table walk, the 16-bit
// block layout with its Windows-1252 text, damaged images, and the answers
// the library and the result row give for such a file.
#include "FixtureFiles.h"
#include "VORN_STD_library/FileFacts.h"
#include "VORN_STD_library/VersionStrings.h"
#include "cDisk/ResultRow.h"
#include "platform/version/VersionInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using platform::VersionInfo;

namespace {

const std::string kCompany = "Exemple Soci\xC3\xA9t\xC3\xA9";
const std::string kDescription = "Sample 16-bit Library \xC2\xA9 1992";
const std::string kProduct = "Sample Product\xE2\x84\xA2 \xE2\x80\x93 Edition";

// A 16-bit block: length, value length, 8-bit key, value and children, each
// padded to 4 bytes; the length is what the block really holds.
std::vector<std::uint8_t> Block16(const std::string& key, const std::vector<std::uint8_t>& value,
                                  std::uint16_t valueLength, const std::vector<std::vector<std::uint8_t>>& children = {})
{
    std::vector<std::uint8_t> out = {0, 0, static_cast<std::uint8_t>(valueLength),
                                     static_cast<std::uint8_t>(valueLength >> 8)};
    for (const char c : key)
        out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(0);
    while (out.size() % 4)
        out.push_back(0);
    out.insert(out.end(), value.begin(), value.end());
    for (const auto& child : children) {
        while (out.size() % 4)
            out.push_back(0);
        out.insert(out.end(), child.begin(), child.end());
    }
    out[0] = static_cast<std::uint8_t>(out.size());
    out[1] = static_cast<std::uint8_t>(out.size() >> 8);
    return out;
}

std::vector<std::uint8_t> Root16(const std::vector<std::vector<std::uint8_t>>& children)
{
    return Block16("VS_VERSION_INFO", {}, 0, children);
}

std::string CompanyOf(const VersionInfo& info)
{
    auto value = info.Query("\\StringFileInfo\\040904E4\\CompanyName");
    return value ? value->data : "<absent>";
}

}  // namespace

TEST(NeImage, OrdinaryImageAnswersTheFixedRecordTranslationAndStrings)
{
    const auto bytes = PeFixtureBytes("ne_plain.dll");
    for (const auto& info : {VersionInfo::FromFile(PeFixture("ne_plain.dll")), VersionInfo::FromImage(bytes)}) {
        ASSERT_TRUE(info);
        auto fixed = info->Fixed();
        ASSERT_TRUE(fixed);
        EXPECT_EQ(fixed->signature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->fileVersionMS, 0x0003000Au);
        EXPECT_EQ(fixed->fileVersionLS, 103u);
        EXPECT_EQ(info->Query("\\")->length, 52u);

        auto translation = info->Query("\\VarFileInfo\\Translation");
        ASSERT_TRUE(translation);
        EXPECT_FALSE(translation->isText);
        EXPECT_EQ(translation->data, std::string("\x09\x04\xE4\x04", 4));

        auto company = info->Query("\\stringfileinfo\\040904e4\\COMPANYNAME");
        ASSERT_TRUE(company);
        EXPECT_TRUE(company->isText);
        EXPECT_EQ(company->data, kCompany);
        EXPECT_EQ(company->length, 15u);  // characters, not UTF-8 bytes
        EXPECT_EQ(info->Query("\\StringFileInfo\\040904E4\\FileDescription")->data, kDescription);
        EXPECT_EQ(info->Query("\\StringFileInfo\\040904E4\\ProductName")->data, kProduct);
        EXPECT_FALSE(info->Query("\\StringFileInfo\\040904E4\\InternalName"));
    }
}

TEST(NeImage, LibraryAndResultRowReadTheImageLikeAnyOther)
{
    const std::string path = PeFixture("ne_plain.dll");
    EXPECT_EQ(VORN_STD_library::ReadFixedFileVersion(path), "3.10.0.103");
    EXPECT_EQ(VORN_STD_library::ReadVersionString(path, 0), kCompany);
    EXPECT_EQ(VORN_STD_library::ReadVersionString(path, 1), kDescription);
    EXPECT_EQ(VORN_STD_library::ReadVersionString(path, 5), kProduct);
    EXPECT_EQ(VORN_STD_library::ReadVersionString(path, 6), "3.10");

    const std::vector<grid::CellValue> row =
        BuildResultRow(PeFixture(""), "ne_plain.dll", SelectFacts("version,desc,product,company").facts);
    EXPECT_EQ(row, (std::vector<grid::CellValue>{std::string("3.10.0.103"), std::string(kDescription),
                                                 std::string(kProduct), std::string(kCompany)}));

    EXPECT_EQ(VORN_STD_library::ReadFixedFileVersion(PeFixture("ne_no_version.dll")), "");
    EXPECT_EQ(VORN_STD_library::ReadVersionString(PeFixture("ne_no_version.dll"), 0), "");
}

TEST(NeImage, DamagedOrVersionlessImagesHaveNoVersionInformation)
{
    for (const char* file : {"ne_no_version.dll", "ne_name2_only.dll", "ne_trunc_table.dll", "ne_bad_shift.dll",
                             "ne_offset_beyond.dll", "ne_block_overrun.dll", "ne_endless_table.dll"}) {
        SCOPED_TRACE(file);
        EXPECT_FALSE(VersionInfo::FromFile(PeFixture(file)));
        EXPECT_FALSE(VersionInfo::FromImage(PeFixtureBytes(file)));
    }
}

TEST(NeBlock, TextIsWindows1252UpToItsFirstNulInsideTheBlock)
{
    // 0x80 euro sign, 0x81 undefined, 0x9F Y with diaeresis, 0xFF y with diaeresis.
    const auto odd = Block16("Odd", {0x80, 0x81, 0x9F, 0xFF, 0, 'X', 0, 0}, 5);
    // A value length far beyond the block: the text stops at the block's end.
    const auto unterminated = Block16("Unterminated", {'a', 'b', 'c', 'd'}, 0x200);
    const auto empty = Block16("Empty", {}, 0);
    const auto table = Block16("040904E4", {}, 0, {odd, unterminated, empty});
    const auto block = Root16({Block16("StringFileInfo", {}, 0, {table})});

    auto info = VersionInfo::FromBlock16(block);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Size(), block.size());
    EXPECT_FALSE(info->Fixed());

    auto value = info->Query("\\StringFileInfo\\040904E4\\Odd");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, "\xE2\x82\xAC\xEF\xBF\xBD\xC5\xB8\xC3\xBF");
    EXPECT_EQ(value->length, 4u);
    EXPECT_EQ(info->Query("\\StringFileInfo\\040904E4\\Unterminated")->data, "abcd");
    auto nothing = info->Query("\\StringFileInfo\\040904E4\\Empty");
    ASSERT_TRUE(nothing);
    EXPECT_EQ(nothing->data, "");
    EXPECT_EQ(nothing->length, 0u);

    // The same bytes as a 32-bit block mean something else entirely.
    auto asWin32 = VersionInfo::FromBlock(block);
    EXPECT_FALSE(asWin32 && asWin32->Query("\\StringFileInfo\\040904E4\\Odd"));
}

TEST(NeBlock, KeysOfEightBitTextCompareWithoutRegardToCase)
{
    // "Société" and "Café" stored in Windows-1252.
    const auto societe = Block16("Soci\xE9t\xE9", {'1', 0, 0, 0}, 2);
    const auto cafe = Block16("Caf\xE9", {'2', 0, 0, 0}, 2);
    const auto info = VersionInfo::FromBlock16(Root16({Block16("StringFileInfo", {}, 0,
                                                               {Block16("040904E4", {}, 0, {societe, cafe})})}));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Query("\\StringFileInfo\\040904E4\\SOCI\xC3\x89T\xC3\x89")->data, "1");
    EXPECT_EQ(info->Query("\\StringFileInfo\\040904E4\\caf\xC3\xA9")->data, "2");
    EXPECT_FALSE(info->Query("\\StringFileInfo\\040904E4\\Cafe"));
    EXPECT_FALSE(info->Query("\\StringFileInfo\\040904E4\\Caf"));
}

TEST(NeBlock, BadLengthsEndTheirLevelAndNeverReadPastTheBlock)
{
    EXPECT_FALSE(VersionInfo::FromBlock16({}));
    EXPECT_FALSE(VersionInfo::FromBlock16({0x03, 0x00, 0x00, 0x00}));  // shorter than a header
    EXPECT_FALSE(VersionInfo::FromBlock16({0x40, 0x00, 0x00, 0x00}));  // longer than the buffer

    // The root's key runs to its end: no value, no children.
    auto keyOnly = VersionInfo::FromBlock16({8, 0, 52, 0, 'V', 'S', '_', 'V', 0xEE, 0xEE});
    ASSERT_TRUE(keyOnly);
    EXPECT_FALSE(keyOnly->Query("\\"));

    // The second string runs past its table: the first is found, the second
    // and the block after the table are not reached through it.
    const auto first = Block16("CompanyName", {'O', 'k', 0, 0}, 3);
    auto overrun = Block16("ProductName", {'B', 'a', 'd', 0}, 4);
    overrun[0] = 0xF0;
    auto table = Block16("040904E4", {}, 0, {first, overrun});
    const auto var = Block16("VarFileInfo", {}, 0, {Block16("Translation", {0x09, 0x04, 0xE4, 0x04}, 4)});
    const auto info = VersionInfo::FromBlock16(Root16({Block16("StringFileInfo", {}, 0, {table}), var}));
    ASSERT_TRUE(info);
    EXPECT_EQ(CompanyOf(*info), "Ok");
    EXPECT_FALSE(info->Query("\\StringFileInfo\\040904E4\\ProductName"));
    auto translation = info->Query("\\VarFileInfo\\Translation");
    ASSERT_TRUE(translation);
    EXPECT_EQ(translation->length, 4u);
}
