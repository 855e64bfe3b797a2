// The version reader's answers for real PE32 and PE32+ files made by a
// resource compiler and linker, and for real files carrying odd version blocks.
#include "FixtureFiles.h"
#include "platform/version/VersionInfo.h"

#include <gtest/gtest.h>

#include <map>

using platform::VersionInfo;

namespace {

std::string Text(const VersionInfo& info, const std::string& path)
{
    auto value = info.Query(path);
    if (!value)
        return "<absent>";
    EXPECT_TRUE(value->isText) << path;
    return value->data;
}

std::string TranslationBytes(const VersionInfo& info)
{
    auto value = info.Query("\\VarFileInfo\\Translation");
    return value ? value->data : "<absent>";
}

std::string Bytes(std::initializer_list<unsigned> values)
{
    std::string out;
    for (unsigned v : values)
        out += static_cast<char>(v);
    return out;
}

void ExpectVersion(const VersionInfo& info, std::uint32_t ms, std::uint32_t ls)
{
    auto fixed = info.Fixed();
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->signature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->fileVersionMS, ms);
    EXPECT_EQ(fixed->fileVersionLS, ls);
}

}  // namespace

TEST(VersionFixtures, OrdinaryFileAnswersEveryStringInBothImageFormats)
{
    const std::map<std::string, std::string> expected = {
        {"CompanyName", "Plain Company"},     {"FileDescription", "Plain Description"},
        {"InternalName", "plain"},            {"LegalCopyright", "Copyright 2024 Plain"},
        {"OriginalFileName", "plain.dll"},    {"ProductName", "Plain Product"},
        {"ProductVersion", "1.2"},
    };
    for (const char* file : {"plain64.dll", "plain32.dll", "renamed_section.dll"}) {
        SCOPED_TRACE(file);
        auto info = VersionInfo::FromFile(PeFixture(file));
        ASSERT_TRUE(info);
        ExpectVersion(*info, 0x00010002, 0x00030004);
        auto fixed = info->Fixed();
        EXPECT_EQ(fixed->productVersionMS, 0x00010002u);
        EXPECT_EQ(fixed->productVersionLS, 0u);
        EXPECT_EQ(fixed->fileOS, 0x40004u);
        EXPECT_EQ(fixed->fileType, 2u);
        EXPECT_EQ(TranslationBytes(*info), Bytes({0x09, 0x04, 0xB0, 0x04}));
        for (const auto& [key, text] : expected) {
            auto value = info->Query("\\StringFileInfo\\040904B0\\" + key);
            ASSERT_TRUE(value) << key;
            EXPECT_EQ(value->data, text);
            EXPECT_EQ(value->length, text.size());
        }
        EXPECT_FALSE(info->Query("\\StringFileInfo\\040904B0\\Comments"));
        EXPECT_FALSE(info->Query("\\StringFileInfo\\040704E4\\CompanyName"));
    }
}

TEST(VersionFixtures, TranslationsAndTheirStringTables)
{
    auto two = VersionInfo::FromFile(PeFixture("two_translations.dll"));
    ASSERT_TRUE(two);
    ExpectVersion(*two, 0x00020000, (50727u << 16) | 42u);
    EXPECT_EQ(TranslationBytes(*two), Bytes({0x07, 0x04, 0xE4, 0x04, 0x09, 0x04, 0xB0, 0x04}));
    EXPECT_EQ(Text(*two, "\\StringFileInfo\\040704E4\\CompanyName"), "Deutsche Firma");
    EXPECT_EQ(Text(*two, "\\StringFileInfo\\040904B0\\CompanyName"), "English Company");
    EXPECT_EQ(Text(*two, "\\StringFileInfo\\040904B0\\ProductName"), "English Product");

    auto spanish = VersionInfo::FromFile(PeFixture("spanish.dll"));
    ASSERT_TRUE(spanish);
    ExpectVersion(*spanish, 0x00060001, (7601u << 16) | 17514u);
    EXPECT_EQ(TranslationBytes(*spanish), Bytes({0x0A, 0x0C, 0xE4, 0x04}));
    EXPECT_EQ(Text(*spanish, "\\StringFileInfo\\0C0A04E4\\FileDescription"), "Descripci\xC3\xB3n");
}

TEST(VersionFixtures, TextOutsideLatinComesOutAsUtf8)
{
    auto info = VersionInfo::FromFile(PeFixture("unicode.dll"));
    ASSERT_TRUE(info);
    EXPECT_EQ(Text(*info, "\\StringFileInfo\\041104B0\\CompanyName"), "株式会社テスト");
    EXPECT_EQ(Text(*info, "\\StringFileInfo\\041104B0\\ProductName"), "Продукт");
    auto description = info->Query("\\StringFileInfo\\041104B0\\FileDescription");
    ASSERT_TRUE(description);
    EXPECT_EQ(description->data, "Описание 😀");
    EXPECT_EQ(description->length, 11u);  // the emoji is two UTF-16 units
}

TEST(VersionFixtures, VersionNumbersAtTheEdgesOfTheirFields)
{
    auto big = VersionInfo::FromFile(PeFixture("big_build.dll"));
    ASSERT_TRUE(big);
    ExpectVersion(*big, 0x00060001, (65535u << 16) | 40000u);
    auto zero = VersionInfo::FromFile(PeFixture("zero_ls.dll"));
    ASSERT_TRUE(zero);
    ExpectVersion(*zero, 0x00010000, 0);
}

TEST(VersionFixtures, FilesWithoutAVisibleVersionResource)
{
    for (const char* file : {"no_version_icon.dll", "no_version_strings.dll", "name2_only.dll"}) {
        EXPECT_FALSE(VersionInfo::FromFile(PeFixture(file))) << file;
    }
}

TEST(VersionFixtures, LanguageChoiceAmongSeveralVersionResources)
{
    const std::pair<const char*, const char*> cases[] = {
        {"languages_german_english.dll", "English Language"},
        {"languages_neutral.dll", "Neutral Language"},
        {"languages_first_listed.dll", "German Language"},
    };
    for (const auto& [file, company] : cases) {
        SCOPED_TRACE(file);
        auto info = VersionInfo::FromFile(PeFixture(file));
        ASSERT_TRUE(info);
        auto translation = info->Query("\\VarFileInfo\\Translation");
        ASSERT_TRUE(translation);
        ASSERT_EQ(translation->length, 4u);
        char key[9];
        std::snprintf(key, sizeof key, "%02X%02X04B0", static_cast<unsigned char>(translation->data[1]),
                      static_cast<unsigned char>(translation->data[0]));
        EXPECT_EQ(Text(*info, std::string("\\StringFileInfo\\") + key + "\\CompanyName"), company);
    }
}

TEST(VersionFixtures, OddButReadableBlocks)
{
    for (const char* file : {"odd_values.dll", "odd_values32.dll"}) {
        SCOPED_TRACE(file);
        auto info = VersionInfo::FromFile(PeFixture(file));
        ASSERT_TRUE(info);
        const std::string table = "\\StringFileInfo\\040904B0\\";
        // Value length counted in bytes, a binary type on a string, a value
        // length that is simply wrong: all read up to the NUL.
        EXPECT_EQ(Text(*info, table + "CompanyName"), "Bytes Counted Ltd");
        auto description = info->Query(table + "FileDescription");
        ASSERT_TRUE(description);
        EXPECT_TRUE(description->isText);
        EXPECT_EQ(description->data, "Typed As Binary");
        EXPECT_EQ(Text(*info, table + "LegalCopyright"), "Copyright With Wrong Length");
        // Value length 0: found, empty.
        auto product = info->Query(table + "ProductName");
        ASSERT_TRUE(product);
        EXPECT_EQ(product->data, "");
        EXPECT_EQ(product->length, 0u);
        // No NUL: the text ends with its block, not in the next one.
        auto internal = info->Query(table + "InternalName");
        ASSERT_TRUE(internal);
        EXPECT_EQ(internal->data, "NoTerminator");
        EXPECT_EQ(internal->length, 12u);
        EXPECT_EQ(TranslationBytes(*info), Bytes({0x09, 0x04, 0xB0, 0x04}));
    }

    auto varFirst = VersionInfo::FromFile(PeFixture("var_first.dll"));
    ASSERT_TRUE(varFirst);
    EXPECT_EQ(TranslationBytes(*varFirst), Bytes({0x09, 0x04, 0xB0, 0x04}));
    EXPECT_EQ(Text(*varFirst, "\\StringFileInfo\\040904B0\\ProductName"), "Var First Product");

    auto keyCase = VersionInfo::FromFile(PeFixture("key_case.dll"));
    ASSERT_TRUE(keyCase);
    EXPECT_EQ(TranslationBytes(*keyCase), Bytes({0x09, 0x04, 0xB0, 0x04}));
    EXPECT_EQ(Text(*keyCase, "\\StringFileInfo\\040904B0\\CompanyName"), "Upper Keys Inc");
    EXPECT_EQ(Text(*keyCase, "\\STRINGFILEINFO\\040904b0\\ProductName"), "lower keys");

    auto noFixed = VersionInfo::FromFile(PeFixture("no_fixed.dll"));
    ASSERT_TRUE(noFixed);
    EXPECT_FALSE(noFixed->Query("\\"));
    EXPECT_FALSE(noFixed->Fixed());
    EXPECT_EQ(Text(*noFixed, "\\StringFileInfo\\040904B0\\CompanyName"), "No Fixed Record Co");
}
