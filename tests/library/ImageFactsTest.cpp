// The names of image header codes and the link time stamp rule.
#include <gtest/gtest.h>

#include "VORN_STD_library/ImageFacts.h"

using platform::version::ImageFormat;
using platform::version::ImageHeaders;
using namespace VORN_STD_library;

TEST(ImageFacts, MachineAndSubsystemByNameOrNumber)
{
    const struct {
        std::uint16_t machine;
        const char* machineText;
        std::uint16_t subsystem;
        const char* subsystemText;
    } cases[] = {
        {0x014C, "x86", 2, "GUI"},
        {0x8664, "x64", 3, "Console"},
        {0xAA64, "ARM64", 1, "Native"},
        {0x01C0, "ARM", 10, "EFI application"},
        {0x01C4, "ARM (Thumb-2)", 11, "EFI boot service driver"},
        {0x0200, "IA64", 12, "EFI runtime driver"},
        {0x0000, "0x0000", 9, "Windows CE GUI"},
        {0x9041, "0x9041", 7, "POSIX"},
        {0x014C, "x86", 0, "0x0000"},
        {0x014C, "x86", 0xBEEF, "0xBEEF"},
    };
    for (const auto& c : cases) {
        const ImageHeaders headers{.format = ImageFormat::Pe32, .machine = c.machine, .subsystem = c.subsystem};
        EXPECT_EQ(MachineText(headers), c.machineText);
        EXPECT_EQ(SubsystemText(headers), c.subsystemText);
    }
}

TEST(ImageFacts, FormatNamesAndTheNeImageWithoutPeFields)
{
    EXPECT_EQ(ImageFormatText({.format = ImageFormat::Pe32}), "PE32");
    EXPECT_EQ(ImageFormatText({.format = ImageFormat::Pe32Plus}), "PE32+");
    const ImageHeaders ne{.format = ImageFormat::Ne, .timeDateStamp = 700000000};
    EXPECT_EQ(ImageFormatText(ne), "NE");
    EXPECT_EQ(MachineText(ne), "");
    EXPECT_EQ(SubsystemText(ne), "");
    EXPECT_FALSE(PlausibleLinkTime(ne, 800000000));
    EXPECT_EQ(LinkTimeStampText(ne), "");
}

TEST(ImageFacts, AssemblyVersionOnlyForAManagedImage)
{
    EXPECT_EQ(AssemblyVersionText({.format = ImageFormat::Pe32, .assembly = platform::version::AssemblyVersion{4, 0, 65535, 12}}),
              "4.0.65535.12");
    EXPECT_EQ(AssemblyVersionText({.format = ImageFormat::Pe32}), "");
}

TEST(ImageFacts, LinkTimeIsADateOnlyWhenPlausible)
{
    const std::int64_t modified = 1700000000;  // 2023-11-14 22:13:20 UTC
    const struct {
        std::uint32_t stamp;
        bool isTime;
    } cases[] = {
        {0, false},
        {631151999, false},  // 1989-12-31 23:59:59
        {631152000, true},   // 1990-01-01
        {1600000000, true},
        {1700000000 + 86400, true},
        {1700000000 + 86401, false},
        {0xFFFFFFFF, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stamp);
        const ImageHeaders headers{.format = ImageFormat::Pe32Plus, .timeDateStamp = c.stamp};
        const auto time = PlausibleLinkTime(headers, modified);
        ASSERT_EQ(time.has_value(), c.isTime);
        if (time) {
            EXPECT_EQ(*time, platform::DateTime::FromUnixUtc(c.stamp));
        }
    }
    EXPECT_EQ(LinkTimeStampText({.format = ImageFormat::Pe32, .timeDateStamp = 0x1A2B3C4D}), "0x1A2B3C4D");
    EXPECT_EQ(LinkTimeStampText({.format = ImageFormat::Pe32, .timeDateStamp = 0}), "0x00000000");
}
