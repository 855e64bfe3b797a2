// The image headers of the fixtures, and of fixtures whose header fields are
// patched in memory to each kind of value.
#include "FixtureFiles.h"
#include "platform/version/ImageHeaders.h"

#include <gtest/gtest.h>

using platform::version::ImageFormat;
using platform::version::ImageHeaders;
using platform::version::MemoryByteSource;
using platform::version::ReadImageHeaders;

namespace {

std::optional<ImageHeaders> HeadersOf(const std::vector<std::uint8_t>& image)
{
    return ReadImageHeaders(MemoryByteSource(image));
}

void PatchLe(std::vector<std::uint8_t>& image, std::size_t at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) image.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::size_t PeOffset(const std::vector<std::uint8_t>& image)
{
    return image.at(0x3C) | (image.at(0x3D) << 8) | (image.at(0x3E) << 16) | (image.at(0x3F) << 24);
}

}  // namespace

TEST(ImageHeaders, FormatsAndFieldsOfTheFixtures)
{
    const struct {
        const char* file;
        ImageFormat format;
        std::uint16_t machine;
        std::uint16_t subsystem;
    } cases[] = {
        {"plain32.dll", ImageFormat::Pe32, 0x014C, 3},
        {"plain64.dll", ImageFormat::Pe32Plus, 0x8664, 3},
        {"ne_plain.dll", ImageFormat::Ne, 0, 0},
        {"ne_no_version.dll", ImageFormat::Ne, 0, 0},
        {"no_version_strings.dll", ImageFormat::Pe32Plus, 0x8664, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto headers = HeadersOf(PeFixtureBytes(c.file));
        ASSERT_TRUE(headers);
        EXPECT_EQ(headers->format, c.format);
        EXPECT_EQ(headers->machine, c.machine);
        EXPECT_EQ(headers->subsystem, c.subsystem);
        EXPECT_EQ(headers->timeDateStamp, 0u);  // the fixtures are linked without a time stamp
    }
}

TEST(ImageHeaders, FilesThatAreNoReadableImageHaveNone)
{
    for (const char* file : {"empty.dll", "mz_only.dll", "text_file.dll", "trunc_dos_header.dll",
                             "trunc_pe_header.dll", "trunc_section_table.dll"}) {
        SCOPED_TRACE(file);
        EXPECT_FALSE(HeadersOf(PeFixtureBytes(file)));
    }
}

TEST(ImageHeaders, PatchedFieldsAreReadFromTheirOwnPlaces)
{
    for (const char* file : {"plain32.dll", "plain64.dll"}) {
        SCOPED_TRACE(file);
        auto image = PeFixtureBytes(file);
        const std::size_t pe = PeOffset(image);
        PatchLe(image, pe + 4, 0xAA64, 2);
        PatchLe(image, pe + 8, 0x5F5E1000, 4);
        PatchLe(image, pe + 24 + 68, 10, 2);
        const auto headers = HeadersOf(image);
        ASSERT_TRUE(headers);
        EXPECT_EQ(headers->machine, 0xAA64);
        EXPECT_EQ(headers->timeDateStamp, 0x5F5E1000u);
        EXPECT_EQ(headers->subsystem, 10);
    }
}
