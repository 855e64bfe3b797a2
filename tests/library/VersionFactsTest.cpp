// Decoding of the fixed record and the version findings.
#include <gtest/gtest.h>

#include "VORN_STD_library/VersionFacts.h"

namespace {

platform::FixedFileInfo Fixed(std::uint32_t fileVersionMS, std::uint32_t fileVersionLS)
{
    platform::FixedFileInfo fixed{};
    fixed.fileVersionMS = fileVersionMS;
    fixed.fileVersionLS = fileVersionLS;
    return fixed;
}

} // namespace

TEST(VersionFacts, FlagsAreNamedWhenSetAndNotMaskedOut)
{
    const struct {
        std::uint32_t flags, mask;
        const char* text;
    } cases[] = {
        {0x00, 0x3F, ""},
        {0x01, 0x3F, "Debug"},
        {0x3F, 0x3F, "Debug|Prerelease|Patched|PrivateBuild|InfoInferred|SpecialBuild"},
        {0x03, 0x02, "Prerelease"},
        {0x21, 0x00, ""},
        {0x40, 0xFF, ""},
    };
    for (const auto& c : cases) {
        platform::FixedFileInfo fixed{};
        fixed.fileFlags = c.flags;
        fixed.fileFlagsMask = c.mask;
        EXPECT_EQ(VORN_STD_library::FileFlagsText(fixed), c.text) << c.flags << "/" << c.mask;
    }
}

TEST(VersionFacts, OsAndTypeCodesAreNamed)
{
    const struct {
        std::uint32_t code;
        const char* text;
    } systems[] = {
        {0x40004, "NT (Windows32)"}, {0x4, "Windows32"}, {0x10001, "DOS (Windows16)"}, {0x40000, "NT"},
        {0x0, ""},                   {0x90004, "0x00090004"}, {0x40009, "0x00040009"},
    };
    for (const auto& c : systems) {
        platform::FixedFileInfo fixed{};
        fixed.fileOS = c.code;
        EXPECT_EQ(VORN_STD_library::FileOsText(fixed), c.text) << c.code;
    }
    const struct {
        std::uint32_t type, subtype;
        const char* text;
    } types[] = {
        {1, 0, "Application"},     {2, 0, "DLL"},           {3, 1, "Driver (Printer)"},
        {3, 0xC, "Driver (Versioned printer)"}, {4, 3, "Font (TrueType)"}, {5, 0, "VXD"},
        {7, 0, "Static library"},  {2, 5, "DLL"},           {0, 0, ""},
        {9, 0, "0x00000009"},      {3, 0x77, "Driver (0x00000077)"},
    };
    for (const auto& c : types) {
        platform::FixedFileInfo fixed{};
        fixed.fileType = c.type;
        fixed.fileSubtype = c.subtype;
        EXPECT_EQ(VORN_STD_library::FileTypeText(fixed), c.text) << c.type << "/" << c.subtype;
    }
}

TEST(VersionFacts, ProductVersionHasFourNumbers)
{
    platform::FixedFileInfo fixed{};
    fixed.productVersionMS = 0x00010002;
    EXPECT_EQ(VORN_STD_library::FixedProductVersionText(fixed), "1.2.0.0");
    fixed.productVersionLS = 0xFFFF0004;
    EXPECT_EQ(VORN_STD_library::FixedProductVersionText(fixed), "1.2.65535.4");
}

TEST(VersionFacts, MismatchComparesTheLeadingNumbers)
{
    const platform::FixedFileInfo fixed = Fixed((6u << 16) | 1u, (7601u << 16) | 17514u);
    const struct {
        const char* text;
        const char* finding;
    } cases[] = {
        {"6.1.7601.17514 (win7sp1_rtm.101119-1850)", "no"},
        {"6.1.7601.17514", "no"},
        {"6, 1, 7601, 17514", "no"},
        {"6,1,7601,17514", "no"},
        {"6.1.7601.17515", "yes"},
        {"6.1.7601", "yes"},
        {"6.1.7601.17514.1", "yes"},
        {"v6.1", "yes"},
        {"6.1.7601.99999", "yes"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(VORN_STD_library::VersionMismatchText(c.text, fixed), c.finding) << c.text;
    EXPECT_EQ(VORN_STD_library::VersionMismatchText("1.2", Fixed(0x00010002, 0)), "no");
}

TEST(VersionFacts, RenamedIgnoresCaseAndTrailingMui)
{
    const struct {
        const char* original;
        const char* name;
        const char* finding;
    } cases[] = {
        {"plain.dll", "plain.dll", "no"},   {"PLAIN.DLL", "plain.dll", "no"},
        {"plain.dll.mui", "plain.dll", "no"}, {"plain.dll", "Plain.dll.MUI", "no"},
        {"plain.dll", "plain64.dll", "yes"}, {"", "plain.dll", ""},
        // Letters beyond ASCII fold as the wildcard matcher folds them.
        {"\xC3\x89T\xC3\x89.DLL", "\xC3\xA9t\xC3\xA9.dll", "no"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VORN_STD_library::RenamedText(c.original, c.name), c.finding) << c.original << " " << c.name;
}
