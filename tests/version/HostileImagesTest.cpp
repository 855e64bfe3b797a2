// Damaged, truncated and hostile images: the reader answers with nothing (or
// with exactly what is intact), never with garbage, a crash or a hang.
#include "FixtureFiles.h"
#include "platform/version/ImageHeaders.h"
#include "platform/version/VersionInfo.h"

#include <gtest/gtest.h>

#include <tuple>

using platform::VersionInfo;

TEST(HostileImages, DamagedFilesHaveNoVersionInformation)
{
    for (const char* file :
         {"trunc_dos_header.dll", "trunc_pe_header.dll", "trunc_section_table.dll", "trunc_resource_directory.dll",
          "trunc_version_block.dll", "empty.dll", "mz_only.dll", "text_file.dll", "cycle_to_root.dll",
          "cycle_to_self.dll", "rva_outside_sections.dll", "root_overrun.dll"}) {
        SCOPED_TRACE(file);
        EXPECT_FALSE(VersionInfo::FromFile(PeFixture(file)));
        EXPECT_FALSE(VersionInfo::FromImage(PeFixtureBytes(file)));
    }
}

TEST(HostileImages, EveryPrefixOfAnImageGivesNothingOrTheTrueAnswer)
{
    struct Case {
        const char* file;
        const char* companyPath;
    };
    for (const Case& c : {Case{"plain64.dll", "\\StringFileInfo\\040904B0\\CompanyName"},
                          Case{"plain32.dll", "\\StringFileInfo\\040904B0\\CompanyName"},
                          Case{"ne_plain.dll", "\\StringFileInfo\\040904E4\\CompanyName"}}) {
        SCOPED_TRACE(c.file);
        const auto image = PeFixtureBytes(c.file);
        const auto whole = VersionInfo::FromImage(image);
        ASSERT_TRUE(whole);
        const std::string company = whole->Query(c.companyPath)->data;
        bool seenAnswer = false;
        for (std::size_t length = 0; length <= image.size(); ++length) {
            auto info = VersionInfo::FromImage(std::span(image.data(), length));
            if (!info) {
                EXPECT_FALSE(seenAnswer) << "answer lost again at length " << length;
                continue;
            }
            seenAnswer = true;
            auto value = info->Query(c.companyPath);
            ASSERT_TRUE(value) << length;
            EXPECT_EQ(value->data, company);
            EXPECT_EQ(info->Fixed()->fileVersionLS, whole->Fixed()->fileVersionLS);
        }
        EXPECT_TRUE(seenAnswer);
    }
}

TEST(HostileImages, EveryPrefixOfAnImageGivesNoHeadersOrTheTrueOnes)
{
    using platform::version::ImageHeaders;
    const auto readHeaders = [](std::span<const std::uint8_t> bytes) {
        return platform::version::ReadImageHeaders(platform::version::MemoryByteSource(bytes));
    };
    const auto fields = [](const ImageHeaders& h) {
        return std::tuple(h.format, h.machine, h.timeDateStamp, h.subsystem);
    };
    for (const char* file : {"plain64.dll", "plain32.dll", "ne_plain.dll"}) {
        SCOPED_TRACE(file);
        const auto image = PeFixtureBytes(file);
        const auto whole = readHeaders(image);
        ASSERT_TRUE(whole);
        bool seenAnswer = false;
        for (std::size_t length = 0; length <= image.size(); ++length) {
            const auto headers = readHeaders(std::span(image.data(), length));
            if (!headers) {
                EXPECT_FALSE(seenAnswer) << "headers lost again at length " << length;
                continue;
            }
            seenAnswer = true;
            EXPECT_EQ(fields(*headers), fields(*whole)) << length;
        }
        EXPECT_TRUE(seenAnswer);
    }
}

TEST(HostileImages, ASizeClaimBeyond64KiBReadsTheIntactBlock)
{
    auto info = VersionInfo::FromFile(PeFixture("huge_size_claim.dll"));
    ASSERT_TRUE(info);
    EXPECT_LE(info->Size(), 64u * 1024u);
    auto company = info->Query("\\StringFileInfo\\040904B0\\CompanyName");
    ASSERT_TRUE(company);
    EXPECT_EQ(company->data, "Plain Company");
}

TEST(HostileImages, ABadBlockEndsOnlyItsOwnLevel)
{
    // A child of length 0 ends the root's children: neither table is reached,
    // but the root's own fixed record is intact.
    auto zero = VersionInfo::FromFile(PeFixture("zero_length_child.dll"));
    ASSERT_TRUE(zero);
    ASSERT_TRUE(zero->Fixed());
    EXPECT_EQ(zero->Fixed()->fileVersionMS, 0x00030000u);
    EXPECT_FALSE(zero->Query("\\StringFileInfo\\040904B0\\CompanyName"));
    EXPECT_FALSE(zero->Query("\\VarFileInfo\\Translation"));

    // A string running past its table ends the table, not the blocks after it.
    auto overrun = VersionInfo::FromFile(PeFixture("child_overrun.dll"));
    ASSERT_TRUE(overrun);
    auto company = overrun->Query("\\StringFileInfo\\040904B0\\CompanyName");
    ASSERT_TRUE(company);
    EXPECT_EQ(company->data, "Before The Overrun");
    EXPECT_FALSE(overrun->Query("\\StringFileInfo\\040904B0\\ProductName"));
    EXPECT_TRUE(overrun->Query("\\VarFileInfo\\Translation"));
}
